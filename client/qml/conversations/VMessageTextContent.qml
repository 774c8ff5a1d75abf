import QtQuick 2.12
import QtQuick.Window 2.12
import "../settings"
import "VChatLogic.js" as Logic

// One read-only, selectable message text. Only one text of the view keeps a
// selection: the owner's key stands in the message menu's modelIdForText.
TextEdit {
    id: content

    property string plainText: ""
    property bool isSend: false
    // The message id followed by "NONE" or "TRANSLATION".
    property string selectionKey: ""
    property real viewWidth: 800
    property real screenWidth: Screen.width > 0 ? Screen.width : 1366
    readonly property var menu: typeof chatItemMenu !== "undefined" ? chatItemMenu : null

    // x, y in this item; copyText the selection or the whole text.
    signal contextRequested(real x, real y, string copyText)

    function copyTextNow() {
        return selectedText !== "" ? VSettings.htmlTextToPlainText(_selectionHtml()) : plainText
    }

    function _selectionHtml() {
        // The formatted selection keeps emoji pictures, which become their codes.
        return content.getFormattedText(selectionStart, selectionEnd)
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
            vClipboard.setText(VSettings.htmlTextToPlainText(_selectionHtml()))
    }

    readOnly: true
    selectByMouse: true
    selectByKeyboard: true
    persistentSelection: true
    textFormat: TextEdit.RichText
    wrapMode: TextEdit.WrapAtWordBoundaryOrAnywhere
    font.pixelSize: 14
    color: isSend ? "#FFFFFF" : "#333333"
    selectionColor: "#3385FF"
    selectedTextColor: "#FFFFFF"
    text: breakableSpaces(VSettings.plainTextToHtmlText(content, plainText, isSend))
    // The implicit width is the text's width laid out without wrapping.
    width: Math.ceil(Logic.textWidth(implicitWidth, viewWidth, screenWidth))
    height: contentHeight

    onLinkActivated: {
        if (/^(https?:\/\/|mailto:)/i.test(link))
            Qt.openUrlExternally(link)
    }
    onSelectedTextChanged: {
        if (selectedText !== "" && menu && menu.modelIdForText !== selectionKey) {
            menu.modelIdForText = selectionKey
            menu.diffModelId()
        }
    }
    onActiveFocusChanged: {
        if (!menu)
            return
        var owner = menu.modelIdForText === selectionKey
        if (!activeFocus && !owner)
            deselect()
        else
            menu.modelIdForText = ""
    }

    Keys.onPressed: {
        if (event.key === Qt.Key_C && (event.modifiers & Qt.ControlModifier)) {
            copySelection()
            event.accepted = true
        }
    }

    Connections {
        target: content.menu
        ignoreUnknownSignals: true

        function onDiffModelId() {
            if (content.menu.modelIdForText !== content.selectionKey)
                content.deselect()
        }
    }

    MouseArea {
        anchors.fill: parent
        // Left presses go to the text itself (a new press drops the selection).
        acceptedButtons: Qt.RightButton
        cursorShape: content.hoveredLink !== "" ? Qt.PointingHandCursor : Qt.IBeamCursor
        onPressed: content.forceActiveFocus()
        onClicked: content.contextRequested(mouse.x, mouse.y, content.copyTextNow())
    }
}
