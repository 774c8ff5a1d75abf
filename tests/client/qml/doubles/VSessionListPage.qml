import QtQuick 2.12

// Stands in for the chats page: records the calls of the main window.
Item {
    property var calls: []

    function record(name, args) {
        calls = calls.concat([[name].concat(args)])
    }

    function openSession(account, isGroup) { record("openSession", [account, isGroup]) }
    function openSessionWithNameAndIcon(account, isGroup, name, icon) {
        record("openSessionWithNameAndIcon", [account, isGroup, name, icon])
    }
    function afterCreateGroupChatSuccessed(groupid, groupname, parentid) {
        record("afterCreateGroupChatSuccessed", [groupid, groupname, parentid])
    }
}
