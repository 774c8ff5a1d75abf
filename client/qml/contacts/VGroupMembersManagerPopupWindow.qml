import QtQuick 2.12
import "../commons"
import "../translator"

// The member picker: people for a new group chat, people to add to the open
// group, or members to remove from it.
VDialog {
    id: picker

    // "create", "add" or "delete".
    property string mode: "create"
    property string singleToGroupAccount: ""
    property int currentPageIndex: 0
    readonly property int pageSize: 100
    property int fromid: 0
    property bool membersFinished: false
    property string clickedAccount: ""
    property bool loading: false
    readonly property string groupid: sessionManager.currentSessionId
    readonly property var source: mode === "delete" ? groupMemberManager : contactsManager
    readonly property alias chosen: chosenList
    readonly property alias search: memberSearch
    readonly property alias busy: chosenColumn.busy

    function createGroup(account) {
        singleToGroupAccount = account
        windowTitle = VTr.addGroupTip
        mode = "create"
        show()
    }

    function addMembers() {
        windowTitle = VTr.addMembers
        mode = "add"
        loading = true
        currentPageIndex = 0
        checkNextPage()
        show()
    }

    function deleteMembers() {
        windowTitle = VTr.delMembers
        mode = "delete"
        fromid = 0
        membersFinished = false
        groupManager.loadMoreMembers(groupid, 0)
        show()
    }

    // The next page of contacts is checked against the group; when every contact
    // was checked already nothing goes out and the cover goes at once.
    function checkNextPage() {
        if (currentPageIndex * pageSize >= contactsManager.itemCount) {
            coverTimer.restart()
            return
        }
        contactsManager.checkMoreMembers(groupid)
    }

    function defaultGroupName() {
        switch (vTranslator.language) {
        case 1: return "群聊"
        case 2: return "群組"
        case 3: return "그룹"
        }
        return "Group"
    }

    // Whom the user may remove: the owner removes managers and members, a manager
    // members only; nobody removes the owner or themselves.
    function mayRemove(account) {
        if (account === "" || account === vConfig.currentAccount || groupAdminManager.isOwner(account))
            return false
        return groupAdminManager.isOwner(vConfig.currentAccount) || !groupAdminManager.isAdmin(account)
    }

    function rowShown(account, index) {
        if (mode === "delete")
            return mayRemove(account)
        if (account === vConfig.currentAccount || account === singleToGroupAccount)
            return false
        return mode !== "add" || index < currentPageIndex * pageSize + 1
    }

    function choose(item) {
        if (!item || (mode === "add" && item.added) || (mode === "delete" && !mayRemove(item.account)))
            return
        clickedAccount = item.account
        var selected = !item.selected
        source.updateSelected(item.account, selected)
        if (selected)
            chosenList.push_back(item.account, item.name, item.logo, item.champflag)
        else
            chosenList.remove_item(item.account)
    }

    function chooseFound(item) {
        if (!item || (mode === "delete" && !mayRemove(item.account)))
            return
        groupMemberManager.updateSelected(item.account, true)
        chosenList.push_back(item.account, item.name, item.logo, item.champflag)
        searchBar.clear()
        searchBar.clearFocus()
        memberSearch.reset()
    }

    function finish() {
        if (chosenColumn.busy)
            return
        if (!vGlobal.serverReachable()) {
            tip.text = ""
            tip.text = VTr.checkNetworkConnection
            return
        }
        chosenColumn.busy = true
        var accounts = chosenList.accounts()
        if (mode === "add") {
            groupManager.addGroupMembers(groupid, accounts)
        } else if (mode === "delete") {
            groupManager.deleteGroupMember(groupid, accounts)
        } else {
            if (singleToGroupAccount !== "")
                accounts.unshift(singleToGroupAccount)
            groupManager.createGroup("", defaultGroupName(), "0", accounts)
        }
    }

    function succeeded() {
        contactsManager.resetAllAddState(true)
        chosenList.clearAll()
        close()
    }

    function warn(text) {
        tip.text = ""
        tip.text = text
    }

    width: 684
    height: 540

    onClosed: {
        memberSearch.reset()
        searchBar.clear()
        singleToGroupAccount = ""
        chosenList.clearAll()
        candidates.positionViewAtBeginning()
        contactsManager.resetAllAddState(true)
        chosenColumn.busy = false
        loading = false
    }

    VChosenList {
        id: chosenList

        source: picker.source
    }

    VMemberSearch {
        id: memberSearch

        groupid: picker.groupid
        text: picker.mode === "delete" ? searchBar.text : ""
    }

    Timer {
        id: coverTimer

        interval: 500
        onTriggered: picker.loading = false
    }

    Connections {
        target: contactsManager

        // Any answer takes the cover away; only a good one reveals the next page.
        function onCheckMoreMembersResult(result) {
            if (picker.mode !== "add")
                return
            if (result === 0)
                picker.currentPageIndex += 1
            coverTimer.restart()
        }
    }

    Connections {
        target: groupManager

        function onLoadMoreMembersResult(result, fromid) {
            if (picker.mode !== "delete" || !picker.visible || result !== 0)
                return
            picker.fromid = fromid
            picker.membersFinished = fromid === 0
            coverTimer.restart()
        }
        function onCreateGroupResult(result, groupid, groupname, parentid) {
            if (!chosenColumn.busy)
                return
            chosenColumn.busy = false
            if (picker.singleToGroupAccount !== "")
                contactsManager.resetAllAddState(true)
            if (result === 0) {
                picker.singleToGroupAccount = ""
                picker.succeeded()
                vGlobal.createGroupChatSuccessed(groupid, groupname, parentid)
            } else {
                // The peer of the chat stays in, so a retry makes the same group.
                picker.warn(VTr.createGroupFailed)
            }
        }
        function onAddGroupMemResult(result) {
            if (!chosenColumn.busy)
                return
            chosenColumn.busy = false
            if (result === 0) {
                picker.succeeded()
                vGlobal.addGroupMembersSuccessed()
            } else {
                picker.warn(VTr.addGroupMembersFailed)
            }
        }
        function onDelGroupMemResult(result) {
            if (!chosenColumn.busy)
                return
            chosenColumn.busy = false
            if (result === 0) {
                picker.succeeded()
                vGlobal.deleteGroupMembersSuccessed()
            } else {
                picker.warn(VTr.delGroupMembersFailed)
            }
        }
    }

    Item {
        parent: picker.contentArea
        anchors.fill: parent

        Item {
            id: leftSide

            width: parent.width - chosenColumn.width
            height: parent.height

            VSearchBar {
                id: searchBar

                objectName: "searchBar"
                x: 15
                y: 10
                width: parent.width - 30
                functionIsDeveloping: picker.mode !== "delete"
            }

            ListView {
                id: candidates

                objectName: "candidates"
                anchors.top: searchBar.bottom
                anchors.topMargin: 10
                anchors.bottom: parent.bottom
                width: parent.width
                clip: true
                visible: !memberSearch.showing
                model: picker.source
                onAtYEndChanged: {
                    if (!atYEnd || count === 0 || !picker.visible || picker.loading)
                        return
                    if (picker.mode === "add") {
                        picker.checkNextPage()
                    } else if (picker.mode === "delete" && !picker.membersFinished && picker.fromid > 0) {
                        groupManager.loadMoreMembers(picker.groupid, picker.fromid)
                    }
                }
                delegate: VPickerRow {
                    readonly property var person: model.modelData
                    readonly property bool shown: person !== null && picker.rowShown(person.account, index)

                    width: candidates.width
                    height: shown ? 55 : 0
                    visible: shown
                    account: person ? person.account : ""
                    name: person ? person.name : ""
                    logo: person ? person.logo : ""
                    champflag: person ? person.champflag : 0
                    checked: person ? person.selected : false
                    added: picker.mode === "add" && person !== null && person.added
                    highlighted: account !== "" && account === picker.clickedAccount
                    onClicked: picker.choose(person)
                }
            }

            ListView {
                id: found

                objectName: "searchResults"
                anchors.fill: candidates
                clip: true
                visible: memberSearch.showing
                model: groupManager.pickerSearchUserManager
                onAtYEndChanged: if (atYEnd && count > 0) memberSearch.loadMore()
                delegate: VPickerRow {
                    readonly property var person: model.modelData
                    readonly property bool shown: person !== null && picker.mayRemove(person.account)

                    width: found.width
                    height: shown ? 55 : 0
                    visible: shown
                    account: person ? person.account : ""
                    name: person ? person.name : ""
                    logo: person ? person.logo : ""
                    champflag: person ? person.champflag : 0
                    checked: chosenList.count >= 0 && chosenList.contains(account)
                    onClicked: picker.chooseFound(person)
                }
            }

            Rectangle {
                objectName: "loadingCover"
                anchors.fill: candidates
                visible: picker.loading
                color: "#B3FFFFFF"

                MouseArea {
                    anchors.fill: parent
                    hoverEnabled: true
                }

                VLoadingGif {
                    anchors.centerIn: parent
                    width: 50
                    height: 50
                }
            }
        }

        VChosenColumn {
            id: chosenColumn

            anchors.right: parent.right
            width: 264
            height: parent.height
            chosen: chosenList
            onFinished: picker.finish()
        }

        VWarningTip {
            id: tip

            objectName: "warningTip"
        }
    }
}
