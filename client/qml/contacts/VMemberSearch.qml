import QtQuick 2.12

// The member search of the pickers: each change of the text restarts a 500 ms
// timer, and the search goes out when it fires. A new text starts from the first
// page; the position of the last reply only pages the same text further. The
// results fill the pickers' own list (groupManager.pickerSearchUserManager).
Item {
    id: search

    property string groupid: ""
    property string text: ""
    property int fromid: 0
    // The results replace the candidate list while true.
    property bool showing: false

    function reset() {
        timer.stop()
        fromid = 0
        showing = false
    }

    // The next page of the same text, when the last reply named one.
    function loadMore() {
        if (showing && text !== "" && fromid > 0)
            groupManager.searchPickerMembers(groupid, text, fromid)
    }

    onTextChanged: {
        fromid = 0
        if (text === "") {
            timer.stop()
            showing = false
            return
        }
        timer.restart()
    }

    Timer {
        id: timer

        interval: 500
        onTriggered: {
            if (search.text === "")
                return
            groupManager.searchPickerMembers(search.groupid, search.text, search.fromid)
            search.showing = true
        }
    }

    Connections {
        target: groupManager

        // The picker whose results show takes the position of the next page.
        function onSearchPickerMembersResult(result, fromid) {
            if (search.showing && result === 0)
                search.fromid = fromid
        }
    }
}
