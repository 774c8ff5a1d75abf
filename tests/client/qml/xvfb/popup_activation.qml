import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/commons"

// A popup over a real X server without a window manager, where nothing activates
// a window that does not ask for it: the popup takes activation when shown and
// closes once another window is activated.
Item {
    width: 100
    height: 100

    Window {
        id: other

        x: 20
        y: 20
        width: 200
        height: 150
        visible: true
        color: "#2E8B57"
    }

    VPopupWindow {
        id: popup

        x: 300
        y: 200
        width: 120
        height: 80
    }

    SignalSpy { id: closedSpy; target: popup; signalName: "closed" }

    TestCase {
        name: "PopupActivation"
        when: windowShown

        function test_popupClosesWhenAnotherWindowIsActivated() {
            closedSpy.clear()
            other.requestActivate()
            tryCompare(other.contentItem, "activeFocus", true, 5000)
            popup.show()
            // The keyboard focus, not "active": that is true while any window of the
            // popup's owner is.
            tryCompare(popup.contentItem, "activeFocus", true, 5000)
            other.requestActivate()
            tryCompare(popup, "visible", false, 5000)
            compare(closedSpy.count, 1)
        }

        // The window the popup belongs to (the main window in the program) is activated,
        // as a click on it does.
        function test_popupClosesWhenItsOwnWindowIsActivated() {
            verify(popup.transientParent !== null)
            closedSpy.clear()
            popup.show()
            tryCompare(popup.contentItem, "activeFocus", true, 5000)
            popup.transientParent.requestActivate()
            tryCompare(popup, "visible", false, 5000)
            compare(closedSpy.count, 1)
        }

        function test_popupThatStaysOpenIsNotActivated() {
            popup.closeOnActiveLost = false
            other.requestActivate()
            tryCompare(other.contentItem, "activeFocus", true, 5000)
            popup.show()
            tryCompare(popup, "visible", true)
            wait(200)
            verify(other.contentItem.activeFocus)
            verify(!popup.contentItem.activeFocus)
            popup.close()
            popup.closeOnActiveLost = true
        }
    }
}
