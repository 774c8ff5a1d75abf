import QtQuick 2.12

// A clickable line at the foot of the group settings.
Text {
    signal clicked()

    width: parent ? parent.width : 0
    height: 44
    verticalAlignment: Text.AlignVCenter
    horizontalAlignment: Text.AlignHCenter
    textFormat: Text.PlainText
    font.pixelSize: 14
    color: "#333333"

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: parent.clicked()
    }
}
