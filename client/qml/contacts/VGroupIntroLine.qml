import QtQuick 2.12
import "../translator"

// The group's introduction in the settings, with its in-place edit of up to 60
// characters (Ctrl+Return starts a new line).
Item {
    id: intro

    property bool canEdit: false
    // The introduction as shown (the last one sent, before the server answers).
    property string shownInfo: ""
    // The in-place edit: open or not, and what it holds.
    property alias editing: introEdit.visible
    readonly property alias inputText: introInput.text

    // The edit lost the focus, or Return ended it (then editReturned follows).
    signal editEnded()
    signal editReturned()
    signal waring(string waringInfo)

    height: introEdit.visible ? introEdit.height : introLine.height

    Text {
        id: introLine

        objectName: "introLine"
        width: parent.width - 25
        visible: !introEdit.visible
        text: VTr.introduction + ": " + (intro.shownInfo !== "" ? intro.shownInfo : VTr.lazyGroupManager)
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: 13
        color: "#666666"
    }

    Image {
        objectName: "introPencil"
        anchors.right: parent.right
        y: 2
        width: 16
        height: 16
        visible: intro.canEdit && !introEdit.visible
        source: "qrc:/images/session_page/group_info_edit.png"

        MouseArea {
            anchors.fill: parent
            anchors.margins: -4
            onClicked: {
                introInput.text = intro.shownInfo
                introEdit.visible = true
                introInput.forceActiveFocus()
                introInput.selectAll()
            }
        }
    }

    Rectangle {
        id: introEdit

        width: parent.width
        height: 60
        visible: false
        radius: 3
        color: "#F5F6F7"

        TextEdit {
            id: introInput

            objectName: "introInput"
            anchors.fill: parent
            anchors.margins: 5
            anchors.bottomMargin: 16
            font.pixelSize: 13
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            selectByMouse: true
            onLengthChanged: {
                if (activeFocus && length > 60) {
                    var cursor = cursorPosition
                    remove(Math.max(0, cursor - (length - 60)), cursor)
                    intro.waring(VTr.enteredTooLong)
                } else if (activeFocus && length < 60) {
                    intro.waring("")
                }
            }
            onActiveFocusChanged: if (!activeFocus) intro.editEnded()
            Keys.onReturnPressed: {
                if (event.modifiers & Qt.ControlModifier) {
                    insert(cursorPosition, "\n")
                    return
                }
                intro.editEnded()
                intro.editReturned()
            }
        }

        Text {
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 2
            text: introInput.length + "/60"
            font.pixelSize: 11
            color: introInput.length >= 60 ? "#F7334B" : "#999999"
        }
    }
}
