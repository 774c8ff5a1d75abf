import QtQuick 2.12
import "../commons"

// A row of the @-mention picker: a small avatar and the name.
Rectangle {
    id: row

    property bool highlighted: false
    property string logo: ""
    property int champflag: 0
    property string name: ""

    signal hovered()
    signal clicked()

    color: highlighted ? "#ECECEC" : "transparent"

    VRoundImage {
        id: avatar

        x: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 20
        height: 20
        sourceSize: Qt.size(40, 40)
        source: row.logo
        champflag: row.champflag
    }
    Text {
        anchors.left: avatar.right
        anchors.leftMargin: 8
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        text: row.name
        textFormat: Text.PlainText
        font.pixelSize: 13
        color: "#333333"
        elide: Text.ElideMiddle
    }
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        onEntered: row.hovered()
        onClicked: row.clicked()
    }
}
