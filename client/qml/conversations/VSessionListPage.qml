import QtQuick 2.12
import QtQuick.Controls 2.13
import QtQuick.Dialogs 1.3
import QtQuick.Window 2.12
import QtMultimedia 5.12
import VFileSaveDialog 1.0
import "../commons"
import "../commons/VFileChooser.js" as FileChooser
import "../popups"
import "../settings"
import "../translator"
import "VSessionPageLogic.js" as Logic

// The chat tab: the conversation list at the left, the open conversation at the
// right (title, messages, input). The page holds no messages itself; it drives
// "sessionListManager" and "sessionManager" and keeps the drafts and the one
// voice player of the tab.
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
    readonly property alias sessionListViewMoving: sessionListView.moving
    property var popup: null

    // Made by name when first needed; they belong to the message components.
    property var chatItemMenu: null
    property var inputArea: inputLoader.item
    property var translationSwitchPopup: null
    property var atSomebodyPopup: null
    property var fileOpenOptionsMenu: null
    property var groupSettingsDrawer: null
    property var singleChatDrawer: null
    property var screenshot: null
    property var atMeBanner: null

    // Row last clicked with the left button or whose remove mark was clicked.
    property int clickedIndex: -1
    // Paging of the message view.
    property int lastLoadMoreMsgIndex: -1
    property bool callLoadMoreMsg: false
    property int lastCount: 0
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
    property bool _followEnd: true
    property var _available: ({})
    readonly property alias listMenu: sessionListMenu
    readonly property alias messageView: sessionListView

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

    // Whether a QML file of this folder (or a path relative to it) loads; asked
    // once per file, so that files not yet present leave their place empty.
    function componentAvailable(file) {
        if (_available[file] === undefined) {
            var component = Qt.createComponent(file)
            _available[file] = component.status === Component.Ready
        }
        return _available[file]
    }

    // Makes an object of the first of the files that loads; null when none does.
    function _make(files, parentObject) {
        for (var i = 0; i < files.length; ++i) {
            if (!componentAvailable(files[i]))
                continue
            var made = Qt.createComponent(files[i]).createObject(parentObject)
            if (made !== null)
                return made
        }
        return null
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
        callLoadMoreMsg = false
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
        delegateLoadingTimer.restart()
        positionAtEndTimer.restart()
        if (account !== "") {
            currentUid = String(contactsManager.getUserid(account))
            currentSummery = contactsManager.getSummary(account)
        } else {
            currentUid = ""
            currentSummery = ""
        }
        return true
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
        drafts.remove(account)
        draftsChanged()
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

    // ---- message view ----

    function positionViewAtEnd() {
        // First, so that the view is placed over the rows it keeps.
        _releaseFarRows()
        _endTries = 0
        _placeAtEnd()
    }

    // Rows far from the screen have no item and only a guessed height: once those
    // near the end are built the end may have moved, and the view goes there again.
    property int _endTries: 0
    function _placeAtEnd() {
        sessionListView.positionViewAtEnd()
        _followEnd = true
        if (!sessionListView.atYEnd && _endTries++ < 10)
            Qt.callLater(_keepAtEnd)
    }
    function _keepAtEnd() {
        if (_followEnd && !sessionListView.atYEnd && !sessionListView.moving)
            _placeAtEnd()
    }

    // At its end the view needs no row beyond what the screen and the cache above
    // it hold (a row is at least 24 high); paging reads older rows again.
    // The view lets go of the rows' delegates at once, before their items go.
    function _releaseFarRows() {
        if (currentAccount === "")
            return
        var keep = Math.ceil((sessionListView.height + sessionListView.cacheBuffer) / 24)
        if (sessionManager.releaseOlderRows(keep) > 0)
            sessionListView.forceLayout()
    }

    property int _countBeforeLoad: 0
    // The message that stood at the top when older ones were asked for.
    property int _loadTopId: -1

    // Where the message that stood at the top is now: older rows come in above it,
    // sent and received ones below it. -1 when it is gone.
    function _loadTopIndex() {
        var last = Math.min(sessionManager.itemCount - 1,
                            sessionManager.itemCount - _countBeforeLoad + lastLoadMoreMsgIndex)
        for (var i = Math.max(0, lastLoadMoreMsgIndex); i <= last; ++i) {
            var item = sessionManager.get(i)
            if (item && item.id === _loadTopId)
                return i
        }
        return -1
    }

    // Keeps the message that stood at the top when older ones were asked for. Rows
    // that came in below it (a message sent or received meanwhile) are no page.
    function _placeAfterLoad() {
        if (!callLoadMoreMsg)
            return
        var index = _loadTopIndex()
        if (index === lastLoadMoreMsgIndex)
            return
        callLoadMoreMsg = false
        if (index >= 0)
            sessionListView.positionViewAtIndex(index, ListView.Beginning)
    }

    // A history answer that brought nothing older ends the paging.
    function _endLoadWhenNothingCame() {
        if (callLoadMoreMsg && _loadTopIndex() === lastLoadMoreMsgIndex)
            callLoadMoreMsg = false
    }

    function markRead() {
        if (currentAccount !== "")
            sessionListManager.resetUnReadMsgCount(currentAccount)
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
        if (drawerShowing || chatItemMenu === null || chatItemMenu.visible)
            return
        var item = sessionManager.get(index)
        if (!item)
            return
        var recall = Logic.canRecall(isGroup, isCurrentGroupOwner || isCurrentGroupManager,
                                     item.sendflag, vGlobal.isRecallable(item.sendtime))
        var entries = Logic.menuEntries(item, recall, _playerState())
        if (entries === null)
            return
        var menu = chatItemMenu
        menu.copyText = entries.copyText !== null ? entries.copyText : copyText
        menu.modelContent = item.content
        menu.modelId = item.id
        menu.localpath = item.localpath
        menu.fileName = item.fileName
        menu.msgtype = item.msgtype
        menu.clickedIndex = index
        menu.toTr = entries.toTr === undefined || entries.toTr === null ? "" : entries.toTr
        _switchMenuEntries(menu, entries)
        var place = sessionListView.mapToItem(sessionListPage, posX, posY)
        menu.popup(place.x, place.y)
    }

    // The menu on a translation: copying it, and the player for a voice message.
    function showTranslationMenu(index, posX, posY, copyText) {
        if (drawerShowing || chatItemMenu === null || chatItemMenu.visible)
            return
        var item = sessionManager.get(index)
        if (!item)
            return
        var entries = Logic.menuEntries({ msgtype: -1 }, false, _playerState()) || {
            copy: false, forward: false, recall: false, play: false, pause: false, stop: false,
            saveAs: false, translate: false, remove: false
        }
        var menu = chatItemMenu
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
        var place = sessionListView.mapToItem(sessionListPage, posX, posY)
        menu.popup(place.x, place.y)
    }

    function _playerState() {
        return {
            modelId: globalQMLMediaPlayer.modelId,
            playing: globalQMLMediaPlayer.playbackState === MediaPlayer.PlayingState,
            paused: globalQMLMediaPlayer.playbackState === MediaPlayer.PausedState
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
        var menu = chatItemMenu
        if (menu === null || !menu.translating || menu.clickedIndex !== index
                || index !== sessionListView.count - 1)
            return
        positionAtEndTimer.restart()
        menu.translating = false
    }

    function showFileOptions(posX, posY, filePath) {
        if (fileOpenOptionsMenu === null)
            fileOpenOptionsMenu = _make(["VFileOpenOptionsMenu.qml"], sessionListPage)
        if (fileOpenOptionsMenu === null)
            return
        var place = sessionListView.mapToItem(sessionListPage, posX, posY)
        fileOpenOptionsMenu.filePath = filePath
        fileOpenOptionsMenu.popup(place.x - fileOpenOptionsMenu.width, place.y)
    }

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

    // ---- sending ----

    // Sends the field: the ban checks first, on the text without its pictures;
    // a refusal sends nothing and leaves the field as it is.
    function sendMessage() {
        if (currentAccount === "" || !inputArea)
            return false
        var sessionId = sessionManager.currentSessionId
        if (restrictedInGroup) {
            if (groupManager.isBanall(sessionId)) {
                warn(VTr.bannedSpeechAll)
                return false
            }
            if (groupManager.isBanuser(sessionId)) {
                warn(VTr.bannedSpeechYourself)
                return false
            }
        }
        if (!sendEnabled)
            return false
        var html = fieldHtml()
        // Only pictures the user put in go out; any other picture markup is dropped.
        var pictures = VSettings.insertedPictures(html).filter(function (path) {
            return inputArea.isInsertedPicture(path)
        })
        var text = VSettings.htmlTextToPlainText(html)
        var hasText = /\S/.test(text)
        if (restrictedInGroup) {
            if (hasText && groupManager.isBanUrls(sessionId)
                    && Logic.containsLink(text, VSettings.textRegExp, VSettings.textRegExp1)) {
                warn(VTr.bannedUrls)
                return false
            }
            if (pictures.length > 0 && groupManager.isBanPics(sessionId)) {
                warn(VTr.bannedPictures)
                return false
            }
        }
        for (var i = 0; i < pictures.length; ++i)
            vGlobal.sendPicture(pictures[i])
        if (hasText) {
            if (syncChecked) {
                var contacts = Logic.withoutAccount(contactsManager.isSyncAccounts(), currentAccount)
                if (contacts.length > 0)
                    sessionManager.sendSyncTextMsg(contacts, text, 0)
                var groups = Logic.withoutAccount(groupManager.isSyncAccounts(), currentAccount)
                if (groups.length > 0)
                    sessionManager.sendSyncTextMsg(groups, text, 1)
            }
            syncChecked = false
            var accounts = vGlobal.atSomebodyList(Logic.mentionNames(text, function (name) {
                return vGlobal.atNameContains(name)
            }))
            sessionManager.sendTextMsg(currentAccount, text, currentTotype, vGlobal.isAtAll(), accounts)
        }
        positionViewAtEnd()
        drafts.remove(currentAccount)
        draftsChanged()
        fieldClear()
        return true
    }

    // Whether a URL names a local file rather than something on the web.
    function isLocalUrl(url) {
        var text = String(url)
        return VSettings.startsWith(text, "file://") || VSettings.startsWith(text, "/")
    }

    // A chosen or dropped file: pictures go as pictures, directories and links that
    // are no local files not at all. False when nothing was sent.
    function sendFile(url) {
        var text = String(url)
        if (!isLocalUrl(text))
            return false
        var path = VSettings.urlToLocalFile(text)
        if (vGlobal.isDir(path))
            return false
        if (vGlobal.isImage(path))
            sendPicture(path)
        else
            sendFileOnly(path)
        return true
    }

    function sendPicture(url) {
        if (currentAccount === "")
            return
        if (restrictedInGroup && groupManager.isBanPics(sessionManager.currentSessionId))
            warn(VTr.bannedPictures)
        else
            sessionManager.sendPicMsg(currentAccount, VSettings.urlToLocalFile(String(url)), currentTotype)
        positionViewAtEnd()
    }

    function sendFileOnly(url) {
        if (currentAccount === "" || !isLocalUrl(url))
            return
        var path = VSettings.urlToLocalFile(String(url))
        if (vGlobal.isDir(path))
            return
        if (!vGlobal.fileExists(path)) {
            vGlobal.fileIsNotExists()
            return
        }
        sessionManager.sendFileMsg(currentAccount, path, currentTotype)
        positionViewAtEnd()
    }

    // Enter: accepts the highlighted mention while the picker shows, else sends.
    function returnPressed() {
        if (atSomebodyPopup !== null && atSomebodyPopup.visible) {
            if (atSomebodyPopup.hasChoice) {
                atSomebodyPopup.acceptCurrentIndex()
                return
            }
            // An "@" that names nobody (an address, say): nothing to take, so Enter sends.
            atSomebodyPopup.close()
        }
        sendMessage()
    }

    // ---- popups of the input area ----

    function showAtSomebody() {
        if (!isGroup)
            return
        fieldFocus()
        if (atSomebodyPopup === null)
            atSomebodyPopup = _make(["VAtSomebodyPopupWindow.qml"], chatColumn)
        if (atSomebodyPopup === null)
            return
        atSomebodyPopup.canAtAll = isCurrentGroupOwner || isCurrentGroupManager
        atSomebodyPopup.atAllEnabled = true
        groupManager.searchMembers(sessionManager.currentSessionId, "", 0)
        var place = _cursorPlace()
        atSomebodyPopup.show(place.x, place.y)
    }

    function needAtSomebody(somebody) {
        if (atSomebodyPopup === null)
            return
        atSomebodyPopup.atAllEnabled = somebody === ""
        groupManager.searchMembers(sessionManager.currentSessionId, somebody, atSearchFromId)
    }

    function closeAtSomebody() {
        if (atSomebodyPopup !== null && atSomebodyPopup.visible)
            atSomebodyPopup.close()
    }

    function _cursorPlace() {
        if (!inputArea)
            return Qt.point(0, 0)
        var rect = inputArea.cursorRectangle
        return inputArea.mapToItem(chatColumn, rect.x, rect.y)
    }

    function showTranslationSwitchMenu(posX, posY, toTr, modelId) {
        if (translationSwitchPopup === null)
            translationSwitchPopup = _make(["VTranslationSwitchPopupWindow.qml"], sessionListPage)
        if (translationSwitchPopup === null)
            return
        // Placed in the view's coordinates, shown over the page.
        var place = sessionListView.mapToItem(sessionListPage, posX, posY)
        translationSwitchPopup.x = place.x
        translationSwitchPopup.y = place.y
        translationSwitchPopup.toTr = toTr
        translationSwitchPopup.modelId = modelId
        translationSwitchPopup.open()
    }

    function openEmojiPopup(button) {
        var emoji = _make(["VEmojiPopupWindow.qml"], sessionListPage)
        if (emoji === null)
            return
        var place = button.mapToGlobal(button.width / 2, 0)
        emoji.x = place.x - emoji.width / 2
        emoji.y = place.y - emoji.height
        // A new picker each time: the closed one goes.
        emoji.closed.connect(function () { emoji.destroy() })
        emoji.show()
    }

    function startScreenshot(hideWindow) {
        if (screenshot === null) {
            screenshot = _make(["../screenshot/VScreenshot.qml"], sessionListPage)
            if (screenshot === null)
                return
            screenshot.canceled.connect(_restoreWindow)
            screenshot.saveAsResult.connect(function (succeed) {
                _restoreWindow()
                warn(succeed ? VTr.fileSaveFinished : VTr.fileSaveFailed)
            })
            screenshot.confirmed.connect(function (fileUrl) {
                _restoreWindow()
                if (fileUrl !== "" && inputArea)
                    inputArea.insertPicture(VSettings.urlToLocalFile(fileUrl))
            })
        }
        var window = Window.window
        _windowWasShown = window !== null && window.visible
        if (hideWindow && window !== null && window.visibility !== Window.FullScreen)
            window.hide()
        var place = toolBar.mapToGlobal(0, 0)
        screenshot.openAndPostion(place.x, place.y)
    }

    property bool _windowWasShown: true

    function _restoreWindow() {
        var window = Window.window
        if (window !== null && _windowWasShown && !window.visible)
            window.show()
    }

    function toggleDrawer() {
        if (currentAccount === "")
            return
        if (isGroup) {
            if (groupSettingsDrawer === null) {
                groupSettingsDrawer = _make(["../contacts/VGroupSettingsDrawer.qml"], drawerHost)
                if (groupSettingsDrawer === null)
                    return
                if (groupSettingsDrawer.waring)
                    groupSettingsDrawer.waring.connect(function (info) { warn(info) })
                if (groupSettingsDrawer.updateCurrentGroupMuteValue) {
                    groupSettingsDrawer.updateCurrentGroupMuteValue.connect(function () {
                        var overrides = muteOverrides
                        overrides[currentAccount] = groupManager.isGroupMute(currentAccount)
                        muteOverrides = overrides
                        muteOverridesChanged()
                    })
                }
            }
            if (groupSettingsDrawer.isShowing())
                groupSettingsDrawer.close()
            else
                groupSettingsDrawer.open(currentAccount)
        } else {
            if (singleChatDrawer === null) {
                singleChatDrawer = _make(["../contacts/VSingleChatDrawer.qml"], drawerHost)
                if (singleChatDrawer === null)
                    return
            }
            if (singleChatDrawer.isShowing()) {
                singleChatDrawer.close()
            } else {
                singleChatDrawer.source = currentIcon
                singleChatDrawer.name = currentName
                singleChatDrawer.uid = VTr.uid + currentUid
                singleChatDrawer.summery = currentSummery
                singleChatDrawer.open(currentAccount)
            }
        }
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

    function _gotoAtMe() {
        // Looked up before the flags are cleared: after a start only they tell where it is.
        var index = sessionManager.getToLastAtMessage()
        sessionManager.clearAtFlag(sessionManager.currentSessionId)
        if (index >= 0)
            sessionListView.positionViewAtIndex(index, ListView.Contain)
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

    FileDialog {
        id: fileDialog

        title: VTr.chooseAFile
        folder: shortcuts.documents
        nameFilters: [VTr.allFiles + " (*)"]
        selectMultiple: true
        onAccepted: {
            for (var i = 0; i < fileUrls.length; ++i)
                sessionListPage.sendFile(fileUrls[i])
        }
    }

    VSessionListMenu {
        id: sessionListMenu

        onDeleteChatTriggered: {
            if (currentAccount !== "")
                sessionListPage.removeSession(currentAccount)
        }
    }

    Timer {
        id: positionAtEndTimer

        interval: 200
        onTriggered: {
            if (delegateLoadingTimer.running) {
                restart()
                return
            }
            sessionListPage.positionViewAtEnd()
            sessionListPage.isCurrentAccountLoading = false
            sessionListPage._showAtMeWhenMentioned()
            refreshTimer.start()
        }
    }

    Timer {
        id: delegateLoadingTimer

        interval: 330
        // The end was reached while rows were still being built: read now.
        onTriggered: {
            if (!sessionListPage.isCurrentAccountLoading && sessionListView.atYEnd && vGlobal.active)
                sessionListPage.markRead()
        }
    }

    Timer {
        id: refreshTimer

        interval: 300
        onTriggered: {
            if (sessionListPage.isGroup && sessionListPage.currentAccount !== "") {
                var role = groupManager.getRole(sessionListPage.currentAccount)
                sessionListPage._groupManager = role === 2
                sessionListPage._groupOwner = role === 1
            } else {
                sessionListPage._groupManager = false
                sessionListPage._groupOwner = false
            }
            // The view stands at its end; read once the window is active too.
            if (vGlobal.active)
                sessionListPage.markRead()
            sessionManager.clearAtFlag(sessionListPage.lastAccount)
            sessionListPage.lastAccount = sessionListPage.currentAccount
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
        chatItemMenu = _make(["VChatItemMenu.qml"], sessionListPage)
        atMeBanner = _make(["VAlertSomeoneAtMe.qml"], atMeHost)
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
            // Read once the user can see the messages: also the view at its end.
            if (active && (sessionListPage._followEnd || sessionListView.atYEnd))
                sessionListPage.markRead()
        }
        function onAddGroupMembersSuccessed() { sessionListPage.fieldFocus() }
        function onDeleteGroupMembersSuccessed() { sessionListPage.fieldFocus() }
        function onEmojiClicked(emoji) {
            sessionListPage.fieldInsert(VSettings.getHtmlTextByName(emoji))
        }
        function onEmojiGifClicked(name) {
            if (sessionListPage.currentAccount === "")
                return
            sessionManager.sendGifMsg(sessionListPage.currentAccount, name, sessionListPage.currentTotype)
            sessionListPage.positionViewAtEnd()
        }
        function onForwardFinished() { positionAtEndTimer.restart() }
        function onSendPicture(fileName) { sessionListPage.sendPicture(fileName) }
        function onSendFileOnly(url) { sessionListPage.sendFileOnly(url) }
        function onReeditRecallMessage(text) {
            if (sessionListPage.inputArea)
                sessionListPage.fieldInsert(VSettings.plainTextToHtmlTextBase(sessionListPage.inputArea, text,
                                                                               false, false))
        }
        function onEscapePressed() { sessionListPage.closeAtSomebody() }
    }

    Connections {
        target: sessionManager
        function onListViewToEnd() {
            if (sessionListPage._followEnd || sessionListView.atYEnd) {
                // Read only while the user can see it; else it counts until then.
                if (vGlobal.active)
                    sessionListPage.markRead()
                positionAtEndTimer.restart()
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
            Qt.callLater(sessionListPage._endLoadWhenNothingCame)
        }
    }

    Connections {
        target: sessionListManager
        function onItemCountChanged() { sessionListPage._findOpenRowItem() }
        function onDataComplete() {
            sessionListPage._findOpenRowItem()
            if (sessionListPage.currentAccount !== "" && !sessionListPage.isGroup) {
                sessionListPage.currentName = contactsManager.getName(sessionListPage.currentAccount)
                sessionListPage.currentIcon = contactsManager.getLogo(sessionListPage.currentAccount)
            }
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

        // ---- the open conversation ----
        Item {
            id: chatColumn

            SplitView.minimumWidth: 470
            SplitView.fillWidth: true

            Item {
                id: titleArea

                width: parent.width
                height: VSettings.titleBarAreaHeight
                enabled: sessionListPage.currentAccount !== ""

                VRoundImage {
                    id: titleAvatar

                    x: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 36
                    height: 36
                    source: sessionListPage.isGroup ? groupManager.groupIcon : sessionListPage.currentIcon
                    champflag: sessionListPage.isGroup ? 0 : sessionListPage.currentChampFlag

                    VOfficialIndicatorTesmo {
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        visible: sessionListPage.isGroup && sessionListPage.currentGroupTitle === 1
                    }

                    MouseArea {
                        anchors.fill: parent
                        onClicked: sessionListPage.toggleDrawer()
                    }
                }

                Text {
                    x: titleAvatar.x + titleAvatar.width + 12
                    anchors.verticalCenter: parent.verticalCenter
                    width: settingsButton.x - x - 12
                    text: sessionListPage.currentAccount === "" ? ""
                          : sessionListPage.isGroup ? groupManager.groupname + "(" + groupManager.memberCount + ")"
                                                    : sessionListPage.currentName
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
                    visible: sessionListPage.currentAccount !== ""
                    source: sessionListPage.isGroup ? "qrc:/images/session_page/group_settings.png"
                                                    : "qrc:/images/session_page/single_settings.png"

                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -5
                        onClicked: sessionListPage.toggleDrawer()
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
                enabled: sessionListPage.currentAccount !== ""

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
                            sessionListPage.showTranslationSwitchMenu(posX, posY, toTr, modelId)
                        }

                        anchors.fill: parent
                        clip: true
                        model: sessionListPage.currentAccount !== "" ? sessionManager : null
                        // Twice the view's own height: the rows near the screen, not the
                        // whole conversation.
                        cacheBuffer: Math.max(0, 2 * height)
                        boundsBehavior: Flickable.StopAtBounds
                        activeFocusOnTab: true
                        ScrollBar.vertical: ScrollBar {}

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
                            componentAvailable: sessionListPage.componentAvailable
                            player: globalQMLMediaPlayer
                            onLoaded: delegateLoadingTimer.restart()
                            onRightClicked: sessionListPage.showMessageMenu(index, mouseX, mouseY, copyText)
                            onTranslationRightClicked: sessionListPage.showTranslationMenu(index, mouseX, mouseY,
                                                                                             copyText)
                            onFileOpenOptionsClicked: sessionListPage.showFileOptions(mouseX, mouseY, filePath)
                            onTranslationUpdated: sessionListPage.translationArrived(index)
                        }

                        onContentYChanged: sessionListPage._followEnd = atYEnd
                        // A view that follows the end goes where the end moved (rows built,
                        // a picture loaded).
                        onContentHeightChanged: {
                            if (sessionListPage._followEnd && !atYEnd && !moving) {
                                sessionListPage._endTries = 0
                                Qt.callLater(sessionListPage._keepAtEnd)
                            }
                        }
                        onAtYEndChanged: {
                            if (atYEnd && !delegateLoadingTimer.running) {
                                if (vGlobal.active)
                                    sessionListPage.markRead()
                                Qt.callLater(sessionListPage._releaseFarRows)
                            }
                        }
                        onAtYBeginningChanged: {
                            if (!atYBeginning || count === 0 || sessionListPage.isCurrentAccountLoading)
                                return
                            var index = indexAt(20, contentY + 8)
                            sessionListPage.lastLoadMoreMsgIndex = index < 0 ? 0 : index
                            var top = sessionManager.get(sessionListPage.lastLoadMoreMsgIndex)
                            sessionListPage._loadTopId = top ? top.id : -1
                            sessionListPage._countBeforeLoad = count
                            sessionListPage.callLoadMoreMsg = true
                            // Not while the view is still moving there: rows added from
                            // within its own change would be laid out mid-move.
                            Qt.callLater(sessionManager.loadMoreMsg)
                        }
                        // A page arrives row by row: the view is placed once they all are in.
                        onCountChanged: {
                            if (sessionListPage.callLoadMoreMsg)
                                Qt.callLater(sessionListPage._placeAfterLoad)
                            sessionListPage.lastCount = count
                        }
                        onActiveFocusChanged: {
                            if (activeFocus && vGlobal.active)
                                sessionListPage.markRead()
                        }
                    }

                    // With a drawer showing, a click on the view only takes the focus.
                    MouseArea {
                        anchors.fill: parent
                        visible: sessionListPage.drawerShowing
                        onClicked: sessionListView.forceActiveFocus()
                    }

                    DropArea {
                        id: messageDrop

                        anchors.fill: parent
                        enabled: sessionListPage.currentAccount !== ""
                        onDropped: {
                            if (drop.hasUrls) {
                                for (var i = 0; i < drop.urls.length; ++i)
                                    sessionListPage.sendFile(drop.urls[i])
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

                // ---- input ----
                Item {
                    id: inputPane

                    SplitView.preferredHeight: 170
                    SplitView.minimumHeight: 148
                    SplitView.maximumHeight: 358

                    Row {
                        id: toolBar

                        x: 20
                        y: 8
                        height: 24
                        spacing: 18
                        enabled: !vGlobal.dialogShowing

                        Image {
                            id: emojiButton

                            width: 22
                            height: 22
                            source: emojiArea.containsMouse ? "qrc:/images/session_page/face_highlight.png"
                                                            : "qrc:/images/session_page/face.png"

                            MouseArea {
                                id: emojiArea

                                anchors.fill: parent
                                hoverEnabled: true
                                onClicked: sessionListPage.openEmojiPopup(emojiButton)
                            }

                            VToolTip {
                                text: VTr.emoticon
                                visible: emojiArea.containsMouse
                            }
                        }

                        Image {
                            width: 22
                            height: 22
                            source: fileArea.containsMouse ? "qrc:/images/session_page/file_highlight.png"
                                                           : "qrc:/images/session_page/file.png"

                            MouseArea {
                                id: fileArea

                                anchors.fill: parent
                                hoverEnabled: true
                                onClicked: FileChooser.openIn(fileDialog, vGlobal.documentsFolder())
                            }

                            VToolTip {
                                text: VTr.sendFileTip
                                visible: fileArea.containsMouse
                            }
                        }

                        Image {
                            id: screenshotButton

                            width: 22
                            height: 22
                            enabled: sessionListPage.atSomebodyPopup === null || !sessionListPage.atSomebodyPopup.visible
                            source: shotArea.containsMouse ? "qrc:/images/session_page/screenshot_highlight.png"
                                                           : "qrc:/images/session_page/screenshot.png"

                            MouseArea {
                                id: shotArea

                                anchors.fill: parent
                                hoverEnabled: true
                                onEntered: {
                                    var window = Window.window
                                    if (window === null || window.visibility !== Window.FullScreen)
                                        screenshotMenu.openAbove(screenshotButton)
                                }
                                onClicked: {
                                    var window = Window.window
                                    sessionListPage.startScreenshot(window === null
                                                                    || window.visibility !== Window.FullScreen)
                                }
                            }
                        }
                    }

                    VScreenshotMenu {
                        id: screenshotMenu

                        onScreenshot: sessionListPage.startScreenshot(false)
                        onScreenshotWithoutTesmoChat: sessionListPage.startScreenshot(true)
                    }

                    Shortcut {
                        sequence: "Alt+S"
                        enabled: sessionListPage.currentAccount !== "" && screenshotButton.enabled
                                 && !vGlobal.dialogShowing
                        onActivated: {
                            var window = Window.window
                            sessionListPage.startScreenshot(window === null || window.visibility !== Window.FullScreen)
                        }
                    }

                    // Sync to contacts and groups.
                    Row {
                        id: syncBar

                        anchors.right: parent.right
                        anchors.rightMargin: 20
                        y: 8
                        height: 24
                        spacing: 6
                        opacity: imLoginManager.syncMsgPower ? 1 : 0.5

                        Image {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 14
                            height: 14
                            source: sessionListPage.syncChecked ? "qrc:/images/session_page/sync_has_checked.png"
                                                                : "qrc:/images/session_page/sync_not_checked.png"

                            MouseArea {
                                anchors.fill: parent
                                onClicked: sessionListPage.toggleSync()
                            }
                        }

                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: VTr.syncTo
                            textFormat: Text.PlainText
                            font.pixelSize: 12
                            color: "#666666"

                            MouseArea {
                                anchors.fill: parent
                                onClicked: sessionListPage.toggleSync()
                            }
                        }

                        Image {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 18
                            height: 18
                            source: "qrc:/images/session_page/sync_to_contacts.png"

                            MouseArea {
                                anchors.fill: parent
                                onClicked: sessionListPage.openSyncTargets()
                            }
                        }
                    }

                    Loader {
                        id: inputLoader

                        x: 12
                        y: toolBar.y + toolBar.height + 6
                        width: parent.width - 24
                        height: sendRow.y - y - 6
                        source: sessionListPage.componentAvailable("VTextArea.qml") ? "VTextArea.qml" : ""
                        onLoaded: {
                            item.maximumLength = 1000
                            if (item.textFormat !== undefined)
                                item.textFormat = TextEdit.RichText
                            item.canPasteImage = true
                            item.canAtSomebody = Qt.binding(function () { return sessionListPage.isGroup })
                        }
                    }

                    Connections {
                        target: inputLoader.item
                        ignoreUnknownSignals: true
                        function onReturnPressed() { sessionListPage.returnPressed() }
                        function onReturnAndControlPressed() { sessionListPage.fieldInsert("<br />") }
                        function onUpPressed() {
                            if (sessionListPage.atSomebodyPopup !== null && sessionListPage.atSomebodyPopup.visible)
                                sessionListPage.atSomebodyPopup.indexUp()
                        }
                        function onDownPressed() {
                            if (sessionListPage.atSomebodyPopup !== null && sessionListPage.atSomebodyPopup.visible)
                                sessionListPage.atSomebodyPopup.indexDown()
                        }
                        function onEnteredTooLong(isTooLong) {
                            if (isTooLong)
                                vGlobal.messageInputTooLong()
                        }
                        function onShowAtSomebody() { sessionListPage.showAtSomebody() }
                        function onNeedAtSomebody(somebody) { sessionListPage.needAtSomebody(somebody) }
                        function onCloseAtSomebody() { sessionListPage.closeAtSomebody() }
                        function onActiveFocusChanged() {
                            var field = sessionListPage.inputArea
                            if (field.activeFocus && vGlobal.active)
                                sessionListPage.markRead()
                            if (!field.activeFocus)
                                sessionListPage.closeAtSomebody()
                        }
                    }

                    DropArea {
                        id: inputDrop

                        anchors.fill: parent
                        enabled: sessionListPage.currentAccount !== ""
                        onDropped: {
                            if (drop.hasUrls) {
                                // Links that are no local files are pasted as text.
                                for (var i = 0; i < drop.urls.length; ++i) {
                                    if (!sessionListPage.sendFile(drop.urls[i]) && sessionListPage.inputArea
                                            && !sessionListPage.isLocalUrl(drop.urls[i]))
                                        sessionListPage.inputArea.dropText(String(drop.urls[i]))
                                }
                                drop.accept()
                            } else if (drop.hasText && sessionListPage.inputArea) {
                                sessionListPage.inputArea.dropText(drop.text)
                                drop.accept()
                            }
                        }
                    }

                    Rectangle {
                        anchors.fill: parent
                        visible: inputDrop.containsDrag
                        color: "#CCFFFFFF"
                        border.color: "#00D091"

                        Text {
                            anchors.centerIn: parent
                            text: VTr.dropToPasteOrSend
                            textFormat: Text.PlainText
                            font.pixelSize: 16
                            color: "#333333"
                        }
                    }

                    Row {
                        id: sendRow

                        anchors.right: parent.right
                        anchors.rightMargin: 20
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 12
                        spacing: 12

                        Text {
                            objectName: "sendHint"
                            anchors.verticalCenter: parent.verticalCenter
                            text: VSettings.sendHint()
                            textFormat: Text.PlainText
                            font.pixelSize: 12
                            color: "#999999"
                        }

                        Button {
                            id: sendButton

                            width: 60
                            height: 27
                            enabled: sessionListPage.sendEnabled
                            text: VTr.send
                            onClicked: sessionListPage.sendMessage()

                            contentItem: Text {
                                text: sendButton.text
                                textFormat: Text.PlainText
                                font.pixelSize: 14
                                color: sendButton.enabled ? "#FFFFFF" : "#999999"
                                horizontalAlignment: Text.AlignHCenter
                                verticalAlignment: Text.AlignVCenter
                            }

                            background: Rectangle {
                                radius: 4
                                color: sendButton.enabled ? (sendButton.hovered ? "#00B87F" : "#00D091") : "#E5E5E5"
                            }
                        }
                    }
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
                target: sessionListPage.atMeBanner
                ignoreUnknownSignals: true
                function onGotoAtMe() { sessionListPage._gotoAtMe() }
            }

            VWarningTip {
                id: warningTip

                z: 10
            }

            // No conversation open: the greeting of the time of day.
            Rectangle {
                anchors.fill: parent
                visible: sessionListPage.currentAccount === ""
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
                        text: sessionListPage.greeting
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        horizontalAlignment: Text.AlignHCenter
                        font.pixelSize: 14
                        color: "#999999"
                    }
                }
            }
        }
    }

    function toggleSync() {
        if (!imLoginManager.syncMsgPower) {
            vGlobal.noSyncToContactsPermission()
            return
        }
        syncChecked = !syncChecked
    }

    function openSyncTargets() {
        if (!imLoginManager.syncMsgPower) {
            vGlobal.noSyncToContactsPermission()
            return
        }
        if (!syncChecked && vConfig.value(VSettings.noMorePromptsNextTimeSyncToImageClicked, VSettings.none)
                === VSettings.none)
            vGlobal.openSyncToContactsCheckedConfirmWindow()
        else
            vGlobal.openSyncToContactsWindow()
    }

    Connections {
        target: vGlobal
        function onSyncToContactsCheckedConfirmOKClicked() { sessionListPage.syncChecked = true }
    }
}
