import QtQuick 2.12
import QtQuick.Window 2.12
import QtWebEngine 1.8
import "commons"

// The web tab's page. A cover hides the first second of its first load; a
// strip along the top moves the main window.
Item {
    id: webPage

    property alias url: view.url

    // Made on demand as the web tab's child: it takes the whole tab.
    anchors.fill: parent

    WebEngineView {
        id: view

        anchors.fill: parent
        onLoadingChanged: {
            if (loadRequest.status === WebEngineView.LoadStartedStatus && !coverTimer.started) {
                coverTimer.started = true
                coverTimer.start()
            }
        }
    }

    Rectangle {
        id: cover

        anchors.fill: parent
        color: "#FFFFFF"

        VLoadingGif {
            anchors.centerIn: parent
            width: 60
            height: 60
        }
    }

    Timer {
        id: coverTimer

        property bool started: false

        interval: 1000
        onTriggered: cover.visible = false
    }

    MouseArea {
        width: parent.width
        height: 20
        onPressed: {
            forceActiveFocus()
            if (webPage.Window.window)
                webPage.Window.window.startSystemMove()
        }
    }
}
