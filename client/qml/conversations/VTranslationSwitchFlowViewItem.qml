import QtQuick 2.12

// One language of the translation popup.
Rectangle {
    id: item

    property string text: ""

    signal clicked()

    width: label.implicitWidth + 20
    height: label.implicitHeight + 8
    radius: 3
    color: area.containsMouse ? "#2E2E2E" : "#F5F5F5"

    Text {
        id: label

        anchors.centerIn: parent
        text: item.text
        textFormat: Text.PlainText
        font.pixelSize: 13
        color: area.containsMouse ? "#FFFFFF" : "#333333"
    }
    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: item.clicked()
    }
}
