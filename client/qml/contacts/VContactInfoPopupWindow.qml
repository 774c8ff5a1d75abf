import QtQuick 2.12
import "../commons"
import "../translator"

// The contact card of a friend: avatar, name, id, summary and "Send message".
// It closes when it loses activation.
VPopupWindow {
    id: card

    property string currentAccount: ""
    property string currentName: ""
    property string currentIcon: ""
    property string currentSummary: ""
    property int currentUid: -1

    width: 300
    height: 256

    Rectangle {
        anchors.fill: parent
        anchors.margins: 5
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"

        VRoundImage {
            id: avatar

            x: 20
            y: 25
            width: 60
            height: 60
            source: card.currentIcon
            champflag: card.currentAccount !== "" ? vGlobal.getChampflagByAccount(card.currentAccount) : 0
        }

        Column {
            anchors.left: avatar.right
            anchors.leftMargin: 15
            anchors.right: parent.right
            anchors.rightMargin: 15
            anchors.verticalCenter: avatar.verticalCenter
            spacing: 8

            Text {
                objectName: "cardName"
                width: parent.width
                text: card.currentName
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                font.pixelSize: 16
                color: "#333333"
            }

            Text {
                width: parent.width
                text: VTr.uid + card.currentUid
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 12
                color: "#999999"
            }
        }

        Text {
            objectName: "cardSummary"
            x: 20
            y: 110
            width: parent.width - 40
            height: 50
            text: qsTr("Summary:%1").arg(card.currentSummary) + vTranslator.i18n
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            elide: Text.ElideRight
            font.pixelSize: 13
            color: "#666666"
        }

        Rectangle {
            objectName: "sendMessageButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 25
            width: 160
            height: 36
            radius: 5
            color: sendArea.containsMouse ? "#02AE7A" : "#03C087"

            Text {
                anchors.centerIn: parent
                text: VTr.sendMessage
                textFormat: Text.PlainText
                font.pixelSize: 14
                color: "white"
            }

            MouseArea {
                id: sendArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    vGlobal.openChat(card.currentAccount, false)
                    card.close()
                }
            }
        }
    }
}
