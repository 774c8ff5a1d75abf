import QtQuick 2.12

// One digit box of the join code. A digit reports enterFinished; Backspace in an
// empty box and Delete past the end move to the neighbouring boxes.
Rectangle {
    id: box

    property alias text: input.text
    property alias cursorPosition: input.cursorPosition
    readonly property alias inputActiveFocus: input.activeFocus

    signal enterFinished()
    signal toDelPrevious()
    signal toDelNext()

    function takeFocus(atStart) {
        input.forceActiveFocus()
        input.cursorPosition = atStart ? 0 : input.length
    }

    function clear() {
        input.text = ""
    }

    width: 60
    height: 50
    radius: 5
    color: "#F5F6F7"
    border.color: input.activeFocus ? "#03C087" : "#E5E5E5"

    TextInput {
        id: input

        anchors.fill: parent
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        font.pixelSize: 24
        color: "#333333"
        maximumLength: 1
        validator: RegExpValidator { regExp: /[0-9]/ }
        // The cursor only marks the box that waits for a digit.
        cursorVisible: activeFocus && text === ""
        cursorDelegate: Rectangle {
            width: 2
            color: "#03C087"
            visible: input.activeFocus && input.text === ""
        }
        onTextEdited: if (text !== "") box.enterFinished()
        Keys.onPressed: {
            if (event.key === Qt.Key_Backspace && text === "") {
                event.accepted = true
                box.toDelPrevious()
            } else if (event.key === Qt.Key_Delete) {
                event.accepted = true
                if (text !== "" && cursorPosition === 0)
                    text = ""
                else
                    box.toDelNext()
            }
        }
    }
}
