import QtQuick 2.12
import QtQuick.Controls 2.13
import QtQuick.Dialogs 1.3
import QtQuick.Window 2.12
import "../commons"
import "../commons/VFileChooser.js" as FileChooser
import "../popups"
import "../settings"
import "../translator"
import "VSessionPageLogic.js" as Logic
import "../VDialogTable.js" as DialogTable

// The input area of the chat column: the tool bar, the sync bar, the field, the
// send row, and the sending of texts, pictures, files and stickers.
Item {
    id: inputPane

    // The chat page: the open conversation, the drafts and the popups it keeps.
    property Item page: null
    // Where the mention picker is placed.
    property Item popupHost: null
    readonly property var field: inputLoader.item
    readonly property alias toolBar: toolBar
    readonly property bool hasConversation: page !== null && page.currentAccount !== ""

    // ---- sending ----

    // Sends the field: the ban checks first, on the text without its pictures;
    // a refusal sends nothing and leaves the field as it is.
    function sendMessage() {
        if (page.currentAccount === "" || !field)
            return false
        var sessionId = sessionManager.currentSessionId
        if (page.restrictedInGroup) {
            if (groupManager.isBanall(sessionId)) {
                page.warn(VTr.bannedSpeechAll)
                return false
            }
            if (groupManager.isBanuser(sessionId)) {
                page.warn(VTr.bannedSpeechYourself)
                return false
            }
        }
        if (!page.sendEnabled)
            return false
        var html = page.fieldHtml()
        // Only pictures the user put in go out; any other picture markup is dropped.
        var pictures = VSettings.insertedPictures(html).filter(function (path) {
            return field.isInsertedPicture(path)
        })
        var text = VSettings.htmlTextToPlainText(html)
        var hasText = /\S/.test(text)
        if (page.restrictedInGroup) {
            if (hasText && groupManager.isBanUrls(sessionId)
                    && Logic.containsLink(text, VSettings.textRegExp, VSettings.textRegExp1)) {
                page.warn(VTr.bannedUrls)
                return false
            }
            if (pictures.length > 0 && groupManager.isBanPics(sessionId)) {
                page.warn(VTr.bannedPictures)
                return false
            }
        }
        for (var i = 0; i < pictures.length; ++i)
            vGlobal.sendPicture(pictures[i])
        if (hasText) {
            var names = Logic.mentionNames(text, function (name) { return vGlobal.atNameContains(name) })
            var accounts = vGlobal.atSomebodyList(names)
            text = Logic.withPlainMentionEnds(text, names)
            if (page.syncChecked) {
                var contacts = Logic.withoutAccount(contactsManager.isSyncAccounts(), page.currentAccount)
                if (contacts.length > 0)
                    sessionManager.sendSyncTextMsg(contacts, text, 0)
                var groups = Logic.withoutAccount(groupManager.isSyncAccounts(), page.currentAccount)
                if (groups.length > 0)
                    sessionManager.sendSyncTextMsg(groups, text, 1)
            }
            page.syncChecked = false
            sessionManager.sendTextMsg(page.currentAccount, text, page.currentTotype, vGlobal.isAtAll(), accounts)
        }
        page.positionViewAtEnd()
        page.forgetDraft(page.currentAccount)
        page.fieldClear()
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
        if (page.currentAccount === "")
            return
        if (page.restrictedInGroup && groupManager.isBanPics(sessionManager.currentSessionId))
            page.warn(VTr.bannedPictures)
        else
            sessionManager.sendPicMsg(page.currentAccount, VSettings.urlToLocalFile(String(url)), page.currentTotype)
        page.positionViewAtEnd()
    }

    function sendFileOnly(url) {
        if (page.currentAccount === "" || !isLocalUrl(url))
            return
        var path = VSettings.urlToLocalFile(String(url))
        if (vGlobal.isDir(path))
            return
        if (!vGlobal.fileExists(path)) {
            vGlobal.fileIsNotExists()
            return
        }
        sessionManager.sendFileMsg(page.currentAccount, path, page.currentTotype)
        page.positionViewAtEnd()
    }

    // Enter: accepts the highlighted mention while the picker shows, else sends.
    function returnPressed() {
        if (page.atSomebodyPopup !== null && page.atSomebodyPopup.visible) {
            if (page.atSomebodyPopup.hasChoice) {
                page.atSomebodyPopup.acceptCurrentIndex()
                return
            }
            // An "@" that names nobody (an address, say): nothing to take, so Enter sends.
            page.atSomebodyPopup.close()
        }
        sendMessage()
    }

    // ---- popups of the input area ----

    function showAtSomebody() {
        if (!page.isGroup)
            return
        page.fieldFocus()
        if (page.atSomebodyPopup === null)
            page.atSomebodyPopup = page._make("VAtSomebodyPopupWindow.qml", popupHost, { "members": atSearchUserManager })
        if (page.atSomebodyPopup === null)
            return
        page.atSomebodyPopup.canAtAll = page.isCurrentGroupOwner || page.isCurrentGroupManager
        page.atSomebodyPopup.atAllEnabled = true
        groupManager.searchMembers(sessionManager.currentSessionId, "", 0)
        var place = _cursorPlace()
        page.atSomebodyPopup.show(place.x, place.y)
    }

    function needAtSomebody(somebody) {
        if (page.atSomebodyPopup === null)
            return
        page.atSomebodyPopup.atAllEnabled = somebody === ""
        groupManager.searchMembers(sessionManager.currentSessionId, somebody, page.atSearchFromId)
    }

    function closeAtSomebody() {
        if (page.atSomebodyPopup !== null && page.atSomebodyPopup.visible)
            page.atSomebodyPopup.close()
    }

    function _cursorPlace() {
        if (!field)
            return Qt.point(0, 0)
        var rect = field.cursorRectangle
        return field.mapToItem(popupHost, rect.x, rect.y)
    }

    function openEmojiPopup(button) {
        var emoji = page._make("VEmojiPopupWindow.qml", page)
        if (emoji === null)
            return null
        var place = button.mapToGlobal(button.width / 2, 0)
        emoji.x = place.x - emoji.width / 2
        emoji.y = place.y - emoji.height
        emoji.done.connect(_takeKeyboardBack)
        // A new picker each time: the closed one goes.
        emoji.closed.connect(function () { emoji.destroy() })
        emoji.show()
        return emoji
    }

    function startScreenshot(hideWindow) {
        if (page.screenshot === null) {
            page.screenshot = page._make("VScreenshot.qml", page)
            if (page.screenshot === null)
                return
            page.screenshot.canceled.connect(function () {
                _restoreWindow()
                _captureEnded()
            })
            page.screenshot.saveAsResult.connect(function (succeed) {
                _restoreWindow()
                page.warn(succeed ? VTr.fileSaveFinished : VTr.fileSaveFailed)
                _captureEnded()
            })
            page.screenshot.confirmed.connect(function (fileUrl) {
                _restoreWindow()
                if (fileUrl !== "" && field)
                    field.insertPicture(VSettings.urlToLocalFile(fileUrl))
                _captureEnded()
            })
        }
        var window = Window.window
        _windowWasShown = window !== null && window.visible
        if (hideWindow && window !== null && window.visibility !== Window.FullScreen)
            window.hide()
        var place = toolBar.mapToGlobal(0, 0)
        page.screenshot.openAndPostion(place.x, place.y)
    }

    property bool _windowWasShown: true

    // After a popup or the capture the user goes on typing. Without a window manager
    // nobody gives this window the keyboard back (nor when it was hidden and shown
    // again), so it asks for it itself; activation waits until the window is mapped.
    function _takeKeyboardBack() {
        var window = Window.window
        if (window !== null && window.visible)
            window.requestActivate()
        if (field)
            field.forceActiveFocus()
    }

    // The capture's window went from over the capture button, where the pointer often
    // still stands: the hover that the window coming back reports is no user's, and
    // its menu would take the keyboard from the field. The menu opens again once the
    // pointer moves.
    property bool _holdShotMenu: false
    function _captureEnded() {
        _holdShotMenu = true
        _takeKeyboardBack()
    }

    function _restoreWindow() {
        var window = Window.window
        if (window !== null && _windowWasShown && !window.visible)
            window.show()
    }

    function toggleSync() {
        if (!imLoginManager.syncMsgPower) {
            vGlobal.noSyncToContactsPermission()
            return
        }
        page.syncChecked = !page.syncChecked
    }

    function openSyncTargets() {
        if (!imLoginManager.syncMsgPower) {
            vGlobal.noSyncToContactsPermission()
            return
        }
        if (!page.syncChecked && vConfig.value(VSettings.noMorePromptsNextTimeSyncToImageClicked, VSettings.none)
                === VSettings.none)
            vGlobal.openSyncToContactsCheckedConfirmWindow()
        else
            vGlobal.openSyncToContactsWindow()
    }

    FileDialog {
        id: fileDialog

        title: VTr.chooseAFile
        folder: shortcuts.documents
        nameFilters: [VTr.allFiles + " (*)"]
        selectMultiple: true
        onAccepted: {
            for (var i = 0; i < fileUrls.length; ++i)
                inputPane.sendFile(fileUrls[i])
        }
    }

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
                onClicked: inputPane.openEmojiPopup(emojiButton)
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

            objectName: "captureButton"
            width: 22
            height: 22
            enabled: page === null || page.atSomebodyPopup === null || !page.atSomebodyPopup.visible
            source: shotArea.containsMouse ? "qrc:/images/session_page/screenshot_highlight.png"
                                           : "qrc:/images/session_page/screenshot.png"

            MouseArea {
                id: shotArea

                anchors.fill: parent
                hoverEnabled: true
                function openMenu() {
                    var window = Window.window
                    if (window === null || window.visibility !== Window.FullScreen)
                        screenshotMenu.openAbove(screenshotButton)
                }
                onEntered: {
                    if (!inputPane._holdShotMenu)
                        openMenu()
                }
                onPositionChanged: {
                    if (inputPane._holdShotMenu) {
                        inputPane._holdShotMenu = false
                        openMenu()
                    }
                }
                onExited: inputPane._holdShotMenu = false
                onClicked: {
                    var window = Window.window
                    inputPane.startScreenshot(window === null
                                                    || window.visibility !== Window.FullScreen)
                }
            }
        }
    }

    VScreenshotMenu {
        id: screenshotMenu

        onScreenshot: inputPane.startScreenshot(false)
        onScreenshotWithoutTesmoChat: inputPane.startScreenshot(true)
    }

    Shortcut {
        sequence: "Alt+S"
        enabled: inputPane.hasConversation && screenshotButton.enabled
                 && !vGlobal.dialogShowing
        onActivated: {
            var window = Window.window
            inputPane.startScreenshot(window === null || window.visibility !== Window.FullScreen)
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
            source: page !== null && page.syncChecked ? "qrc:/images/session_page/sync_has_checked.png"
                                                : "qrc:/images/session_page/sync_not_checked.png"

            MouseArea {
                anchors.fill: parent
                onClicked: inputPane.toggleSync()
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
                onClicked: inputPane.toggleSync()
            }
        }

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 18
            source: "qrc:/images/session_page/sync_to_contacts.png"

            MouseArea {
                anchors.fill: parent
                onClicked: inputPane.openSyncTargets()
            }
        }
    }

    Loader {
        id: inputLoader

        x: 12
        y: toolBar.y + toolBar.height + 6
        width: parent.width - 24
        height: sendRow.y - y - 6
        source: DialogTable.url("VTextArea.qml")
        onLoaded: {
            item.maximumLength = 1000
            if (item.textFormat !== undefined)
                item.textFormat = TextEdit.RichText
            item.canPasteImage = true
            item.canAtSomebody = Qt.binding(function () { return page !== null && page.isGroup })
        }
    }

    Connections {
        target: inputLoader.item
        ignoreUnknownSignals: true
        function onReturnPressed() { inputPane.returnPressed() }
        function onReturnAndControlPressed() { page.fieldInsert("<br />") }
        function onUpPressed() {
            if (page.atSomebodyPopup !== null && page.atSomebodyPopup.visible)
                page.atSomebodyPopup.indexUp()
        }
        function onDownPressed() {
            if (page.atSomebodyPopup !== null && page.atSomebodyPopup.visible)
                page.atSomebodyPopup.indexDown()
        }
        function onEnteredTooLong(isTooLong) {
            if (isTooLong)
                vGlobal.messageInputTooLong()
        }
        function onShowAtSomebody() { inputPane.showAtSomebody() }
        function onNeedAtSomebody(somebody) { inputPane.needAtSomebody(somebody) }
        function onCloseAtSomebody() { inputPane.closeAtSomebody() }
        function onActiveFocusChanged() {
            var field = inputPane.field
            // Also when it comes back with the chat tab: read only at the end.
            if (field.activeFocus)
                page.markReadIfSeen()
            if (!field.activeFocus)
                inputPane.closeAtSomebody()
        }
    }

    DropArea {
        id: inputDrop

        anchors.fill: parent
        enabled: inputPane.hasConversation
        onDropped: {
            if (drop.hasUrls) {
                // Links that are no local files are pasted as text.
                for (var i = 0; i < drop.urls.length; ++i) {
                    if (!inputPane.sendFile(drop.urls[i]) && inputPane.field
                            && !inputPane.isLocalUrl(drop.urls[i]))
                        inputPane.field.dropText(String(drop.urls[i]))
                }
                drop.accept()
            } else if (drop.hasText && inputPane.field) {
                inputPane.field.dropText(drop.text)
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
            enabled: page !== null && page.sendEnabled
            text: VTr.send
            onClicked: inputPane.sendMessage()

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

    Connections {
        target: vGlobal
        function onEmojiClicked(emoji) {
            page.fieldInsert(VSettings.getHtmlTextByName(emoji))
        }
        function onEmojiGifClicked(name) {
            if (page.currentAccount === "")
                return
            sessionManager.sendGifMsg(page.currentAccount, name, page.currentTotype)
            page.positionViewAtEnd()
        }
        function onSendPicture(fileName) { inputPane.sendPicture(fileName) }
        function onSendFileOnly(url) { inputPane.sendFileOnly(url) }
        function onReeditRecallMessage(text) {
            if (inputPane.field)
                page.fieldInsert(VSettings.plainTextToHtmlTextBase(inputPane.field, text, false, false))
        }
        function onEscapePressed() { inputPane.closeAtSomebody() }
        function onSyncToContactsCheckedConfirmOKClicked() { page.syncChecked = true }
    }
}
