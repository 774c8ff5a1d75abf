import QtQuick 2.12
import "../commons"
import "../translator"

// The own nickname in the group, in the settings, with its in-place edit of up to
// 10 characters.
Item {
    id: nick

    // The own nickname as shown (the last one sent, before the server answers).
    property string shownNick: ""
    // The in-place edit: open or not, and what it holds.
    property alias editing: nickEdit.visible
    readonly property alias inputText: nickInput.text

    // The edit lost the focus, or Return ended it (then editReturned follows).
    signal editEnded()
    signal editReturned()
    signal waring(string waringInfo)

    height: 40

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: VTr.nickInGroup
        textFormat: Text.PlainText
        font.pixelSize: 13
        color: "#333333"
    }

    Text {
        objectName: "nickLine"
        anchors.right: nickPencil.left
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: Math.min(implicitWidth, 150)
        visible: !nickEdit.visible
        text: nick.shownNick
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.pixelSize: 13
        color: "#999999"
    }

    Image {
        id: nickPencil

        objectName: "nickPencil"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 16
        height: 16
        visible: !nickEdit.visible
        source: "qrc:/images/session_page/group_info_edit.png"

        MouseArea {
            anchors.fill: parent
            anchors.margins: -4
            onClicked: {
                nickInput.text = nick.shownNick
                nickEdit.visible = true
                nickInput.forceActiveFocus()
                nickInput.selectAll()
            }
        }
    }

    Rectangle {
        id: nickEdit

        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 180
        height: 28
        visible: false
        radius: 3
        color: "#F5F6F7"

        VTextInput {
            id: nickInput

            objectName: "nickInput"
            anchors.fill: parent
            anchors.leftMargin: 6
            anchors.rightMargin: 40
            font.pixelSize: 13
            maximumLength: 10
            onEnteredTooLong: nick.waring(isTooLong ? VTr.enteredTooLong : "")
            onActiveFocusChanged: if (!activeFocus) nick.editEnded()
            Keys.onReturnPressed: {
                nick.editEnded()
                nick.editReturned()
            }
        }

        Text {
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: nickInput.length + "/10"
            font.pixelSize: 11
            color: nickInput.length >= 10 ? "#F7334B" : "#999999"
        }
    }
}
