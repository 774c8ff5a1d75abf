import QtQuick 2.12
import QtTest 1.12
import QtQuick.Window 2.12
import VTranslator 1.0
import "qrc:/qml/contacts"

// The group settings drawer over the real group lists: roles, paging, texts,
// editing, leaving, and its life while a picker it opened is in front.
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

    function people(prefix, count) {
        var list = []
        for (var i = 0; i < count; ++i)
            list.push({ "account": prefix + i, "name": prefix.toUpperCase() + i })
        return list
    }

    // A "getinfo" answer: owner, managers and members by account.
    function info(owner, admins, members, extra) {
        var result = { "groupid": "g1@group", "owner": [{ "account": owner, "name": "Owner" }],
                       "admin": admins, "member": members, "groupname": "Team",
                       "membercount": 1 + admins.length + members.length, "info": "",
                       "child": [{ "groupid": "c1@group", "groupname": "Kid" }] }
        for (var key in extra)
            result[key] = extra[key]
        return JSON.stringify({ "code": 1, "result": result })
    }

    SignalSpy { id: banSpy; target: vGlobal; signalName: "banSingleChat" }
    SignalSpy { id: chatSpy; target: vGlobal; signalName: "openChatWithNameAndIcon" }
    SignalSpy { id: leaveFailSpy; target: vGlobal; signalName: "leaveGroupFaild" }
    SignalSpy { id: managersSpy; target: vGlobal; signalName: "addGroupManagers" }

    Component {
        id: hostComponent

        Item {
            width: 800
            height: 650
            property alias drawer: drawer
            property alias elsewhere: elsewhere

            Item {
                id: elsewhere

                focus: false
                activeFocusOnTab: true
            }

            VGroupSettingsDrawer { id: drawer }
        }
    }

    Component { id: managerPicker; VGroupManagersManagerPopupWindow {} }

    TestCase {
        name: "GroupDrawer"
        when: windowShown

        // A window shown lays out its content a moment later.
        function showWindow(window) {
            window.show()
            tryVerify(function() { return window.contentItem.height === window.height && window.contentItem.height > 0 })
        }

        property var host: null
        property var drawer: null
        property var extra: []

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function init() {
            verify(fixture.newDatabase())
            verify(fixture.addGroup("g1@group", "Team", 5))
            groupManager.wipeData()
            groupManager.initData()
            sessionManager.currentSessionId = "g1@group"
            host = hostComponent.createObject(root)
            drawer = host.drawer
            banSpy.clear()
            chatSpy.clear()
            leaveFailSpy.clear()
            managersSpy.clear()
        }

        function cleanup() {
            for (var i = 0; i < extra.length; ++i) {
                extra[i].close()
                extra[i].destroy()
            }
            extra = []
            host.destroy()
            wait(0)
            fixture.settle()
            groupAdminManager.wipeData()
            groupMemberManager.wipeData()
            groupChildManager.wipeData()
        }

        function openWith(reply) {
            fixture.setReply(fixture.groupCommand, 0, reply)
            drawer.open("g1@group")
            verify(drawer.loading)
            verify(fixture.settle())
            tryVerify(function() { return !drawer.loading && drawer.isShowing() }, 2000)
            // Positioners lay out before the next frame.
            wait(50)
        }

        // Scrolls the drawer so that the item can be clicked.
        function reveal(item) {
            var flick = findChild(drawer, "settingsFlick")
            var y = item.mapToItem(flick.contentItem, 0, 0).y
            flick.contentY = Math.max(0, Math.min(y - 50, flick.contentHeight - flick.height))
        }

        function visibleOf(name) {
            var item = findChild(drawer, name)
            verify(item !== null, name)
            return item.visible
        }

        // Which controls each role sees.
        function test_roleMatrix_data() {
            return [
                { tag: "owner, 4 heads, a member", me: "me", admins: 3, members: 1, joinType: 0,
                  addManagers: true, removeManagers: true, addMembers: true, removeMembers: true,
                  edit: true, transfer: true },
                { tag: "owner, 5 heads", me: "me", admins: 4, members: 1, joinType: 0,
                  addManagers: false, removeManagers: true, addMembers: true, removeMembers: true,
                  edit: true, transfer: true },
                { tag: "owner alone with a member", me: "me", admins: 0, members: 1, joinType: 0,
                  addManagers: true, removeManagers: false, addMembers: true, removeMembers: true,
                  edit: true, transfer: true },
                { tag: "owner, no members", me: "me", admins: 1, members: 0, joinType: 0,
                  addManagers: false, removeManagers: true, addMembers: true, removeMembers: false,
                  edit: true, transfer: true },
                { tag: "manager", me: "a0", admins: 2, members: 2, joinType: 1,
                  addManagers: false, removeManagers: false, addMembers: true, removeMembers: true,
                  edit: true, transfer: false },
                { tag: "member, open group", me: "m0", admins: 1, members: 2, joinType: 0,
                  addManagers: false, removeManagers: false, addMembers: true, removeMembers: false,
                  edit: false, transfer: false },
                { tag: "member, join banned", me: "m0", admins: 1, members: 2, joinType: 1,
                  addManagers: false, removeManagers: false, addMembers: false, removeMembers: false,
                  edit: false, transfer: false }
            ]
        }

        function test_roleMatrix(data) {
            fixture.exec("UPDATE nq_group SET type = " + data.joinType + " WHERE groupid = 'g1@group'")
            groupManager.wipeData()
            groupManager.initData()
            fixture.setText("GetMyAccount", data.me)
            vConfig.setValue("MY_ACCOUNT", data.me)
            var owner = data.me === "me" ? "me" : "o0"
            openWith(info(owner, people("a", data.admins), people("m", data.members)))
            compare(drawer.isOwner, data.me === "me")
            compare(drawer.isManager, data.me !== "m0")
            compare(visibleOf("addManagers"), data.addManagers)
            compare(visibleOf("removeManagers"), data.removeManagers)
            compare(visibleOf("addMembers"), data.addMembers)
            compare(visibleOf("removeMembers"), data.removeMembers)
            compare(visibleOf("renamePencil"), data.edit)
            compare(visibleOf("introPencil"), data.edit)
            compare(visibleOf("localUpload"), data.edit)
            compare(visibleOf("banChatSwitch"), data.edit)
            compare(visibleOf("banJoinSwitch"), data.edit)
            compare(findChild(drawer, "banJoinSwitch").checked, data.joinType > 0)
            compare(visibleOf("transferLine"), data.transfer)
            compare(visibleOf("releaseArrow"), data.transfer)
            verify(visibleOf("muteSwitch"))
            verify(visibleOf("nickPencil"))
            verify(visibleOf("leaveLine"))
            if (data.addManagers) {
                mouseClick(findChild(drawer, "addManagers"))
                compare(managersSpy.count, 1)
                compare(managersSpy.signalArguments[0][0], data.admins + 1)
            }
            vConfig.setValue("MY_ACCOUNT", "me")
        }

        // A plain member of a group that bans single chats gets the ban alert.
        function test_singleChatBan() {
            fixture.exec("UPDATE nq_group SET banchat = 1 WHERE groupid = 'g1@group'")
            groupManager.wipeData()
            groupManager.initData()
            vConfig.setValue("MY_ACCOUNT", "m0")
            openWith(info("o0", [], people("m", 2)))
            drawer.clickPerson("m1", "M1", "")
            compare(banSpy.count, 1)
            compare(chatSpy.count, 0)
            vConfig.setValue("MY_ACCOUNT", "o0")
            openWith(info("o0", [], people("m", 2)))
            drawer.clickPerson("m1", "M1", "")
            compare(banSpy.count, 1)
            compare(chatSpy.count, 1)
            vConfig.setValue("MY_ACCOUNT", "me")
        }

        // 25 members with 3 heads: 10 cells and "Load more"; the click asks from the
        // stored position, and the last page shows up to 22 cells with "Collect more".
        function test_memberGridPaging() {
            openWith(info("me", people("a", 2), people("m", 12), { "membercount": 25 }))
            var grid = findChild(drawer, "memberGrid")
            var link = drawer.membersLink
            function shown() {
                var n = 0
                for (var i = 0; i < grid.children.length; ++i)
                    n += grid.children[i].visible && grid.children[i].width === 68 ? 1 : 0
                return n
            }
            compare(link.allMemberCount, 22)
            verify(link.visible)
            compare(shown(), 10)
            compare(link.text, "Load more")

            fixture.clearCalls()
            var page = JSON.stringify({ "code": 1, "result": { "member": people("n", 10) } })
            fixture.setReply(fixture.groupCommand, 0, page)
            mouseClick(link)
            verify(fixture.settle())
            var asked = fixture.groupCommands("getuser")
            compare(asked.length, 1)
            compare(asked[0].fromid, 0)
            compare(asked[0].groupid, "g1@group")
            verify(link.loadFinished)
            compare(link.currentMaxShowCount, 22)
            tryCompare(link, "text", "Collect more")
            compare(shown(), 22)
            // Everything shows: the link collapses the grid.
            reveal(link)
            mouseClick(link)
            compare(shown(), 10)
            compare(link.text, "Load more")
            fixture.clearCalls()
            reveal(link)
            mouseClick(link)
            compare(fixture.groupCommands("getuser").length, 0)
            compare(shown(), 22)
        }

        function test_countdownTexts_data() {
            return [
                { tag: "none", seconds: 0, text: "" },
                { tag: "one", seconds: 1, text: "1s" },
                { tag: "59", seconds: 59, text: "59s" },
                { tag: "60", seconds: 60, text: "60s" },
                { tag: "61", seconds: 61, text: "01:01" },
                { tag: "3600", seconds: 3600, text: "60:00" },
                { tag: "3601", seconds: 3601, text: "01:00" },
                { tag: "a day", seconds: 86399, text: "23:59" }
            ]
        }

        function test_countdownTexts(data) {
            compare(drawer.countdownText(data.seconds), data.text)
        }

        function test_codeLine() {
            openWith(info("me", [], people("m", 1), { "code": "4321", "countdown": 61 }))
            compare(drawer.codeText, "Group code: 4321（Time left 01:01）")
            verify(visibleOf("codeLine"))
            openWith(info("me", [], people("m", 1), { "code": "4321", "countdown": 0 }))
            verify(!visibleOf("codeLine"))
        }

        // Blanks or the same name send nothing; a new name goes out once and shows
        // only when the server takes it.
        function test_renameToBlanksSendsNothing() {
            openWith(info("me", [], people("m", 1)))
            compare(drawer.titleText, "Team(2)")
            var input = findChild(drawer, "titleInput")
            var pencil = findChild(drawer, "renamePencil")
            var tries = ["   ", "Team", " Team "]
            fixture.clearCalls()
            for (var i = 0; i < tries.length; ++i) {
                mouseClick(pencil)
                verify(input.activeFocus)
                input.text = tries[i]
                drawer.takeFocus()
                verify(!input.activeFocus)
            }
            verify(fixture.settle())
            compare(fixture.groupCommands("set").length, 0)
            compare(drawer.titleText, "Team(2)")

            // Refused: the title keeps the old name.
            fixture.setReply(fixture.groupCommand, 0, '{"code":-3}')
            mouseClick(pencil)
            input.text = "  New name "
            drawer.takeFocus()
            verify(fixture.settle())
            var sent = fixture.groupCommands("set")
            compare(sent.length, 1)
            compare(sent[0].groupname, "New name")
            compare(drawer.titleText, "Team(2)")
            // Accepted: the title follows.
            fixture.setReply(fixture.groupCommand, 0,
                             '{"code":1,"result":{"groupid":"g1@group","groupname":"New name"}}')
            mouseClick(pencil)
            input.text = "New name"
            drawer.takeFocus()
            verify(fixture.settle())
            compare(fixture.groupCommands("set").length, 2)
            compare(drawer.titleText, "New name(2)")
        }

        // The sync mark goes before the "leave" command, even when leaving fails.
        function test_leaveClearsTheSyncMarkFirst() {
            vConfig.setValue("SYNC_GROUPS_LIST", ["g1@group"])
            groupManager.wipeData()
            groupManager.initData()
            verify(groupManager.getGroupEntity("g1@group").isSync)
            openWith(info("me", [], people("m", 1)))
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":-3}')
            vGlobal.agreedToLeaveGroup()
            // Stored before the request was even answered.
            compare(vConfig.value("SYNC_GROUPS_LIST").length, 0)
            compare(fixture.groupCommands("leave").length, 1)
            verify(fixture.settle())
            compare(leaveFailSpy.count, 1)
            verify(drawer.isShowing())
            compare(vConfig.value("SYNC_GROUPS_LIST").length, 0)
            verify(!groupManager.getGroupEntity("g1@group").isSync)
        }

        // A picker window in front takes the activation, not the drawer's lists; a
        // click elsewhere in the chat area still closes it and wipes them.
        function test_removeManagersKeepsItsRows() {
            openWith(info("me", people("a", 2), people("m", 3)))
            tryVerify(function() { return drawer.isShowing() })
            verify(drawer.activeFocus)
            compare(groupAdminManager.itemCount, 3)
            // Made as the main window makes its dialogs: a window of its own above it.
            var picker = managerPicker.createObject(root)
            extra.push(picker)
            picker.deleteManagers()
            picker.requestActivate()
            tryVerify(function() { return picker.active })
            wait(600)
            verify(drawer.isShowing())
            compare(groupAdminManager.itemCount, 3)
            compare(groupMemberManager.itemCount, 3)
            var candidates = findChild(picker.contentItem, "candidates")
            compare(candidates.count, 3)
            picker.close()

            // Back in the window, a click elsewhere closes the drawer.
            root.Window.window.requestActivate()
            tryVerify(function() { return root.Window.window.active })
            host.elsewhere.forceActiveFocus()
            verify(!drawer.activeFocus)
            tryVerify(function() { return groupAdminManager.itemCount === 0 }, 2000)
            verify(!drawer.isShowing())
        }

        // Counts the drawer's notices (its warnings) while the test runs.
        function warnings() {
            var seen = []
            drawer.waring.connect(function(text) { seen.push(text) })
            return seen
        }

        // The body of each recorded post, as text.
        function mutePosts() {
            return fixture.posts("setblack")
        }

        // A switch flipped on one group acts on that group: opening another group
        // within the second sends it at once, for the first group; so does closing.
        function test_switchesActOnTheGroupTheyWereFlippedFor() {
            verify(fixture.addGroup("g2@group", "Other", 3))
            groupManager.wipeData()
            groupManager.initData()
            openWith(info("me", [], people("m", 1)))
            fixture.clearCalls()
            var mute = findChild(drawer, "muteSwitch")
            reveal(mute)
            compare(mute.checked, false)
            mouseClick(mute)
            compare(mute.checked, true)
            fixture.setReply(fixture.sendPost, 0, '{"code":1}')
            // The chat view opens the drawer on another group.
            var other = JSON.parse(info("me", [], people("m", 2)))
            other.result.groupid = "g2@group"
            fixture.setReply(fixture.groupCommand, 0, JSON.stringify(other))
            drawer.open("g2@group")
            compare(mutePosts().length, 1)
            verify(mutePosts()[0].indexOf('"adduser"') > 0)
            verify(mutePosts()[0].indexOf("g1@group") > 0)
            verify(fixture.settle())
            tryVerify(function() { return !drawer.loading && drawer.groupid === "g2@group" }, 2000)
            wait(1200)
            compare(mutePosts().length, 1)

            // Closing sends what is pending, for the group shown.
            var banChat = findChild(drawer, "banChatSwitch")
            reveal(banChat)
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{}}')
            mouseClick(banChat)
            drawer.close()
            var sent = fixture.groupCommands("banuser")
            compare(sent.length, 1)
            compare(sent[0].groupid, "g2@group")
            compare(sent[0].chat, 1)
            verify(fixture.settle())
            wait(1200)
            compare(fixture.groupCommands("banuser").length, 1)
        }

        // A switch the server refused shows the old state again and says so; one
        // it took stays.
        function test_refusedSwitchGoesBack_data() {
            return [
                { tag: "mute refused", name: "muteSwitch", code: "sendPost", status: 0, reply: '{"code":-2}', back: true },
                { tag: "mute without answer", name: "muteSwitch", code: "sendPost", status: 5, reply: "", back: true },
                { tag: "mute taken", name: "muteSwitch", code: "sendPost", status: 0, reply: '{"code":1}', back: false },
                { tag: "ban chat refused", name: "banChatSwitch", code: "groupCommand", status: 0, reply: '{"code":-3}', back: true },
                { tag: "ban chat taken", name: "banChatSwitch", code: "groupCommand", status: 0, reply: '{"code":1,"result":{}}', back: false },
                { tag: "ban join refused", name: "banJoinSwitch", code: "groupCommand", status: 0, reply: '{"code":1,"result":{"cmd":"GROUP_ERR_RESOURCE"}}', back: true },
                { tag: "ban join taken", name: "banJoinSwitch", code: "groupCommand", status: 0, reply: '{"code":1,"result":{"groupid":"g1@group"}}', back: false },
                { tag: "screenshot refused", name: "screenshotSwitch", code: "groupCommand", status: 5, reply: "", back: true }
            ]
        }

        function test_refusedSwitchGoesBack(data) {
            openWith(info("me", [], people("m", 1)))
            var seen = warnings()
            var toggle = findChild(drawer, data.name)
            reveal(toggle)
            var before = toggle.checked
            fixture.clearCalls()
            fixture.setReply(fixture[data.code], data.status, data.reply)
            mouseClick(toggle)
            compare(toggle.checked, !before)
            tryVerify(function() { return !toggle.pending }, 3000)
            verify(fixture.settle())
            compare(toggle.checked, data.back ? before : !before)
            compare(seen.length, data.back ? 1 : 0)
            if (data.back)
                compare(seen[0], "Setting failed")
        }

        // Renaming, a new avatar or the join switch leave the introduction alone;
        // emptying the introduction still sends it.
        function test_otherChangesLeaveTheIntroduction() {
            openWith(info("me", [], people("m", 1), { "info": "Hello" }))
            compare(findChild(drawer, "introLine").text, "Intro: Hello")
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"groupid":"g1@group"}}')
            mouseClick(findChild(drawer, "renamePencil"))
            findChild(drawer, "titleInput").text = "Renamed"
            drawer.takeFocus()
            var banJoin = findChild(drawer, "banJoinSwitch")
            reveal(banJoin)
            mouseClick(banJoin)
            tryVerify(function() { return fixture.groupCommands("set").length === 2 }, 3000)
            drawer.sendSet("logo", "file:///tmp/l.png", "", "file:///tmp/l.png", "", -1)
            verify(fixture.settle())
            var sent = fixture.groupCommands("set")
            compare(sent.length, 3)
            compare(sent[0].groupname, "Renamed")
            compare(sent[1].type, 1)
            compare(sent[2].logopath, "/tmp/l.png")
            for (var i = 0; i < sent.length; ++i)
                verify(sent[i].info === undefined, "set " + i + " carries no introduction")
            compare(groupManager.info, "Hello")

            reveal(findChild(drawer, "introPencil"))
            mouseClick(findChild(drawer, "introPencil"))
            var intro = findChild(drawer, "introInput")
            verify(intro.activeFocus)
            intro.text = "   "
            drawer.takeFocus()
            verify(fixture.settle())
            sent = fixture.groupCommands("set")
            compare(sent.length, 4)
            compare(sent[3].info, "")
            compare(groupManager.info, "")
        }

        // Members added or removed through the pickers show in the grid at once.
        function test_gridFollowsAddedAndRemovedMembers() {
            openWith(info("me", [], people("m", 1)))
            compare(groupMemberManager.itemCount, 1)
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, info("me", [], people("m", 3)))
            vGlobal.addGroupMembersSuccessed()
            compare(fixture.groupCommands("getinfo").length, 1)
            verify(fixture.settle())
            tryCompare(groupMemberManager, "itemCount", 3)
            compare(drawer.titleText, "Team(4)")
            tryVerify(function() { return !drawer.loading }, 2000)

            fixture.setReply(fixture.groupCommand, 0, info("me", [], people("m", 2)))
            vGlobal.deleteGroupMembersSuccessed()
            verify(fixture.settle())
            tryCompare(groupMemberManager, "itemCount", 2)
            compare(drawer.titleText, "Team(3)")
        }

        // Good news shows in the drawer with a success mark, not as a warning over
        // the chat's title.
        function test_successNoticeShowsInTheDrawer() {
            openWith(info("me", [], people("m", 1)))
            var seen = warnings()
            fixture.setReply(fixture.groupCommand, 0, info("me", people("a", 1), people("m", 1)))
            vGlobal.addGroupManagersSuccessed()
            var tip = findChild(drawer, "successTip")
            verify(tip.visible)
            compare(findChild(tip, "successText").text, "New group administrator(s) was added successfully")
            compare(String(findChild(tip, "successIcon").source), "qrc:/images/index_page/selected.png")
            compare(seen.length, 0)
            // Inside the drawer, clear of the group's title.
            var inDrawer = tip.mapToItem(drawer, 0, 0)
            verify(inDrawer.x >= 0 && inDrawer.x + tip.width <= drawer.width)
            verify(inDrawer.y + tip.height <= drawer.height)
            var title = findChild(drawer, "groupTitle")
            verify(inDrawer.y >= title.mapToItem(drawer, 0, title.height).y)
            verify(fixture.settle())
            tryVerify(function() { return !tip.visible }, 5000)
        }

        // Two switches flushed together and both refused: both show the old state
        // again, each told.
        function test_refusedSwitchesFlushedTogetherGoBack() {
            openWith(info("me", [], people("m", 1)))
            var seen = warnings()
            var banChat = findChild(drawer, "banChatSwitch")
            var screenshot = findChild(drawer, "screenshotSwitch")
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, '{"code":-3}')
            reveal(banChat)
            mouseClick(banChat)
            reveal(screenshot)
            mouseClick(screenshot)
            verify(banChat.checked && screenshot.checked)
            // Closing sends both at once.
            drawer.close()
            compare(fixture.groupCommands("banuser").length, 2)
            verify(fixture.settle())
            verify(!banChat.checked)
            verify(!screenshot.checked)
            compare(seen.length, 2)
        }

        // A rename and the join switch out at once: each answer is applied to its
        // own change.
        function test_renameAndJoinSwitchEachAnswered_data() {
            return [
                { tag: "rename taken", reply: '{"code":1,"result":{"groupid":"g1@group","groupname":"New name"}}',
                  title: "New name(2)" },
                { tag: "rename refused", reply: '{"code":-3}', title: "Team(2)" }
            ]
        }

        function test_renameAndJoinSwitchEachAnswered(data) {
            openWith(info("me", [], people("m", 1)))
            var seen = warnings()
            var banJoin = findChild(drawer, "banJoinSwitch")
            reveal(banJoin)
            mouseClick(banJoin)
            verify(banJoin.pending)
            fixture.clearCalls()
            var flick = findChild(drawer, "settingsFlick")
            flick.contentY = 0
            mouseClick(findChild(drawer, "renamePencil"))
            findChild(drawer, "titleInput").text = "New name"
            fixture.setReply(fixture.groupCommand, 0, data.reply)
            drawer.takeFocus()
            fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"groupid":"g1@group","type":"1"}}')
            drawer.flushSwitches()
            var sent = fixture.groupCommands("set")
            compare(sent.length, 2)
            compare(sent[0].groupname, "New name")
            compare(sent[1].type, 1)
            verify(fixture.settle())
            compare(drawer.titleText, data.title)
            verify(banJoin.checked)
            compare(groupManager.joinGroupType("g1@group"), 1)
            // Typing clears the notice line; no failure was told.
            compare(seen.indexOf("Setting failed"), -1)
        }

        // A group of 150 (the owner, 2 managers, 147 members) with pages of 50: each
        // "Load more" brings a page; all 147 members show once, the owner and the
        // managers only in their own row, and the link offers to collapse only then.
        function test_loadMoreInABigGroup() {
            var heads = [{ "account": "me" }].concat(people("a", 2))
            var plain = people("p", 147)
            var everyone = heads.concat(plain)
            openWith(info("me", people("a", 2), plain.slice(0, 50), { "membercount": 150 }))
            var grid = findChild(drawer, "memberGrid")
            var link = drawer.membersLink
            function shown() {
                var n = 0
                for (var i = 0; i < grid.children.length; ++i)
                    n += grid.children[i].visible && grid.children[i].width === 68 ? 1 : 0
                return n
            }
            compare(link.allMemberCount, 147)
            compare(link.text, "Load more")
            compare(shown(), 10)
            var froms = []
            var expectedRows = [50, 97, 147]
            for (var page = 0; page < 3; ++page) {
                var result = { "member": everyone.slice(50 * page, 50 * page + 50) }
                if (page < 2)
                    result.endid = 50 * (page + 1) + 1
                fixture.clearCalls()
                fixture.setReply(fixture.groupCommand, 0, JSON.stringify({ "code": 1, "result": result }))
                reveal(link)
                mouseClick(link)
                verify(fixture.settle())
                var asked = fixture.groupCommands("getuser")
                compare(asked.length, 1, "one request per click")
                froms.push(asked[0].fromid)
                tryCompare(drawer, "plainRows", expectedRows[page])
                compare(shown(), expectedRows[page])
                tryCompare(link, "text", page < 2 ? "Load more" : "Collect more")
            }
            compare(froms, [0, 51, 101])
            var accounts = {}
            for (var c = 0; c < grid.children.length; ++c) {
                var cell = grid.children[c]
                if (cell.visible && cell.width === 68) {
                    verify(accounts[cell.item.account] === undefined, cell.item.account + " shows once")
                    accounts[cell.item.account] = true
                }
            }
            for (var k = 0; k < plain.length; ++k)
                verify(accounts[plain[k].account], plain[k].account)
            for (var h = 0; h < heads.length; ++h)
                verify(!accounts[heads[h].account], heads[h].account + " is not a plain member")
            compare(groupAdminManager.itemCount, 3)
            // Everything shows: the link collapses the grid.
            reveal(link)
            mouseClick(link)
            compare(shown(), 10)
            compare(link.text, "Load more")
        }

        // A role changed while the drawer is open: the own role, the lists and the
        // controls are loaded again; a notice of another group changes nothing.
        function test_roleChangeReloadsTheControls_data() {
            var after = info("o0", people("a", 1), people("m", 2).concat([{ "account": "a1" }]))
            var promoted = info("o0", people("a", 2).concat([{ "account": "m0" }]), people("m", 2).slice(1))
            return [
                { tag: "manager demoted", me: "a1", notice: "changemember", groupid: "g1@group",
                  after: after, wasManager: true, isManager: false, reload: true },
                { tag: "member promoted", me: "m0", notice: "changeadmin", groupid: "g1@group",
                  after: promoted, wasManager: false, isManager: true, reload: true },
                { tag: "another group", me: "a1", notice: "changemember", groupid: "g2@group",
                  after: after, wasManager: true, isManager: true, reload: false }
            ]
        }

        function test_roleChangeReloadsTheControls(data) {
            vConfig.setValue("MY_ACCOUNT", data.me)
            openWith(info("o0", people("a", 2), people("m", 2)))
            compare(drawer.isManager, data.wasManager)
            compare(visibleOf("banChatSwitch"), data.wasManager)
            fixture.clearCalls()
            fixture.setReply(fixture.groupCommand, 0, data.after)
            fixture.raise(fixture.groupNotice, 0, JSON.stringify({
                "notify": data.notice, "groupid": data.groupid, "members": [{ "id": data.me }] }))
            verify(fixture.settle())
            tryVerify(function() { return !drawer.loading }, 2000)
            wait(50)
            compare(fixture.groupCommands("getinfo").length, data.reload ? 1 : 0)
            compare(drawer.isManager, data.isManager)
            compare(visibleOf("banChatSwitch"), data.isManager)
            compare(visibleOf("renamePencil"), data.isManager)
            compare(visibleOf("removeMembers"), data.isManager)
            vConfig.setValue("MY_ACCOUNT", "me")
        }

        // A failed "getinfo" shows the retry sign and no tools.
        function test_failedOpening() {
            var failed = 0
            function count() { ++failed }
            vGlobal.openGroupSettingsDrawerFaild.connect(count)
            fixture.setReply(fixture.groupCommand, 5, "")
            drawer.open("g1@group")
            verify(fixture.settle())
            tryVerify(function() { return drawer.isShowing() })
            verify(visibleOf("retrySign"))
            verify(!drawer.isOwner && !drawer.isManager)
            compare(failed, 1)
            vGlobal.openGroupSettingsDrawerFaild.disconnect(count)
        }
    }
}
