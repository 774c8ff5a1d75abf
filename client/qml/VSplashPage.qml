import QtQuick 2.12
import QtQuick.Window 2.12

// The invisible root window: it owns the one visible top-level window, the
// login window or the main window, and swaps them.
Window {
    id: splashPage

    property var currentWindow: null
    property url loginPageUrl: "qrc:/qml/VLoginPage.qml"
    property url indexPageUrl: "qrc:/qml/VIndexPage.qml"

    // Parent of the top-level windows. It is no window, so they get no
    // transient parent: one that is never shown would keep them hidden on an
    // X server without a window manager.
    readonly property QtObject _owner: QtObject {}

    function showLoginPage() {
        return _show(loginPageUrl)
    }

    function showIndexPage() {
        var shown = _show(indexPageUrl)
        vClipboard.deleteTempImages()
        return shown
    }

    function _show(url) {
        if (currentWindow !== null) {
            var old = currentWindow
            currentWindow = null
            old.hide()
            // Released later: one of its handlers may be what asked for the switch.
            old.destroy()
        }
        var component = Qt.createComponent(url)
        if (component.status !== Component.Ready) {
            console.error("cannot load " + url + ": " + component.errorString())
            return false
        }
        var window = component.createObject(_owner)
        if (window === null)
            return false
        window.x = (Screen.width - window.width) / 2
        window.y = (Screen.height - window.height) / 2
        currentWindow = window
        window.show()
        window.raise()
        window.requestActivate()
        if (splashPage.visible)
            splashPage.close()
        return true
    }

    width: 0
    height: 0
    visible: false
    flags: Qt.FramelessWindowHint
    color: "transparent"

    Connections {
        target: vGlobal

        function onShowLoginPage() {
            splashPage.showLoginPage()
        }

        function onShowIndexPage() {
            splashPage.showIndexPage()
        }
    }

    Component.onCompleted: showLoginPage()
}
