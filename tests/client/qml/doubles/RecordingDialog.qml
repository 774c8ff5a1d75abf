import QtQuick 2.12
import QtQuick.Window 2.12

// Stands in for a dialog of the main window's table: records each call it gets,
// and each time it is shown.
Window {
    property var calls: []
    // Set by the main window for the quote window.
    property url webViewUrl
    property int containerWidth: 400
    property int containerHeight: 650

    function record(name, args) {
        calls = calls.concat([[name].concat(args)])
    }

    function createGroup(account) { record("createGroup", [account]) }
    function addMembers() { record("addMembers", []) }
    function deleteMembers() { record("deleteMembers", []) }
    function addManagers(count) { record("addManagers", [count]) }
    function deleteManagers() { record("deleteManagers", []) }
    function open(id, message, msgtype) { record("open", [id, message, msgtype]) }

    width: 400
    height: 300
    visible: false
    onVisibleChanged: if (visible) record("show", [])
}
