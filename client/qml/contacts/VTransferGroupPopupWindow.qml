import QtQuick 2.12
import "../commons"
import "../translator"

// Hands the open group over to one manager or member. "OK" waits for a choice.
VDialog {
    id: dialog

    property string clickedAccount: ""
    property int fromid: 0
    readonly property string groupid: sessionManager.currentSessionId
    readonly property alias search: memberSearch
    readonly property alias busy: okButton.busy

    function choose(account) {
        clickedAccount = account
    }

    function chooseFound(item) {
        if (item)
            clickedAccount = item.account
        searchBar.clear()
        searchBar.clearFocus()
        memberSearch.reset()
    }

    function accept() {
        if (okButton.busy || clickedAccount === "")
            return
        if (!vGlobal.serverReachable()) {
            tip.text = ""
            tip.text = VTr.checkNetworkConnection
            return
        }
        okButton.busy = true
        groupManager.setGrantInfo(groupid, [clickedAccount])
    }

    width: 330
    height: 550
    windowTitle: VTr.transferGroup

    onClosed: {
        clickedAccount = ""
        fromid = 0
        memberSearch.reset()
        searchBar.clear()
        okButton.busy = false
    }

    VMemberSearch {
        id: memberSearch

        groupid: dialog.groupid
        text: searchBar.text
    }

    Connections {
        target: groupManager

        function onLoadMoreMembersResult(result, fromid) {
            if (dialog.visible && result === 0)
                dialog.fromid = fromid
        }
        function onSetGrantInfoResult(result) {
            if (!dialog.visible || !okButton.busy)
                return
            okButton.busy = false
            if (result === 0) {
                dialog.close()
                vGlobal.transferGroupSuccessed()
            } else {
                tip.text = ""
                tip.text = VTr.transferGroupFailed
            }
        }
    }

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        VSearchBar {
            id: searchBar

            objectName: "searchBar"
            x: 15
            y: 10
            width: parent.width - 30
            functionIsDeveloping: false
        }

        Flickable {
            id: candidates

            objectName: "candidates"
            anchors.top: searchBar.bottom
            anchors.topMargin: 10
            anchors.bottom: okButton.top
            anchors.bottomMargin: 10
            width: parent.width
            clip: true
            visible: !memberSearch.showing
            contentHeight: rows.height
            onAtYEndChanged: {
                if (atYEnd && contentHeight > height && dialog.visible && dialog.fromid > 0)
                    groupManager.loadMoreMembers(dialog.groupid, dialog.fromid)
            }

            Column {
                id: rows

                width: candidates.width

                Repeater {
                    model: groupAdminManager

                    TransferRow {
                        shown: person !== null && !groupAdminManager.isOwner(person.account)
                    }
                }

                Repeater {
                    model: groupMemberManager

                    TransferRow {}
                }
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
                checked: account !== "" && account === dialog.clickedAccount
                onClicked: dialog.chooseFound(person)
            }
        }

        VBusyButton {
            id: okButton

            objectName: "okButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            normalWidth: 90
            text: VTr.ok
            enabled: dialog.clickedAccount !== ""
            onClicked: dialog.accept()
        }

        VWarningTip {
            id: tip

            objectName: "warningTip"
        }
    }

    component TransferRow: VPickerRow {
        readonly property var person: model.modelData
        property bool shown: person !== null

        width: rows.width
        height: shown ? 55 : 0
        visible: shown
        account: person ? person.account : ""
        name: person ? person.name : ""
        logo: person ? person.logo : ""
        champflag: person ? person.champflag : 0
        checked: account !== "" && account === dialog.clickedAccount
        checkVisible: checked
        highlighted: checked
        onClicked: dialog.choose(account)
    }
}
