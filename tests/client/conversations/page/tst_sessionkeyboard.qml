import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/translator"

// The chat page's popups and the keyboard, over the real managers and the engine
// test double: keys go where the program's keyboard really is (the window that has
// it), as a person's keys do on a desktop without a window manager. After the
// emoji picker, a screen capture or Escape the input field takes typing again; a
// mention picked and followed by text keeps one space; "Open" on a file that the
// desktop cannot open says so.
Item {
    id: root

    width: 1100
    height: 720

    readonly property string me: "1000@tesmo.x"
    readonly property string ann: "2000@tesmo.x"
    readonly property string bob: "3000@tesmo.x"
    readonly property string group: "77@group.tesmo.x"

    Component {
        id: pageComponent

        Loader {
            anchors.fill: parent
            source: "qrc:/qml/conversations/VSessionListPage.qml"
        }
    }

    TestCase {
        name: "SessionKeyboard"
        when: windowShown

        property var page: null
        property var field: null

        function pad(n) { return n < 10 ? "0" + n : String(n) }

        function stamp(msAgo) {
            var d = new Date(Date.now() - msAgo)
            return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()) + " "
                    + pad(d.getHours()) + ":" + pad(d.getMinutes()) + ":" + pad(d.getSeconds())
        }

        function q(text) { return "'" + String(text).replace(/'/g, "''") + "'" }

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

        function store(from, to, totype, msgtype, content, sendflag, msAgo, extra) {
            var columns = "msgtype,fromuser,fromgroup,touser,totype,content,remark,sendflag,sendstate,seeflag,"
                    + "sendtime,localpath"
            var values = [msgtype, q(from), q(totype === 1 ? to : ""), q(to), totype, q(content),
                          q(extra && extra.remark ? extra.remark : ""), sendflag, 1, 1, q(stamp(msAgo)),
                          q(extra && extra.localpath ? extra.localpath : "")]
            verify(pageFixture.exec("insert into nq_message(" + columns + ") values(" + values.join(",") + ")"))
            var id = pageFixture.lastId()
            var account = totype === 1 ? to : (from === me ? to : from)
            verify(pageFixture.exec("insert or replace into nq_messagenew(account,msgid) values(" + q(account) + ","
                                    + id + ")"))
            return id
        }

        function seed() {
            store(ann, me, 0, 0, "hello from Ann", 0, 300000)
            verify(pageFixture.exec("insert into nq_group(groupid,groupname,usercount,groupstate) values("
                                    + q(group) + ",'Traders',3,0)"))
            verify(pageFixture.exec("insert into nq_groupuser(groupid,account,role) values(" + q(group) + ","
                                    + q(me) + ",3)"))
            store(bob, group, 1, 0, "group hi", 0, 100000,
                  { remark: JSON.stringify({ from: { nick: "Bob" }, to: { nick: "Traders" } }) })
            pageFixture.loadLists()
            tryCompare(sessionListManager, "itemCount", 2)
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
            tryCompare(page, "isCurrentAccountLoading", false, 5000)
        }

        // The page open on a conversation, its window with the keyboard and the
        // field with the focus.
        function start(account) {
            seed()
            var holder = createTemporaryObject(pageComponent, root)
            tryCompare(holder, "status", Loader.Ready)
            page = holder.item
            field = page.inputArea
            verify(field)
            open(account)
            root.Window.window.requestActivate()
            field.forceActiveFocus()
            fieldHasTheKeyboard()
        }

        function fieldHasTheKeyboard() {
            tryVerify(function () { return root.Window.window.active && field.activeFocus }, 5000,
                      "the input field has the keyboard; it is with " + pageFixture.focusWindowName())
        }

        function typedGoesToTheField() {
            fieldHasTheKeyboard()
            var before = field.length
            verify(pageFixture.typeIntoFocusWindow("ok"))
            compare(field.length, before + 2)
        }

        function init() {
            verify(pageFixture.start(me))
            vGlobal.updateAtSomebodyList([])
        }

        function cleanup() {
            pageFixture.hideFileOpeners(false)
        }

        // Each way the emoji picker goes away hands the keyboard back to the field.
        function test_emojiPickerGivesTheKeyboardBack_data() {
            return [
                { tag: "numbered emoji picked", tab: 0, key: 0 },
                { tag: "named emoji picked", tab: 1, key: 0 },
                { tag: "sticker sent", tab: 2, key: 0 },
                { tag: "Escape", tab: -1, key: Qt.Key_Escape }
            ]
        }

        function test_emojiPickerGivesTheKeyboardBack(data) {
            start(ann)
            var picker = page.openEmojiPopup(field)
            verify(picker, "the picker was made")
            tryVerify(function () { return pageFixture.focusWindowName().indexOf("VEmojiPopupWindow") >= 0 },
                      5000, "the picker has the keyboard")
            if (data.key !== 0)
                verify(pageFixture.keyIntoFocusWindow(data.key))
            else
                picker.choose(data.tab, 1)
            tryVerify(function () { return !picker || !picker.visible }, 5000, "the picker closed")
            typedGoesToTheField()
        }

        // A capture accepted (with or without a selection) or cancelled: typing and
        // Return go to the field without a click. The capture is often ended with the
        // pointer still over the capture button (clicked to start it): the window
        // coming back under it reports a hover, which must not open the button's
        // menu, since the menu would take the keyboard.
        function test_captureGivesTheKeyboardBack_data() {
            return [
                { tag: "accepted", accept: true, hide: false, onButton: false },
                { tag: "cancelled", accept: false, hide: false, onButton: false },
                { tag: "accepted, window hidden meanwhile", accept: true, hide: true, onButton: false },
                { tag: "cancelled, window hidden meanwhile", accept: false, hide: true, onButton: false },
                { tag: "accepted, pointer on the button", accept: true, hide: true, onButton: true }
            ]
        }

        function test_captureGivesTheKeyboardBack(data) {
            start(ann)
            // The pointer starts off the button; the hover comes with the window's return.
            mouseMove(root, 5, 5)
            page.startScreenshot(data.hide)
            var shot = page.screenshot
            verify(shot)
            tryVerify(function () { return pageFixture.focusWindowName().indexOf("VScreenshot") >= 0 },
                      5000, "the capture has the keyboard")
            if (data.accept)
                shot.confirmCapture()
            else
                shot.cancel()
            if (data.onButton) {
                var button = findChild(page, "captureButton")
                verify(button)
                fieldHasTheKeyboard()
                mouseMove(button, button.width / 2, button.height / 2)
            }
            typedGoesToTheField()
            var rows = sessionManager.itemCount
            verify(pageFixture.keyIntoFocusWindow(Qt.Key_Return))
            tryCompare(sessionManager, "itemCount", rows + 1)
            compare(sessionManager.get(rows).content, "ok")
        }

        // A member picked from the @ picker and then text typed: the message has one
        // plain space between the name and the text.
        function test_mentionThenTextKeepsOneSpace_data() {
            return [
                { tag: "typed on", account: bob, name: "Bob Stone", sent: "hey @Bob Stone look" },
                { tag: "a name with two blanks", account: "4000@tesmo.x", name: "Cy  Lee", sent: "hey @Cy  Lee look" },
                { tag: "a name that looks like markup", account: "5000@tesmo.x", name: "<b>Di</b>",
                  sent: "hey @<b>Di</b> look" }
            ]
        }

        function test_mentionThenTextKeepsOneSpace(data) {
            start(group)
            verify(pageFixture.typeIntoFocusWindow("hey @"))
            vGlobal.atSomebody(data.account, data.name)
            verify(pageFixture.typeIntoFocusWindow("look"))
            var rows = sessionManager.itemCount
            verify(page.sendMessage())
            compare(sessionManager.itemCount, rows + 1)
            compare(sessionManager.get(rows).content, data.sent)
            var remark = JSON.parse(sessionManager.get(rows).remark)
            compare(remark.atUsers.length, 1)
            compare(remark.atUsers[0].id, data.account)
        }

        // "Open" of a file the desktop has no program for: the failure tip, from the
        // file-options menu and from the file message's own link.
        function test_openWithoutAnOpenerSaysSo() {
            var path = pageFixture.textFile("notes.txt")
            store(ann, me, 0, 3, "http://files.x/notes.txt", 0, 200000,
                  { localpath: path, remark: JSON.stringify({ filename: "notes.txt", filesize: 5 }) })
            start(ann)
            pageFixture.hideFileOpeners(true)
            page.showFileOptions(10, 10, path)
            var menu = page.fileOpenOptionsMenu
            verify(menu)
            menu.itemAt(0).triggered()
            compare(page.warningText(), VTr.openFailed)
            menu.close()
            page.warn("")
            var bubble = null
            tryVerify(function () {
                bubble = findChild(page.messageView.contentItem, "fileBubble")
                return bubble !== null && bubble.present
            }, 5000, "the file message is shown with its Open link")
            bubble.openFile()
            compare(page.warningText(), VTr.openFailed)
        }
    }
}

