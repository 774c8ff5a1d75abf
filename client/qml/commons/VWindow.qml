import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import "../translator"

// Base of the login window and the main window: frameless and transparent.
ApplicationWindow {
    id: window

    readonly property bool isFullScreen: visibility === Window.Maximized
                                         || visibility === Window.FullScreen
    readonly property int pageMargins: visibility === Window.FullScreen ? 0 : 2
    readonly property int pageRadius: visibility === Window.FullScreen ? 0 : 5
    readonly property int textMargins: 30
    readonly property int inputAreaHeight: 22
    readonly property string lastLoginAccount: "LastloginAccount"
    readonly property string lastLoginCountryCode: "LastLoginCountryCode"

    readonly property int _frameFlags: Qt.Window | Qt.FramelessWindowHint

    flags: _frameFlags
    color: "transparent"
    visible: true
    title: VTr.tesmoChat

    onVisibilityChanged: {
        if (visibility !== Window.FullScreen)
            flags = _frameFlags
    }
    onActiveChanged: vGlobal.setActive(active)
    Component.onCompleted: vGlobal.setActive(active)
    onClosing: {
        // A full-screen window is minimised with a frame instead of being closed.
        if (visibility === Window.FullScreen && !vGlobal.osIsWindows) {
            close.accepted = false
            flags = Qt.Window | Qt.WindowFullscreenButtonHint | Qt.CustomizeWindowHint
                    | Qt.WindowMinimizeButtonHint
            showMinimized()
        }
    }
}
