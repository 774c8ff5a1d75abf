import QtQuick 2.12
import "VSessionPageLogic.js" as Logic
import "../VDialogTable.js" as DialogTable

// One message of the chat view: the time label over the message's component,
// chosen by recall flag, type and side. The components read the row's item
// through model.modelData and report clicks through this row's signals.
Item {
    id: sessionDelegateRoot

    // What the message components of the row use, passed down to them as the row:
    // the page's voice player and message menu, the message view, and whether the
    // page is loading a conversation or the view is moving.
    property var player: null
    property var menu: null
    property var view: null
    property bool pageLoading: false
    property bool viewMoving: false
    // The time label is switched on once the component has loaded.
    property bool timeShown: false
    // The row's item was deleted while the view keeps the row to show another
    // message (see Logic.rowItem).
    property bool itemGone: false

    readonly property var messageItem: typeof model !== "undefined" && model && model.modelData
                                       ? model.modelData : null
    readonly property string componentFile: messageItem
        ? Logic.componentFile(messageItem.revokeflag, messageItem.msgtype, messageItem.sendflag) : ""

    signal rightClicked(real mouseX, real mouseY, string copyText)
    signal fileOpenOptionsClicked(real mouseX, real mouseY, string filePath)
    signal translationRightClicked(real mouseX, real mouseY, string copyText)
    signal loaded()
    // The desktop had no program to open a file of this row with.
    signal fileOpenFailed()
    // The item's translation arrived or changed.
    signal translationUpdated()

    height: (timeShown ? 54 : 0) + (content.item ? content.item.height : 0) + 24

    Connections {
        target: sessionDelegateRoot.messageItem
        ignoreUnknownSignals: true
        function onTranslationChanged() { sessionDelegateRoot.translationUpdated() }
        function onGoingAway() { sessionDelegateRoot.itemGone = true }
        function onShowTimeChanged() {
            if (content.status === Loader.Ready)
                sessionDelegateRoot.timeShown = sessionDelegateRoot.messageItem.showTime
        }
    }

    // The component is made with the row already set, so that it never shows the
    // empty stand-in first.
    function _loadContent() {
        var file = componentFile
        var url = file !== "" ? DialogTable.url(file) : ""
        if (String(content.source) === url)
            return
        if (url === "")
            content.source = ""
        else
            content.setSource(url, { "row": sessionDelegateRoot })
    }

    onComponentFileChanged: _loadContent()
    Component.onCompleted: _loadContent()

    ListView.onReused: {
        itemGone = false
        timeShown = content.status === Loader.Ready && messageItem ? messageItem.showTime : false
    }

    Connections {
        target: sessionDelegateRoot.player
        ignoreUnknownSignals: true
        function onPlaying() {
            var item = sessionDelegateRoot.messageItem
            if (item && sessionDelegateRoot.player.modelId === item.id && item.playflag === 0)
                item.playflag = 1
        }
    }

    Loader {
        id: timeLabel

        width: parent.width
        height: 54
        active: sessionDelegateRoot.timeShown
        asynchronous: true
        source: active ? DialogTable.url("VTimeMsgCom.qml") : ""
        onLoaded: item.row = sessionDelegateRoot
    }

    Loader {
        id: content

        y: sessionDelegateRoot.timeShown ? 54 : 0
        width: parent.width
        asynchronous: false
        onLoaded: {
            sessionDelegateRoot.timeShown = sessionDelegateRoot.messageItem
                    ? sessionDelegateRoot.messageItem.showTime : false
            sessionDelegateRoot.loaded()
        }
    }
}
