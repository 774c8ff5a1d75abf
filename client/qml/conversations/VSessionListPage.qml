import QtQuick 2.12
import QtQuick.Controls 2.13
import QtMultimedia 5.12
import VFileSaveDialog 1.0
import "../commons"
import "../popups"
import "../settings"
import "../translator"
import "VSessionPageLogic.js" as Logic
import "../VDialogTable.js" as DialogTable

// The chat tab: the conversation list at the left, the open conversation at the
// right (title, messages, input). The page holds no messages itself; it drives
// "sessionListManager" and "sessionManager" and keeps the drafts and the one
// voice player of the tab. The chat column (VChatColumn.qml, with its input area
// VChatInputArea.qml) does its work through the state kept here.
Item {
    id: sessionListPage

    property string currentAccount: ""
    property string currentName: ""
    property string currentIcon: ""
    property string currentUid: ""
    property string currentSummery: ""
    property int currentTotype: -1
    property int currentGroupTitle: 0
    property int currentChampFlag: 0
    property string lastAccount: ""
    property bool isCurrentAccountLoading: false
    readonly property bool isCurrentGroupManager: _groupManager
    readonly property bool isCurrentGroupOwner: _groupOwner
    readonly property bool sessionListViewMoving: chatColumn.messageView.moving
    property var popup: null

    // Made by name when first needed; they belong to the message components.
    property var chatItemMenu: null
    property var inputArea: chatColumn.inputPane.field
    property var translationSwitchPopup: null
    property var atSomebodyPopup: null
    property var fileOpenOptionsMenu: null
    property var groupSettingsDrawer: null
    property var singleChatDrawer: null
    property var screenshot: null
    property var atMeBanner: null

    // Row last clicked with the left button or whose remove mark was clicked.
    property int clickedIndex: -1
    // Paging of the message view, kept by the manager that holds the rows.
    readonly property int lastLoadMoreMsgIndex: sessionManager.pageTopRow
    readonly property bool callLoadMoreMsg: sessionManager.pageAwaited
    // Sync switch of the input area.
    property bool syncChecked: false
    // fromid of the last complete member search, for the next page of results.
    property int atSearchFromId: 0
    // Mute states the group settings drawer changed, by account.
    property var muteOverrides: ({})
    // Bumped on every draftsChanged, so rows look their drafts up again.
    property int draftsVersion: 0
    property date now: new Date()

    property bool _groupManager: false
    property bool _groupOwner: false
    readonly property alias listMenu: sessionListMenu
    readonly property alias messageView: chatColumn.messageView
    readonly property alias voicePlayer: globalQMLMediaPlayer

    signal draftsChanged()

    readonly property bool isGroup: currentTotype === 1
    // Owners and managers pass the group's bans.
    readonly property bool restrictedInGroup: isGroup && !isCurrentGroupOwner && !isCurrentGroupManager
    readonly property bool drawerShowing: (groupSettingsDrawer !== null && groupSettingsDrawer.visible)
                                          || (singleChatDrawer !== null && singleChatDrawer.visible)
    readonly property string greeting: {
        switch (Logic.greetingIndex(now.getHours())) {
        case 0: return VTr.emptyTipMorning
        case 1: return VTr.emptyTipAfternoon
        case 2: return VTr.emptyTipEvening
        default: return VTr.emptyTipMiddleNight
        }
    }

    anchors.fill: parent

    // Makes a popup or part of the page from the dialog table; a file that is not
    // there or does not load is an error, and gives null.
    function _make(file, parentObject, properties) {
        var path = DialogTable.url(file)
        if (path === "")
            return null
        var component = Qt.createComponent(path)
        if (component.status !== Component.Ready) {
            console.error("cannot load", file + ":", component.errorString().trim())
            return null
        }
        var made = component.createObject(parentObject, properties || {})
        if (made === null)
            console.error("cannot make", file)
        return made
    }

    // ---- drafts ----

    function draftOf(account) {
        var draft = drafts.value(account)
        return draft === undefined ? "" : draft
    }

    // A rich text as the plain text a draft shows: pictures left out, trimmed.
    function draftPlainText(html) {
        return vGlobal.htmlTextToPlainText(VSettings.htmlTextToPlainTextBase(html, false)).trim()
    }

    // What the row of an account shows instead of its preview; empty for none.
    function rowDraftText(account) {
        if (account === currentAccount)
            return ""
        var draft = draftOf(account)
        return draft === "" ? "" : draftPlainText(draft)
    }

    function forgetDraft(account) {
        drafts.remove(account)
        draftsChanged()
    }

    function _keepDraft(account) {
        if (account === "")
            return
        var html = fieldHtml()
        if (draftPlainText(html) !== "")
            drafts.put(account, html.trim())
        else
            drafts.remove(account)
        draftsChanged()
    }

    // ---- the input field ----

    function fieldHtml() {
        return inputArea ? String(inputArea.text) : ""
    }

    // Plain text of the field; inserted pictures count as a character.
    function fieldPlain() {
        return inputArea ? String(inputArea.getText(0, inputArea.length)) : ""
    }

    function fieldClear() {
        if (inputArea)
            inputArea.clear()
    }

    function fieldFocus() {
        if (inputArea)
            inputArea.forceActiveFocus()
    }

    function fieldInsert(html) {
        if (!inputArea)
            return
        inputArea.insert(inputArea.cursorPosition, html)
        fieldFocus()
    }

    readonly property bool sendEnabled: inputArea !== null && inputArea !== undefined
                                        && /\S/.test(inputArea.length >= 0 ? fieldPlain() : "")

    // ---- opening and switching ----

    // Runs the switch steps when the open conversation changes.
    function _setCurrentAccount(account) {
        if (account === currentAccount)
            return false
        var previous = currentAccount
        var openedRow = rowOfAccount(account)
        _pendingAtMe = openedRow >= 0 && sessionListManager.get(openedRow).atflag > 0
        currentAccount = account
        isCurrentAccountLoading = true
        sessionManager.endPage()
        if (globalQMLMediaPlayer.playbackState === MediaPlayer.PlayingState)
            globalQMLMediaPlayer.stop()
        if (atMeBanner)
            atMeBanner.hide()
        // A drawer shows the settings of the conversation it was opened on.
        if (groupSettingsDrawer !== null)
            groupSettingsDrawer.close()
        if (singleChatDrawer !== null)
            singleChatDrawer.close()
        // The field holds the text typed in the conversation that was open, so that
        // is whose draft it becomes.
        _keepDraft(previous)
        fieldClear()
        var draft = draftOf(account)
        if (draft !== "" && inputArea) {
            inputArea.append(draft)
            inputArea.cursorPosition = inputArea.length
        }
        fieldFocus()
        chatColumn.restartLoading()
        if (account !== "") {
            currentUid = String(contactsManager.getUserid(account))
            currentSummery = contactsManager.getSummary(account)
        } else {
            currentUid = ""
            currentSummery = ""
        }
        return true
    }

    // The open one-to-one conversation's title after the list was rebuilt: its row's
    // name and picture (the newest profile known), else the friend's; a person the
    // program knows nothing of keeps the title it has.
    function _refreshCurrentPerson() {
        var account = currentAccount
        var row = rowOfAccount(account)
        var name = row >= 0 ? sessionListManager.getSessionName(row) : ""
        var icon = row >= 0 ? sessionListManager.getSessionIcon(row) : ""
        if (name === "")
            name = contactsManager.getName(account)
        if (icon === "")
            icon = contactsManager.getLogo(account)
        if (name !== "")
            currentName = name
        if (icon !== "")
            currentIcon = icon
    }

    function _readCurrentFromRow(index) {
        currentName = sessionListManager.getSessionName(index)
        currentIcon = sessionListManager.getSessionIcon(index)
        currentTotype = sessionListManager.getSessionTotype(index)
        currentGroupTitle = sessionListManager.getSessionTitle(index)
        currentChampFlag = sessionListManager.getSessionChampFlag(index)
        sessionList.positionViewAtIndex(index, ListView.Contain)
    }

    // The row of an account; with "Auto move to top" off an opened row may stay
    // where it was, so it is looked up rather than assumed at 0.
    function rowOfAccount(account) {
        for (var i = 0; i < sessionList.count; ++i) {
            if (sessionListManager.getSessionAccount(i) === account)
                return i
        }
        return -1
    }

    // A left click on a row.
    function openRow(index) {
        var item = sessionListManager.get(index)
        if (!item)
            return
        clickedIndex = index
        if (item.account !== currentAccount) {
            _setCurrentAccount(item.account)
            sessionManager.entrySession(item.account, item.totype)
            currentName = item.name
            currentIcon = item.icon
            currentTotype = item.totype
            currentGroupTitle = item.title
            currentChampFlag = item.champflag
            sessionList.positionViewAtIndex(index, ListView.Contain)
        }
        if (item.totype === 1 && item.groupstate === 1)
            vGlobal.notGroupMember()
        fieldFocus()
    }

    function _openFromOutside(account, isGroup, name, icon) {
        _setCurrentAccount(account)
        if (name === undefined)
            sessionManager.entrySession(account, isGroup ? 1 : 0, true)
        else
            sessionManager.entrySession(account, isGroup ? 1 : 0, true, name, icon)
        var row = rowOfAccount(account)
        _readCurrentFromRow(row < 0 ? 0 : row)
        if (row >= 0)
            clickedIndex = row
    }

    function openSession(account, isGroup) {
        _openFromOutside(account, isGroup)
    }

    function openSessionWithNameAndIcon(account, isGroup, name, icon) {
        _openFromOutside(account, isGroup, name, icon)
    }

    function afterCreateGroupChatSuccessed(groupid, groupname, parentid) {
        openSession(groupid, true)
    }

    // Removes a conversation and opens the row that stands at the remembered index.
    function removeSession(account) {
        sessionListManager.removeSession(account)
        forgetDraft(account)
        var count = sessionListManager.itemCount
        if (count <= 0) {
            // Nothing left to open: the chat column shows its empty state.
            _setCurrentAccount("")
            currentName = ""
            currentIcon = ""
            currentTotype = -1
            currentGroupTitle = 0
            currentChampFlag = 0
            clickedIndex = -1
            isCurrentAccountLoading = false
            return
        }
        // Removing another conversation leaves the open one open, wherever its row
        // moved to.
        var openRow = account !== currentAccount ? rowOfAccount(currentAccount) : -1
        if (openRow >= 0) {
            clickedIndex = openRow
            return
        }
        var index = Logic.indexAfterRemoval(clickedIndex, count)
        var next = sessionListManager.getSessionAccount(index)
        var changed = _setCurrentAccount(next)
        if (changed)
            sessionManager.entrySession(next, sessionListManager.getSessionTotype(index))
        _readCurrentFromRow(index)
    }

    function removeRowAt(index) {
        clickedIndex = index
        sessionList.forceActiveFocus()
        removeSession(sessionListManager.getSessionAccount(index))
    }
    function markRead() {
        if (currentAccount !== "")
            sessionListManager.resetUnReadMsgCount(currentAccount)
    }

    // Whether the user can see this page: the window active and the chat tab shown.
    // Hidden behind another tab the open conversation's messages stay unread.
    function userCanSee() {
        return visible && vGlobal.active
    }

    // Marks the open conversation read when the user can see its newest messages.
    function markReadIfSeen() {
        if (userCanSee() && chatColumn.standsAtEnd())
            markRead()
    }

    // The manager sounds and alerts for the open conversation while it is hidden.
    onVisibleChanged: {
        sessionManager.chatPageShown = visible
        if (!visible)
            return
        markReadIfSeen()
        if (chatColumn.followsEnd)
            chatColumn.placeAtEndSoon()
    }
    Component.onDestruction: sessionManager.chatPageShown = false

    // ---- the chat column's operations, offered by the page ----

    function positionViewAtEnd() { chatColumn.positionViewAtEnd() }
    function warningText() { return chatColumn.warningText() }
    function warn(text) { chatColumn.warn(text) }
    function showMessageMenu(index, posX, posY, copyText) { chatColumn.showMessageMenu(index, posX, posY, copyText) }
    function showTranslationMenu(index, posX, posY, copyText) {
        chatColumn.showTranslationMenu(index, posX, posY, copyText)
    }
    function translationArrived(index) { chatColumn.translationArrived(index) }
    function showFileOptions(posX, posY, filePath) { chatColumn.showFileOptions(posX, posY, filePath) }
    function showTranslationSwitchMenu(posX, posY, toTr, modelId) {
        chatColumn.showTranslationSwitchMenu(posX, posY, toTr, modelId)
    }
    function toggleDrawer() { chatColumn.toggleDrawer() }
    function sendMessage() { return chatColumn.inputPane.sendMessage() }
    function isLocalUrl(url) { return chatColumn.inputPane.isLocalUrl(url) }
    function sendFile(url) { return chatColumn.inputPane.sendFile(url) }
    function sendPicture(url) { chatColumn.inputPane.sendPicture(url) }
    function sendFileOnly(url) { chatColumn.inputPane.sendFileOnly(url) }
    function returnPressed() { chatColumn.inputPane.returnPressed() }
    function showAtSomebody() { chatColumn.inputPane.showAtSomebody() }
    function needAtSomebody(somebody) { chatColumn.inputPane.needAtSomebody(somebody) }
    function closeAtSomebody() { chatColumn.inputPane.closeAtSomebody() }
    function openEmojiPopup(button) { return chatColumn.inputPane.openEmojiPopup(button) }
    function startScreenshot(hideWindow) { chatColumn.inputPane.startScreenshot(hideWindow) }
    function toggleSync() { chatColumn.inputPane.toggleSync() }
    function openSyncTargets() { chatColumn.inputPane.openSyncTargets() }

    // "Save as..." of the message menu.
    function saveAsFromMenu() {
        if (chatItemMenu === null)
            return
        fileSaveDialog.title = VTr.saveAs
        fileSaveDialog.filename = chatItemMenu.fileName
        fileSaveDialog.nameFilters = [VTr.allFiles + " (*)"]
        fileSaveDialog.sourcePath = chatItemMenu.localpath
        fileSaveDialog.open()
    }

    // The banner comes up for a mention in the open conversation: one its row
    // carried when it was opened (opening clears the row's mark) or one arriving
    // while it is open. Where that message is, is looked up when it is clicked.
    property bool _pendingAtMe: false

    function _showAtMeWhenMentioned() {
        var row = _openRowItem
        var mentioned = _pendingAtMe || (row !== null && row.account === currentAccount && row.atflag > 0)
        _pendingAtMe = false
        if (mentioned && atMeBanner)
            atMeBanner.show(-1)
    }

    VMap {
        id: drafts
    }

    onDraftsChanged: draftsVersion++

    MediaPlayer {
        id: globalQMLMediaPlayer

        // Local id of the voice message loaded into the player.
        property int modelId: -1

        function sourceModelId() { return modelId }
    }

    VFileSaveDialog {
        id: fileSaveDialog

        property string sourcePath: ""

        onAccepted: saveAs(sourcePath, VSettings.urlToLocalFile(String(fileUrl)))
        onSaveAsResult: sessionListPage.warn(successed ? VTr.fileSaveFinished : VTr.fileSaveFailed)
    }

    VSessionListMenu {
        id: sessionListMenu

        onDeleteChatTriggered: {
            if (currentAccount !== "")
                sessionListPage.removeSession(currentAccount)
        }
    }

    // Keeps the row times right across midnight.
    Timer {
        interval: 60000
        repeat: true
        running: true
        onTriggered: sessionListPage.now = new Date()
    }

    Component.onCompleted: {
        sessionManager.chatPageShown = visible
        chatItemMenu = _make("VChatItemMenu.qml", sessionListPage, { "player": globalQMLMediaPlayer })
        atMeBanner = _make("VAlertSomeoneAtMe.qml", chatColumn.bannerHost)
    }

    Connections {
        target: vGlobal
        function onLeaveGroupSuccessed() {
            var account = sessionManager.currentSessionId
            groupManager.removeData(account)
            sessionListPage.removeSession(account)
        }
        function onNotGroupMemberKnown() {
            var account = sessionListPage.currentAccount
            groupManager.removeData(account)
            sessionListPage.removeSession(account)
        }
        function onPositionToUnReadSession() {
            var index = sessionListManager.getNextUnReadIndex()
            if (index >= 0)
                sessionList.positionViewAtIndex(index, ListView.Beginning)
        }
        function onWindowAcitveChanged(active) {
            if (active)
                sessionListPage.markReadIfSeen()
        }
        function onAddGroupMembersSuccessed() { sessionListPage.fieldFocus() }
        function onDeleteGroupMembersSuccessed() { sessionListPage.fieldFocus() }
        function onForwardFinished() { chatColumn.placeAtEndSoon() }
    }

    Connections {
        target: sessionManager
        function onListViewToEnd() {
            if (chatColumn.standsAtEnd()) {
                // Read only while the user can see it; else it counts until then.
                sessionListPage.markReadIfSeen()
                chatColumn.placeAtEndSoon()
            }
        }
        function onDestroyGroupNotify(groupid) {
            if (groupid !== sessionListPage.currentAccount)
                return
            groupManager.removeData(sessionManager.currentSessionId)
            if (!groupAdminManager.isOwner(vConfig.currentAccount))
                vGlobal.disbandGroupNotifyMember()
            else
                vGlobal.disbandGroupSuccessed()
            sessionListPage.removeSession(groupid)
        }
        function onAtMsgNotify(account, name, logo, atFlag) {
            if (atFlag > 0)
                vGlobal.showDesktopAtMessage(name, atFlag === 1 ? VTr.atMe : VTr.atAll, account)
        }
        function onNeedReloadMsg(account) {
            if (account !== sessionListPage.currentAccount)
                return
            sessionManager.resetStatus()
            sessionManager.loadMoreMsg()
        }
        // The manager has shown what the answer brought by now.
        function onDownloadHistoryFinished(success) {
            Qt.callLater(sessionManager.endPageWhenNothingCame)
        }
    }

    Connections {
        target: sessionListManager
        function onItemCountChanged() { sessionListPage._findOpenRowItem() }
        function onDataComplete() {
            sessionListPage._findOpenRowItem()
            if (sessionListPage.currentAccount !== "" && !sessionListPage.isGroup)
                sessionListPage._refreshCurrentPerson()
        }
    }

    Connections {
        target: groupManager
        function onSearchMembersResult(result, fromid) {
            if (result === 0)
                sessionListPage.atSearchFromId = fromid
        }
        // A muted conversation adds nothing to the chat tab's badge: count again.
        function onMuteResult(result) { sessionManager.updateUnReadMsgCount() }
    }

    Connections {
        target: sessionListPage.chatItemMenu
        ignoreUnknownSignals: true
        function onSaveAsTriggered() { sessionListPage.saveAsFromMenu() }
    }

    // The open row's at-flag brings the banner up.
    property var _openRowItem: null

    // Found again whenever the rows change: a rebuild makes new items.
    function _findOpenRowItem() {
        var row = rowOfAccount(currentAccount)
        _openRowItem = row >= 0 ? sessionListManager.get(row) : null
    }

    onCurrentAccountChanged: _findOpenRowItem()

    Connections {
        target: sessionListPage._openRowItem
        ignoreUnknownSignals: true
        function onAtflagChanged() { sessionListPage._showAtMeWhenMentioned() }
    }

    SplitView {
        id: split

        anchors.fill: parent
        orientation: Qt.Horizontal

        handle: Rectangle {
            implicitWidth: 1
            color: "#E5E5E5"
        }

        // ---- the conversation list ----
        Rectangle {
            id: listColumn

            SplitView.preferredWidth: VSettings.sessionInfoItemWidth
            SplitView.minimumWidth: VSettings.sessionInfoItemWidth
            SplitView.maximumWidth: 350
            color: "#F5F5F5"

            Item {
                id: listTop

                width: parent.width
                height: VSettings.titleBarAreaHeight

                VSearchBar {
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - x - addButton.width - 24
                    height: 26
                    functionIsDeveloping: true
                }

                VAddButton {
                    id: addButton

                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                }
            }

            ListView {
                id: sessionList

                y: listTop.height
                width: parent.width
                height: parent.height - y
                clip: true
                model: sessionListManager
                currentIndex: -1
                enabled: count > 0
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}

                delegate: VSessionListRow {
                    width: sessionList.width
                    item: model.modelData
                    now: sessionListPage.now
                    isOpen: item !== null && item.account === sessionListPage.currentAccount
                    hovered: sessionList.currentIndex === index
                    muted: {
                        var overrides = sessionListPage.muteOverrides
                        if (item && isOpen && overrides[item.account] !== undefined)
                            return overrides[item.account]
                        return item ? item.isMute : false
                    }
                    draftText: sessionListPage.draftsVersion >= 0 && item
                               ? sessionListPage.rowDraftText(item.account) : ""
                    onEntered: sessionList.currentIndex = index
                    onExited: if (sessionList.currentIndex === index) sessionList.currentIndex = -1
                    onClicked: sessionListPage.openRow(index)
                    onDoubleClicked: if (isOpen) sessionListPage.positionViewAtEnd()
                    onBadgeClicked: if (isOpen) sessionListPage.positionViewAtEnd()
                    onRemoveClicked: sessionListPage.removeRowAt(index)
                    onRightClicked: {
                        sessionListMenu.currentAccount = item.account
                        var place = mapToItem(sessionListPage, mouseX, mouseY)
                        sessionListMenu.popup(place.x, place.y)
                    }
                }
            }

            VSessionEmptyLoader {
                anchors.fill: sessionList
                active: sessionList.count === 0
            }
        }

        VChatColumn {
            id: chatColumn

            SplitView.minimumWidth: 470
            SplitView.fillWidth: true
            page: sessionListPage
        }
    }
}
