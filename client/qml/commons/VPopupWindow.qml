import QtQuick 2.12
import QtQuick.Window 2.12
import "../translator"

// A frameless top-level popup. It steps aside while an alert message shows and
// comes back afterwards, without reporting that as closing and opening.
Window {
    id: popupWindow

    property bool closeOnActiveLost: true
    property bool _hiddenByAlert: false
    property bool _alertCycle: false

    signal opened()
    signal closed()

    // A popup closed before its turn came (a quick pick) must not take the keyboard
    // back from the window it was handed to.
    function _activateWhileShown() {
        if (visible)
            requestActivate()
    }

    flags: Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint | Qt.Window
    // Where see-through parts would show black, the margins take the page's colour.
    color: vGlobal.translucentWindows ? "transparent" : "#FFFFFF"
    visible: false
    title: VTr.tesmoChat

    onActiveChanged: {
        if (closeOnActiveLost && !active && visible)
            close()
    }
    // The keyboard focus left the window: another window was activated. "active" alone
    // misses that, as it stays true while the window this popup belongs to is active.
    onActiveFocusItemChanged: {
        if (closeOnActiveLost && visible && activeFocusItem === null)
            close()
    }
    onVisibleChanged: {
        // Shown but never active, a popup would not notice a click elsewhere and stay
        // open: without a window manager, or where one keeps new windows from taking focus.
        if (visible && closeOnActiveLost)
            Qt.callLater(popupWindow._activateWhileShown)
        if (_alertCycle)
            return
        if (visible)
            opened()
        else
            closed()
    }

    Connections {
        target: vGlobal

        function onAlertMessageShowingChanged() {
            if (vGlobal.alertMessageShowing && popupWindow.visible) {
                popupWindow._hiddenByAlert = true
                popupWindow._alertCycle = true
                popupWindow.hide()
                popupWindow._alertCycle = false
            } else if (!vGlobal.alertMessageShowing && popupWindow._hiddenByAlert && !popupWindow.visible) {
                popupWindow._hiddenByAlert = false
                popupWindow._alertCycle = true
                popupWindow.show()
                popupWindow._alertCycle = false
            }
        }
    }
}
