import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml"
import "qrc:/qml/contacts"

// A person's way through the contacts tab and a group's settings, against the local
// server. The steps run in order and build on each other.
Item {
    id: root

    width: 1366
    height: 768

    readonly property string me: "210001@people.test"
    readonly property string near: "210002@people.test"
    readonly property string far: "210003@other.test"
    property string groupid: ""

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

    // The visible row of a list showing this account.
    function rowOf(list, account) {
        var kids = list.contentItem.children
        for (var i = 0; i < kids.length; ++i) {
            if (kids[i].account === account && kids[i].visible)
                return kids[i]
        }
        return null
    }

    VContactsListPage {
        id: page

        anchors.fill: undefined
        width: 900
        height: root.height
    }

    Item {
        id: chatArea

        x: 900
        width: root.width - 900
        height: root.height

        VGroupSettingsDrawer {
            id: drawer
        }
    }

    VGroupMembersManagerPopupWindow { id: memberPicker; x: 300; y: 100 }
    VGroupManagersManagerPopupWindow { id: managerPicker; x: 300; y: 100 }
    VTransferGroupPopupWindow { id: transferDialog; x: 500; y: 100 }
    VCodeEnterGroupPopupWindow { id: codeDialog; x: 450; y: 200 }

    SignalSpy { id: createdSpy; target: vGlobal; signalName: "createGroupChatSuccessed" }
    SignalSpy { id: addedSpy; target: vGlobal; signalName: "addGroupMembersSuccessed" }
    SignalSpy { id: managersSpy; target: vGlobal; signalName: "addGroupManagersSuccessed" }
    SignalSpy { id: banSpy; target: groupManager; signalName: "banuserResult" }
    SignalSpy { id: codeSpy; target: groupManager; signalName: "setGroupPasswordResult" }
    SignalSpy { id: transferSpy; target: vGlobal; signalName: "transferGroupSuccessed" }
    SignalSpy { id: leftSpy; target: vGlobal; signalName: "leaveGroupSuccessed" }
    SignalSpy { id: openChatSpy; target: vGlobal; signalName: "openChat" }
    SignalSpy { id: setSpy; target: groupManager; signalName: "setGroupInfoResult" }
    SignalSpy { id: removedSpy; target: vGlobal; signalName: "deleteGroupMembersSuccessed" }
    SignalSpy { id: joinCodeSpy; target: groupManager; signalName: "getGroupByPasswordResult" }

    TestCase {
        name: "ContactsOnScreen"
        when: windowShown

        // A window shown lays out its content a moment later; clicks wait for it.
        function laidOut(window) {
            tryVerify(function() { return window.visible && window.contentItem.height === window.height })
            wait(50)
        }

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            verify(e2e.serverStarted())
            verify(e2e.login("13900000101", "101010"))
            compare(vConfig.currentAccount, root.me)
            contactsManager.initData()
            tryCompare(contactsManager, "itemCount", 2, 30000)
        }

        function test_1_contactsAndCard() {
            var list = findChild(page, "friendList")
            tryVerify(function() { return rowOf(list, root.near) !== null })
            verify(e2e.shot("01-contacts"))
            var row = rowOf(list, root.near)
            mouseMove(row, 100, 30)
            mouseMove(row, 120, 30)
            tryVerify(function() { return page.popup !== null }, 3000)
            compare(page.popup.currentName, "Near Friend")
            wait(300)
            verify(e2e.shot("02-contact-card"))
            page.closeCard()
            mouseClick(findChild(page, "entry1"))
            tryVerify(function() { return groupManager.itemCount >= 1 })
            wait(300)
            verify(e2e.shot("03-groups"))
        }

        function test_2_createGroup() {
            memberPicker.createGroup("")
            laidOut(memberPicker)
            var candidates = findChild(memberPicker.contentItem, "candidates")
            tryVerify(function() { return rowOf(candidates, root.near) !== null })
            mouseClick(rowOf(candidates, root.near))
            compare(memberPicker.chosen.accounts(), [root.near])
            wait(200)
            verify(e2e.shot("04-create-group-picker"))
            laidOut(memberPicker)
            mouseClick(findChild(memberPicker.contentItem, "finishButton"))
            tryCompare(createdSpy, "count", 1, 30000)
            root.groupid = createdSpy.signalArguments[0][0]
            verify(root.groupid !== "")
            verify(!memberPicker.visible)
            sessionManager.currentSessionId = root.groupid
        }

        function test_3_drawerAsOwner() {
            drawer.open(root.groupid)
            tryVerify(function() { return !drawer.loading && drawer.isShowing() }, 30000)
            verify(drawer.isOwner)
            compare(groupAdminManager.itemCount, 1)
            compare(groupMemberManager.itemCount, 1)
            wait(300)
            verify(e2e.shot("05-group-settings"))
        }

        // The group as the local server keeps it.
        function serverGroup() {
            var state = JSON.parse(e2e.serverGroups())
            for (var i = 0; i < state.groups.length; ++i) {
                if (state.groups[i].groupid === root.groupid)
                    return state.groups[i]
            }
            return null
        }

        // An introduction stays through a rename and the join switch, on the server
        // and in the local database.
        function test_3a_introductionSurvivesOtherChanges() {
            setSpy.clear()
            mouseClick(findChild(drawer, "introPencil"))
            var intro = findChild(drawer, "introInput")
            tryVerify(function() { return intro.activeFocus })
            intro.text = "Night owls only"
            drawer.takeFocus()
            tryCompare(setSpy, "count", 1, 30000)
            compare(setSpy.signalArguments[0][0], 0)

            mouseClick(findChild(drawer, "renamePencil"))
            var title = findChild(drawer, "titleInput")
            tryVerify(function() { return title.activeFocus })
            title.text = "Night Shift Crew"
            drawer.takeFocus()
            tryCompare(setSpy, "count", 2, 30000)
            compare(setSpy.signalArguments[1][0], 0)
            tryCompare(drawer, "titleText", "Night Shift Crew(2)")

            var banJoin = findChild(drawer, "banJoinSwitch")
            var flick = findChild(drawer, "settingsFlick")
            flick.contentY = Math.max(0, banJoin.mapToItem(flick.contentItem, 0, 0).y - 100)
            wait(100)
            mouseClick(banJoin)
            tryCompare(setSpy, "count", 3, 30000)
            compare(setSpy.signalArguments[2][0], 0)
            flick.contentY = 0

            tryVerify(function() { var g = serverGroup(); return g !== null && g.type === 1 }, 30000)
            var group = serverGroup()
            compare(group.name, "Night Shift Crew")
            compare(group.info, "Night owls only")
            var sql = "select groupinfo from nq_group where groupid='" + root.groupid + "'"
            compare(e2e.dbText(sql), "Night owls only")
            compare(e2e.dbText("select groupname from nq_group where groupid='" + root.groupid + "'"),
                    "Night Shift Crew")
            // Opened again, the drawer shows it from the server.
            drawer.updateGroupInfo()
            tryVerify(function() { return !drawer.loading }, 30000)
            compare(groupManager.info, "Night owls only")
            compare(findChild(drawer, "introLine").text, "Intro: Night owls only")
            // Joining open again for the steps that follow.
            flick.contentY = Math.max(0, banJoin.mapToItem(flick.contentItem, 0, 0).y - 100)
            wait(100)
            mouseClick(banJoin)
            tryCompare(setSpy, "count", 4, 30000)
            flick.contentY = 0
            wait(300)
            verify(e2e.shot("05a-introduction-kept"))
        }

        function test_4_addMember() {
            memberPicker.addMembers()
            tryVerify(function() { return !memberPicker.loading }, 30000)
            laidOut(memberPicker)
            var candidates = findChild(memberPicker.contentItem, "candidates")
            tryVerify(function() { return rowOf(candidates, root.far) !== null })
            var far = contactsManager.getUserEntity(root.far)
            verify(!far.added)
            verify(contactsManager.getUserEntity(root.near).added)
            mouseClick(rowOf(candidates, root.far))
            wait(200)
            verify(e2e.shot("06-add-member-picker"))
            laidOut(memberPicker)
            mouseClick(findChild(memberPicker.contentItem, "finishButton"))
            tryCompare(addedSpy, "count", 1, 30000)
            // The open drawer's grid follows by itself.
            tryVerify(function() { return groupMemberManager.itemCount === 2 }, 30000)
            compare(groupManager.memberCount, 3)
            tryVerify(function() { return !drawer.loading }, 30000)
            wait(300)
            verify(e2e.shot("06a-member-added"))
        }

        // Removed, and the grid follows; then back in for the steps that follow.
        function test_4a_removeMember() {
            memberPicker.deleteMembers()
            laidOut(memberPicker)
            var candidates = findChild(memberPicker.contentItem, "candidates")
            tryVerify(function() { return rowOf(candidates, root.far) !== null }, 30000)
            // The owner is never offered.
            compare(rowOf(candidates, root.me), null)
            mouseClick(rowOf(candidates, root.far))
            wait(200)
            verify(e2e.shot("06b-remove-member-picker"))
            laidOut(memberPicker)
            mouseClick(findChild(memberPicker.contentItem, "finishButton"))
            tryCompare(removedSpy, "count", 1, 30000)
            tryVerify(function() { return groupMemberManager.itemCount === 1 }, 30000)
            compare(groupManager.memberCount, 2)
            tryVerify(function() { return !drawer.loading }, 30000)
            wait(300)
            verify(e2e.shot("06c-member-removed"))

            memberPicker.addMembers()
            tryVerify(function() { return !memberPicker.loading }, 30000)
            laidOut(memberPicker)
            candidates = findChild(memberPicker.contentItem, "candidates")
            tryVerify(function() { return rowOf(candidates, root.far) !== null })
            mouseClick(rowOf(candidates, root.far))
            laidOut(memberPicker)
            mouseClick(findChild(memberPicker.contentItem, "finishButton"))
            tryCompare(addedSpy, "count", 2, 30000)
            tryVerify(function() { return groupMemberManager.itemCount === 2 }, 30000)
            tryVerify(function() { return !drawer.loading }, 30000)
        }

        function test_5_makeAdministrator() {
            var before = groupAdminManager.itemCount
            managerPicker.addManagers(before)
            laidOut(managerPicker)
            var candidates = findChild(managerPicker.contentItem, "candidates")
            tryVerify(function() { return rowOf(candidates, root.near) !== null })
            mouseClick(rowOf(candidates, root.near))
            wait(200)
            verify(e2e.shot("07-manager-picker"))
            laidOut(managerPicker)
            mouseClick(findChild(managerPicker.contentItem, "finishButton"))
            tryCompare(managersSpy, "count", 1, 30000)
            tryVerify(function() { return groupAdminManager.itemCount === before + 1 }, 30000)
            verify(groupAdminManager.isAdmin(root.near))
            tryVerify(function() { return !drawer.loading }, 30000)
            wait(300)
            verify(e2e.shot("08-administrator-added"))
        }

        function test_6_banSingleChats() {
            var banChat = findChild(drawer, "banChatSwitch")
            verify(banChat.visible)
            var before = banChat.checked
            mouseClick(banChat)
            tryCompare(banSpy, "count", 1, 30000)
            compare(banSpy.signalArguments[0][0], 0)
            verify(banChat.checked !== before)
            tryVerify(function() { return e2e.serverGroups().indexOf(root.groupid) >= 0 }, 30000)
            verify(e2e.shot("09-ban-single-chats"))
        }

        // A code no group has: the dialog says so and stays.
        function test_6a_wrongCode() {
            groupManager.setGroupPassword(root.groupid, "4826")
            tryCompare(codeSpy, "count", 1, 30000)
            codeDialog.show()
            tryVerify(function() { return codeDialog.visible })
            joinCodeSpy.clear()
            var digits = "1357"
            for (var i = 0; i < 4; ++i) {
                var box = findChild(codeDialog.contentItem, "codeBox" + i)
                box.takeFocus(true)
                box.children[0].insert(0, digits[i])
            }
            tryCompare(joinCodeSpy, "count", 1, 30000)
            compare(joinCodeSpy.signalArguments[0][0], -14)
            compare(findChild(codeDialog.contentItem, "codeErrorText").text, "Code error")
            verify(findChild(codeDialog.contentItem, "codeErrorLine").visible)
            verify(codeDialog.visible)
            compare(openChatSpy.count, 0)
            wait(300)
            verify(e2e.shot("09a-wrong-code"))
            codeDialog.close()
            codeSpy.clear()
        }

        // Handed over, left, and back in by the group's code.
        function test_7_joinByCode() {
            groupManager.setGroupPassword(root.groupid, "4826")
            tryCompare(codeSpy, "count", 1, 30000)
            compare(codeSpy.signalArguments[0][0], 0)

            transferDialog.show()
            tryVerify(function() { return findChild(transferDialog.contentItem, "candidates") !== null })
            transferDialog.choose(root.far)
            wait(200)
            verify(e2e.shot("10-transfer"))
            laidOut(transferDialog)
            mouseClick(findChild(transferDialog.contentItem, "okButton"))
            tryCompare(transferSpy, "count", 1, 30000)
            tryVerify(function() { return !drawer.loading && !drawer.isOwner }, 30000)

            vGlobal.agreedToLeaveGroup()
            tryCompare(leftSpy, "count", 1, 30000)

            codeDialog.show()
            tryVerify(function() { return codeDialog.visible })
            var digits = "4826"
            for (var i = 0; i < 4; ++i) {
                var box = findChild(codeDialog.contentItem, "codeBox" + i)
                box.takeFocus(true)
                box.children[0].insert(0, digits[i])
            }
            tryCompare(openChatSpy, "count", 1, 30000)
            compare(openChatSpy.signalArguments[0][0], root.groupid)
            compare(openChatSpy.signalArguments[0][1], true)
            verify(!codeDialog.visible)
            // The chat view opens the group's settings again.
            drawer.open(root.groupid)
            tryVerify(function() { return !drawer.loading && drawer.isShowing() }, 30000)
            verify(!drawer.isOwner)
            var found = false
            for (var r = 0; r < groupMemberManager.itemCount; ++r)
                found = found || groupMemberManager.get(r).account === root.me
            verify(found || groupAdminManager.isAdmin(root.me))
            wait(300)
            verify(e2e.shot("11-back-in-by-code"))
        }
    }
}
