import QtQuick 2.12
import QtTest 1.12
import "qrc:/qml/translator"
import "qrc:/qml/settings"

// The conversation page over the real managers and the engine test double:
// opening and switching, drafts, removal, the send pipeline with its refusals,
// the message menu by type and read marking.
Item {
    id: root

    width: 1100
    height: 720

    readonly property string me: "1000@tesmo.x"
    readonly property string ann: "2000@tesmo.x"
    readonly property string bob: "3000@tesmo.x"
    readonly property string group: "77@group.tesmo.x"

    // Stands for the mention picker: only whether it shows and what it accepted.
    Component {
        id: pickerComponent

        QtObject {
            property bool visible: true
            property bool hasChoice: true
            property int accepted: 0

            function acceptCurrentIndex() { accepted++ }
            function close() { visible = false }
        }
    }

    Component {
        id: pageComponent

        Loader {
            anchors.fill: parent
            source: "qrc:/qml/conversations/VSessionListPage.qml"
        }
    }

    SignalSpy {
        id: alertSpy

        target: vGlobal
        signalName: "messagesReceivedAlert"
    }

    TestCase {
        id: test

        name: "SessionPage"
        when: windowShown

        property var holder: null
        property var page: null
        property var field: null

        function pad(n) { return n < 10 ? "0" + n : String(n) }

        function stamp(msAgo) {
            var d = new Date(Date.now() - msAgo)
            return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()) + " "
                    + pad(d.getHours()) + ":" + pad(d.getMinutes()) + ":" + pad(d.getSeconds())
        }

        function findChild(item, name) {
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

        function q(text) { return "'" + String(text).replace(/'/g, "''") + "'" }

        // One stored message, made the newest of its conversation.
        function store(from, to, totype, msgtype, content, sendflag, msAgo, extra) {
            var columns = "msgtype,fromuser,fromgroup,touser,totype,content,remark,sendflag,sendstate,seeflag,"
                    + "sendtime,localpath"
            var values = [msgtype, q(from), q(totype === 1 ? to : ""), q(to), totype, q(content),
                          q(extra && extra.remark ? extra.remark : ""), sendflag, 1,
                          extra && extra.seeflag !== undefined ? extra.seeflag : 1, q(stamp(msAgo)),
                          q(extra && extra.localpath ? extra.localpath : "")]
            verify(pageFixture.exec("insert into nq_message(" + columns + ") values(" + values.join(",") + ")"))
            var id = pageFixture.lastId()
            var account = totype === 1 ? to : (from === me ? to : from)
            verify(pageFixture.exec("insert or replace into nq_messagenew(account,msgid) values(" + q(account) + ","
                                    + id + ")"))
            return id
        }

        function addGroup(role, bans) {
            verify(pageFixture.exec("insert into nq_group(groupid,groupname,usercount,groupstate,banall,banuser,"
                                    + "banurl,banpic) values(" + q(group) + ",'Traders',3,0," + (bans.all ? 1 : 0)
                                    + "," + (bans.user ? 1 : 0) + "," + (bans.url ? 1 : 0) + ","
                                    + (bans.pic ? 1 : 0) + ")"))
            verify(pageFixture.exec("insert into nq_groupuser(groupid,account,role) values(" + q(group) + ","
                                    + q(me) + "," + role + ")"))
        }

        // Three conversations, newest first: the group, Bob, Ann.
        function seed(role, bans) {
            store(ann, me, 0, 0, "hello from Ann", 0, 300000, { seeflag: 0 })
            store(me, bob, 0, 0, "to Bob", 1, 200000)
            addGroup(role, bans || {})
            store(bob, group, 1, 0, "group hi", 0, 100000,
                  { remark: JSON.stringify({ from: { nick: "Bob" }, to: { nick: "Traders" } }) })
            pageFixture.loadLists()
            tryCompare(sessionListManager, "itemCount", 3)
        }

        function makePage() {
            holder = createTemporaryObject(pageComponent, root)
            tryCompare(holder, "status", Loader.Ready)
            page = holder.item
            verify(page !== null)
            field = page.inputArea
            verify(field !== null && field !== undefined, "the page has its input field")
            return page
        }

        function rowOf(account) {
            for (var i = 0; i < sessionListManager.itemCount; ++i) {
                if (sessionListManager.getSessionAccount(i) === account)
                    return i
            }
            return -1
        }

        function open(account) {
            page.openRow(rowOf(account))
            compare(page.currentAccount, account)
            compare(sessionManager.currentSessionId, account)
            tryCompare(page, "isCurrentAccountLoading", false, 5000)
        }

        function viewRows() {
            var rows = []
            for (var i = 0; i < sessionManager.itemCount; ++i) {
                var item = sessionManager.get(i)
                rows.push(item.msgtype + ":" + (item.msgtype === 2 ? item.content.split("/").pop() : item.content))
            }
            return rows
        }

        function type(html) {
            field.clear()
            field.insert(0, html)
        }

        function init() {
            verify(pageFixture.start(me))
            vGlobal.updateAtSomebodyList([])
        }

        // The conversation list's row of a conversation, as drawn.
        function listRow(item, account) {
            if (item.previewText !== undefined && item.account === account)
                return item
            var kids = item.children || []
            for (var i = 0; i < kids.length; ++i) {
                var found = listRow(kids[i], account)
                if (found)
                    return found
            }
            return null
        }

        // A notice's preview in the list and its row in the open chat follow a
        // switch of the language, without a rebuild or a reopen.
        function test_languageSwitchRewritesNotices() {
            var before = vTranslator.language
            vTranslator.setCurrentLanguage(0)
            seed(0)
            store(bob, group, 1, 6, JSON.stringify({ notify: "leave", nick: "Bob" }), 0, 50000)
            pageFixture.loadLists()
            tryCompare(sessionListManager, "itemCount", 3)
            makePage()
            open(group)
            tryVerify(function () { return listRow(page, group) !== null }, 5000)
            compare(listRow(page, group).previewText, "Bob Left the group")
            compare(viewRows().pop(), "6:Bob Left the group")
            vTranslator.setCurrentLanguage(1)
            compare(listRow(page, group).previewText, "Bob\u79bb\u5f00\u4e86\u8be5\u7fa4")
            compare(viewRows().pop(), "6:Bob\u79bb\u5f00\u4e86\u8be5\u7fa4")
            vTranslator.setCurrentLanguage(before)
        }

        function test_openingAndSwitching() {
            seed(0)
            makePage()
            compare(page.currentAccount, "")
            compare(page.greeting.length > 0, true)
            open(ann)
            compare(page.currentTotype, 0)
            compare(page.clickedIndex, rowOf(ann))
            open(group)
            compare(page.currentTotype, 1)
            compare(page.currentName, "Traders")
            // From outside: a friend with no row yet gets one with the given name.
            page.openSessionWithNameAndIcon("4000@tesmo.x", false, "Dora", "")
            compare(page.currentAccount, "4000@tesmo.x")
            compare(page.currentName, "Dora")
            compare(sessionListManager.getSessionAccount(page.clickedIndex), "4000@tesmo.x")
            page.openSession(bob, false)
            compare(page.currentAccount, bob)
            compare(page.currentTotype, 0)
        }

        // A friend's new profile, announced by the friend event, reaches the open
        // conversation's title and its row; a person known only by the name the
        // conversation was opened with keeps that title.
        function test_friendsNewProfileReachesTheOpenTitle() {
            var before = "file://" + pageFixture.picture("ann", 8, 8)
            var after = "file://" + pageFixture.picture("ann2", 8, 8)
            var dora = "file://" + pageFixture.picture("dora", 8, 8)
            verify(pageFixture.exec("insert into nq_contact(userid,account,name,logo,isfriend) values(2000,"
                                    + q(ann) + ",'Ann'," + q(before) + ",1)"))
            contactsManager.initData()
            seed(0)
            makePage()
            open(ann)
            compare(page.currentName, "Ann")
            compare(page.currentIcon, before)
            verify(pageFixture.exec("update nq_contact set name='Ann Renamed',logo=" + q(after) + ",version=2 "
                                    + "where account=" + q(ann)))
            pageFixture.raise(100010, 0, 0, "")
            tryCompare(page, "currentName", "Ann Renamed", 5000)
            compare(page.currentIcon, after)
            compare(sessionListManager.getSessionName(rowOf(ann)), "Ann Renamed")
            compare(contactsManager.getName(ann), "Ann Renamed")

            page.openSessionWithNameAndIcon("4000@tesmo.x", false, "Dora", dora)
            compare(page.currentName, "Dora")
            var rebuilt = createTemporaryQmlObject("import QtTest 1.12; SignalSpy { signalName: \"dataComplete\" }",
                                                   test)
            rebuilt.target = sessionListManager
            pageFixture.raise(100010, 0, 0, "")
            rebuilt.wait(5000)
            compare(page.currentName, "Dora")
            compare(page.currentIcon, dora)
        }

        function test_draftsAreKeptPerConversation() {
            seed(0)
            makePage()
            open(ann)
            type("half a <b>thought</b>")
            open(bob)
            compare(field.getText(0, field.length), "")
            compare(page.rowDraftText(ann), "half a thought")
            verify(page.draftOf(ann).indexOf("thought") >= 0)
            type("for Bob")
            open(group)
            compare(page.rowDraftText(bob), "for Bob")
            compare(page.rowDraftText(ann), "half a thought")
            // Back: the text returns, and the open row shows no draft.
            open(ann)
            compare(field.getText(0, field.length), "half a thought")
            compare(page.rowDraftText(ann), "")
            // Emptied field: the draft goes.
            field.clear()
            open(bob)
            compare(page.draftOf(ann), "")
        }

        function test_pictureOnlyFieldIsDroppedOnSwitching() {
            seed(0)
            makePage()
            open(ann)
            var rows = sessionManager.itemCount
            var picture = pageFixture.picture("only", 30, 20)
            type(pictureHtml(picture))
            verify(page.sendEnabled)
            open(bob)
            compare(page.draftOf(ann), "")
            compare(page.rowDraftText(ann), "")
            open(ann)
            compare(sessionManager.itemCount, rows)
            compare(viewRows().filter(function (r) { return r.indexOf("2:") === 0 }).length, 0)
        }

        function pictureHtml(path) {
            return "<img src=\"file://" + path + "\" width=\"30\" height=\"20\" />"
        }

        function test_removal() {
            seed(0)
            makePage()
            open(bob)
            var index = rowOf(bob)
            compare(index, 1)
            page.removeRowAt(index)
            compare(sessionListManager.itemCount, 2)
            // The row that now stands at the same index opens, with its own kind.
            compare(page.currentAccount, sessionListManager.getSessionAccount(1))
            compare(page.currentAccount, ann)
            compare(page.currentTotype, 0)
            compare(sessionManager.currentSessionId, ann)
            page.removeRowAt(1)
            compare(page.currentAccount, group)
            compare(page.currentTotype, 1)
            compare(sessionManager.currentSessionId, group)
            // The last one: nothing is opened, the chat column greets.
            page.removeRowAt(0)
            compare(sessionListManager.itemCount, 0)
            compare(page.currentAccount, "")
            compare(page.currentTotype, -1)
            verify(page.greeting !== "")
        }

        function test_deleteChatFromTheMenuRemovesTheRightClickedRow() {
            seed(0)
            makePage()
            open(group)
            page.listMenu.currentAccount = ann
            page.listMenu.deleteChatTriggered()
            compare(sessionListManager.itemCount, 2)
            compare(rowOf(ann), -1)
            // Another conversation's removal leaves the open one open.
            compare(page.currentAccount, group)
            compare(sessionManager.currentSessionId, group)
            // Also when the removed row stood above the open one.
            open(bob)
            page.listMenu.currentAccount = group
            page.listMenu.deleteChatTriggered()
            compare(page.currentAccount, bob)
            compare(page.clickedIndex, rowOf(bob))
        }

        // Owner or member x each ban: what is sent and what is refused.
        function test_sendPipeline_data() {
            return [
                { tag: "member, no ban", role: 0, bans: {}, html: "hi there", sent: ["0:hi there"] },
                { tag: "member, all banned", role: 0, bans: { all: true }, html: "hi", warn: "bannedSpeechAll" },
                { tag: "member, banned", role: 0, bans: { user: true }, html: "hi", warn: "bannedSpeechYourself" },
                { tag: "member, links banned, link", role: 0, bans: { url: true }, html: "see example.com",
                  warn: "bannedUrls" },
                { tag: "member, links banned, link and picture", role: 0, bans: { url: true },
                  html: "see example.com", picture: true, warn: "bannedUrls" },
                { tag: "member, links banned, no link", role: 0, bans: { url: true }, html: "no link",
                  sent: ["0:no link"] },
                { tag: "member, pictures banned, picture and text", role: 0, bans: { pic: true }, html: "look",
                  picture: true, warn: "bannedPictures" },
                { tag: "member, pictures banned, text only", role: 0, bans: { pic: true }, html: "words",
                  sent: ["0:words"] },
                { tag: "owner, everything banned", role: 1, bans: { all: true, user: true, url: true, pic: true },
                  html: "see example.com", picture: true, sent: ["2:p0.png", "0:see example.com"] },
                { tag: "manager, links banned", role: 2, bans: { url: true }, html: "http://x.io",
                  sent: ["0:http://x.io"] }
            ]
        }

        function test_sendPipeline(data) {
            seed(data.role, data.bans)
            makePage()
            open(group)
            tryVerify(function () {
                return page.isCurrentGroupOwner === (data.role === 1) && page.isCurrentGroupManager === (data.role === 2)
            }, 5000)
            var before = viewRows()
            type(data.html)
            if (data.picture) {
                field.cursorPosition = 0
                field.insertPicture(pageFixture.picture("p0", 30, 20))
            }
            var kept = field.text
            var result = page.sendMessage()
            var added = viewRows().slice(before.length)
            if (data.warn) {
                compare(result, false)
                compare(added, [], "a refused send sends nothing")
                compare(field.text, kept, "the field keeps its text and pictures")
                compare(page.warningText(), VTr[data.warn])
                // Again: still nothing, the pictures are not sent on a retry either.
                page.sendMessage()
                compare(viewRows().slice(before.length), [])
            } else {
                compare(result, true)
                compare(added, data.sent)
                compare(field.getText(0, field.length), "")
            }
        }

        function test_twoPicturesAndTextGoOutInOrder() {
            seed(0)
            makePage()
            open(ann)
            var before = sessionManager.itemCount
            field.clear()
            field.insertPicture(pageFixture.picture("first", 40, 30))
            field.insert(field.length, "between")
            field.cursorPosition = field.length
            field.insertPicture(pageFixture.picture("second", 20, 30))
            field.insert(field.length, "<span style=\"white-space:pre-wrap\"> after</span>")
            verify(page.sendMessage())
            compare(viewRows().slice(before), ["2:first.png", "2:second.png", "0:between after"])
            compare(page.draftOf(ann), "")
        }

        function test_mentionsGoWithTheText() {
            seed(1)
            makePage()
            open(group)
            type("hey ")
            field.cursorPosition = field.length
            vGlobal.atSomebody(bob, "Bob Stone")
            field.insert(field.length, "look")
            verify(page.sendMessage())
            var last = sessionManager.get(sessionManager.itemCount - 1)
            verify(/^hey @Bob Stone\s+look$/.test(last.content), last.content)
            var remark = JSON.parse(last.remark)
            compare(remark.atUsers.length, 1)
            compare(remark.atUsers[0].id, bob)
            compare(remark.atAll, false)
        }

        // With the sync switch on the text also goes to every synchronised contact
        // and group but the open conversation, once; then the switch is off.
        function test_syncSendsToTheOthersOnce() {
            seed(0)
            var other = "88@group.tesmo.x"
            verify(pageFixture.exec("insert into nq_group(groupid,groupname,usercount,groupstate) values("
                                    + q(other) + ",'Other',2,0)"))
            verify(pageFixture.exec("insert into nq_contact(userid,account,name,isfriend) values(2000,"
                                    + q(ann) + ",'Ann',1)"))
            verify(pageFixture.exec("insert into nq_contact(userid,account,name,isfriend) values(3000,"
                                    + q(bob) + ",'Bob',1)"))
            pageFixture.loadLists()
            contactsManager.initData()
            tryCompare(contactsManager, "itemCount", 2, 5000)
            contactsManager.updateIsSync(ann, true)
            contactsManager.updateIsSync(bob, true)
            groupManager.updateIsSync(group, true)
            groupManager.updateIsSync(other, true)
            makePage()
            open(ann)
            imLoginManager.syncMsgPower = true
            page.toggleSync()
            verify(page.syncChecked)
            pageFixture.resetCalls()
            type("to everyone")
            verify(page.sendMessage())
            verify(!page.syncChecked)
            var targets = []
            tryVerify(function () {
                targets = pageFixture.calls("SendMsgIM").map(function (call) {
                    return call.substring("SendMsgIM(".length, call.indexOf(","))
                })
                return targets.length >= 4
            }, 10000)
            wait(200)
            targets = pageFixture.calls("SendMsgIM").map(function (call) {
                return call.substring("SendMsgIM(".length, call.indexOf(","))
            })
            targets.sort()
            compare(targets, [ann, bob, group, other].sort())
            contactsManager.setAllIsSync(false)
            groupManager.setAllIsSync(false)
            imLoginManager.syncMsgPower = false
        }

        function test_syncNeedsThePermission() {
            seed(0)
            makePage()
            open(ann)
            imLoginManager.syncMsgPower = false
            var spy = Qt.createQmlObject("import QtTest 1.12; SignalSpy { signalName: 'noSyncToContactsPermission' }",
                                         root)
            spy.target = vGlobal
            page.toggleSync()
            verify(!page.syncChecked)
            compare(spy.count, 1)
            spy.destroy()
        }

        function test_enterWithThePickerOpenSendsNothing() {
            seed(1)
            makePage()
            open(group)
            var picker = createTemporaryObject(pickerComponent, root)
            page.atSomebodyPopup = picker
            type("hello")
            var before = sessionManager.itemCount
            page.returnPressed()
            compare(picker.accepted, 1)
            compare(sessionManager.itemCount, before)
            compare(field.getText(0, field.length), "hello")
            picker.visible = false
            page.returnPressed()
            compare(sessionManager.itemCount, before + 1)
        }

        function test_blankFieldSendsNothing() {
            seed(0)
            makePage()
            open(ann)
            type("   ")
            verify(!page.sendEnabled)
            var before = sessionManager.itemCount
            verify(!page.sendMessage())
            compare(sessionManager.itemCount, before)
        }

        function test_filesAndDirectories() {
            seed(0)
            makePage()
            open(ann)
            var before = sessionManager.itemCount
            verify(!page.sendFile("file://" + pageFixture.folder("a dir")))
            compare(sessionManager.itemCount, before, "a directory is never sent")
            verify(!page.sendFile("https://example.com/picture.png"))
            verify(!page.sendFile("ftp://example.com/notes.txt"))
            compare(sessionManager.itemCount, before, "a link is never sent as a file")
            page.sendFileOnly("file://" + pageFixture.folder("x") + "/missing.txt")
            compare(sessionManager.itemCount, before, "a missing file is not sent")
            page.sendFile("file://" + encodeURI(pageFixture.picture("drop pic", 10, 10)))
            page.sendFile("file://" + pageFixture.textFile("notes.txt"))
            var rows = viewRows().slice(before)
            compare(rows.length, 2)
            compare(rows[0], "2:drop pic.png")
            compare(sessionManager.get(sessionManager.itemCount - 1).msgtype, 3)
        }

        // The menu by message type, with the recall rule of the open conversation.
        function test_messageMenuByType_data() {
            return [
                { tag: "own fresh text", msgtype: 0, sendflag: 1, ago: 10000, want: "copy,forward,recall,translate,delete" },
                { tag: "own text of 121 s", msgtype: 0, sendflag: 1, ago: 121000, want: "copy,forward,translate,delete" },
                { tag: "peer's picture", msgtype: 2, sendflag: 0, ago: 1000, want: "copy,forward,delete" },
                { tag: "own file", msgtype: 3, sendflag: 1, ago: 1000, want: "copy,forward,recall,delete" },
                { tag: "envelope", msgtype: 7, sendflag: 1, ago: 1000, want: "delete" },
                { tag: "own sticker", msgtype: 8, sendflag: 1, ago: 1000, want: "forward,recall,delete" },
                { tag: "notice", msgtype: 1, sendflag: 0, ago: 1000, want: "" }
            ]
        }

        function menuText(menu) {
            var names = ["copy", "forward", "recall", "play", "pause", "stop", "saveAs", "translate", "delete"]
            var shown = []
            for (var i = 0; i < names.length; ++i) {
                if (menu[names[i] + "Visible"])
                    shown.push(names[i])
            }
            return shown.join(",")
        }

        function test_messageMenuByType(data) {
            store(me, ann, 0, data.msgtype, "payload", data.sendflag, data.ago)
            pageFixture.loadLists()
            makePage()
            var menu = page.chatItemMenu
            verify(menu !== null)
            open(ann)
            var index = sessionManager.itemCount - 1
            page.showMessageMenu(index, 10, 10, "copied")
            compare(menuText(menu), data.want)
            compare(menu.visible, data.want !== "")
            if (data.want !== "") {
                compare(menu.modelId, sessionManager.get(index).id)
                compare(menu.msgtype, data.msgtype)
                compare(menu.clickedIndex, index)
                compare(menu.copyText, "copied")
                // While it shows, another right click opens nothing new.
                var id = menu.modelId
                page.showMessageMenu(0, 10, 10, "other")
                compare(menu.modelId, id)
                menu.close()
                tryCompare(menu, "visible", false)
            }
        }

        function test_translationOfTheLastMessageKeepsTheViewAtItsEnd() {
            seed(0)
            makePage()
            var menu = page.chatItemMenu
            open(ann)
            var last = sessionManager.itemCount - 1
            tryVerify(function () { return page.messageView.itemAtIndex(last) !== null }, 5000)
            menu.clickedIndex = last
            menu.translating = true
            // Another row's translation leaves the mark alone.
            if (last > 0) {
                page.translationArrived(last - 1)
                verify(menu.translating)
            }
            sessionManager.get(last).translation = "translated"
            tryCompare(menu, "translating", false, 5000)
        }

        // Reaching the top loads an older page and keeps the message that was at the
        // top where it was.
        function test_pagingKeepsTheTopMessageInPlace() {
            for (var i = 0; i < 60; ++i)
                store(i % 2 ? me : ann, i % 2 ? ann : me, 0, 0, "line " + i, i % 2, 3600000 - i * 1000)
            pageFixture.loadLists()
            makePage()
            open(ann)
            var view = page.messageView
            var first = sessionManager.itemCount
            verify(first > 0 && first < 60, "one page at first: " + first)
            view.positionViewAtBeginning()
            tryVerify(function () { return sessionManager.itemCount > first }, 5000)
            // The row at the top is the one that was the oldest before the load.
            tryVerify(function () {
                var index = view.indexAt(20, view.contentY + 8)
                return index >= 0 && sessionManager.get(index).content === "line " + (60 - first)
            }, 5000)
            verify(!page.callLoadMoreMsg)
            // The view shows every row the page brought in.
            compare(view.count, sessionManager.itemCount)
        }

        function test_someoneAtMeBanner() {
            seed(0)
            makePage()
            var banner = page.atMeBanner
            verify(banner !== null)
            open(group)
            verify(!banner.hasAtMe)
            sessionListManager.get(rowOf(group)).atflag = 1
            tryCompare(banner, "hasAtMe", true)
            // Another conversation: the banner goes.
            open(ann)
            verify(!banner.hasAtMe)
            // The refresh after the switch clears the mention of the group left.
            // Opening a conversation whose row carries a mention brings it up.
            open(group)
            tryCompare(banner, "hasAtMe", true)
            var rows = sessionManager.itemCount
            banner.hide()
            banner.gotoAtMe()
            compare(sessionManager.currentSessionId, group)
            verify(sessionManager.itemCount >= rows)
        }

        function test_managerMayRecallAnyMembersText() {
            seed(2)
            makePage()
            var menu = page.chatItemMenu
            open(group)
            tryCompare(page, "isCurrentGroupManager", true, 5000)
            var index = sessionManager.itemCount - 1
            compare(sessionManager.get(index).sendflag, 0)
            page.showMessageMenu(index, 1, 1, "")
            verify(menu.recallVisible)
            menu.close()
            tryCompare(menu, "visible", false)
        }

        // The hint names the keys the field really takes: Ctrl + Enter wraps on Linux.
        function test_sendHintNamesTheKeysOfThisSystem() {
            seed(0)
            makePage()
            open(ann)
            var hint = findChild(page, "sendHint")
            verify(hint !== null)
            compare(hint.text, VSettings.sendHint())
            verify(hint.text.indexOf(Qt.platform.os === "osx" ? "Command + Enter" : "Ctrl + Enter") >= 0,
                   hint.text)
        }

        function test_openingMarksTheConversationRead() {
            seed(0)
            makePage()
            pageFixture.setActive(true)
            tryVerify(function () { return sessionListManager.get(rowOf(ann)).unReadMsgCount > 0 }, 10000)
            open(ann)
            tryCompare(sessionListManager.get(rowOf(ann)), "unReadMsgCount", 0, 10000)
            tryCompare(page, "lastAccount", ann, 5000)
            // Stored read too, so the count stays 0 after a rebuild.
            tryVerify(function () {
                return pageFixture.count("fromuser=" + q(ann) + " and seeflag=0") === 0
            }, 10000)
        }
            // A message report of the engine for a stored received message.
        function receive(from, to, totype, content) {
            var id = store(from, to, totype, 0, content, 0, 0, { seeflag: 0 })
            var report = { id: id, fromuser: from, touser: to, totype: totype, msgtype: 0, content: content,
                           sendflag: 0, atflag: 0, sendtime: stamp(0), fromgroup: totype === 1 ? to : "" }
            pageFixture.raise(100008, 0, 0, JSON.stringify(report))
            return id
        }

        function lastRowInView() {
            var view = page.messageView
            var item = view.itemAtIndex(view.count - 1)
            return item !== null && item.y + item.height <= view.contentY + view.height + 1
                    && item.y + item.height > view.contentY
        }

        // Paging to the top until nothing older comes ends the paging: a message sent
        // or received afterwards at the end keeps the end in view. Rows that arrive
        // below while a page is awaited are no page either.
        function test_afterTheTopWasReachedTheEndStaysInView() {
            for (var i = 0; i < 45; ++i)
                store(i % 2 ? me : ann, i % 2 ? ann : me, 0, 0, "line " + i, i % 2, 3600000 - i * 1000)
            pageFixture.loadLists()
            // Signed in: only the server's answer ends the history; no row has a server
            // id, so that answer comes at once.
            pageFixture.setEngineInt("LoginState", 1)
            makePage()
            open(ann)
            var view = page.messageView
            for (var guard = 0; guard < 10 && !sessionManager.noMoreMsg; ++guard) {
                var before = sessionManager.itemCount
                view.positionViewAtBeginning()
                tryVerify(function () { return sessionManager.itemCount > before || sessionManager.noMoreMsg }, 5000)
                wait(50)
            }
            verify(sessionManager.noMoreMsg)
            compare(sessionManager.itemCount, 45)
            tryCompare(page, "callLoadMoreMsg", false, 5000)

            page.positionViewAtEnd()
            type("after the top")
            verify(page.sendMessage())
            wait(100)
            verify(lastRowInView(), "the sent text stays in view")
            compare(sessionManager.get(sessionManager.itemCount - 1).content, "after the top")
            receive(ann, me, 0, "and a reply")
            tryCompare(sessionManager, "itemCount", 47, 5000)
            tryVerify(lastRowInView, 5000, "the reply comes into view")
            wait(100)
            verify(lastRowInView(), "and stays")

            // A page asked for and not answered yet: the sent text is no page.
            sessionManager.beginPage(0)
            page.positionViewAtEnd()
            type("while waiting")
            verify(page.sendMessage())
            wait(100)
            verify(lastRowInView(), "the view keeps its end")
            verify(page.callLoadMoreMsg, "the page is still awaited")
        }

        // Enter after an "@" that names nobody (an address): the picker has nothing
        // to take, so the text is sent.
        function test_enterAfterAnAtThatNamesNobodySends() {
            seed(0)
            makePage()
            open(group)
            field.forceActiveFocus()
            type("mail bob@")
            field.cursorPosition = field.length
            var picker = page.atSomebodyPopup
            verify(picker !== null)
            tryCompare(picker, "visible", true)
            field.insert(field.length, "example.com")
            field.cursorPosition = field.length
            verify(!picker.hasChoice)
            var before = sessionManager.itemCount
            keyClick(Qt.Key_Return)
            compare(sessionManager.itemCount, before + 1)
            compare(sessionManager.get(before).content, "mail bob@example.com")
            verify(!picker.visible)
        }

        // Dropped text is text: markup in it stays text, and a picture tag in it is
        // never sent as a picture; a picture the user inserted is.
        function test_droppedTextIsPlainText() {
            seed(0)
            makePage()
            open(ann)
            var secret = pageFixture.picture("secret", 30, 20)
            var markup = "<img src=\"file://" + secret + "\" width=\"0\" height=\"0\" />hello <b>bold</b>"
            field.clear()
            field.dropText(markup)
            // Blanks go in as no-break spaces, as pasted text does.
            compare(field.getText(0, field.length).replace(/\u00a0/g, " "), markup)
            var before = viewRows()
            verify(page.sendMessage())
            var added = viewRows().slice(before.length)
            compare(added.length, 1)
            compare(added[0].replace(/\u00a0/g, " "), "0:" + markup)
            compare(pageFixture.calls("SendMsgFile").length, 0)
            // The user's own picture goes out.
            field.clear()
            field.insertPicture(pageFixture.picture("mine", 30, 20))
            field.insert(field.length, "look")
            verify(page.sendMessage())
            compare(viewRows().slice(before.length + 1), ["2:mine.png", "0:look"])
        }

        // Messages of the open conversation are read only when the user can see them:
        // the window active and the view at its end. Until then they count.
        function test_readOnlyWhenTheUserCanSee() {
            for (var i = 0; i < 30; ++i)
                store(i % 2 ? me : ann, i % 2 ? ann : me, 0, 0, "line " + i, i % 2, 3600000 - i * 1000)
            pageFixture.loadLists()
            pageFixture.setActive(true)
            makePage()
            open(ann)
            var row = sessionListManager.get(rowOf(ann))
            tryCompare(row, "unReadMsgCount", 0, 10000)
            page.positionViewAtEnd()

            // The window is not active: the message counts and shows on the badge.
            pageFixture.setActive(false)
            var hidden = receive(ann, me, 0, "while away")
            tryCompare(row, "unReadMsgCount", 1, 10000)
            tryCompare(sessionManager, "unReadMsgCount", 1, 10000)
            wait(700)
            compare(pageFixture.count("id=" + hidden + " and seeflag=1"), 0)
            // Back: read.
            pageFixture.setActive(true)
            tryCompare(row, "unReadMsgCount", 0, 10000)
            tryCompare(sessionManager, "unReadMsgCount", 0, 10000)

            // Active, but the user reads older messages: it counts until the end is reached.
            var view = page.messageView
            view.positionViewAtBeginning()
            tryVerify(function () { return !view.atYEnd }, 5000)
            receive(ann, me, 0, "while reading back")
            tryCompare(row, "unReadMsgCount", 1, 10000)
            page.positionViewAtEnd()
            tryCompare(row, "unReadMsgCount", 0, 10000)

            // Active and at the end: read at once.
            receive(ann, me, 0, "at the end")
            tryVerify(function () { return pageFixture.count("fromuser=" + q(ann) + " and seeflag=0") === 0 }, 10000)
            tryCompare(row, "unReadMsgCount", 0, 10000)
        }

        // Muting or unmuting a group counts the chat tab's badge again.
        function test_muteRecountsTheBadge() {
            seed(0)
            store(bob, group, 1, 0, "unread in the group", 0, 50000,
                  { seeflag: 0, remark: JSON.stringify({ from: { nick: "Bob" } }) })
            pageFixture.loadLists()
            makePage()
            tryCompare(sessionManager, "unReadMsgCount", 2, 10000)
            pageFixture.setEngineText("GetBlackList", group)
            groupManager.muteResult(1)
            compare(sessionManager.unReadMsgCount, 1)
            pageFixture.setEngineText("GetBlackList", "")
            groupManager.muteResult(1)
            compare(sessionManager.unReadMsgCount, 2)
        }

        // The capture button makes the page's one screen capture and opens it.
        function test_captureOpensFromTheInputArea() {
            seed(0)
            makePage()
            open(ann)
            page.startScreenshot(false)
            verify(page.screenshot !== null, "the capture window was made")
            page.screenshot.cancel()
        }

        // The group drawer's mute answer marks the group whose switch was clicked,
        // also when another conversation was opened before the answer came.
        function test_muteMarkFollowsTheClickedGroup() {
            seed(0)
            makePage()
            open(group)
            page.toggleDrawer()
            var drawer = page.groupSettingsDrawer
            verify(drawer !== null)
            var mute = findChild(drawer, "muteSwitch")
            verify(mute !== null)
            mute._toggle()
            // The group is muted by the time the engine answers.
            pageFixture.setEngineText("GetBlackList", group)
            // Opening Bob closes the drawer, which sends the change at once; the
            // engine's answer to that request comes after.
            open(bob)
            verify(groupManager.isGroupMute(group))
            tryVerify(function() { return page.muteOverrides[group] === true }, 5000)
            compare(page.muteOverrides[bob], undefined)
            pageFixture.setEngineText("GetBlackList", "")
        }

        // The "Someone @ me" banner follows the open row also after the list was rebuilt.
        function test_bannerFollowsTheOpenRowAfterARebuild() {
            seed(0)
            makePage()
            var banner = page.atMeBanner
            open(group)
            verify(!banner.hasAtMe)
            sessionListManager.initData()
            tryVerify(function () { return rowOf(group) >= 0 })
            sessionListManager.get(rowOf(group)).atflag = 1
            tryCompare(banner, "hasAtMe", true)
        }

        // Another tab hides the page while its conversation stays open: what arrives
        // then is unread, counts on the chat tab's badge and alerts. Shown again with
        // the view at its end, it is read.
        function test_messagesStayUnreadWhileAnotherTabIsShown() {
            for (var i = 0; i < 30; ++i)
                store(i % 2 ? me : ann, i % 2 ? ann : me, 0, 0, "line " + i, i % 2, 3600000 - i * 1000)
            pageFixture.loadLists()
            pageFixture.setActive(true)
            makePage()
            open(ann)
            var row = sessionListManager.get(rowOf(ann))
            tryCompare(row, "unReadMsgCount", 0, 10000)
            page.positionViewAtEnd()
            verify(sessionManager.chatPageShown)

            holder.visible = false
            verify(!sessionManager.chatPageShown)
            alertSpy.clear()
            var first = receive(ann, me, 0, "behind the contacts tab")
            var second = receive(ann, me, 0, "still behind it")
            tryCompare(row, "unReadMsgCount", 2, 10000)
            tryCompare(sessionManager, "unReadMsgCount", 2, 10000)
            compare(alertSpy.count, 2)
            // The view's timers have run by now and marked nothing.
            wait(700)
            compare(pageFixture.count("id in (" + first + "," + second + ") and seeflag=1"), 0)
            compare(sessionManager.unReadMsgCount, 2)

            holder.visible = true
            verify(sessionManager.chatPageShown)
            tryCompare(row, "unReadMsgCount", 0, 10000)
            tryCompare(sessionManager, "unReadMsgCount", 0, 10000)
            compare(pageFixture.count("fromuser=" + q(ann) + " and seeflag=0"), 0)
            compare(alertSpy.count, 2)
        }

        // Shown again while the user reads older messages: they stay unread until the
        // end is reached.
        function test_shownAgainAwayFromTheEndKeepsThemUnread() {
            for (var i = 0; i < 30; ++i)
                store(i % 2 ? me : ann, i % 2 ? ann : me, 0, 0, "line " + i, i % 2, 3600000 - i * 1000)
            pageFixture.loadLists()
            pageFixture.setActive(true)
            makePage()
            open(ann)
            var row = sessionListManager.get(rowOf(ann))
            tryCompare(row, "unReadMsgCount", 0, 10000)
            var view = page.messageView
            view.positionViewAtBeginning()
            tryVerify(function () { return !view.atYEnd }, 5000)
            holder.visible = false
            receive(ann, me, 0, "while away and scrolled up")
            tryCompare(row, "unReadMsgCount", 1, 10000)
            holder.visible = true
            wait(700)
            compare(row.unReadMsgCount, 1)
            page.positionViewAtEnd()
            tryCompare(row, "unReadMsgCount", 0, 10000)
        }

        // A kick-out ends the conversation with the session: after the next login none
        // is open, and a message of the one that was counts and alerts.
        function test_afterAKickOutNoConversationIsOpen() {
            seed(0)
            pageFixture.setActive(true)
            makePage()
            open(ann)
            pageFixture.raise(100012, 0, 0, "signed in elsewhere")
            tryCompare(sessionManager, "currentSessionId", "", 10000)
            compare(sessionManager.itemCount, 0)
            // The main window goes with the session; the next login makes a new one.
            holder.destroy()
            holder = null
            classManager.createPostClass()
            pageFixture.loadLists()
            tryCompare(sessionListManager, "itemCount", 3)
            makePage()
            compare(page.currentAccount, "")
            alertSpy.clear()
            receive(ann, me, 0, "after the next login")
            tryCompare(alertSpy, "count", 1, 10000)
            tryVerify(function () { return sessionListManager.get(rowOf(ann)).unReadMsgCount > 0 }, 10000)
            compare(sessionManager.itemCount, 0)
        }
    }
}
