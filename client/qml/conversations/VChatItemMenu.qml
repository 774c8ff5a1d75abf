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

    property bool copyVisible: false
    property bool forwardVisible: false
    property bool recallVisible: false
    property bool pauseVisible: false
    property bool playVisible: false
    property bool stopVisible: false
    property bool saveAsVisible: false
    property bool translateVisible: false
    property bool deleteVisible: false

    readonly property var _entries: [copyItem, forwardItem, recallItem, pauseItem, playItem, stopItem,
                                     saveAsItem, translateItem, deleteItem]
    readonly property var _flags: ["copyVisible", "forwardVisible", "recallVisible", "pauseVisible",
                                   "playVisible", "stopVisible", "saveAsVisible", "translateVisible",
                                   "deleteVisible"]
    // The page's voice player (the page sets it).
    property var player: null

    signal diffModelId()
    // The page opens its save dialog for the message.
    signal saveAsTriggered()

    function reset() {
        for (var i = 0; i < _flags.length; ++i)
            chatItemMenu[_flags[i]] = false
    }

    // The texts of the entries switched on, in order.
    function shownEntries() {
        var shown = []
        for (var i = 0; i < _flags.length; ++i) {
            if (chatItemMenu[_flags[i]])
                shown.push(_entries[i].text)
        }
        return shown
    }

    function fitWidth() {
        var widest = 56
        for (var i = 0; i < _flags.length; ++i) {
            if (chatItemMenu[_flags[i]])
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

        visible: chatItemMenu.copyVisible
        text: VTr.copy
        onTriggered: chatItemMenu.copy()
    }
    VMenuItem {
        id: forwardItem

        visible: chatItemMenu.forwardVisible
        text: VTr.forward
        onTriggered: vGlobal.forwardMessage(chatItemMenu.modelId, chatItemMenu.modelContent, chatItemMenu.msgtype)
    }
    VMenuItem {
        id: recallItem

        visible: chatItemMenu.recallVisible
        text: VTr.recall
        onTriggered: chatItemMenu.recall()
    }
    VMenuItem {
        id: pauseItem

        visible: chatItemMenu.pauseVisible
        text: VTr.pause
        onTriggered: {
            if (chatItemMenu.player)
                chatItemMenu.player.pause()
        }
    }
    VMenuItem {
        id: playItem

        visible: chatItemMenu.playVisible
        text: VTr.play
        onTriggered: chatItemMenu.play()
    }
    VMenuItem {
        id: stopItem

        visible: chatItemMenu.stopVisible
        text: VTr.stop
        onTriggered: {
            if (chatItemMenu.player)
                chatItemMenu.player.stop()
        }
    }
    VMenuItem {
        id: saveAsItem

        visible: chatItemMenu.saveAsVisible
        text: VTr.saveAs
        onTriggered: chatItemMenu.saveAsTriggered()
    }
    VMenuItem {
        id: translateItem

        visible: chatItemMenu.translateVisible
        text: VTr.translate
        onTriggered: chatItemMenu.translate()
    }
    VMenuItem {
        id: deleteItem

        visible: chatItemMenu.deleteVisible
        text: VTr.del
        onTriggered: sessionManager.removeMsg(chatItemMenu.modelId)
    }
}
