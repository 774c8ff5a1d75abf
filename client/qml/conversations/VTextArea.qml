import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../settings"
import "VChatLogic.js" as Logic
import "../commons/VOwnedPopup.js" as OwnedPopup
import "../VDialogTable.js" as DialogTable

// The message input: a length limit that cuts what was just typed or pasted,
// pasting pictures, files and text, and @-mentions ("@" + name + en space) in
// groups, removed whole by one Backspace.
TextArea {
    id: textArea

    property int maximumLength: 60
    property bool canPasteImage: false
    property bool canAtSomebody: false
    // The cursor position just after the "@" that started a mention search; 0: none.
    property int _atMark: 0
    property var _menu: null
    // Local files of the pictures put into the field by insertPicture: only they go
    // out as pictures.
    property var _insertedPictures: ({})

    signal returnAndControlPressed()
    signal returnPressed()
    signal downPressed()
    signal upPressed()
    signal enteredTooLong(bool isTooLong)
    signal needAtSomebody(string somebody)
    signal closeAtSomebody()
    signal showAtSomebody()

    // The plain text (pictures count as one character each).
    function plainText() {
        return getText(0, length)
    }

    function _removeSelection() {
        if (selectionStart !== selectionEnd)
            remove(selectionStart, selectionEnd)
    }

    function _insertPlain(text) {
        if (text === "")
            return
        insert(cursorPosition, VSettings.plainTextToHtmlTextBase(textArea, text, false, false))
    }

    function pasteText(text) {
        _insertPlain(String(text))
    }

    // Foreign markup is never inserted as it stands: its text goes in as text, and
    // the program's own local pictures (copied from an input) as pictures.
    function pasteHtml(html) {
        var source = String(html)
        var pattern = new RegExp(VSettings._imageElementSource, "gi")
        var done = 0
        var match
        while ((match = pattern.exec(source)) !== null) {
            _insertPlain(vGlobal.richTextToPlainText(source.substring(done, match.index)))
            if (VSettings.startsWith(match[1], "file://")) {
                var path = VSettings.urlToLocalFile(match[1])
                if (vGlobal.isImage(path))
                    insertPicture(path)
            }
            done = match.index + match[0].length
        }
        _insertPlain(vGlobal.richTextToPlainText(source.substring(done)))
    }

    // Pictures go into the field, other local files are sent at once; links that
    // are not local files are pasted as text, folders are skipped.
    function pasteUrls(urls) {
        var texts = []
        for (var i = 0; i < urls.length; ++i) {
            var url = String(urls[i])
            if (!VSettings.startsWith(url, "file://")) {
                texts.push(url)
                continue
            }
            var path = VSettings.urlToLocalFile(url)
            if (vGlobal.isDir(path) || !vGlobal.fileExists(path))
                continue
            if (vGlobal.isImage(path))
                insertPicture(path)
            else
                vGlobal.sendFileOnly(url)
        }
        if (texts.length > 0)
            _insertPlain(texts.join(" "))
    }

    function pasteImage() {
        if (!canPasteImage)
            return
        var fileName = vClipboard.saveClipboardImageToTempDir()
        if (fileName !== "")
            insertPicture(fileName)
    }

    function insertPicture(fileName) {
        if (!canPasteImage || String(fileName) === "")
            return
        _insertedPictures[VSettings.urlToLocalFile(VSettings.localFileToUrl(fileName))] = true
        insert(cursorPosition, VSettings.getInsertPictureHtmlText(fileName))
    }

    function isInsertedPicture(path) {
        return _insertedPictures[String(path)] === true
    }

    // Dropped text is text, like pasted text: markup in it is not taken for markup.
    function dropText(txt) {
        _removeSelection()
        _insertPlain(String(txt))
    }

    function doPaste() {
        _removeSelection()
        if (vClipboard.hasHtml())
            pasteHtml(vClipboard.html())
        else if (vClipboard.hasUrls())
            pasteUrls(vClipboard.urls())
        else if (vClipboard.hasText())
            pasteText(vClipboard.text())
        else if (vClipboard.hasImage())
            pasteImage()
    }

    function doCopy() {
        if (selectionStart === selectionEnd)
            return
        var html = VSettings.htmlTextToPlainTextBase(getFormattedText(selectionStart, selectionEnd), false)
        vClipboard.setText(vGlobal.htmlTextToPlainText(html))
        vClipboard.setHtml(html)
    }

    // Drops the "@" that started the search and the letters typed after it.
    function removeAtAndSearchString() {
        if (_atMark > 0 && cursorPosition >= _atMark - 1)
            remove(_atMark - 1, cursorPosition)
        _atMark = 0
    }

    function insertMention(atName) {
        forceActiveFocus()
        if (_atMark > 0)
            removeAtAndSearchString()
        // Escaped, with blanks kept as they are: markup in a name stays text, and the
        // en space that ends the mention is not folded into a plain space.
        insert(cursorPosition, "<span style=\"white-space:pre-wrap\">" + VSettings.escapeHtml("@" + atName)
               + "&#8194;</span>")
    }

    // One Backspace after a mention removes all of it; false when the text before
    // the cursor is no mention.
    function removeMentionBeforeCursor() {
        var cursor = cursorPosition
        if (cursor < 2 || !/\s/.test(getText(cursor - 1, cursor)))
            return false
        var before = getText(0, cursor - 1)
        var at = before.lastIndexOf("@")
        if (at < 0 || !vGlobal.atNameContains(before.substring(at + 1)))
            return false
        remove(at, cursor)
        return true
    }

    function _openMenu(x, y) {
        if (!_menu)
            _menu = OwnedPopup.create(textArea, DialogTable.url("VInputAreaMenu.qml"))
        if (!_menu)
            return
        var hasSelection = selectionStart !== selectionEnd
        _menu.undoVisible = canUndo
        _menu.redoVisible = canRedo
        _menu.cutVisible = hasSelection
        _menu.copyVisible = hasSelection
        _menu.delVisible = hasSelection
        _menu.pasteVisible = vClipboard.hasHtml() || vClipboard.hasUrls() || vClipboard.hasText()
                             || vClipboard.hasImage()
        _menu.selectAllVisible = length > 0
        _menu.popup(x, y)
    }

    wrapMode: TextEdit.WrapAtWordBoundaryOrAnywhere
    selectByMouse: true
    persistentSelection: true
    selectionColor: "#3385FF"
    selectedTextColor: "#FFFFFF"
    font.pixelSize: 14
    color: "#333333"
    background: null

    on_AtMarkChanged: {
        if (_atMark === 0)
            closeAtSomebody()
    }
    onActiveFocusChanged: {
        if (!activeFocus)
            _atMark = 0
    }
    onLengthChanged: {
        if (activeFocus && maximumLength > 0 && length > maximumLength) {
            enteredTooLong(true)
            var cut = Logic.surplusRange(length, maximumLength, cursorPosition)
            remove(cut.start, cut.end)
        } else if (!(activeFocus && maximumLength > 0 && length === maximumLength)) {
            enteredTooLong(false)
        }
    }
    onCursorPositionChanged: {
        if (!canAtSomebody)
            return
        var cursor = cursorPosition
        if (cursor === 0) {
            _atMark = 0
        } else if (getText(cursor - 1, cursor) === "@") {
            showAtSomebody()
            _atMark = cursor
        } else if (_atMark > 0) {
            if (getText(_atMark - 1, _atMark) !== "@" || cursor < _atMark)
                _atMark = 0
            else
                needAtSomebody(getText(_atMark, cursor))
        }
    }

    Keys.onPressed: {
        var control = (event.modifiers & Qt.ControlModifier) !== 0
        var enter = event.key === Qt.Key_Return || event.key === Qt.Key_Enter
        if (control && event.key === Qt.Key_V) {
            doPaste()
            event.accepted = true
        } else if (control && event.key === Qt.Key_C && selectionStart !== selectionEnd) {
            doCopy()
            event.accepted = true
        } else if (enter && control) {
            returnAndControlPressed()
            event.accepted = true
        } else if (enter) {
            returnPressed()
            event.accepted = true
        } else if (event.key === Qt.Key_Up || event.key === Qt.Key_Down) {
            if (event.key === Qt.Key_Up)
                upPressed()
            else
                downPressed()
            // Only while a mention search is open, so the cursor still moves between lines.
            event.accepted = canAtSomebody && _atMark > 0
        } else if (event.key === Qt.Key_Backspace && canAtSomebody) {
            event.accepted = removeMentionBeforeCursor()
        }
    }

    Connections {
        target: vGlobal

        function onAtSomebodyAccount(account, atName) {
            if (textArea.canAtSomebody)
                textArea.insertMention(atName)
        }
    }

    Connections {
        target: textArea._menu

        function onUndoTriggered() { textArea.undo() }
        function onRedoTriggered() { textArea.redo() }
        function onCutTriggered() { textArea.cut() }
        function onCopyTriggered() { textArea.doCopy() }
        function onPasteTriggered() {
            textArea.doPaste()
            textArea.forceActiveFocus()
        }
        function onDelTriggered() { textArea._removeSelection() }
        function onSelectAllTriggered() { textArea.selectAll() }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        cursorShape: Qt.IBeamCursor
        onClicked: {
            textArea.forceActiveFocus()
            if (textArea.selectionStart === textArea.selectionEnd)
                textArea.cursorPosition = textArea.positionAt(mouse.x, mouse.y)
            textArea._openMenu(mouse.x, mouse.y)
        }
    }
}
