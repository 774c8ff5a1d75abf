import QtQuick 2.12
import "../commons"
import "../translator"

// The right-hand side of the member and manager pickers: who is chosen, each with
// a remove icon, and "Finished".
Rectangle {
    id: column

    property VChosenList chosen: null
    property alias busy: finishButton.busy

    signal finished()

    color: "#FAFAFA"

    Text {
        id: countLine

        objectName: "chosenCount"
        x: 20
        y: 15
        text: VTr.selectedMembersCount(column.chosen ? column.chosen.count : 0)
        textFormat: Text.PlainText
        font.pixelSize: 13
        color: "#666666"
    }

    ListView {
        id: list

        objectName: "chosenList"
        anchors.top: countLine.bottom
        anchors.topMargin: 10
        anchors.bottom: finishButton.top
        anchors.bottomMargin: 10
        width: parent.width
        clip: true
        model: column.chosen ? column.chosen.model : null
        delegate: Item {
            width: list.width
            height: 50

            VRoundImage {
                id: avatar

                x: 20
                anchors.verticalCenter: parent.verticalCenter
                width: 36
                height: 36
                source: model.logo
                champflag: model.champflagValue
            }

            Text {
                anchors.left: avatar.right
                anchors.leftMargin: 10
                anchors.right: removeIcon.left
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                text: model.name
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 13
                color: "#333333"
            }

            Image {
                id: removeIcon

                anchors.right: parent.right
                anchors.rightMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                source: "qrc:/images/session_page/remove.png"

                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -4
                    onClicked: column.chosen.remove_item(model.account)
                }
            }
        }
    }

    VBusyButton {
        id: finishButton

        objectName: "finishButton"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 20
        normalWidth: 120
        text: VTr.finished
        enabled: column.chosen !== null && column.chosen.count > 0
        onClicked: column.finished()
    }
}
