import QtQuick 2.12
import QtTest 1.12
import QtQuick.Window 2.12
import VTranslator 1.0
import "qrc:/qml"
import "qrc:/qml/contacts"
import "qrc:/qml/translator"

// The contacts page and its popups over the real contact and group lists.
Item {
    id: root

    width: 1000
    height: 700

    function findChild(item, name) {
        if (!item)
            return null
        if (item.objectName === name)
            return item
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findChild(kids[i], name)
            if (found)
                return found
        }
        return null
    }

    // The delegate of a list view showing the item of this key.
    function rowOf(list, property, key) {
        var kids = list.contentItem.children
        for (var i = 0; i < kids.length; ++i) {
            if (kids[i][property] === key)
                return kids[i]
        }
        return null
    }

    SignalSpy {
        id: openChatSpy

        target: vGlobal
        signalName: "openChat"
    }

    TestCase {
        name: "ContactsPage"
        when: windowShown

        // A window shown lays out its content a moment later.
        function showWindow(window) {
            window.show()
            tryVerify(function() { return window.contentItem.height === window.height && window.contentItem.height > 0 })
        }

        property var made: []

        function make(component, properties) {
            var object = component.createObject(root, properties || {})
            verify(object !== null)
            made.push(object)
            return object
        }

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function init() {
            verify(fixture.newDatabase())
            contactsManager.wipeData()
            groupManager.wipeData()
            openChatSpy.clear()
        }

        function cleanup() {
            for (var i = 0; i < made.length; ++i) {
                if (made[i].close)
                    made[i].close()
                made[i].destroy()
            }
            made = []
            wait(0)
        }

        function loadFriends(count) {
            fixture.exec("BEGIN")
            for (var i = 0; i < count; ++i)
                verify(fixture.addContact(100 + i, "f" + i, "Friend " + i))
            fixture.exec("COMMIT")
            contactsManager.initData()
            compare(contactsManager.itemCount, count)
        }

        Component { id: pageComponent; VContactsListPage {} }
        Component { id: memberPickerComponent; VGroupMembersManagerPopupWindow {} }
        Component { id: editorComponent; VUserInfoEditPopupWindow {} }
        Component { id: searchComponent; VSearchAddFriendPopupWindow {} }
        Component { id: syncComponent; VSyncToContactsPopupWindow {} }
        Component { id: confirmComponent; VSyncToContactsConfirmPopupWindow {} }
        Component {
            id: drawerHost

            Item {
                width: 800
                height: 600
                property alias drawer: drawer
                VSingleChatDrawer { id: drawer }
            }
        }

        // 400 ms on a friend opens nothing; 500 ms opens the card once, and resting
        // again on the friend whose card is open makes no second card.
        function test_cardHoverTiming() {
            loadFriends(2)
            var page = make(pageComponent)
            var list = findChild(page, "friendList")
            tryVerify(function() { return rowOf(list, "account", "f1") !== null })
            var first = rowOf(list, "account", "f0")
            var second = rowOf(list, "account", "f1")

            mouseMove(first, 100, 30)
            wait(400)
            mouseMove(second, 100, 30)
            mouseMove(page, 500, 20)
            wait(300)
            compare(page.popup, null)

            mouseMove(first, 100, 30)
            mouseMove(first, 110, 30)
            tryVerify(function() { return page.popup !== null }, 2000)
            var card = page.popup
            compare(card.currentAccount, "f0")
            compare(card.currentName, "Friend 0")
            compare(card.currentUid, 100)
            compare(card.currentSummary, "about f0")
            // Leaving this row keeps its card; coming back makes no new one.
            mouseMove(page, 500, 20)
            compare(page.popup, card)
            mouseMove(first, 100, 30)
            wait(700)
            compare(page.popup, card)

            // Another friend's card replaces it.
            mouseMove(second, 100, 30)
            verify(page.popup === null || page.popup === card)
            tryVerify(function() { return page.popup !== null && page.popup.currentAccount === "f1" }, 2000)

            // Another entry takes the card away.
            mouseClick(findChild(page, "entry1"))
            compare(page.popup, null)
            mouseClick(findChild(page, "entry0"))
            tryVerify(function() { return rowOf(list, "account", "f1") !== null })
            second = rowOf(list, "account", "f1")
            mouseMove(page, 500, 20)
            mouseMove(second, 100, 30)
            mouseMove(second, 110, 30)
            tryVerify(function() { return page.popup !== null }, 2000)

            // A click opens the chat and closes the card.
            mouseClick(second, 100, 30)
            compare(page.popup, null)
            compare(openChatSpy.count, 1)
            compare(openChatSpy.signalArguments[0][0], "f1")
            compare(openChatSpy.signalArguments[0][1], false)
        }

        // A pointer that comes onto a row and rests there (one move into the row,
        // no move inside it) gets the card by the row, not at the screen's corner.
        function test_cardOpensByTheRow() {
            loadFriends(3)
            var page = make(pageComponent)
            var list = findChild(page, "friendList")
            tryVerify(function() { return rowOf(list, "account", "f2") !== null })
            var row = rowOf(list, "account", "f2")
            mouseMove(page, 500, 20)
            mouseMove(row, 120, 30)
            tryVerify(function() { return page.popup !== null }, 2000)
            var card = page.popup
            var pointer = row.mapToGlobal(120, 30)
            verify(Math.abs(card.x - pointer.x) <= 2, card.x + " by " + pointer.x)
            verify(Math.abs(card.y - pointer.y) <= 2, card.y + " by " + pointer.y)
            compare(findChild(card.contentItem, "cardSummary").text, "Signature: about f2")
        }

        // Each visit of the groups entry reads the group list again; choosing it
        // while it shows reads nothing.
        function test_groupsEntryReloadsEachVisit() {
            verify(fixture.addGroup("g1@group", "One"))
            verify(fixture.addGroup("g2@group", "Two"))
            var page = make(pageComponent)
            compare(groupManager.itemCount, 0)
            mouseClick(findChild(page, "entry1"))
            compare(page.index, 1)
            compare(groupManager.itemCount, 2)
            var before = groupManager.getGroupEntity("g1@group")
            verify(before !== null)
            compare(findChild(page, "pageTitle").text, "Tesmo Chat Groups")

            mouseClick(findChild(page, "entry1"))
            compare(groupManager.getGroupEntity("g1@group"), before)

            mouseClick(findChild(page, "entry0"))
            compare(groupManager.getGroupEntity("g1@group"), before)
            verify(fixture.addGroup("g3@group", "Three"))
            mouseClick(findChild(page, "entry1"))
            compare(groupManager.itemCount, 3)
            var after = groupManager.getGroupEntity("g1@group")
            verify(after !== null)
            verify(after !== before)

            // A group row opens the group's chat.
            var list = findChild(page, "groupList")
            tryVerify(function() { return rowOf(list, "groupid", "g2@group") !== null })
            mouseClick(rowOf(list, "groupid", "g2@group"))
            compare(openChatSpy.count, 1)
            compare(openChatSpy.signalArguments[0][0], "g2@group")
            compare(openChatSpy.signalArguments[0][1], true)

            // The invitation panel exists only while its entry is chosen.
            mouseClick(findChild(page, "quickInviteButton"))
            compare(findChild(page, "pageTitle").text, "Choose File")
            verify(findChild(page, "startInviteButton") !== null)
            compare(findChild(page, "startInviteButton").enabled, false)
            mouseClick(findChild(page, "entry0"))
            tryVerify(function() { return findChild(page, "startInviteButton") === null })
        }

        // The nick is cut at 10 characters with the notice; one fewer clears it.
        function test_nickLengthIsCut() {
            var editor = make(editorComponent)
            showWindow(editor)
            editor.requestActivate()
            tryVerify(function() { return editor.active })
            var nick = findChild(editor.contentItem, "nickInput")
            var tip = findChild(editor.contentItem, "warningTip")
            nick.forceActiveFocus()
            tryVerify(function() { return nick.activeFocus })
            nick.text = ""
            nick.insert(0, "abcdefghij")
            compare(nick.length, 10)
            compare(tip.text, "")
            compare(findChild(editor.contentItem, "nickCounter").text, "10/10")
            nick.insert(10, "k")
            compare(nick.text, "abcdefghij")
            compare(tip.text, "You entered is too long")
            nick.remove(9, 10)
            compare(nick.length, 9)
            compare(tip.text, "")

            // "Finished" sends the trimmed values once and waits for the answer.
            var intro = findChild(editor.contentItem, "introInput")
            intro.text = "  hello  "
            fixture.clearCalls()
            fixture.setReply(fixture.userCommand, 5, "")
            editor.finish()
            editor.finish()
            verify(editor.busy)
            verify(fixture.settle())
            var sent = fixture.bodiesOf("UserCommand")
            compare(sent.length, 1)
            compare(sent[0].name, "abcdefghi")
            compare(sent[0].summary, "hello")
            // Refused: the dialog stays with the typed values and says so.
            verify(!editor.busy)
            compare(tip.text, VTr.informationModifyFailed)
            verify(editor.visible)
            compare(nick.text, "abcdefghi")
            var saved = 0
            function count() { ++saved }
            vGlobal.userInfoUpdateSuccessed.connect(count)
            fixture.setReply(fixture.userCommand, 0, "{}")
            editor.finish()
            verify(fixture.settle())
            compare(fixture.bodiesOf("UserCommand").length, 2)
            verify(!editor.visible)
            compare(saved, 1)
            vGlobal.userInfoUpdateSuccessed.disconnect(count)
        }

        // Letters are refused, an empty field asks nothing, and only answers 1 and
        // -5 change what the dialog shows.
        function test_searchRefusals() {
            var dialog = make(searchComponent)
            showWindow(dialog)
            tryVerify(function() { return dialog.active })
            var input = findChild(dialog.contentItem, "searchInput")
            tryVerify(function() { return input.activeFocus })
            input.insert(0, "12a")
            compare(input.text, "")
            fixture.clearCalls()
            dialog.search()
            fixture.settle()
            compare(fixture.posts().length, 0)

            input.insert(0, "555")
            compare(input.text, "555")
            fixture.setReply(fixture.sendPost, 0, '{"code":-5}')
            dialog.search()
            fixture.settle()
            compare(fixture.posts().length, 1)
            verify(fixture.posts()[0].indexOf("555") > 0)
            compare(dialog.currentResult, -5)
            verify(findChild(dialog.contentItem, "noResult").visible)

            fixture.setReply(fixture.sendPost, 0, '{"code":7}')
            dialog.search()
            fixture.settle()
            compare(dialog.currentResult, -5)

            fixture.setReply(fixture.sendPost, 0,
                             '{"code":1,"result":{"account":"p1@d","name":"Pat","userid":77}}')
            dialog.search()
            fixture.settle()
            compare(dialog.currentResult, 1)
            compare(dialog.height, 410)
            var results = findChild(dialog.contentItem, "searchResults")
            tryCompare(results, "count", 1)
            mouseClick(results.contentItem.children[0], 50, 30)
            compare(openChatSpy.count, 1)
            compare(openChatSpy.signalArguments[0][0], "p1@d")
            verify(!dialog.visible)
            compare(dialog.currentResult, 0)
            compare(input.text, "")
        }

        // "Select all" marks all or none; closing without "OK" puts the stored marks
        // back, "OK" stores the new ones.
        function test_syncSelectAllCancelAndOk() {
            vConfig.setValue("SYNC_CONTACTS_LIST", ["f1"])
            loadFriends(3)
            compare(contactsManager.isSyncAccounts(), ["f1"])
            var dialog = make(syncComponent)
            showWindow(dialog)
            compare(dialog.contactsSelectCount, 1)
            var selectAll = findChild(dialog.contentItem, "selectAll0")
            mouseClick(selectAll)
            compare(dialog.contactsSelectCount, 3)
            compare(contactsManager.isSyncAccounts().length, 3)
            verify(dialog.title.indexOf("(3)") > 0 || dialog.windowTitle.indexOf("(3)") > 0)
            mouseClick(selectAll)
            compare(dialog.contactsSelectCount, 0)
            compare(contactsManager.isSyncAccounts().length, 0)
            mouseClick(selectAll)
            dialog.close()
            compare(vConfig.value("SYNC_CONTACTS_LIST"), ["f1"])
            compare(contactsManager.isSyncAccounts(), ["f1"])

            // A row flips its mark; "OK" stores the marks.
            showWindow(dialog)
            compare(dialog.contactsSelectCount, 1)
            var list = findChild(dialog.contentItem, "syncList0")
            tryCompare(list, "count", 3)
            var row = null
            for (var i = 0; i < list.contentItem.children.length; ++i) {
                var kid = list.contentItem.children[i]
                if (kid.entry && kid.entry.account === "f2")
                    row = kid
            }
            verify(row !== null)
            mouseClick(row)
            compare(dialog.contactsSelectCount, 2)
            mouseClick(findChild(dialog.contentItem, "okButton"))
            verify(!dialog.visible)
            var stored = vConfig.value("SYNC_CONTACTS_LIST")
            compare(stored.length, 2)
            verify(stored.indexOf("f1") >= 0 && stored.indexOf("f2") >= 0)
        }

        // "Select all" of the groups marks the listed groups only: not one the user
        // left, which would be sent the synced messages.
        function test_syncSelectAllMarksListedGroupsOnly() {
            verify(fixture.addGroup("g1@group", "One"))
            verify(fixture.addGroup("g2@group", "Two"))
            verify(fixture.addGroup("g3@group", "Left"))
            verify(fixture.exec("UPDATE nq_group SET groupstate = 1 WHERE groupid = 'g3@group'"))
            vConfig.setValue("SYNC_GROUPS_LIST", ["g3@group"])
            groupManager.initData()
            compare(groupManager.itemCount, 2)
            var dialog = make(syncComponent)
            showWindow(dialog)
            // A left group's old mark is no listed row's mark.
            compare(dialog.groupsSelectCount, 0)
            dialog.currentTabIndex = 1
            // The tab slides in.
            wait(400)
            mouseClick(findChild(dialog.contentItem, "selectAll1"))
            compare(dialog.groupsSelectCount, 2)
            compare(groupManager.isSyncAccounts(), ["g1@group", "g2@group"])
            verify(!groupManager.getGroupEntity("g3@group").isSync)
            mouseClick(findChild(dialog.contentItem, "okButton"))
            compare(vConfig.value("SYNC_GROUPS_LIST"), ["g1@group", "g2@group"])
            vConfig.setValue("SYNC_GROUPS_LIST", [])
        }

        // The add-friend dialog keeps its result while member searches (the
        // @-mentions, a picker) answer.
        function test_addFriendResultsAreItsOwn() {
            var dialog = make(searchComponent)
            showWindow(dialog)
            var input = findChild(dialog.contentItem, "searchInput")
            input.insert(0, "555")
            fixture.setReply(fixture.sendPost, 0,
                             '{"code":1,"result":{"account":"p1@d","name":"Pat","userid":77}}')
            dialog.search()
            verify(fixture.settle())
            var results = findChild(dialog.contentItem, "searchResults")
            tryCompare(results, "count", 1)
            fixture.setReply(fixture.groupCommand, 0,
                             '{"code":1,"result":{"user":[{"account":"m1","name":"M1"},{"account":"m2","name":"M2"}]}}')
            groupManager.searchMembers("g1@group", "", 0)
            groupManager.searchPickerMembers("g1@group", "M", 0)
            verify(fixture.settle())
            compare(atSearchUserManager.itemCount, 2)
            compare(groupManager.pickerSearchUserManager.itemCount, 2)
            compare(results.count, 1)
            compare(contactsManager.accountSearchUserManager.get(0).account, "p1@d")
            atSearchUserManager.wipeData()
            groupManager.pickerSearchUserManager.wipeData()
        }

        function test_syncConfirmationStoresTheBox() {
            var dialog = make(confirmComponent)
            var confirmed = 0
            function count() { ++confirmed }
            vGlobal.syncToContactsCheckedConfirmOKClicked.connect(count)
            showWindow(dialog)
            verify(dialog.noMorePrompts)
            mouseClick(findChild(dialog.contentItem, "noMorePromptsBox"))
            verify(!dialog.noMorePrompts)
            dialog.accept()
            compare(vConfig.value("noMorePromptsNextTimeSyncToImageClicked"), "NONE")
            showWindow(dialog)
            mouseClick(findChild(dialog.contentItem, "noMorePromptsBox"))
            dialog.accept()
            compare(vConfig.value("noMorePromptsNextTimeSyncToImageClicked"), "NOMORE")
            compare(confirmed, 2)
            vGlobal.syncToContactsCheckedConfirmOKClicked.disconnect(count)
        }

        // A block flipped for one person goes to that person when the drawer shows
        // another within the second, and at once; so does closing.
        function test_blockActsOnThePersonItWasFlippedFor() {
            loadFriends(3)
            var host = make(drawerHost)
            var drawer = host.drawer
            drawer.open("f1")
            tryVerify(function() { return drawer.isShowing() })
            var block = findChild(drawer, "blockSwitch")
            fixture.clearCalls()
            fixture.setReply(fixture.sendPost, 0, '{"code":1}')
            mouseClick(block)
            compare(block.checked, true)
            drawer.open("f2")
            compare(fixture.posts("setblack").length, 1)
            verify(fixture.posts("setblack")[0].indexOf('"adduser": "f1"') > 0
                   || fixture.posts("setblack")[0].indexOf('"adduser":"f1"') > 0)
            compare(block.checked, false)
            verify(fixture.settle())
            wait(1200)
            compare(fixture.posts("setblack").length, 1)
            // The answer for f1 does not touch f2's switch.
            compare(block.checked, false)

            mouseClick(block)
            drawer.close()
            compare(fixture.posts("setblack").length, 2)
            verify(fixture.posts("setblack")[1].indexOf("f2") > 0)
            verify(fixture.settle())
        }

        // Three quick clicks from off send one block request 1000 ms after the last;
        // a refused change puts the switch back.
        function test_threeBlockTogglesSendOneRequest() {
            loadFriends(2)
            var host = make(drawerHost)
            var drawer = host.drawer
            drawer.summery = ""
            drawer.open("f1")
            verify(drawer.activeFocus)
            tryVerify(function() { return drawer.isShowing() })
            var line = findChild(drawer, "introLine")
            compare(line.text, "Intro: no intro")
            var block = findChild(drawer, "blockSwitch")
            compare(block.checked, false)
            fixture.clearCalls()
            fixture.setReply(fixture.sendPost, 0, '{"code":1}')
            // A click and a quick pair, which arrives as a double click.
            mouseClick(block)
            mouseDoubleClickSequence(block)
            compare(block.checked, true)
            wait(500)
            compare(fixture.posts("setblack").length, 0)
            tryVerify(function() { return fixture.posts("setblack").length === 1 }, 3000)
            verify(fixture.posts("setblack")[0].indexOf("adduser") > 0)
            fixture.settle()
            compare(block.checked, true)
            // The engine keeps the black list.
            fixture.setText("GetBlackList", "f1")

            // Refused: the switch shows the stored state again.
            fixture.setReply(fixture.sendPost, 0, '{"code":0}')
            mouseClick(block)
            compare(block.checked, false)
            tryVerify(function() { return fixture.posts("setblack").length === 2 }, 3000)
            verify(fixture.posts("setblack")[1].indexOf("deluser") > 0)
            fixture.settle()
            compare(block.checked, true)
        }

        // "Add members" opens the member picker in its own window: the drawer stays
        // open behind it; a click elsewhere in the chat area closes it.
        function test_chatDrawerStaysBehindThePicker() {
            loadFriends(2)
            var host = make(drawerHost)
            var drawer = host.drawer
            var asked = 0
            function count() { ++asked }
            vGlobal.addMembersForSingleChat.connect(count)
            root.Window.window.requestActivate()
            tryVerify(function() { return root.Window.window.active })
            drawer.open("f1")
            verify(drawer.activeFocus)
            tryVerify(function() { return drawer.isShowing() })
            mouseClick(findChild(drawer, "addMembersRow"))
            compare(asked, 1)
            vGlobal.addMembersForSingleChat.disconnect(count)
            var picker = make(memberPickerComponent)
            picker.createGroup("f1")
            picker.requestActivate()
            tryVerify(function() { return picker.active })
            wait(600)
            verify(drawer.isShowing())
            verify(!picker.rowShown("f1", 1))
            picker.close()
            root.Window.window.requestActivate()
            tryVerify(function() { return root.Window.window.active })
            tryVerify(function() { return drawer.activeFocus })
            host.forceActiveFocus()
            tryVerify(function() { return !drawer.isShowing() && !drawer.visible })
        }
    }
}
