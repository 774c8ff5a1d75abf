import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/conversations"

// A person's conversation with the demo world's echo friend, against the local
// server. The steps run in order and build on each other.
Item {
    id: root

    width: 1280
    height: 700

    readonly property string me: "100001@tesmo.local"
    readonly property string echo: "100003@tesmo.local"
    readonly property string bob: "100002@tesmo.local"
    readonly property string text: "Hello Echo, from the conversation page"
    property int pictureId: -1
    property var main: null

    VSessionListPage {
        id: page
    }

    TestCase {
        name: "SessionOnScreen"
        when: windowShown

        function rowOf(account) {
            for (var i = 0; i < sessionListManager.itemCount; ++i) {
                if (sessionListManager.getSessionAccount(i) === account)
                    return i
            }
            return -1
        }

        // The newest message of the open conversation that matches.
        function lastWhere(test) {
            for (var i = sessionManager.itemCount - 1; i >= 0; --i) {
                var item = sessionManager.get(i)
                if (test(item))
                    return item
            }
            return null
        }

        function open(account) {
            var row = rowOf(account)
            verify(row >= 0, account)
            page.openRow(row)
            compare(sessionManager.currentSessionId, account)
            tryCompare(page, "isCurrentAccountLoading", false, 10000)
        }

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            // The page stands for the main window, which tells vGlobal that it is active.
            vGlobal.setActive(true)
            verify(e2e.serverStarted())
            verify(e2e.login("13800000001", "123456"))
            compare(vConfig.currentAccount, root.me)
            contactsManager.initData()
            groupManager.initData()
            sessionListManager.initData()
            tryVerify(function () { return rowOf(root.echo) >= 0 && rowOf(root.bob) >= 0 }, 30000)
            wait(300)
            verify(e2e.shot("01-conversation-list"))
        }

        function cleanupTestCase() {
            if (root.main !== null)
                root.main.destroy()
        }

        function test_1_openTheEchoConversation() {
            open(root.echo)
            compare(page.currentName, "Echo Bot")
            verify(sessionManager.itemCount > 0)
            wait(300)
            verify(e2e.shot("02-open-conversation"))
        }

        function test_2_sendTextByEnterAndSeeTheReply() {
            var field = page.inputArea
            verify(field)
            field.forceActiveFocus()
            field.insert(0, root.text)
            verify(page.sendEnabled)
            keyClick(Qt.Key_Return)
            compare(field.length, 0)
            var sent = lastWhere(function (item) { return item.sendflag === 1 && item.content === root.text })
            verify(sent !== null)
            tryCompare(sent, "sendstate", 1, 30000)
            tryVerify(function () {
                return lastWhere(function (item) {
                    return item.sendflag === 0 && item.content === "You said: " + root.text
                }) !== null
            }, 30000)
            wait(500)
            verify(e2e.shot("03-text-and-reply"))
        }

        function test_3_sendAPicture() {
            var path = e2e.picture("sent picture")
            verify(path !== "")
            page.sendFile("file://" + encodeURI(path))
            var sent = lastWhere(function (item) { return item.sendflag === 1 && item.msgtype === 2 })
            verify(sent !== null)
            root.pictureId = sent.id
            tryCompare(sent, "sendstate", 1, 30000)
            wait(500)
            verify(e2e.shot("04-picture-sent"))
        }

        function test_4_recallThePicture() {
            var index = -1
            for (var i = 0; i < sessionManager.itemCount; ++i) {
                if (sessionManager.get(i).id === root.pictureId)
                    index = i
            }
            verify(index >= 0)
            var menu = page.chatItemMenu
            page.showMessageMenu(index, 700, 300, "")
            tryCompare(menu, "visible", true)
            verify(menu.recallVisible)
            wait(300)
            verify(e2e.shot("05-message-menu"))
            menu.recall()
            menu.close()
            tryCompare(sessionManager.get(index), "revokeflag", 1, 30000)
            wait(500)
            verify(e2e.shot("06-recalled"))
        }

        function test_5_aMessageForAnotherConversationShowsItsBadge() {
            open(root.bob)
            verify(e2e.command("push " + root.me + " " + root.echo + " Ping while you read Bob").indexOf("pushed") === 0)
            tryVerify(function () { return sessionListManager.get(rowOf(root.echo)).unReadMsgCount === 1 }, 30000)
            wait(500)
            verify(e2e.shot("07-badge"))
            open(root.echo)
            tryCompare(sessionListManager.get(rowOf(root.echo)), "unReadMsgCount", 0, 10000)
            verify(lastWhere(function (item) { return item.content === "Ping while you read Bob" }) !== null)
            wait(300)
            verify(e2e.shot("08-read"))
        }

        // Whether the row of the item stands wholly inside the message view.
        function shown(item) {
            var view = page.messageView
            for (var i = sessionManager.itemCount - 1; i >= 0; --i) {
                if (sessionManager.get(i) !== item)
                    continue
                var row = view.itemAtIndex(i)
                return row !== null && row.y >= view.contentY - 1
                        && row.y + row.height <= view.contentY + view.height + 1
            }
            return false
        }

        // Up to the top until there is nothing older, back to the end, send: the sent
        // text and the friend's reply stay in view.
        function test_6_theEndStaysInViewAfterTheTopWasReached() {
            open(root.bob)
            for (var i = 0; i < 40; ++i)
                verify(e2e.command("push " + root.me + " " + root.echo + " Line " + i).indexOf("pushed") === 0)
            tryVerify(function () { return sessionListManager.get(rowOf(root.echo)).unReadMsgCount >= 40 }, 30000)
            open(root.echo)
            var view = page.messageView
            for (var guard = 0; guard < 30 && !sessionManager.noMoreMsg; ++guard) {
                var before = sessionManager.itemCount
                view.positionViewAtBeginning()
                tryVerify(function () { return sessionManager.itemCount > before || sessionManager.noMoreMsg }, 30000)
                wait(300)
            }
            verify(sessionManager.noMoreMsg)
            tryCompare(page, "callLoadMoreMsg", false, 10000)
            view.positionViewAtBeginning()
            wait(500)
            verify(e2e.shot("09-no-more-messages"))

            page.positionViewAtEnd()
            var field = page.inputArea
            field.forceActiveFocus()
            var text = "Back at the end after the top"
            field.insert(0, text)
            keyClick(Qt.Key_Return)
            var sent = lastWhere(function (item) { return item.sendflag === 1 && item.content === text })
            verify(sent !== null)
            tryCompare(sent, "sendstate", 1, 30000)
            var reply = null
            tryVerify(function () {
                reply = lastWhere(function (item) {
                    return item.sendflag === 0 && item.content === "You said: " + text
                })
                return reply !== null
            }, 30000)
            tryVerify(function () { return shown(sent) && shown(reply) }, 10000)
            wait(1000)
            verify(shown(sent), "the sent text stays in view")
            verify(shown(reply), "the reply stays in view")
            verify(e2e.shot("10-end-after-the-top"))
        }

        // In the main window, with Bob's conversation open and in view, the contacts
        // tab is shown: his texts stay unread and the chat tab shows the badge; the
        // chat tab again marks them read.
        function test_7_textsBehindTheContactsTabStayUnread() {
            // The main window's own chat page takes over from the page above.
            page.visible = false
            var component = Qt.createComponent("qrc:/qml/VIndexPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            root.main = component.createObject(null)
            verify(root.main !== null)
            root.main.x = 0
            root.main.y = 0
            root.main.show()
            root.main.requestActivate()
            tryCompare(root.main, "active", true, 10000)
            verify(vGlobal.active)
            var chats = root.main.chatsPage
            verify(chats !== null)
            tryVerify(function () { return rowOf(root.bob) >= 0 }, 10000)
            chats.openRow(rowOf(root.bob))
            compare(sessionManager.currentSessionId, root.bob)
            tryCompare(chats, "isCurrentAccountLoading", false, 10000)
            tryCompare(sessionListManager.get(rowOf(root.bob)), "unReadMsgCount", 0, 10000)
            var badge = findChild(root.main.contentItem, "unreadBadge")
            verify(badge !== null)
            tryCompare(badge, "visible", false, 10000)
            wait(300)
            verify(e2e.shot("11-bob-open-in-the-main-window"))

            root.main.selectTab(1)
            verify(!chats.visible)
            verify(!sessionManager.chatPageShown)
            var texts = ["Behind the contacts tab one", "Behind the contacts tab two",
                         "Behind the contacts tab three"]
            for (var i = 0; i < texts.length; ++i)
                verify(e2e.command("push " + root.me + " " + root.bob + " " + texts[i]).indexOf("pushed") === 0)
            tryVerify(function () {
                return lastWhere(function (item) { return item.content === texts[2] }) !== null
            }, 30000)
            tryCompare(sessionListManager.get(rowOf(root.bob)), "unReadMsgCount", 3, 10000)
            tryCompare(badge, "text", "3", 10000)
            verify(badge.visible)
            compare(e2e.unreadFrom(root.bob), 3)
            wait(500)
            compare(e2e.unreadFrom(root.bob), 3)
            verify(e2e.shot("12-badge-behind-the-contacts-tab"))

            root.main.selectTab(0)
            verify(chats.visible)
            tryCompare(sessionListManager.get(rowOf(root.bob)), "unReadMsgCount", 0, 10000)
            tryVerify(function () { return e2e.unreadFrom(root.bob) === 0 }, 10000)
            tryCompare(badge, "visible", false, 10000)
            wait(300)
            verify(e2e.shot("13-read-on-the-chat-tab"))
        }
    }
}
