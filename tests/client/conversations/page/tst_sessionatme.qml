import QtQuick 2.12
import QtTest 1.12

// The "Someone @ me" jump over the real managers and the engine test double: a
// mention several screens up, among rows of unlike heights, ends wholly in view
// once the rows around it are built. A row the view reuses for another message
// keeps the last one's height until its text wraps again, a frame later: rows
// placed over such rows move once they are laid out.
Item {
    id: root

    width: 1100
    height: 720

    readonly property string me: "1000@tesmo.x"
    readonly property string group: "77@group.tesmo.x"
    readonly property string bob: "3000@tesmo.x"

    Component {
        id: pageComponent

        Loader {
            anchors.fill: parent
            source: "qrc:/qml/conversations/VSessionListPage.qml"
        }
    }

    TestCase {
        name: "SessionAtMe"
        when: windowShown

        property var page: null

        function pad(n) { return n < 10 ? "0" + n : String(n) }

        function stamp(msAgo) {
            var d = new Date(Date.now() - msAgo)
            return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()) + " "
                    + pad(d.getHours()) + ":" + pad(d.getMinutes()) + ":" + pad(d.getSeconds())
        }

        function q(text) { return "'" + String(text).replace(/'/g, "''") + "'" }

        // A group text; a few lines long every so often, so that rows not yet built
        // are guessed wrong. Wrapping texts (the mention stays short) are long
        // sentences of many lengths, so that a reused row's old height is wrong.
        function store(i, atflag, wraps) {
            var lines = i % 7 === 0 ? 8 : (i % 3 === 0 ? 3 : 1)
            var content = []
            if (wraps && atflag === 0)
                content.push(new Array(2 + (i * 7) % 30).join("wrapping words " + i + " "))
            else
                for (var l = 0; l < lines; ++l)
                    content.push("line " + l + " of text " + i)
            var remark = JSON.stringify({ from: { nick: "Bob" }, to: { nick: "Traders" } })
            verify(pageFixture.exec("insert into nq_message(msgtype,fromuser,fromgroup,touser,totype,content,remark,"
                                    + "sendflag,sendstate,seeflag,atflag,sendtime) values(0," + q(bob) + ","
                                    + q(group) + "," + q(group) + ",1," + q(content.join("\n")) + ","
                                    + q(remark) + ",0,1,1," + atflag + "," + q(stamp(3600000 - i * 10000)) + ")"))
            var id = pageFixture.lastId()
            verify(pageFixture.exec("insert or replace into nq_messagenew(account,msgid) values(" + q(group) + ","
                                    + id + ")"))
            return id
        }

        function init() {
            verify(pageFixture.start(me))
        }

        function rowItemOf(view, id) {
            for (var i = 0; i < sessionManager.itemCount; ++i) {
                if (sessionManager.get(i).id === id)
                    return view.itemAtIndex(i)
            }
            return null
        }

        function wholyInView(view, id) {
            var row = rowItemOf(view, id)
            return row !== null && row.y >= view.contentY - 0.5
                    && row.y + row.height <= view.contentY + view.height + 0.5
        }

        // The mention, by how many texts came after it, among texts of set lines or
        // texts that wrap to the view's width.
        function test_jumpShowsTheWholeMention_data() {
            return [
                { tag: "on the first page", after: 5, wraps: false },
                { tag: "two pages up", after: 55, wraps: false },
                { tag: "five pages up", after: 150, wraps: false },
                { tag: "on the first page, wrapping texts", after: 5, wraps: true },
                { tag: "two pages up, wrapping texts", after: 55, wraps: true },
                { tag: "five pages up, wrapping texts", after: 150, wraps: true }
            ]
        }

        // The rows the jump built or reused are laid out: a frame drawn after it.
        function settle(view) {
            waitForRendering(view)
            waitForRendering(view)
        }

        function test_jumpShowsTheWholeMention(data) {
            var total = data.after + 40
            var mention = -1
            for (var i = 0; i < total; ++i) {
                var id = store(i, i === total - 1 - data.after ? 1 : 0, data.wraps)
                if (i === total - 1 - data.after)
                    mention = id
            }
            verify(pageFixture.exec("insert into nq_group(groupid,groupname,usercount,groupstate) values("
                                    + q(group) + ",'Traders',3,0)"))
            pageFixture.loadLists()
            tryCompare(sessionListManager, "itemCount", 1)
            var holder = createTemporaryObject(pageComponent, root)
            tryCompare(holder, "status", Loader.Ready)
            page = holder.item
            page.openRow(0)
            tryCompare(page, "isCurrentAccountLoading", false, 5000)
            var view = page.messageView
            tryVerify(function () { return view.atYEnd }, 5000)
            var banner = page.atMeBanner
            tryCompare(banner, "hasAtMe", true)
            banner.hide()
            banner.gotoAtMe()
            verify(sessionManager.itemCount <= data.after + 1 + 30,
                   "whole pages up to the mention: " + sessionManager.itemCount)
            settle(view)
            tryVerify(function () { return wholyInView(view, mention) }, 5000,
                      "the mention stands wholly in view")
            // From the oldest row shown, the mention is below the view: it is
            // placed at the bottom edge, over rows not built yet.
            view.positionViewAtBeginning()
            tryVerify(function () { return !wholyInView(view, mention) }, 5000)
            banner.gotoAtMe()
            settle(view)
            tryVerify(function () { return wholyInView(view, mention) }, 5000,
                      "the mention stands wholly in view again")
        }
    }
}
