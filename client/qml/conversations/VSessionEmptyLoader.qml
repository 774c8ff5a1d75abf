import QtQuick 2.12
import "../translator"

// The placeholder of an empty list: covers its parent, swallows clicks and
// invites the user to bring friends. Made only while active.
Loader {
    anchors.fill: parent
    asynchronous: true
    active: false

    sourceComponent: Rectangle {
        color: "#FFFFFF"

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: wheel.accepted = true
        }

        Column {
            anchors.centerIn: parent
            width: parent.width
            spacing: 16

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 144
                height: 144
                source: "qrc:/images/session_page/session_list_empty.png"
            }

            Text {
                width: parent.width
                text: VTr.tooDeserted
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 12
                color: "#999999"
            }
        }
    }
}
