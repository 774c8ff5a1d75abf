import QtQuick 2.12
import QtTest 1.12

// The settings popup's "Version" entry opens the maker's web site in the system's
// browser.
Item {
    id: root

    function findChild(item, name) {
        if (item.objectName === name)
            return item
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findChild(kids[i], name)
            if (found)
                return found
        }
        return null
    }

    TestCase {
        name: "VersionEntry"
        when: windowShown

        function test_versionOpensTheMakersSite() {
            var component = Qt.createComponent("qrc:/qml/popups/VSettingsPopupWindow.qml")
            compare(component.status, Component.Ready, component.errorString())
            var popup = component.createObject(null, { closeOnActiveLost: false })
            popup.show()
            tryVerify(function() { return popup.contentItem.height === popup.height })
            var entry = findChild(popup.contentItem, "versionEntry")
            verify(entry !== null)
            urlFixture.clear()
            mouseClick(entry)
            compare(urlFixture.opened(), ["https://www.tesmochat.com/"])
            compare(vGlobal.makerWebSite(), "https://www.tesmochat.com/")
            popup.destroy()
        }
    }
}
