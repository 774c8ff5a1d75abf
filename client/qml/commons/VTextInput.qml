import QtQuick 2.12
import "VOwnedPopup.js" as OwnedPopup
import "../VDialogTable.js" as DialogTable

// A single-line input. Typing past maximumLength cuts what was just typed and
// reports enteredTooLong(true); text set without the focus is never cut.
TextInput {
    id: textInput

    property string placeholderText: ""
    // Replaces TextInput's own limit, which would refuse input silently.
    property int maximumLength: 10
    property var _menu: null

    signal enteredTooLong(bool isTooLong)

    verticalAlignment: TextInput.AlignVCenter
    font.pixelSize: activeFocus ? 17 : 16
    selectByMouse: true
    selectionColor: "#3385FF"
    selectedTextColor: "white"
    clip: true

    onLengthChanged: {
        if (activeFocus && maximumLength > 0 && length > maximumLength) {
            enteredTooLong(true)
            var cursor = cursorPosition
            var surplus = length - maximumLength
            remove(Math.max(0, cursor - surplus), cursor)
        } else if (!(activeFocus && maximumLength > 0 && length === maximumLength)) {
            enteredTooLong(false)
        }
    }

    function pasteFromClipboard() {
        if (selectedText !== "")
            remove(selectionStart, selectionEnd)
        insert(cursorPosition, vClipboard.text())
    }

    function _openMenu(x, y) {
        if (!_menu)
            _menu = OwnedPopup.create(textInput, DialogTable.url("VInputAreaMenu.qml"))
        if (!_menu)
            return
        var hasSelection = selectedText !== ""
        _menu.undoVisible = canUndo
        _menu.redoVisible = canRedo
        _menu.cutVisible = hasSelection
        _menu.copyVisible = hasSelection
        _menu.delVisible = hasSelection
        _menu.pasteVisible = vClipboard.hasText()
        _menu.selectAllVisible = text !== ""
        _menu.popup(x, y)
    }

    Connections {
        target: textInput._menu

        function onUndoTriggered() { textInput.undo() }
        function onRedoTriggered() { textInput.redo() }
        function onCutTriggered() { textInput.cut() }
        function onCopyTriggered() { textInput.copy() }
        function onPasteTriggered() { textInput.pasteFromClipboard() }
        function onDelTriggered() { textInput.remove(textInput.selectionStart, textInput.selectionEnd) }
        function onSelectAllTriggered() { textInput.selectAll() }
    }

    Text {
        anchors.fill: parent
        verticalAlignment: Text.AlignVCenter
        text: textInput.placeholderText
        textFormat: Text.PlainText
        font: textInput.font
        color: "#D0D0D0"
        elide: Text.ElideRight
        opacity: textInput.text === "" && !textInput.activeFocus ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation { duration: 200 }
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        cursorShape: Qt.IBeamCursor
        onClicked: {
            textInput.forceActiveFocus()
            if (textInput.selectedText === "")
                textInput.cursorPosition = textInput.positionAt(mouse.x, mouse.y)
            textInput._openMenu(mouse.x, mouse.y)
        }
    }
}
