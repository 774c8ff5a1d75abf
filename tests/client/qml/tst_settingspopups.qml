import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0

// The settings popup's delayed switch and the system settings dialog's language row.
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
        name: "SettingsPopups"

        property int languageBefore: 0

        // The language is the process's; the next test files expect it unchanged.
        function initTestCase() {
            languageBefore = vTranslator.language
        }

        function cleanupTestCase() {
            vTranslator.setCurrentLanguage(languageBefore)
        }
        when: windowShown

        function make(file, properties) {
            var component = Qt.createComponent(file)
            compare(component.status, Component.Ready, component.errorString())
            return component.createObject(null, properties || {})
        }

        function test_languageRowFollowsTheLanguage() {
            var dialog = make("qrc:/qml/popups/VSystemSettingsPopupWindow.qml")
            var name = findChild(dialog.contentItem, "currentLanguageName")
            vTranslator.setCurrentLanguage(VLanguage.KO_KR)
            compare(name.text, "한국어")
            vTranslator.setCurrentLanguage(VLanguage.ZH_TW)
            compare(name.text, "繁體中文")
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            compare(name.text, "English")
            compare(dialog.languageName(99), "")
            dialog.destroy()
        }

        // The menu opens under the row's right end, wholly inside the dialog.
        function test_languageMenuStaysInsideTheDialog() {
            var dialog = make("qrc:/qml/popups/VSystemSettingsPopupWindow.qml")
            dialog.show()
            tryCompare(dialog, "visible", true)
            dialog.openLanguageMenu()
            var menu = dialog.languageMenu
            tryCompare(menu, "opened", true)
            var place = menu.background.mapToItem(null, 0, 0)
            var row = findChild(dialog.contentItem, "languageRow")
            var rowPlace = row.mapToItem(null, row.width, row.height)
            compare(place.x + menu.width, rowPlace.x)
            compare(place.y, rowPlace.y)
            verify(place.x >= 0, "left edge " + place.x)
            verify(place.x + menu.width <= dialog.width, "right edge " + (place.x + menu.width) + " of "
                   + dialog.width)
            verify(place.y + menu.height <= dialog.height, "bottom " + (place.y + menu.height))
            menu.close()
            tryCompare(menu, "visible", false)
            dialog.destroy()
        }

        // The switch's own timing is the widget's; here: its final state is stored.
        function test_autoMoveToTopStoresTheSwitchState() {
            var popup = make("qrc:/qml/popups/VSettingsPopupWindow.qml", { closeOnActiveLost: false })
            var before = vConfig.autoMoveToTop
            var row = findChild(popup.contentItem, "autoMoveToTopSwitch")
            verify(row !== null)
            compare(row.checked, before)
            row.checked = !before
            compare(vConfig.autoMoveToTop, before)
            row.delayTriggered()
            compare(vConfig.autoMoveToTop, !before)
            vConfig.autoMoveToTop = before
            popup.destroy()
        }

        function test_addMenuEntries() {
            var menu = make("qrc:/qml/popups/VAddButtonMenu.qml")
            var fired = []
            function friend() { fired.push("friend") }
            function code() { fired.push("code") }
            function group() { fired.push("group") }
            vGlobal.showSearchAddFriendPopupWindow.connect(friend)
            vGlobal.showCodeEnterGroupPopupWindow.connect(code)
            vGlobal.createGroupChat.connect(group)
            compare(menu.count, 3)
            for (var i = 0; i < menu.count; ++i)
                menu.itemAt(i).triggered()
            vGlobal.showSearchAddFriendPopupWindow.disconnect(friend)
            vGlobal.showCodeEnterGroupPopupWindow.disconnect(code)
            vGlobal.createGroupChat.disconnect(group)
            compare(fired, ["friend", "code", "group"])
            menu.destroy()
        }

        // Opened, the menu is as wide as its widest entry needs: no text is cut.
        function test_addMenuFitsItsEntries() {
            var menu = Qt.createComponent("qrc:/qml/popups/VAddButtonMenu.qml").createObject(root)
            verify(menu !== null)
            menu.open()
            tryCompare(menu, "opened", true)
            var widest = 0
            for (var i = 0; i < menu.count; ++i) {
                var entry = menu.itemAt(i)
                verify(entry.text.length > 0)
                // The icon, its margins and at least a few letters.
                verify(entry.textPaintedWidth > 62 + 20, entry.text + ": " + entry.textPaintedWidth)
                widest = Math.max(widest, entry.textPaintedWidth)
            }
            compare(menu.width, widest)
            for (i = 0; i < menu.count; ++i)
                verify(menu.itemAt(i).width >= menu.itemAt(i).textPaintedWidth - 1, menu.itemAt(i).text)
            menu.close()
            tryCompare(menu, "visible", false)
            menu.destroy()
        }

        function test_screenshotMenuSignals() {
            var menu = make("qrc:/qml/popups/VScreenshotMenu.qml")
            var fired = []
            menu.screenshot.connect(function() { fired.push("with") })
            menu.screenshotWithoutTesmoChat.connect(function() { fired.push("without") })
            menu.itemAt(0).triggered()
            menu.itemAt(1).triggered()
            compare(fired, ["with", "without"])
            menu.destroy()
        }
    }
}
