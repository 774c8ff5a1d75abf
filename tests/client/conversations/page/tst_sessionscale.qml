import QtQuick 2.12
import QtTest 1.12

// The open conversation as it grows, over the real managers and the engine test
// double: the view makes rows only near the screen, a conversation read at its end
// keeps a bounded number of rows however many arrive, the rows let go come back in
// order when the reader pages to the top, and opening another conversation lets
// the items go.
Item {
    id: root

    width: 1100
    height: 720

    readonly property string me: "1000@tesmo.x"
    readonly property string ann: "2000@tesmo.x"
    readonly property string bob: "3000@tesmo.x"

    Component {
        id: pageComponent

        Loader {
            anchors.fill: parent
            source: "qrc:/qml/conversations/VSessionListPage.qml"
        }
    }

    TestCase {
        name: "SessionScale"
        when: windowShown

        property var page: null

        function pad(n) { return n < 10 ? "0" + n : String(n) }

        function stamp(msAgo) {
            var d = new Date(Date.now() - msAgo)
            return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()) + " "
                    + pad(d.getHours()) + ":" + pad(d.getMinutes()) + ":" + pad(d.getSeconds())
        }

        function q(text) { return "'" + String(text).replace(/'/g, "''") + "'" }

        // One stored message with the peer, made the newest of its conversation.
        function store(peer, content, sendflag, msAgo) {
            var from = sendflag ? me : peer
            var to = sendflag ? peer : me
            verify(pageFixture.exec("insert into nq_message(msgtype,fromuser,touser,totype,content,sendflag,"
                                    + "sendstate,seeflag,sendtime) values(0," + q(from) + "," + q(to) + ",0,"
                                    + q(content) + "," + sendflag + ",1,1," + q(stamp(msAgo)) + ")"))
            var id = pageFixture.lastId()
            verify(pageFixture.exec("insert or replace into nq_messagenew(account,msgid) values(" + q(peer) + ","
                                    + id + ")"))
            return id
        }

        // A text from the peer, stored and announced as the engine does.
        function receive(peer, content, msAgo) {
            var id = store(peer, content, 0, msAgo)
            pageFixture.raise(100008, 0, 0, JSON.stringify({
                "id": id, "fromuser": peer, "touser": me, "totype": 0, "msgtype": 0, "content": content,
                "sendflag": 0, "sendtime": stamp(msAgo) }))
            return id
        }

        function makePage() {
            var holder = createTemporaryObject(pageComponent, root)
            tryCompare(holder, "status", Loader.Ready)
            page = holder.item
            verify(page !== null)
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
            compare(sessionManager.currentSessionId, account)
            tryCompare(page, "isCurrentAccountLoading", false, 5000)
        }

        function contents() {
            var rows = []
            for (var i = 0; i < sessionManager.itemCount; ++i)
                rows.push(sessionManager.get(i).content)
            return rows
        }

        // Rows the view has made (its header aside).
        function delegates(view) {
            var made = 0
            var kids = view.contentItem.children
            for (var i = 0; i < kids.length; ++i) {
                if (kids[i].messageItem !== undefined)
                    ++made
            }
            return made
        }

        // The texts the view's rows show, by row, next to the model's: a row the view
        // reuses for another message shows that message.
        function checkShownTexts(view) {
            var checked = 0
            for (var i = 0; i < view.count; ++i) {
                var row = view.itemAtIndex(i)
                if (row === null)
                    continue
                var texts = []
                collectTexts(row, texts)
                compare(texts.length, 1, "row " + i)
                compare(texts[0].plainText, sessionManager.get(i).content, "row " + i)
                compare(row.itemGone, false, "row " + i)
                ++checked
            }
            verify(checked > 5, checked + " rows checked")
        }

        function collectTexts(item, found) {
            if (String(item).indexOf("VMessageTextContent") === 0)
                found.push(item)
            var kids = item.children || []
            for (var i = 0; i < kids.length; ++i)
                collectTexts(kids[i], found)
        }

        // What the page keeps at the end: the screen and the cache above it, at the
        // least height of a row.
        function kept(view) {
            return Math.max(60, Math.ceil((view.height + view.cacheBuffer) / 24))
        }

        // Scrolls to the top until the model holds that many rows (whether the end
        // of the history is declared depends on the network probe's answer).
        function pageToTheTop(view, rows) {
            for (var guard = 0; guard < 40 && sessionManager.itemCount < rows; ++guard) {
                var before = sessionManager.itemCount
                view.positionViewAtBeginning()
                tryVerify(function () { return sessionManager.itemCount > before }, 5000)
                wait(50)
            }
            compare(sessionManager.itemCount, rows)
        }

        function init() {
            verify(pageFixture.start(me))
        }

        // With the whole history loaded, the view still makes rows only within its
        // cache of twice its height; placed at its end, the model lets the far rows
        // go.
        function test_rowsAreMadeOnlyNearTheScreen() {
            var texts = []
            for (var i = 0; i < 240; ++i) {
                texts.push("line " + i)
                store(ann, texts[i], i % 2, 3600000 - i * 1000)
            }
            pageFixture.loadLists()
            makePage()
            open(ann)
            var view = page.messageView
            while (!sessionManager.noMoreMsg)
                sessionManager.doLoadMoreHistory(true)
            compare(sessionManager.itemCount, 240)
            compare(contents(), texts)
            wait(100)
            verify(delegates(view) <= Math.ceil(5 * view.height / 24),
                   delegates(view) + " rows made for a view " + view.height + " high")

            page.positionViewAtEnd()
            verify(sessionManager.itemCount <= kept(view), sessionManager.itemCount + " rows kept")
            compare(contents(), texts.slice(texts.length - sessionManager.itemCount))
            tryVerify(function () { return view.atYEnd }, 5000)
        }

        // Messages arriving while the reader is at the end: the view follows them, the
        // rows stay bounded, paging to the top brings every row back once and in
        // order, and opening another conversation lets the items go.
        function test_arrivingMessagesLeaveABoundedConversation() {
            var texts = []
            for (var i = 0; i < 40; ++i) {
                texts.push("old " + i)
                store(ann, texts[i], i % 2, 7200000 - i * 1000)
            }
            store(bob, "hello from Bob", 0, 7300000)
            pageFixture.loadLists()
            makePage()
            open(ann)
            var view = page.messageView
            // Rows let go take their delegates along before their items go.
            pageFixture.countScriptErrors()
            for (var j = 0; j < 150; ++j) {
                texts.push("new " + j)
                receive(ann, texts[texts.length - 1], 600000 - j * 1000)
            }
            tryVerify(function () {
                return sessionManager.get(sessionManager.itemCount - 1).content === "new 149"
            }, 10000)
            tryVerify(function () { return sessionManager.itemCount <= kept(view) }, 10000)
            tryVerify(function () {
                return view.atYEnd && view.itemAtIndex(view.count - 1) !== null
            }, 10000)
            verify(delegates(view) <= Math.ceil(5 * view.height / 24))
            compare(contents(), texts.slice(texts.length - sessionManager.itemCount))
            checkShownTexts(view)
            compare(pageFixture.scriptErrors(), 0)

            pageToTheTop(view, texts.length)
            compare(contents(), texts)
            checkShownTexts(view)
            view.positionViewAtIndex(60, ListView.Center)
            wait(50)
            checkShownTexts(view)
            compare(pageFixture.scriptErrors(), 0)

            var item = sessionManager.get(0)
            verify(item !== null)
            open(bob)
            compare(contents(), ["hello from Bob"])
            tryVerify(function () { return !item || item.content === undefined }, 5000)
        }

        // A translation still shows under its text once it arrives.
        function test_translationShowsWhenItArrives() {
            store(ann, "bonjour", 0, 60000)
            pageFixture.loadLists()
            makePage()
            open(ann)
            var view = page.messageView
            var last = sessionManager.itemCount - 1
            tryVerify(function () { return view.itemAtIndex(last) !== null }, 5000)
            var row = view.itemAtIndex(last)
            var before = row.height
            sessionManager.get(last).translation = "hello"
            tryVerify(function () { return row.height > before }, 5000)
            var found = false
            var visit = function (node) {
                if (node.plainText === "hello" && node.visible)
                    found = true
                var kids = node.children || []
                for (var k = 0; k < kids.length; ++k)
                    visit(kids[k])
            }
            visit(row)
            verify(found)
        }
    }
}
