import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/translator"

// The main window's routing: each vGlobal request reaches the right dialog or
// the chats page, dialogs are made once and kept, and the quote window stands
// where the window's state says. Recording stand-ins (doubles/) take the place
// of the pages' own files.
Item {
    id: root

    readonly property string doubles: Qt.resolvedUrl("doubles/")
    // Where the program's own files are.
    readonly property var defaults: ["qrc:/qml/popups/", "qrc:/qml/conversations/", "qrc:/qml/contacts/",
        "qrc:/qml/"]

    TestCase {
        name: "IndexPage"
        when: windowShown

        property var main: null

        function makeMain(folders) {
            classManager.createPostClass()
            var component = Qt.createComponent("qrc:/qml/VIndexPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            var made = component.createObject(null, {
                visible: false,
                qmlFolders: folders === undefined ? [root.doubles].concat(root.defaults) : folders
            })
            verify(made !== null)
            return made
        }

        function init() {
            main = makeMain()
        }

        function cleanup() {
            if (main !== null) {
                main.destroy()
                main = null
            }
            sessionManager.currentSessionId = ""
        }

        function test_dialogTable_data() {
            return [
                { tag: "createGroupChat", emit: function() { vGlobal.createGroupChat() },
                  file: "VGroupMembersManagerPopupWindow.qml", call: ["createGroup", ""] },
                { tag: "addGroupMembers", emit: function() { vGlobal.addGroupMembers() },
                  file: "VGroupMembersManagerPopupWindow.qml", call: ["addMembers"] },
                { tag: "deleteGroupMembers", emit: function() { vGlobal.deleteGroupMembers() },
                  file: "VGroupMembersManagerPopupWindow.qml", call: ["deleteMembers"] },
                { tag: "addMembersForSingleChat", emit: function() { vGlobal.addMembersForSingleChat() },
                  file: "VGroupMembersManagerPopupWindow.qml", call: ["createGroup", "friend@d"] },
                { tag: "addGroupManagers", emit: function() { vGlobal.addGroupManagers(3) },
                  file: "VGroupManagersManagerPopupWindow.qml", call: ["addManagers", 3] },
                { tag: "deleteGroupManagers", emit: function() { vGlobal.deleteGroupManagers() },
                  file: "VGroupManagersManagerPopupWindow.qml", call: ["deleteManagers"] },
                { tag: "transferGroup", emit: function() { vGlobal.transferGroup() },
                  file: "VTransferGroupPopupWindow.qml", call: ["show"] },
                { tag: "openSyncToContactsWindow", emit: function() { vGlobal.openSyncToContactsWindow() },
                  file: "VSyncToContactsPopupWindow.qml", call: ["show"] },
                { tag: "openSyncToContactsCheckedConfirmWindow",
                  emit: function() { vGlobal.openSyncToContactsCheckedConfirmWindow() },
                  file: "VSyncToContactsConfirmPopupWindow.qml", call: ["show"] },
                { tag: "forwardMessage", emit: function() { vGlobal.forwardMessage(42, "hi \"there\"", 2) },
                  file: "VForwardPopupWindow.qml", call: ["open", 42, "hi \"there\"", 2] },
                { tag: "showCodeEnterGroupPopupWindow",
                  emit: function() { vGlobal.showCodeEnterGroupPopupWindow() },
                  file: "VCodeEnterGroupPopupWindow.qml", call: ["show"] },
                { tag: "showSearchAddFriendPopupWindow",
                  emit: function() { vGlobal.showSearchAddFriendPopupWindow() },
                  file: "VSearchAddFriendPopupWindow.qml", call: ["show"] },
                { tag: "showGroupsInCommon", emit: function() { vGlobal.showGroupsInCommon() },
                  file: "VGroupsInCommonPopupWindow.qml", call: ["show"] },
            ]
        }

        // Twice: the second request reaches the same object; between the two the
        // dialog was closed, as a user would.
        function test_dialogTable(data) {
            sessionManager.currentSessionId = "friend@d"
            main.x = 100
            main.y = 50
            main.show()
            data.emit()
            var dialog = main._dialogs[data.file]
            verify(dialog !== undefined, "no dialog made for " + data.file)
            compare(dialog.calls, [data.call])
            // Placed over the middle of the main window.
            compare(dialog.x, main.x + Math.round((main.width - dialog.width) / 2))
            compare(dialog.y, main.y + Math.round((main.height - dialog.height) / 2))
            dialog.close()
            data.emit()
            compare(main._dialogs[data.file], dialog)
            compare(dialog.calls, [data.call, data.call])
            var files = Object.keys(main._dialogs)
            compare(files, [data.file])
            dialog.close()
        }

        // The settings popup closes before a dialog of the table opens.
        function test_dialogClosesTheSettingsPopup() {
            main.show()
            main.openSettingsPopup(Qt.point(10, 10))
            var popup = main.__popup
            verify(popup !== null && popup.visible)
            vGlobal.transferGroup()
            verify(!popup.visible)
            verify(main._dialogs["VTransferGroupPopupWindow.qml"].visible)
            main._dialogs["VTransferGroupPopupWindow.qml"].close()
        }

        // Every file the main window makes on demand is one the program ships, in
        // one of the folders it searches.
        function test_shippedFilesAreFound_data() {
            return ["VSessionListPage.qml", "VContactsListPage.qml", "VWebEngineView.qml",
                    "VCheckUpdatePopupWindow.qml", "VSystemSettingsPopupWindow.qml",
                    "VUserInfoEditPopupWindow.qml", "VDownloadTesmoChatAppPopupWindow.qml",
                    "VCodeEnterGroupPopupWindow.qml", "VForwardPopupWindow.qml",
                    "VQuotesPopupWindow.qml", "VGroupManagersManagerPopupWindow.qml",
                    "VGroupMembersManagerPopupWindow.qml", "VSearchAddFriendPopupWindow.qml",
                    "VSyncToContactsPopupWindow.qml", "VSyncToContactsConfirmPopupWindow.qml",
                    "VTransferGroupPopupWindow.qml"].map(function(file) {
                return { tag: file, file: file }
            })
        }

        // The web tab's page is made as the tab's child and takes the whole tab.
        function test_webPageFillsItsTab() {
            var tab = Qt.createQmlObject("import QtQuick 2.12; Item { width: 320; height: 200 }",
                                         root)
            var component = Qt.createComponent("qrc:/qml/VWebEngineView.qml")
            compare(component.status, Component.Ready, component.errorString())
            var page = component.createObject(tab)
            verify(page !== null)
            compare(page.width, 320)
            compare(page.height, 200)
            page.destroy()
            tab.destroy()
        }

        function test_shippedFilesAreFound(data) {
            var found = root.defaults.filter(function(folder) {
                return Qt.createComponent(folder + data.file).status === Component.Ready
            })
            compare(found.length, 1, data.file)
        }

        // A file that is not there leaves the slot empty; once it is, the next
        // request makes it.
        function test_missingFileLeavesTheSlotEmpty() {
            main.destroy()
            main = makeMain(root.defaults.concat([Qt.resolvedUrl("nowhere/")]))
            vGlobal.showGroupsInCommon()
            compare(main._dialogs["VGroupsInCommonPopupWindow.qml"], undefined)
            compare(main.dialogSlot("VGroupsInCommonPopupWindow.qml"), null)
            main.qmlFolders = [root.doubles].concat(root.defaults)
            vGlobal.showGroupsInCommon()
            compare(main._dialogs["VGroupsInCommonPopupWindow.qml"].calls, [["show"]])
            main._dialogs["VGroupsInCommonPopupWindow.qml"].close()
        }

        function test_pageCalls_data() {
            return [
                { tag: "createGroupChatSuccessed",
                  emit: function() { vGlobal.createGroupChatSuccessed("g1@d", "Team", "p0@d") },
                  call: ["afterCreateGroupChatSuccessed", "g1@d", "Team", "p0@d"] },
                { tag: "openChat", emit: function() { vGlobal.openChat("friend@d", false) },
                  call: ["openSession", "friend@d", false] },
                { tag: "openChat group", emit: function() { vGlobal.openChat("g2@d", true) },
                  call: ["openSession", "g2@d", true] },
                { tag: "openChatWithNameAndIcon",
                  emit: function() { vGlobal.openChatWithNameAndIcon("friend@d", false, "Ann", "a.png") },
                  call: ["openSessionWithNameAndIcon", "friend@d", false, "Ann", "a.png"] },
                { tag: "messageAtMeClicked", emit: function() { vGlobal.messageAtMeClicked("g3@d") },
                  call: ["openSession", "g3@d", true], reshown: true },
            ]
        }

        // From any tab, to the chats tab and the chats page's function.
        function test_pageCalls(data) {
            var page = main.chatsPage
            verify(page !== null, "the chats page stand-in loads")
            main.selectTab(1)
            data.emit()
            compare(main.currentTab, 0)
            compare(page.calls, [data.call])
            compare(main.visible, data.reshown === true)
        }

        function test_checkUpdateFromTheSettingsPopup() {
            main.show()
            main.openSettingsPopup(Qt.point(10, 10))
            var popup = main.__popup
            popup.checkUpdateClicked()
            verify(!popup.visible)
            var dialog = main._dialogs["VCheckUpdatePopupWindow.qml"]
            verify(dialog !== undefined)
            verify(dialog.visible)
            compare(dialog.width, 350)
            compare(dialog.height, 314)
            dialog.close()
            main.openSettingsPopup(Qt.point(10, 10))
            main.__popup.checkUpdateClicked()
            compare(main._dialogs["VCheckUpdatePopupWindow.qml"], dialog)
            verify(dialog.visible)
            dialog.close()
        }

        function test_kickOutDialogStandsOverTheWindow() {
            main.x = 120
            main.y = 40
            main.show()
            var dialog = main.kickOutDialog
            // Closing the dialog would switch to the login window: nothing listens here.
            imLoginManager.recvKickOut("elsewhere")
            verify(dialog.visible)
            compare(dialog.x, 120 + Math.round((main.width - dialog.width) / 2))
            compare(dialog.y, 40 + Math.round((main.height - dialog.height) / 2))
            // Its OK button holds the keyboard.
            compare(dialog.activeFocusItem.objectName, "kickOutOk")
            dialog.hide()
        }

        // The web tab asks for its host when first shown and loads when the answer
        // comes; before that, and for later answers, nothing loads.
        function test_webTabLoadsWhenItsHostIsFound() {
            main.show()
            imLoginManager.currentProUrlReady("127.0.0.1:9")
            compare(main.webPage, null)
            main.selectTab(2)
            compare(main.webPage, null)
            imLoginManager.currentProUrlReady("")
            compare(main.webPage, null)
            imLoginManager.currentProUrlReady("127.0.0.1:9")
            verify(main.webPage !== null)
            compare(String(main.webPage.url), "https://127.0.0.1:9")
            var page = main.webPage
            imLoginManager.currentProUrlReady("127.0.0.1:10")
            compare(main.webPage, page)
            compare(String(page.url), "https://127.0.0.1:9")
            main.selectTab(0)
        }

        // "Local upload" opens the picture chooser over the editor; cancelling it
        // brings the editor back as it was.
        function test_localUploadOpensThePictureChooser() {
            main.show()
            main.openSettingsPopup(Qt.point(10, 10))
            main.__popup.editUserInfoClicked()
            var editor = main._dialogs["VUserInfoEditPopupWindow.qml"]
            verify(editor !== undefined)
            verify(editor.visible)
            compare(editor.logoPath, "")
            verify(editor.flags & Qt.WindowStaysOnTopHint)
            editor.logoPath = "file:///kept.png"
            editor.openUploadDialog()
            var chooser = main.logoChooser
            verify(chooser.visible)
            compare(chooser.title, VTr.chooseAImage)
            compare(chooser.nameFilters, [VTr.imageFiles + " (*.png *.jpeg *.jpg *.bmp *.gif)"])
            // The pictures folder; the home folder where there is none.
            var pictures = chooser.shortcuts.pictures
            compare(String(chooser.folder), String(vGlobal.isDir(pictures) ? pictures : chooser.shortcuts.home))
            verify(!(editor.flags & Qt.WindowStaysOnTopHint))
            chooser.reject()
            verify(!chooser.visible)
            verify(editor.visible)
            compare(editor.logoPath, "file:///kept.png")
            verify(editor.flags & Qt.WindowStaysOnTopHint)
            // Opened again from the settings popup, the same editor starts afresh.
            main.openSettingsPopup(Qt.point(10, 10))
            main.__popup.editUserInfoClicked()
            compare(main._dialogs["VUserInfoEditPopupWindow.qml"], editor)
            compare(editor.logoPath, "")
            editor.close()
        }

        function test_quoteWindow_data() {
            return [
                // Beside the page (the window inside a margin of 2), 5 above it,
                // at least 600 high: the page is 596 + 2.
                { tag: "normal", state: Window.Windowed, x: 100, y: 50,
                  expected: function(main) { return [102 + 911, 52 - 5, 600] } },
                { tag: "normal elsewhere", state: Window.Windowed, x: 7, y: 90,
                  expected: function(main) { return [9 + 911, 92 - 5, 600] } },
                // Maximised: no margin; inside the page's right edge, under the
                // title area of 52, at most 850 high.
                { tag: "maximised", state: Window.Maximized,
                  expected: function(main) {
                      return [main.x + main.width - 400, main.y + 52, Math.min(850, main.height)]
                  } },
            ]
        }

        function test_quoteWindow(data) {
            if (data.state === Window.Maximized) {
                main.showMaximized()
                tryCompare(main, "visibility", Window.Maximized)
                tryCompare(main.contentItem, "width", main.width)
            } else {
                main.x = data.x
                main.y = data.y
                main.width = 915
                main.height = 600
                main.show()
            }
            var expected = data.expected(main)
            vGlobal.showQuotesPopupWindow("https://quotes.example/page?a=1")
            var quotes = main._dialogs["VQuotesPopupWindow.qml"]
            verify(quotes !== undefined)
            verify(quotes.visible)
            compare([quotes.x, quotes.y, quotes.containerHeight], expected)
            compare(String(quotes.webViewUrl), "https://quotes.example/page?a=1")
            // One window, whatever the number of requests; it goes when the main
            // window hides.
            vGlobal.showQuotesPopupWindow("https://quotes.example/other")
            compare(main._dialogs["VQuotesPopupWindow.qml"], quotes)
            compare(String(quotes.webViewUrl), "https://quotes.example/other")
            main.hide()
            verify(!quotes.visible)
        }
    }
}
