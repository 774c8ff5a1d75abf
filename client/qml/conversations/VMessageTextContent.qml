import QtQuick 2.12
import QtQuick.Window 2.12
import "../settings"
import "VChatLogic.js" as Logic

// One read-only, selectable message text. It is shown by a light Text (plain
// unless it holds a link or an emoji picture); the selectable editor is made only
// once the user presses on it or something selects in it, since most texts of a
// long chat are only ever looked at. Only one text of the view keeps a
// selection: the owner's key stands in the message menu's modelIdForText.
Item {
    id: content

    property string plainText: ""
    property bool isSend: false
    // The message id followed by "NONE" or "TRANSLATION".
    property string selectionKey: ""
    property real viewWidth: 800
    property real screenWidth: Screen.width > 0 ? Screen.width : 1366
    // The page's message menu, which keeps who holds the one selection.
    property var menu: null

    readonly property bool rich: VSettings.needsRichText(plainText)
    readonly property var editor: editorLoader.item
    readonly property string selectedText: editor ? editor.selectedText : ""
    readonly property string hoveredLink: editor ? editor.hoveredLink : shown.hoveredLink
    readonly property int lineCount: shown.lineCount
    readonly property color textColor: isSend ? "#FFFFFF" : "#333333"

    // x, y in this item; copyText the selection or the whole text.
    signal contextRequested(real x, real y, string copyText)

    function html() {
        return breakableSpaces(VSettings.plainTextToHtmlText(content, plainText, isSend))
    }

    // Line ends as the view shows them (a carriage return would show as a box).
    function plainShown() {
        return plainText.replace(/\r\n?/g, "\n")
    }

    function makeEditor() {
        editorLoader.active = true
        return editorLoader.item
    }

    function select(start, end) {
        makeEditor().select(start, end)
    }

    function deselect() {
        if (editor)
            editor.deselect()
    }

    function copyTextNow() {
        return selectedText !== "" ? _selectionText() : plainText
    }

    function _selectionText() {
        if (!rich)
            return editor.selectedText
        // The formatted selection keeps emoji pictures, which become their codes.
        return VSettings.htmlTextToPlainText(editor.getFormattedText(editor.selectionStart,
                                                                     editor.selectionEnd))
    }

    // The shown text keeps every blank as a no-break space; the first of each run
    // becomes a plain one again (except at a line start), so that long texts wrap
    // between words rather than inside them.
    function breakableSpaces(html) {
        return html.replace(/(<br \/>|[^\u00a0\s])\u00a0/g, function (all, before) {
            return before === "<br />" ? all : before + " "
        })
    }

    function copySelection() {
        if (selectedText !== "")
            vClipboard.setText(_selectionText())
    }

    function openLink(link) {
        if (/^(https?:\/\/|mailto:)/i.test(link))
            Qt.openUrlExternally(link)
    }

    // A row the view reuses for another message drops the last one's editor.
    onSelectionKeyChanged: {
        editorLoader.active = false
        area.handedOver = false
    }

    // The implicit width is the text's width laid out without wrapping.
    width: Math.ceil(Logic.textWidth(shown.implicitWidth, viewWidth, screenWidth))
    height: shown.height

    Text {
        id: shown

        width: content.width
        visible: !content.editor
        textFormat: content.rich ? Text.RichText : Text.PlainText
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        font.pixelSize: 14
        color: content.textColor
        text: content.rich ? content.html() : content.plainShown()
        onLinkActivated: content.openLink(link)
    }

    Loader {
        id: editorLoader

        width: content.width
        height: content.height
        active: false
        sourceComponent: TextEdit {
            id: edit

            readOnly: true
            selectByMouse: true
            selectByKeyboard: true
            persistentSelection: true
            textFormat: content.rich ? TextEdit.RichText : TextEdit.PlainText
            wrapMode: TextEdit.WrapAtWordBoundaryOrAnywhere
            font.pixelSize: 14
            color: content.textColor
            selectionColor: "#3385FF"
            selectedTextColor: "#FFFFFF"
            text: content.rich ? content.html() : content.plainShown()

            onLinkActivated: content.openLink(link)
            onSelectedTextChanged: {
                var menu = content.menu
                if (selectedText !== "" && menu && menu.modelIdForText !== content.selectionKey) {
                    menu.modelIdForText = content.selectionKey
                    menu.diffModelId()
                }
            }
            onActiveFocusChanged: {
                var menu = content.menu
                if (!menu)
                    return
                var owner = menu.modelIdForText === content.selectionKey
                if (!activeFocus && !owner)
                    deselect()
                else
                    menu.modelIdForText = ""
            }

            Keys.onPressed: {
                if (event.key === Qt.Key_C && (event.modifiers & Qt.ControlModifier)) {
                    content.copySelection()
                    event.accepted = true
                }
            }

            Connections {
                target: content.menu
                ignoreUnknownSignals: true

                function onDiffModelId() {
                    if (content.menu.modelIdForText !== content.selectionKey)
                        edit.deselect()
                }
            }
        }
    }

    // Until the editor is made, a first press makes it and does what its own press
    // would have: place the cursor, select while dragging, a word on a double
    // click, follow a link on a click. Later presses go to the editor itself.
    MouseArea {
        id: area

        property bool dragged: false
        // The editor takes left presses itself from the press after the one that made it.
        property bool handedOver: false

        anchors.fill: parent
        acceptedButtons: handedOver ? Qt.RightButton : (Qt.LeftButton | Qt.RightButton)
        preventStealing: pressedButtons & Qt.LeftButton
        cursorShape: content.hoveredLink !== "" ? Qt.PointingHandCursor : Qt.IBeamCursor
        onPressed: {
            var edit = content.makeEditor()
            edit.forceActiveFocus()
            dragged = false
            if (mouse.button === Qt.LeftButton)
                edit.cursorPosition = edit.positionAt(mouse.x, mouse.y)
        }
        onPositionChanged: {
            if (!(pressedButtons & Qt.LeftButton) || !content.editor)
                return
            dragged = true
            content.editor.moveCursorSelection(content.editor.positionAt(mouse.x, mouse.y),
                                               TextEdit.SelectCharacters)
        }
        onReleased: handedOver = content.editor !== null
        onCanceled: handedOver = content.editor !== null
        onDoubleClicked: {
            if (mouse.button === Qt.LeftButton && content.editor)
                content.editor.selectWord()
        }
        onClicked: {
            if (mouse.button === Qt.RightButton) {
                content.contextRequested(mouse.x, mouse.y, content.copyTextNow())
                return
            }
            var link = dragged ? "" : shown.linkAt(mouse.x, mouse.y)
            if (link !== "")
                content.openLink(link)
        }
    }
}
