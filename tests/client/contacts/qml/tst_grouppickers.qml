import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/contacts"

// The member and manager pickers, the transfer dialog and joining by code over the
// real lists, with the engine test double answering.
Item {
    id: root

    width: 800
    height: 600

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

    function people(prefix, count) {
        var list = []
        for (var i = 0; i < count; ++i)
            list.push({ "account": prefix + i, "name": prefix.toUpperCase() + i })
        return list
    }

    SignalSpy { id: limitSpy; target: vGlobal; signalName: "selectUpToMaxManagersCount" }
    SignalSpy { id: createdSpy; target: vGlobal; signalName: "createGroupChatSuccessed" }
    SignalSpy { id: openChatSpy; target: vGlobal; signalName: "openChat" }

    Component { id: memberPicker; VGroupMembersManagerPopupWindow {} }
    Component { id: managerPicker; VGroupManagersManagerPopupWindow {} }
    Component { id: transferDialog; VTransferGroupPopupWindow {} }
    Component { id: codeDialog; VCodeEnterGroupPopupWindow {} }

    TestCase {
        name: "GroupPickers"
        when: windowShown

        // A window shown lays out its content a moment later.
        function showWindow(window) {
            window.show()
            tryVerify(function() { return window.contentItem.height === window.height && window.contentItem.height > 0 })
        }

        property var made: []

        function make(component) {
            var object = component.createObject(null)
            verify(object !== null)
            made.push(object)
            return object
        }

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function init() {
            verify(fixture.newDatabase())
            verify(fixture.setConnection("connect"))
            contactsManager.wipeData()
            sessionManager.currentSessionId = "g1@group"
            limitSpy.clear()
            createdSpy.clear()
            openChatSpy.clear()
        }

        function cleanup() {
            for (var i = 0; i < made.length; ++i) {
                made[i].close()
                made[i].destroy()
            }
            made = []
            wait(0)
            fixture.settle()
            groupAdminManager.wipeData()
            groupMemberManager.wipeData()
            atSearchUserManager.wipeData()
            groupManager.pickerSearchUserManager.wipeData()
            vConfig.setValue("MY_ACCOUNT", "me")
        }

        // The group as a "getinfo" answer fills the lists: owner "o0", managers, members.
        function loadGroup(admins, members) {
            var result = { "groupid": "g1@group", "owner": [{ "account": "o0", "name": "Owner" }],
                           "admin": people("a", admins), "member": people("m", members),
                           "membercount": 1 + admins + members }
            fixture.setReply(fixture.groupCommand, 0, JSON.stringify({ "code": 1, "result": result }))
            groupManager.getGroupInfo("g1@group")
            verify(fixture.settle())
            compare(groupAdminManager.itemCount, 1 + admins)
            fixture.clearCalls()
            verify(fixture.setConnection("connect"))
        }

        function loadFriends(count) {
            fixture.exec("BEGIN")
            for (var i = 0; i < count; ++i)
                fixture.addContact(1000 + i, "f" + i, "Friend " + i)
            fixture.exec("COMMIT")
            contactsManager.initData()
            contactsManager.resetAllAddState(true)
            compare(contactsManager.itemCount, count)
        }

        // Only the first row before any check reply, 100 more after each good one;
        // any answer takes the cover away, and so does having nothing left to check.
        function test_addModePaging() {
            loadFriends(250)
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"user":[{"id":"f0"}]}}')
            var picker = make(memberPicker)
            picker.addMembers()
            verify(picker.loading)
            verify(picker.rowShown("f0", 0))
            verify(!picker.rowShown("f1", 1))
            verify(fixture.settle())
            compare(fixture.groupCommands("checkuser").length, 1)
            compare(picker.currentPageIndex, 1)
            verify(picker.rowShown("f100", 100))
            verify(!picker.rowShown("f101", 101))
            tryVerify(function() { return !picker.loading }, 2000)
            verify(!contactsManager.getUserEntity("f0").added)
            verify(contactsManager.getUserEntity("f1").added)
            // An added contact cannot be chosen.
            picker.choose(contactsManager.getUserEntity("f1"))
            compare(picker.chosen.count, 0)
            picker.choose(contactsManager.getUserEntity("f0"))
            compare(picker.chosen.count, 1)

            // A failed check reveals nothing but uncovers the list.
            fixture.setReply(fixture.groupCommand, 5, "")
            picker.loading = true
            picker.checkNextPage()
            verify(fixture.settle())
            compare(picker.currentPageIndex, 1)
            tryVerify(function() { return !picker.loading }, 2000)

            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"user":[{"id":"f150"}]}}')
            picker.checkNextPage()
            verify(fixture.settle())
            compare(picker.currentPageIndex, 2)
            verify(picker.rowShown("f200", 200))
            picker.checkNextPage()
            verify(fixture.settle())
            compare(picker.currentPageIndex, 3)
            // Every contact was checked: nothing goes out, the cover goes.
            fixture.clearCalls()
            picker.loading = true
            picker.checkNextPage()
            verify(fixture.settle())
            compare(fixture.groupCommands("checkuser").length, 0)
            tryVerify(function() { return !picker.loading }, 2000)

            // "Finished" adds the chosen in choice order.
            picker.choose(contactsManager.getUserEntity("f150"))
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{}}')
            mouseClick(findChild(picker.contentItem, "finishButton"))
            verify(fixture.settle())
            var sent = fixture.groupCommands("adduser")
            compare(sent.length, 1)
            compare(sent[0].user.length, 2)
            verify(!picker.visible)
            compare(picker.chosen.count, 0)
            verify(!contactsManager.getUserEntity("f0").selected)
        }

        // A group made from a one-to-one chat lists the peer first and is named
        // in the interface language; while connecting nothing is sent.
        function test_createFromChat() {
            loadFriends(3)
            var picker = make(memberPicker)
            picker.createGroup("f1")
            verify(!picker.rowShown("f1", 1))
            verify(!picker.rowShown("me", 0))
            picker.choose(contactsManager.getUserEntity("f2"))
            verify(fixture.setConnection("connecting"))
            picker.finish()
            verify(fixture.settle())
            compare(fixture.groupCommands("create").length, 0)
            compare(findChild(picker.contentItem, "warningTip").text, "Please check network connection")
            verify(!picker.busy)

            verify(fixture.setConnection("connect"))
            fixture.setReply(fixture.groupCommand, 0, '{"code":-3}')
            picker.finish()
            verify(fixture.settle())
            var sent = fixture.groupCommands("create")
            compare(sent.length, 1)
            compare(sent[0].groupname, "Group")
            compare(sent[0].user[0].id, "f1")
            compare(sent[0].user[1].id, "f2")
            verify(picker.visible)
            // A retry makes the same group, the peer first.
            fixture.setReply(fixture.groupCommand, 0,
                             '{"code":1,"result":{"groupid":"n1@group","groupname":"Group","parentid":""}}')
            picker.finish()
            verify(fixture.settle())
            sent = fixture.groupCommands("create")
            compare(sent.length, 2)
            compare(sent[1].user[0].id, "f1")
            compare(createdSpy.count, 1)
            compare(createdSpy.signalArguments[0][0], "n1@group")
            verify(!picker.visible)
            compare(picker.singleToGroupAccount, "")
        }

        // Three heads leave room for two; a third choice, by row or by search, brings
        // the limit alert and the picker comes back with its two.
        function test_managerLimitKeepsTheChoice() {
            loadGroup(2, 4)
            var picker = make(managerPicker)
            picker.addManagers(3)
            compare(picker.needManagersCount, 2)
            picker.choose(groupMemberManager.get(0))
            picker.choose(groupMemberManager.get(1))
            compare(picker.currentManagersCount, 5)
            picker.choose(groupMemberManager.get(2))
            compare(limitSpy.count, 1)
            compare(limitSpy.signalArguments[0][0], 2)
            verify(!picker.visible)
            compare(picker.chosen.count, 2)
            verify(!groupMemberManager.get(2).selected)
            vGlobal.reshowAddGroupManagerSelectPopupWindow()
            verify(picker.visible)
            compare(picker.chosen.accounts(), ["m0", "m1"])
            verify(groupMemberManager.get(0).selected)

            // By search: the same alert, nothing chosen.
            fixture.setReply(fixture.groupCommand, 0,
                             '{"code":1,"result":{"user":[{"account":"m3","name":"M3"}],"endid":0}}')
            picker.search.text = "M3"
            tryVerify(function() { return picker.search.showing }, 2000)
            verify(fixture.settle())
            compare(groupManager.pickerSearchUserManager.itemCount, 1)
            picker.chooseFound(groupManager.pickerSearchUserManager.get(0))
            compare(limitSpy.count, 2)
            vGlobal.reshowAddGroupManagerSelectPopupWindow()
            compare(picker.chosen.count, 2)
            verify(!picker.search.showing)

            // Removing one from the right makes room again.
            picker.chosen.remove_item("m1")
            compare(picker.currentManagersCount, 4)
            verify(!groupMemberManager.get(1).selected)
            picker.choose(groupMemberManager.get(3))
            compare(picker.chosen.accounts(), ["m0", "m3"])

            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{}}')
            picker.finish()
            verify(fixture.settle())
            var sent = fixture.groupCommands("grantuser")
            compare(sent.length, 1)
            compare(sent[0].admin.length, 2)
            verify(sent[0].owner === undefined)
            verify(!picker.visible)
            compare(fixture.groupCommands("getinfo").length, 1)
        }

        // Removing managers never offers the owner, and sends only members.
        function test_ownerNeverListedForRemoval() {
            loadGroup(2, 1)
            var picker = make(managerPicker)
            picker.deleteManagers()
            tryVerify(function() { return picker.contentItem.height > 0 })
            var candidates = findChild(picker.contentItem, "candidates")
            tryCompare(candidates, "count", 3)
            var shown = []
            for (var i = 0; i < candidates.contentItem.children.length; ++i) {
                var row = candidates.contentItem.children[i]
                if (row.account !== undefined && row.visible)
                    shown.push(row.account)
            }
            shown.sort()
            compare(shown, ["a0", "a1"])
            verify(!findChild(picker.contentItem, "searchBar").visible)
            verify(!findChild(picker.contentItem, "finishButton").enabled)
            picker.choose(groupAdminManager.get(1))
            verify(findChild(picker.contentItem, "finishButton").enabled)
            fixture.setReply(fixture.groupCommand, 0, '{"code":-3}')
            picker.finish()
            verify(fixture.settle())
            var sent = fixture.groupCommands("grantuser")
            compare(sent.length, 1)
            compare(sent[0].member.length, 1)
            verify(sent[0].owner === undefined)
            verify(sent[0].admin === undefined)
            compare(findChild(picker.contentItem, "warningTip").text, "Delete group managers failed")
            verify(picker.visible)
            compare(picker.chosen.count, 1)
        }

        // The member search waits for a pause, and a new text starts from the top.
        function test_memberSearchStartsAgainForANewText() {
            loadGroup(0, 2)
            var picker = make(memberPicker)
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"endid":0}}')
            picker.deleteMembers()
            verify(fixture.settle())
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0,
                             '{"code":1,"result":{"user":[{"account":"m1","name":"M1"}],"endid":40}}')
            picker.search.text = "M"
            picker.search.text = "M1"
            wait(200)
            compare(fixture.groupCommands("search").length, 0)
            tryVerify(function() { return fixture.groupCommands("search").length === 1 }, 2000)
            verify(fixture.settle())
            compare(fixture.groupCommands("search")[0].nick, "M1")
            compare(picker.search.fromid, 40)
            picker.search.text = "M0"
            tryVerify(function() { return fixture.groupCommands("search").length === 2 }, 2000)
            compare(fixture.groupCommands("search")[1].fromid, 0)
            verify(fixture.settle())
            // A found member is chosen once and the search is over.
            picker.chooseFound(groupManager.pickerSearchUserManager.get(0))
            picker.search.text = "M1"
            tryVerify(function() { return picker.search.showing }, 2000)
            verify(fixture.settle())
            picker.chooseFound(groupManager.pickerSearchUserManager.get(0))
            compare(picker.chosen.accounts(), ["m1"])
            verify(groupMemberManager.get(1).selected)
            verify(!picker.search.showing)
            picker.search.text = ""
            verify(!picker.search.showing)
        }

        // The rows of a list view that show, by account.
        function shownAccounts(list) {
            var shown = []
            for (var i = 0; i < list.contentItem.children.length; ++i) {
                var row = list.contentItem.children[i]
                if (row.account !== undefined && row.account !== "" && row.visible && row.height > 0)
                    shown.push(row.account)
            }
            return shown.sort()
        }

        // Removing members offers only whom the user may remove, in the list and in
        // its search results: the owner managers and members, a manager members.
        function test_removeOffersOnlyWhomTheUserMayRemove_data() {
            return [
                { tag: "owner", me: "o0", rows: ["a0", "a1", "m0", "m1"], found: ["a0", "a1", "m1"] },
                { tag: "manager", me: "a0", rows: ["m0", "m1"], found: ["m1"] }
            ]
        }

        function test_removeOffersOnlyWhomTheUserMayRemove(data) {
            loadGroup(2, 2)
            vConfig.setValue("MY_ACCOUNT", data.me)
            compare(vConfig.currentAccount, data.me)
            var picker = make(memberPicker)
            // A member page lists everybody in the group, the owner and managers too.
            var everybody = [{ "account": "o0", "name": "Owner" }].concat(people("a", 2), people("m", 2))
            fixture.setReply(fixture.groupCommand, 0,
                             JSON.stringify({ "code": 1, "result": { "member": everybody, "endid": 0 } }))
            picker.deleteMembers()
            verify(fixture.settle())
            tryVerify(function() { return picker.contentItem.height > 0 })
            var candidates = findChild(picker.contentItem, "candidates")
            tryCompare(candidates, "count", 5)
            compare(shownAccounts(candidates), data.rows)
            for (var row = 0; row < groupMemberManager.itemCount; ++row) {
                if (groupMemberManager.get(row).account === "o0")
                    picker.choose(groupMemberManager.get(row))
            }
            compare(picker.chosen.count, 0)

            fixture.setReply(fixture.groupCommand, 0, JSON.stringify({ "code": 1, "result": {
                "user": [{ "account": "o0", "name": "Owner" }, { "account": "a1", "name": "A1" },
                         { "account": "m1", "name": "M1" }, { "account": "a0", "name": "A0" }],
                "endid": 0 } }))
            picker.search.text = "o"
            tryVerify(function() { return picker.search.showing }, 2000)
            verify(fixture.settle())
            var found = findChild(picker.contentItem, "searchResults")
            tryCompare(found, "count", 4)
            compare(shownAccounts(found), data.found)
            // The owner cannot be chosen by a search either.
            var owner = null
            for (var i = 0; i < groupManager.pickerSearchUserManager.itemCount; ++i) {
                if (groupManager.pickerSearchUserManager.get(i).account === "o0")
                    owner = groupManager.pickerSearchUserManager.get(i)
            }
            verify(owner !== null)
            picker.chooseFound(owner)
            compare(picker.chosen.accounts().indexOf("o0"), -1)
        }

        // Nobody chosen: "OK" refuses; a chosen member is handed the group.
        function test_transferNeedsAChoice() {
            loadGroup(1, 2)
            var dialog = make(transferDialog)
            showWindow(dialog)
            var ok = findChild(dialog.contentItem, "okButton")
            verify(!ok.enabled)
            dialog.accept()
            verify(fixture.settle())
            compare(fixture.groupCommands("grantuser").length, 0)
            dialog.choose("m1")
            verify(ok.enabled)
            var transferred = 0
            function count() { ++transferred }
            vGlobal.transferGroupSuccessed.connect(count)
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{}}')
            mouseClick(ok)
            verify(fixture.settle())
            var sent = fixture.groupCommands("grantuser")
            compare(sent.length, 1)
            compare(sent[0].owner.length, 1)
            compare(transferred, 1)
            verify(!dialog.visible)
            compare(dialog.clickedAccount, "")
            vGlobal.transferGroupSuccessed.disconnect(count)
        }

        function typeCode(dialog, code) {
            for (var i = 0; i < code.length; ++i) {
                var box = findChild(dialog.contentItem, "codeBox" + i)
                box.takeFocus(true)
                box.children[0].insert(0, code[i])
            }
        }

        // Four digits send one request; an answer shows its reason and empties the
        // boxes; nothing goes out while connecting.
        function test_joinByCode_data() {
            return [
                { tag: "wrong code", status: 0, reply: '{"code":-14}', line: "Code error" },
                { tag: "expired", status: 0, reply: '{"code":-13}', line: "Code expired" },
                { tag: "invitation only", status: 0, reply: '{"code":-19}', line: "Invite join only" },
                { tag: "refused", status: 0, reply: '{"code":-20}', line: "Your join request was rejected" },
                { tag: "request failed", status: 5, reply: "", line: "" },
                // The group server's words for the same answers.
                { tag: "wrong code word", status: 0, reply: '{"code":1,"result":{"cmd":"GROUP_ERR_CODE"}}', line: "Code error" },
                { tag: "expired word", status: 0, reply: '{"code":1,"result":{"cmd":"GROUP_ERR_EXPIRED"}}', line: "Code expired" },
                { tag: "invitation only word", status: 0, reply: '{"code":1,"result":{"cmd":"GROUP_ERR_INVITEONLY"}}', line: "Invite join only" },
                { tag: "refused word", status: 0, reply: '{"code":1,"result":{"cmd":"GROUP_ERR_DENY"}}', line: "Your join request was rejected" },
                // Taken, but no group to open: not joined.
                { tag: "no group id", status: 0, reply: '{"code":1,"result":{}}', line: "" }
            ]
        }

        function test_joinByCode(data) {
            var dialog = make(codeDialog)
            showWindow(dialog)
            tryVerify(function() { return findChild(dialog.contentItem, "codeBox0").inputActiveFocus })
            fixture.setReply(fixture.groupCommand, data.status, data.reply)
            typeCode(dialog, "1234")
            verify(dialog.isLoading)
            verify(fixture.settle())
            var sent = fixture.groupCommands("getbycode")
            compare(sent.length, 1)
            compare(sent[0].code, "1234")
            verify(!dialog.isLoading)
            compare(findChild(dialog.contentItem, "codeErrorText").text, data.line)
            compare(findChild(dialog.contentItem, "codeErrorLine").visible, data.line !== "")
            compare(dialog.code, "")
            for (var i = 0; i < 4; ++i)
                compare(findChild(dialog.contentItem, "codeBox" + i).text, "")
            verify(dialog.visible)
            compare(openChatSpy.count, 0)
        }

        function test_joinByCodeOpensTheGroup() {
            var dialog = make(codeDialog)
            showWindow(dialog)
            verify(fixture.setConnection("connecting"))
            typeCode(dialog, "4321")
            verify(fixture.settle())
            compare(fixture.groupCommands("getbycode").length, 0)
            compare(findChild(dialog.contentItem, "codeErrorText").text, "Please check network connection")
            compare(dialog.code, "")

            verify(fixture.setConnection("connect"))
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"groupid":"g7@group"}}')
            typeCode(dialog, "4321")
            verify(fixture.settle())
            compare(fixture.groupCommands("getbycode").length, 1)
            compare(openChatSpy.count, 1)
            compare(openChatSpy.signalArguments[0][0], "g7@group")
            compare(openChatSpy.signalArguments[0][1], true)
            verify(!dialog.visible)
            compare(dialog.resultValue, -1)
        }

        // Backspace in an empty box goes back; Delete at the start of a filled box
        // empties it, otherwise moves on; only digits are taken.
        function test_digitBoxKeys() {
            var box = boxComponent.createObject(root)
            var finished = 0, previous = 0, next = 0
            box.enterFinished.connect(function() { ++finished })
            box.toDelPrevious.connect(function() { ++previous })
            box.toDelNext.connect(function() { ++next })
            box.takeFocus(true)
            keyClick(Qt.Key_A)
            compare(box.text, "")
            compare(finished, 0)
            keyClick(Qt.Key_Backspace)
            compare(previous, 1)
            keyClick(Qt.Key_Delete)
            compare(next, 1)
            keyClick(Qt.Key_5)
            compare(box.text, "5")
            compare(finished, 1)
            keyClick(Qt.Key_6)
            compare(box.text, "5")
            box.takeFocus(true)
            keyClick(Qt.Key_Delete)
            compare(box.text, "")
            compare(next, 1)
            keyClick(Qt.Key_Backspace)
            compare(previous, 2)
            box.destroy()
        }

        Component { id: boxComponent; VJoinGroupCodeTextInput {} }
    }
}
