import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/contacts"

// Group actions go out while the engine's session is up, whatever the network
// probe says (echo requests are often dropped); without a session a failed probe
// keeps them back with a tip.
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

    Component { id: memberPicker; VGroupMembersManagerPopupWindow {} }
    Component { id: managerPicker; VGroupManagersManagerPopupWindow {} }
    Component { id: transferDialog; VTransferGroupPopupWindow {} }
    Component { id: codeDialog; VCodeEnterGroupPopupWindow {} }

    TestCase {
        name: "GroupNetworkState"
        when: windowShown

        property var made: null

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function init() {
            verify(fixture.newDatabase())
            sessionManager.currentSessionId = "g1@group"
        }

        function cleanup() {
            if (made !== null) {
                made.close()
                made.destroy()
                made = null
            }
            wait(0)
            fixture.settle()
            fixture.setInt("LoginState", 0)
            verify(fixture.setConnection("connect"))
            groupAdminManager.wipeData()
            groupMemberManager.wipeData()
            contactsManager.wipeData()
        }

        function loadFriends() {
            fixture.addContact(1001, "f1", "Friend 1")
            fixture.addContact(1002, "f2", "Friend 2")
            contactsManager.initData()
            contactsManager.resetAllAddState(true)
        }

        // Owner "o0", manager "a0", members "m0" and "m1".
        function loadGroup() {
            var result = { "groupid": "g1@group", "owner": [{ "account": "o0", "name": "Owner" }],
                           "admin": [{ "account": "a0", "name": "A0" }],
                           "member": [{ "account": "m0", "name": "M0" }, { "account": "m1", "name": "M1" }],
                           "membercount": 4 }
            fixture.setReply(fixture.groupCommand, 0, JSON.stringify({ "code": 1, "result": result }))
            groupManager.getGroupInfo("g1@group")
            verify(fixture.settle())
        }

        function typeCode(dialog, code) {
            for (var i = 0; i < code.length; ++i) {
                var box = findChild(dialog.contentItem, "codeBox" + i)
                box.takeFocus(true)
                box.children[0].insert(0, code[i])
            }
        }

        // Makes the dialog of an action ready; returns how a person finishes it
        // and where the dialog shows a refusal.
        function prepare(action) {
            if (action === "create" || action === "adduser") {
                loadFriends()
                made = memberPicker.createObject(null)
                if (action === "create") {
                    made.createGroup("")
                    made.choose(contactsManager.getUserEntity("f2"))
                } else {
                    fixture.setReply(fixture.groupCommand, 0, '{"code":1,"result":{"user":[{"id":"f1"}]}}')
                    made.addMembers()
                    verify(fixture.settle())
                }
                made.choose(contactsManager.getUserEntity("f1"))
                return { go: made.finish, tip: findChild(made.contentItem, "warningTip") }
            }
            if (action === "managers") {
                loadGroup()
                made = managerPicker.createObject(null)
                made.addManagers(1)
                made.choose(groupMemberManager.get(0))
                return { go: made.finish, tip: findChild(made.contentItem, "warningTip") }
            }
            if (action === "transfer") {
                loadGroup()
                made = transferDialog.createObject(null)
                made.show()
                made.choose("m1")
                return { go: made.accept, tip: findChild(made.contentItem, "warningTip") }
            }
            made = codeDialog.createObject(null)
            made.show()
            tryVerify(function() { return made.contentItem.height > 0 })
            var dialog = made
            return { go: function() { typeCode(dialog, "1234") },
                     tip: findChild(made.contentItem, "codeErrorText") }
        }

        function test_actions_data() {
            var rows = []
            // The action and the command it sends.
            var actions = [["create", "create"], ["adduser", "adduser"], ["managers", "grantuser"],
                           ["transfer", "grantuser"], ["code", "getbycode"]]
            for (var i = 0; i < actions.length; ++i) {
                var action = actions[i][0], cmd = actions[i][1]
                rows.push({ tag: action + ", session up, probe failed", action: action, cmd: cmd,
                            login: 1, net: "disconnect", sent: true })
                rows.push({ tag: action + ", no session, probe failed", action: action, cmd: cmd,
                            login: 0, net: "disconnect", sent: false })
                rows.push({ tag: action + ", no session, probe through", action: action, cmd: cmd,
                            login: 0, net: "connect", sent: true })
            }
            return rows
        }

        function test_actions(data) {
            var action = prepare(data.action)
            fixture.clearCalls()
            fixture.setInt("LoginState", data.login)
            verify(fixture.setConnection(data.net))
            fixture.setReply(fixture.groupCommand, 5, "")
            action.go()
            compare(action.tip.text, data.sent ? "" : "Please check network connection")
            verify(fixture.settle())
            compare(fixture.groupCommands(data.cmd).length, data.sent ? 1 : 0)
        }
    }
}
