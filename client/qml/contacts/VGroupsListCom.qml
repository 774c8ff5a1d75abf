import QtQuick 2.12
import "../commons"

// A group row: avatar with the official badge, name and member count. A click
// opens the group's chat.
Rectangle {
    id: row

    readonly property var item: typeof model !== "undefined" && model ? model.modelData : null
    readonly property string groupid: item ? item.groupid : ""
    readonly property alias hovered: area.containsMouse
    property bool highlighted: false

    height: 60
    color: highlighted ? "#F0F0F0" : "transparent"

    VRoundImage {
        id: avatar

        x: 25
        anchors.verticalCenter: parent.verticalCenter
        width: 40
        height: 40
        source: row.item ? row.item.grouplogo : ""

        VOfficialIndicatorTesmo {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            visible: row.item ? row.item.title === 1 : false
        }
    }

    Column {
        anchors.left: avatar.right
        anchors.leftMargin: 12
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        Text {
            width: parent.width
            text: row.item ? row.item.groupname : ""
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.pixelSize: 14
            color: "#333333"
        }

        Text {
            width: parent.width
            text: (row.item ? row.item.usercount : 0) + qsTr(" members") + vTranslator.i18n
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: "#999999"
        }
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        onClicked: vGlobal.openChat(row.groupid, true)
    }
}
