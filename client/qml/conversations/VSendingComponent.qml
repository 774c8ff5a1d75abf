import QtQuick 2.12

// The busy mark of a send or download: shown only once the state has stayed busy (2)
// for a second, so that quick answers never flash it.
Item {
    id: mark

    property int watchedState: 1
    // The message watched: a row the view shows again for another message waits
    // again rather than going on with the last one's wait or mark.
    property int watchedId: -1
    readonly property int busyState: 2
    property bool sending: false
    property int delay: 1000

    width: 20
    height: 20
    visible: sending

    function watch() {
        sending = false
        if (watchedState === busyState)
            timer.restart()
        else
            timer.stop()
    }

    onWatchedStateChanged: watch()
    onWatchedIdChanged: watch()
    Component.onCompleted: watch()

    Timer {
        id: timer

        interval: mark.delay
        onTriggered: mark.sending = mark.watchedState === mark.busyState
    }

    Image {
        anchors.fill: parent
        source: "qrc:/images/session_page/loading.png"

        RotationAnimation on rotation {
            from: 0
            to: 360
            duration: 4000
            loops: Animation.Infinite
            running: mark.visible
        }
    }
}
