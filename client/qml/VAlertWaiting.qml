import QtQuick 2.12
import QtQuick.Controls 2.12
import "commons"

// A modal "please wait" layer over the main window's page.
Popup {
    id: waiting

    parent: Overlay.overlay
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    modal: true
    dim: false
    padding: 0
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    background: Rectangle {
        color: "#6EDDDDDD"
        opacity: waiting.visible ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: 500 } }
    }

    contentItem: Item {
        VLoadingGif {
            anchors.centerIn: parent
            width: 60
            height: 60
        }
    }

    Connections {
        target: vGlobal

        function onAlertWaitingShow() { waiting.open() }
        function onAlertWaitingClose() { waiting.close() }
    }
}
