import QtQuick 2.15
import QtQuick.Controls 2.13
import QtMultimedia 5.12
import "../commons"
import "../popups"
import "../settings"
import "../translator"
import "VSessionPageLogic.js" as Logic

// The chat column of the open conversation: the title area with the settings
// drawers, the message view with its paging and menus, and the input area.
Item {
    id: chatColumn

    // The chat page: the open conversation, the player and the popups it keeps.
    property Item page: null
    readonly property alias messageView: sessionListView
    readonly property alias inputPane: inputPane
    readonly property alias bannerHost: atMeHost
    // Whether a conversation is open, and whether it is a group.
    readonly property bool hasConversation: page !== null && page.currentAccount !== ""
    readonly property bool isGroup: page !== null && page.isGroup
    // The view follows the end of the conversation until the user scrolls away.
    property bool followsEnd: true

    // Whether new messages are in sight: the view follows or stands at its end.
    function standsAtEnd() {
        return followsEnd || sessionListView.atYEnd
    }

    // Restarted on every switch of conversation: rows are being built, then the
    // view is placed at its end.
    function restartLoading() {
        _atMeId = -1
        delegateLoadingTimer.restart()
        positionAtEndTimer.restart()
    }

    function placeAtEndSoon() {
        positionAtEndTimer.restart()
    }

    // ---- message view ----

    function positionViewAtEnd() {
        _atMeId = -1
        // First, so that the view is placed over the rows it keeps.
        _releaseFarRows(true)
        _endTries = 0
        _placeAtEnd()
    }

    // Whether rows reach below the view. Read from the geometry itself: atYEnd is
    // brought up to date only after the change handlers have run.
    function _shortOfEnd() {
        var view = sessionListView
        return view.originY + view.contentHeight - view.height > view.contentY + 0.5
    }

    // Rows far from the screen have no item and only a guessed height: once those
    // near the end are built the end may have moved, and the view goes there again.
    property int _endTries: 0
    function _placeAtEnd() {
        sessionListView.positionViewAtEnd()
        followsEnd = true
        if (_shortOfEnd() && _endTries++ < 10)
            Qt.callLater(_keepAtEnd)
    }
    function _keepAtEnd() {
        if (followsEnd && _shortOfEnd() && !sessionListView.moving)
            _placeAtEnd()
    }

    // At its end the view needs no row beyond what the screen and the cache above
    // it hold (a row is at least 24 high); paging reads older rows again.
    // The view lets go of the rows' delegates at once, before their items go.
    // While messages arrive, rows go a batch at a time (each release reads every
    // kept row), when the view is placed at its end, all at once.
    readonly property int releaseBatch: 20
    function _releaseFarRows(atOnce) {
        if (!hasConversation)
            return
        var keep = Math.ceil((sessionListView.height + sessionListView.cacheBuffer) / 24)
        if (sessionManager.releaseOlderRows(keep, atOnce ? 0 : releaseBatch) > 0)
            sessionListView.forceLayout()
    }

    // Keeps the message that stood at the top when older ones were asked for.
    function _placeAfterLoad() {
        var row = sessionManager.settlePage()
        if (row >= 0)
            sessionListView.positionViewAtIndex(row, ListView.Beginning)
    }

    function warningText() {
        return warningTip.text
    }

    function warn(text) {
        warningTip.text = ""
        warningTip.text = text
    }

    // The message menu of a row, its entries chosen by the message type.
    function showMessageMenu(index, posX, posY, copyText) {
        if (page.drawerShowing || page.chatItemMenu === null || page.chatItemMenu.visible)
            return
        var item = sessionManager.get(index)
        if (!item)
            return
        var recall = Logic.canRecall(page.isGroup, page.isCurrentGroupOwner || page.isCurrentGroupManager,
                                     item.sendflag, vGlobal.isRecallable(item.sendtime))
        var entries = Logic.menuEntries(item, recall, _playerState())
        if (entries === null)
            return
        var menu = page.chatItemMenu
        menu.copyText = entries.copyText !== null ? entries.copyText : copyText
        menu.modelContent = item.content
        menu.modelId = item.id
        menu.localpath = item.localpath
        menu.fileName = item.fileName
        menu.msgtype = item.msgtype
        menu.clickedIndex = index
        menu.toTr = entries.toTr === undefined || entries.toTr === null ? "" : entries.toTr
        _switchMenuEntries(menu, entries)
        var place = sessionListView.mapToItem(page, posX, posY)
        menu.popup(place.x, place.y)
    }

    // The menu on a translation: copying it, and the player for a voice message.
    function showTranslationMenu(index, posX, posY, copyText) {
        if (page.drawerShowing || page.chatItemMenu === null || page.chatItemMenu.visible)
            return
        var item = sessionManager.get(index)
        if (!item)
            return
        var entries = Logic.menuEntries({ msgtype: -1 }, false, _playerState()) || {
            copy: false, forward: false, recall: false, play: false, pause: false, stop: false,
            saveAs: false, translate: false, remove: false
        }
        var menu = page.chatItemMenu
        menu.modelContent = item.content
        menu.modelId = item.id
        menu.localpath = item.localpath
        menu.fileName = item.fileName
        menu.msgtype = item.msgtype
        menu.clickedIndex = index
        if (item.msgtype === 0) {
            entries.copy = true
            menu.copyText = copyText
        } else if (item.msgtype === 4) {
            entries.copy = item.audioText !== ""
            menu.copyText = item.translation
            if (item.downloadState === 1) {
                var player = Logic.playerEntries(_playerState(), item.id)
                entries.play = player.play
                entries.pause = player.pause
                entries.stop = player.stop
            }
        } else {
            return
        }
        _switchMenuEntries(menu, entries)
        var place = sessionListView.mapToItem(page, posX, posY)
        menu.popup(place.x, place.y)
    }

    function _playerState() {
        return {
            modelId: page.voicePlayer.modelId,
            playing: page.voicePlayer.playbackState === MediaPlayer.PlayingState,
            paused: page.voicePlayer.playbackState === MediaPlayer.PausedState
        }
    }

    function _switchMenuEntries(menu, entries) {
        var names = {
            copy: "copyVisible", forward: "forwardVisible", recall: "recallVisible",
            play: "playVisible", pause: "pauseVisible", stop: "stopVisible",
            saveAs: "saveAsVisible", translate: "translateVisible", remove: "deleteVisible"
        }
        for (var key in names) {
            if (menu.hasOwnProperty(names[key]))
                menu[names[key]] = entries[key] === true
        }
    }

    // A translation asked for from the menu on the last message: keep it in sight.
    function translationArrived(index) {
        var menu = page.chatItemMenu
        if (menu === null || !menu.translating || menu.clickedIndex !== index
                || index !== sessionListView.count - 1)
            return
        positionAtEndTimer.restart()
        menu.translating = false
    }

    function showFileOptions(posX, posY, filePath) {
        if (page.fileOpenOptionsMenu === null) {
            page.fileOpenOptionsMenu = page._make("VFileOpenOptionsMenu.qml", page)
            if (page.fileOpenOptionsMenu === null)
                return
            page.fileOpenOptionsMenu.openFailed.connect(function () { warn(VTr.openFailed) })
        }
        var place = sessionListView.mapToItem(page, posX, posY)
        page.fileOpenOptionsMenu.filePath = filePath
        page.fileOpenOptionsMenu.popup(place.x - page.fileOpenOptionsMenu.width, place.y)
    }

    function showTranslationSwitchMenu(posX, posY, toTr, modelId) {
        if (page.translationSwitchPopup === null)
            page.translationSwitchPopup = page._make("VTranslationSwitchPopupWindow.qml", page)
        if (page.translationSwitchPopup === null)
            return
        // Placed in the view's coordinates, shown over the page.
        var place = sessionListView.mapToItem(page, posX, posY)
        page.translationSwitchPopup.x = place.x
        page.translationSwitchPopup.y = place.y
        page.translationSwitchPopup.toTr = toTr
        page.translationSwitchPopup.modelId = modelId
        page.translationSwitchPopup.open()
    }

    function toggleDrawer() {
        if (page.currentAccount === "")
            return
        if (page.isGroup) {
            if (page.groupSettingsDrawer === null) {
                page.groupSettingsDrawer = page._make("VGroupSettingsDrawer.qml", drawerHost)
                if (page.groupSettingsDrawer === null)
                    return
                if (page.groupSettingsDrawer.waring)
                    page.groupSettingsDrawer.waring.connect(function (info) { warn(info) })
                if (page.groupSettingsDrawer.updateCurrentGroupMuteValue) {
                    // The answer may come after another conversation was opened:
                    // it marks the group the switch was clicked for.
                    page.groupSettingsDrawer.updateCurrentGroupMuteValue.connect(function (groupid) {
                        var overrides = page.muteOverrides
                        overrides[groupid] = groupManager.isGroupMute(groupid)
                        page.muteOverrides = overrides
                        page.muteOverridesChanged()
                    })
                }
            }
            if (page.groupSettingsDrawer.isShowing())
                page.groupSettingsDrawer.close()
            else
                page.groupSettingsDrawer.open(page.currentAccount)
        } else {
            if (page.singleChatDrawer === null) {
                page.singleChatDrawer = page._make("VSingleChatDrawer.qml", drawerHost)
                if (page.singleChatDrawer === null)
                    return
            }
            if (page.singleChatDrawer.isShowing()) {
                page.singleChatDrawer.close()
            } else {
                page.singleChatDrawer.source = page.currentIcon
                page.singleChatDrawer.name = page.currentName
                page.singleChatDrawer.uid = VTr.uid + page.currentUid
                page.singleChatDrawer.summery = page.currentSummery
                page.singleChatDrawer.open(page.currentAccount)
            }
        }
    }

    function _gotoAtMe() {
        // Looked up before the flags are cleared: after a start only they tell where it is.
        var index = sessionManager.getToLastAtMessage()
        sessionManager.clearAtFlag(sessionManager.currentSessionId)
        if (index < 0)
            return
        var item = sessionManager.get(index)
        _atMeId = item ? item.id : -1
        _atMeTries = 0
        _placeAtMe()
    }

    // The mention the view was sent to, by message id (rows may be added above it),
    // until the user moves the view or it goes elsewhere. Rows near it had only
    // guessed heights when it was placed: once they are built it is placed again,
    // as the view's end is.
    property int _atMeId: -1
    property int _atMeTries: 0

    function _atMeRow() {
        if (_atMeId < 0)
            return -1
        for (var i = sessionListView.count - 1; i >= 0; --i) {
            var item = sessionManager.get(i)
            if (item && item.id === _atMeId)
                return i
        }
        return -1
    }

    function _atMeShortOfView(row) {
        var shown = sessionListView.itemAtIndex(row)
        if (!shown)
            return true
        var top = sessionListView.contentY
        return shown.y < top - 0.5 || shown.y + shown.height > top + sessionListView.height + 0.5
    }

    function _placeAtMe() {
        var row = _atMeRow()
        if (row < 0) {
            _atMeId = -1
            return
        }
        sessionListView.positionViewAtIndex(row, ListView.Contain)
        followsEnd = false
        if (_atMeShortOfView(row) && _atMeTries++ < 10)
            Qt.callLater(_keepAtMe)
    }

    function _keepAtMe() {
        if (_atMeId >= 0 && !sessionListView.moving && _atMeShortOfView(_atMeRow()))
            _placeAtMe()
    }

    Timer {
        id: positionAtEndTimer

        interval: 200
        onTriggered: {
            if (delegateLoadingTimer.running) {
                restart()
                return
            }
            chatColumn.positionViewAtEnd()
            page.isCurrentAccountLoading = false
            page._showAtMeWhenMentioned()
            refreshTimer.start()
        }
    }

    Timer {
        id: delegateLoadingTimer

        interval: 330
        // The end was reached while rows were still being built: read now.
        onTriggered: {
            if (!page.isCurrentAccountLoading && sessionListView.atYEnd && page.userCanSee())
                page.markRead()
        }
    }

    Timer {
        id: refreshTimer

        interval: 300
        onTriggered: {
            if (page.isGroup && page.currentAccount !== "") {
                var role = groupManager.getRole(page.currentAccount)
                page._groupManager = role === 2
                page._groupOwner = role === 1
            } else {
                page._groupManager = false
                page._groupOwner = false
            }
            // The view was placed at its end, but may have left it since.
            page.markReadIfSeen()
            sessionManager.clearAtFlag(page.lastAccount)
            page.lastAccount = page.currentAccount
        }
    }

    Item {
        id: titleArea

        width: parent.width
        height: VSettings.titleBarAreaHeight
        enabled: chatColumn.hasConversation

        VRoundImage {
            id: titleAvatar

            x: 20
            anchors.verticalCenter: parent.verticalCenter
            width: 36
            height: 36
            source: chatColumn.isGroup ? groupManager.groupIcon : page ? page.currentIcon : ""
            champflag: chatColumn.isGroup || !page ? 0 : page.currentChampFlag

            VOfficialIndicatorTesmo {
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                visible: chatColumn.isGroup && page.currentGroupTitle === 1
            }

            MouseArea {
                anchors.fill: parent
                onClicked: chatColumn.toggleDrawer()
            }
        }

        Text {
            x: titleAvatar.x + titleAvatar.width + 12
            anchors.verticalCenter: parent.verticalCenter
            width: settingsButton.x - x - 12
            text: !chatColumn.hasConversation ? ""
                  : chatColumn.isGroup ? groupManager.groupname + "(" + groupManager.memberCount + ")"
                                            : page.currentName
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
            font.pixelSize: 16
            color: "#333333"
        }

        Image {
            id: settingsButton

            anchors.right: parent.right
            anchors.rightMargin: vGlobal.osIsWindows ? 110 : 15
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            visible: chatColumn.hasConversation
            source: chatColumn.isGroup ? "qrc:/images/session_page/group_settings.png"
                                            : "qrc:/images/session_page/single_settings.png"

            MouseArea {
                anchors.fill: parent
                anchors.margins: -5
                onClicked: chatColumn.toggleDrawer()
            }
        }

        Rectangle {
            visible: vGlobal.osIsWindows
            x: parent.width - 94
            anchors.verticalCenter: parent.verticalCenter
            width: 1
            height: 20
            color: "#E5E5E5"
        }

        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: "#E5E5E5"
        }
    }

    SplitView {
        id: chatSplit

        y: titleArea.height
        width: parent.width
        height: parent.height - y
        orientation: Qt.Vertical
        enabled: chatColumn.hasConversation

        handle: Rectangle {
            implicitHeight: 1
            color: "#E5E5E5"
        }

        // ---- messages ----
        Item {
            id: messageArea

            SplitView.preferredHeight: 330
            SplitView.minimumHeight: 230
            SplitView.fillHeight: true

            // Received bubbles are white: the view behind them is not.
            Rectangle {
                anchors.fill: parent
                color: "#F5F5F5"
            }

            ListView {
                id: sessionListView

                function showTranslationSwitchMenu(posX, posY, toTr, modelId) {
                    chatColumn.showTranslationSwitchMenu(posX, posY, toTr, modelId)
                }

                anchors.fill: parent
                clip: true
                model: chatColumn.hasConversation ? sessionManager : null
                // Twice the view's own height: the rows near the screen, not the
                // whole conversation.
                cacheBuffer: Math.max(0, 2 * height)
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                activeFocusOnTab: true
                ScrollBar.vertical: ScrollBar {
                    onPressedChanged: if (pressed) chatColumn._atMeId = -1
                }

                header: Rectangle {
                    width: sessionListView.width
                    height: sessionManager.noMoreMsg ? 40 : 0
                    color: "transparent"
                    clip: true

                    Behavior on height {
                        NumberAnimation { duration: 300 }
                    }

                    Text {
                        anchors.centerIn: parent
                        text: "———————— " + VTr.nomoreMessages + " ————————"
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        color: "#BBBBBB"
                    }
                }

                delegate: VSessionDelegate {
                    width: sessionListView.width
                    player: page ? page.voicePlayer : null
                    menu: page ? page.chatItemMenu : null
                    view: sessionListView
                    pageLoading: page ? page.isCurrentAccountLoading : false
                    viewMoving: sessionListView.moving
                    onLoaded: delegateLoadingTimer.restart()
                    onRightClicked: chatColumn.showMessageMenu(index, mouseX, mouseY, copyText)
                    onTranslationRightClicked: chatColumn.showTranslationMenu(index, mouseX, mouseY,
                                                                                     copyText)
                    onFileOpenOptionsClicked: chatColumn.showFileOptions(mouseX, mouseY, filePath)
                    onTranslationUpdated: chatColumn.translationArrived(index)
                    onFileOpenFailed: chatColumn.warn(VTr.openFailed)
                }

                onContentYChanged: chatColumn.followsEnd = atYEnd
                // A view that follows the end goes where the end moved (rows built or
                // reused for another message, a picture loaded).
                function _followEnd() {
                    if (chatColumn.followsEnd && chatColumn._shortOfEnd() && !moving) {
                        chatColumn._endTries = 0
                        Qt.callLater(chatColumn._keepAtEnd)
                    }
                }
                // The same for a mention the banner sent the view to.
                function _followAtMe() {
                    if (chatColumn._atMeId >= 0 && !moving) {
                        chatColumn._atMeTries = 0
                        Qt.callLater(chatColumn._keepAtMe)
                    }
                }
                onContentHeightChanged: {
                    _followEnd()
                    _followAtMe()
                }
                onOriginYChanged: {
                    _followEnd()
                    _followAtMe()
                }
                onMovementStarted: chatColumn._atMeId = -1
                onAtYEndChanged: {
                    if (atYEnd && page && !delegateLoadingTimer.running) {
                        if (page.userCanSee())
                            page.markRead()
                        Qt.callLater(chatColumn._releaseFarRows)
                    }
                }
                onAtYBeginningChanged: {
                    if (!atYBeginning || count === 0 || !page || page.isCurrentAccountLoading)
                        return
                    var index = indexAt(20, contentY + 8)
                    sessionManager.beginPage(index < 0 ? 0 : index)
                    // Not while the view is still moving there: rows added from
                    // within its own change would be laid out mid-move.
                    Qt.callLater(sessionManager.loadMoreMsg)
                }
                // A page arrives row by row: the view is placed once they all are in.
                onCountChanged: {
                    if (!page)
                        return
                    if (sessionManager.pageAwaited)
                        Qt.callLater(chatColumn._placeAfterLoad)
                }
                onActiveFocusChanged: {
                    if (activeFocus && page)
                        page.markReadIfSeen()
                }
            }

            // With a drawer showing, a click on the view only takes the focus.
            MouseArea {
                anchors.fill: parent
                visible: page !== null && page.drawerShowing
                onClicked: sessionListView.forceActiveFocus()
            }

            DropArea {
                id: messageDrop

                anchors.fill: parent
                enabled: chatColumn.hasConversation
                onDropped: {
                    if (drop.hasUrls) {
                        for (var i = 0; i < drop.urls.length; ++i)
                            page.sendFile(drop.urls[i])
                        drop.accept()
                    }
                }
            }

            Rectangle {
                anchors.fill: parent
                visible: messageDrop.containsDrag
                color: "#CCFFFFFF"
                border.color: "#00D091"

                Text {
                    anchors.centerIn: parent
                    text: VTr.dropToSend
                    textFormat: Text.PlainText
                    font.pixelSize: 16
                    color: "#333333"
                }
            }
        }

        VChatInputArea {
            id: inputPane

            SplitView.preferredHeight: 170
            SplitView.minimumHeight: 148
            SplitView.maximumHeight: 358
            page: chatColumn.page
            popupHost: chatColumn
        }
    }

    // The settings drawers slide in under the title area.
    Item {
        id: drawerHost

        y: titleArea.height
        width: parent.width
        height: parent.height - y
        clip: true
    }

    // "Someone @ me" slides in at the right edge of this strip.
    Item {
        id: atMeHost

        y: 60
        width: parent.width
        height: 36
        clip: true
    }

    Connections {
        target: page ? page.atMeBanner : null
        ignoreUnknownSignals: true
        function onGotoAtMe() { chatColumn._gotoAtMe() }
    }

    VWarningTip {
        id: warningTip

        z: 10
    }

    // No conversation open: the greeting of the time of day.
    Rectangle {
        anchors.fill: parent
        visible: !chatColumn.hasConversation
        color: "#FFFFFF"

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            onWheel: wheel.accepted = true
        }

        Column {
            anchors.centerIn: parent
            width: parent.width
            spacing: 20

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 144
                height: 144
                source: "qrc:/images/session_page/session_empty.png"
            }

            Text {
                width: parent.width
                text: page ? page.greeting : ""
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 14
                color: "#999999"
            }
        }
    }
}
