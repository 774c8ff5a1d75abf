import QtQuick 2.12
import "../commons"
import "../translator"

// The head of the group settings: the avatar (a new one from a local picture),
// the name with the member count and its in-place rename, the main group and the
// join code with its remaining time.
Row {
    id: header

    property bool canEdit: false
    property string groupid: ""
    // The join code's remaining time as shown.
    property string countdown: ""
    // The in-place rename: open or not, and what it holds.
    property alias editing: titleEdit.visible
    readonly property alias inputText: titleInput.text
    readonly property alias titleText: titleText.text
    readonly property alias codeText: codeLine.text

    // The avatar was clicked by someone who may change it.
    signal logoClicked()
    // The rename lost the focus, or Return ended it (then editReturned follows).
    signal editEnded()
    signal editReturned()
    signal waring(string waringInfo)

    spacing: 15

    Column {
        spacing: 4

        VRoundImage {
            width: 60
            height: 60
            source: groupManager.groupIcon

            VOfficialIndicatorTesmo {
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                visible: {
                    var group = header.groupid !== "" ? groupManager.getGroupEntity(header.groupid) : null
                    return group !== null && group.title === 1
                }
            }

            MouseArea {
                anchors.fill: parent
                enabled: header.canEdit
                cursorShape: Qt.PointingHandCursor
                onClicked: header.logoClicked()
            }
        }

        Text {
            objectName: "localUpload"
            width: 60
            visible: header.canEdit
            horizontalAlignment: Text.AlignHCenter
            text: VTr.localUpload
            textFormat: Text.PlainText
            font.pixelSize: 11
            color: "#03C087"
        }
    }

    Column {
        width: parent.width - 75
        spacing: 6

        Item {
            width: parent.width
            height: 28

            Text {
                id: titleText

                objectName: "groupTitle"
                width: parent.width - 25
                anchors.verticalCenter: parent.verticalCenter
                visible: !titleEdit.visible
                text: groupManager.groupname + "(" + groupManager.memberCount + ")"
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 16
                color: "#333333"
            }

            Image {
                objectName: "renamePencil"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                visible: header.canEdit && !titleEdit.visible
                source: "qrc:/images/session_page/group_info_edit.png"

                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -4
                    onClicked: {
                        titleInput.text = groupManager.groupname
                        titleEdit.visible = true
                        titleInput.forceActiveFocus()
                        titleInput.selectAll()
                    }
                }
            }

            Rectangle {
                id: titleEdit

                anchors.fill: parent
                visible: false
                radius: 3
                color: "#F5F6F7"

                VTextInput {
                    id: titleInput

                    objectName: "titleInput"
                    anchors.fill: parent
                    anchors.leftMargin: 6
                    anchors.rightMargin: 45
                    font.pixelSize: 14
                    maximumLength: 30
                    onEnteredTooLong: header.waring(isTooLong ? VTr.enteredTooLong : "")
                    onActiveFocusChanged: if (!activeFocus) header.editEnded()
                    Keys.onReturnPressed: {
                        if (event.modifiers & Qt.ControlModifier)
                            return
                        header.editEnded()
                        header.editReturned()
                    }
                }

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: titleInput.length + "/30"
                    font.pixelSize: 11
                    color: titleInput.length >= 30 ? "#F7334B" : "#999999"
                }
            }
        }

        Text {
            width: parent.width
            visible: groupManager.parentName !== ""
            text: VTr.mainGroup + ": " + groupManager.parentName
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.pixelSize: 12
            color: "#999999"
        }

        Text {
            id: codeLine

            objectName: "codeLine"
            width: parent.width
            visible: groupManager.code !== "" && groupManager.countdown > 0
            text: visible ? VTr.groupCode + ": " + groupManager.code + "（" + VTr.timeLeft + " "
                            + header.countdown + "）" : ""
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.pixelSize: 12
            color: "#999999"
        }
    }
}
