import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../popups"
import "../settings"
import "../translator"
import "VChatLogic.js" as Logic

// The right-button menu of a message. The chat column fills the message's state and
// switches entries on before opening; closing switches them all off again.
Menu {
    id: chatItemMenu

    property string toTr: ""
    property string copyText: ""
    property string modelContent: ""
    property int modelId: -1
    // The text that owns the view's one selection: the id and "NONE" or "TRANSLATION".
    property string modelIdForText: ""
    property string localpath: ""
    property string fileName: ""
    property int msgtype: 0
    property int clickedIndex: -1
    property bool translating: false

    property alias copyVisible: copyItem.visible
    property alias forwardVisible: forwardItem.visible
    property alias recallVisible: recallItem.visible
    property alias pauseVisible: pauseItem.visible
    property alias playVisible: playItem.visible
    property alias stopVisible: stopItem.visible
    property alias saveAsVisible: saveAsItem.visible
    property alias translateVisible: translateItem.visible
    property alias deleteVisible: deleteItem.visible

    readonly property var _entries: [copyItem, forwardItem, recallItem, pauseItem, playItem, stopItem,
                                     saveAsItem, translateItem, deleteItem]
    readonly property var player: typeof globalQMLMediaPlayer !== "undefined" ? globalQMLMediaPlayer : null

    signal diffModelId()
    // The page opens its save dialog for the message.
    signal saveAsTriggered()

    function reset() {
        for (var i = 0; i < _entries.length; ++i)
            _entries[i].visible = false
    }

    function shownEntries() {
        var shown = []
        for (var i = 0; i < _entries.length; ++i) {
            if (_entries[i].visible)
                shown.push(_entries[i].text)
        }
        return shown
    }

    function fitWidth() {
        var widest = 56
        for (var i = 0; i < _entries.length; ++i) {
            if (_entries[i].visible)
                widest = Math.max(widest, _entries[i].textPaintedWidth)
        }
        width = widest
    }

    function copy() {
        if (msgtype === 0 || msgtype === 4)
            vClipboard.setText(copyText)
        else if (msgtype === 2)
            vClipboard.setImagePath(localpath)
        else if (msgtype === 3)
            vClipboard.setFile(localpath)
    }

    function recall() {
        sessionManager.recallMsg(modelId)
        // The recall notice offers the text back for a while.
        if (msgtype === 0)
            VSettings.addToRecallMap(modelId, copyText)
    }

    function play() {
        if (!player)
            return
        if (player.modelId !== modelId) {
            player.source = VSettings.localFileToUrl(localpath)
            player.modelId = modelId
        }
        player.play()
    }

    function translate() {
        sessionManager.translate(modelId, "auto", Logic.translationTarget(vTranslator.language), toTr)
        translating = true
    }

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    width: 56
    implicitHeight: topPadding + bottomPadding + 31 * shownEntries().length
    onAboutToShow: fitWidth()
    onClosed: reset()

    background: VMenuBackgroundCom {}

    VMenuItem {
        id: copyItem

        text: VTr.copy
        onTriggered: chatItemMenu.copy()
    }
    VMenuItem {
        id: forwardItem

        text: VTr.forward
        onTriggered: vGlobal.forwardMessage(chatItemMenu.modelId, chatItemMenu.modelContent, chatItemMenu.msgtype)
    }
    VMenuItem {
        id: recallItem

        text: VTr.recall
        onTriggered: chatItemMenu.recall()
    }
    VMenuItem {
        id: pauseItem

        text: VTr.pause
        onTriggered: {
            if (chatItemMenu.player)
                chatItemMenu.player.pause()
        }
    }
    VMenuItem {
        id: playItem

        text: VTr.play
        onTriggered: chatItemMenu.play()
    }
    VMenuItem {
        id: stopItem

        text: VTr.stop
        onTriggered: {
            if (chatItemMenu.player)
                chatItemMenu.player.stop()
        }
    }
    VMenuItem {
        id: saveAsItem

        text: VTr.saveAs
        onTriggered: chatItemMenu.saveAsTriggered()
    }
    VMenuItem {
        id: translateItem

        text: VTr.translate
        onTriggered: chatItemMenu.translate()
    }
    VMenuItem {
        id: deleteItem

        text: VTr.del
        onTriggered: sessionManager.removeMsg(chatItemMenu.modelId)
    }
}
