import QtQuick 2.12
import "../commons"
import "../translator"

// The manager picker: make members managers (at most five with the owner), or
// take the role away from managers. The owner is never offered.
VDialog {
    id: picker

    // "add" or "delete".
    property string mode: "add"
    readonly property int maxManagersCount: 5
    property int currentManagersCount: 0
    property int needManagersCount: 0
    property int fromid: 0
    property string clickedAccount: ""
    property bool _hiddenForLimit: false
    readonly property string groupid: sessionManager.currentSessionId
    readonly property var source: mode === "add" ? groupMemberManager : groupAdminManager
    readonly property alias chosen: chosenList
    readonly property alias search: memberSearch
    readonly property alias busy: chosenColumn.busy

    function addManagers(managersCount) {
        windowTitle = VTr.addGroupManagers
        mode = "add"
        currentManagersCount = managersCount
        needManagersCount = maxManagersCount - managersCount
        show()
    }

    function deleteManagers() {
        windowTitle = VTr.delGroupManagers
        mode = "delete"
        currentManagersCount = 0
        show()
    }

    // False when the choice would pass the limit: the alert says so instead.
    function roomFor(account) {
        if (mode !== "add" || chosenList.contains(account) || currentManagersCount < maxManagersCount)
            return true
        vGlobal.selectUpToMaxManagersCount(needManagersCount)
        return false
    }

    function choose(item) {
        if (!item || !roomFor(item.account))
            return
        clickedAccount = item.account
        var selected = !item.selected
        source.updateSelected(item.account, selected)
        if (selected) {
            chosenList.push_back(item.account, item.name, item.logo, item.champflag)
        } else {
            chosenList.remove_item(item.account)
        }
    }

    function chooseFound(item) {
        if (!item)
            return
        if (!chosenList.contains(item.account) && roomFor(item.account)) {
            groupMemberManager.updateSelected(item.account, true)
            chosenList.push_back(item.account, item.name, item.logo, item.champflag)
        }
        searchBar.clear()
        searchBar.clearFocus()
        memberSearch.reset()
    }

    function finish() {
        if (chosenColumn.busy || chosenList.count === 0)
            return
        if (!vGlobal.serverReachable()) {
            tip.text = ""
            tip.text = VTr.checkNetworkConnection
            return
        }
        chosenColumn.busy = true
        // Empty lists, not lists of an empty account: nobody is handed the group.
        if (mode === "add")
            groupManager.setGrantInfo(groupid, [], chosenList.accounts())
        else
            groupManager.setGrantInfo(groupid, [], [], chosenList.accounts())
    }

    width: 684
    height: 540

    onClosed: {
        if (_hiddenForLimit)
            return
        memberSearch.reset()
        searchBar.clear()
        chosenList.clearAll()
        chosenColumn.busy = false
    }

    VChosenList {
        id: chosenList

        source: picker.source
    }

    VMemberSearch {
        id: memberSearch

        groupid: picker.groupid
        text: picker.mode === "add" ? searchBar.text : ""
    }

    // Each person chosen or removed (also from the right-hand side) counts.
    Connections {
        target: chosenList.model

        function onCountChanged() {
            if (picker.mode === "add")
                picker.currentManagersCount = picker.maxManagersCount - picker.needManagersCount + chosenList.count
        }
    }

    Connections {
        target: vGlobal

        function onSelectUpToMaxManagersCount(selectableCount) {
            if (!picker.visible)
                return
            picker._hiddenForLimit = true
            picker.hide()
        }
        function onReshowAddGroupManagerSelectPopupWindow() {
            if (!picker._hiddenForLimit)
                return
            picker.show()
            picker._hiddenForLimit = false
        }
    }

    Connections {
        target: groupManager

        function onLoadMoreMembersResult(result, fromid) {
            if (picker.visible && picker.mode === "add" && result === 0)
                picker.fromid = fromid
        }
        function onSetGrantInfoResult(result) {
            if (!picker.visible || !chosenColumn.busy)
                return
            chosenColumn.busy = false
            if (result === 0) {
                var adding = picker.mode === "add"
                chosenList.clearAll()
                picker.close()
                groupManager.getGroupInfo(picker.groupid)
                if (adding)
                    vGlobal.addGroupManagersSuccessed()
                else
                    vGlobal.deleteGroupManagersSuccessed()
            } else {
                tip.text = ""
                tip.text = picker.mode === "add" ? VTr.addGroupManagersFailed : VTr.delGroupManagersFailed
            }
        }
    }

    Item {
        parent: picker.contentArea
        anchors.fill: parent

        Item {
            width: parent.width - chosenColumn.width
            height: parent.height

            VSearchBar {
                id: searchBar

                objectName: "searchBar"
                x: 15
                y: 10
                width: parent.width - 30
                height: visible ? 33 : 0
                visible: picker.mode === "add"
                functionIsDeveloping: picker.mode !== "add"
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
                    if (atYEnd && count > 0 && picker.visible && picker.mode === "add" && picker.fromid > 0)
                        groupManager.loadMoreMembers(picker.groupid, picker.fromid)
                }
                delegate: VPickerRow {
                    readonly property var person: model.modelData
                    readonly property bool shown: person !== null
                                                  && !(picker.mode === "delete" && groupAdminManager.isOwner(person.account))

                    width: candidates.width
                    height: shown ? 55 : 0
                    visible: shown
                    account: person ? person.account : ""
                    name: person ? person.name : ""
                    logo: person ? person.logo : ""
                    champflag: person ? person.champflag : 0
                    checked: person ? person.selected : false
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

                    width: found.width
                    account: person ? person.account : ""
                    name: person ? person.name : ""
                    logo: person ? person.logo : ""
                    champflag: person ? person.champflag : 0
                    checked: chosenList.count >= 0 && chosenList.contains(account)
                    onClicked: picker.chooseFound(person)
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
