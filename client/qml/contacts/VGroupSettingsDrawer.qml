import QtQuick 2.12
import QtQuick.Dialogs 1.3
import QtQuick.Window 2.12
import "../commons"
import "../commons/VFileChooser.js" as FileChooser
import "../translator"

// The settings of the open group chat, sliding in from the right edge of the chat
// area. One "getinfo" request per opening fills it; the own role decides which
// controls show.
FocusScope {
    id: drawer

    property bool isOwner: false
    property bool isManager: false
    property string groupid: ""
    property bool loading: false
    property bool failed: false
    property string shownInfo: ""
    property string shownNick: ""
    property real _shown: 0
    property bool _opening: false
    property bool _leaving: false
    // The changes sent and not yet answered, by dialog id: {kind, groupid, value,
    // toggle}. Several can be out at once; each answer goes to its own change.
    property var _sent: ({})

    readonly property int adminRows: groupAdminManager.itemCount
    readonly property int memberRows: groupMemberManager.itemCount
    // Rows of the member list that hold the owner or a manager: the member pages
    // list everyone, but those two have their own row of cells.
    property var headRows: []
    readonly property int plainRows: memberRows - headRows.length
    readonly property bool canEdit: isOwner || isManager
    readonly property bool canAddManagers: isOwner && adminRows < 5 && memberRows >= 1
    readonly property bool canRemoveManagers: isOwner && adminRows > 1
    readonly property bool canAddMembers: canEdit || !banJoinSwitch.checked
    readonly property bool canRemoveMembers: canEdit && memberRows > 0
    readonly property alias membersLink: membersLink
    readonly property alias childLink: childLink
    readonly property alias titleText: header.titleText
    readonly property alias codeText: header.codeText

    signal waring(string waringInfo)
    // After a mute answer, with the group whose switch was clicked.
    signal updateCurrentGroupMuteValue(string groupid)

    // The remaining time of a join code: seconds up to a minute, minutes and
    // seconds up to an hour, hours and minutes above.
    function countdownText(seconds) {
        function two(n) { return (n < 10 ? "0" : "") + n }
        if (!(seconds > 0))
            return ""
        if (seconds <= 60)
            return seconds + VTr.secondUnit
        if (seconds <= 3600)
            return two(Math.floor(seconds / 60)) + ":" + two(seconds % 60)
        return two(Math.floor(seconds / 3600)) + ":" + two(Math.floor(seconds % 3600 / 60))
    }

    function open(groupId) {
        flushSwitches()
        groupid = groupId
        loading = true
        groupManager.getGroupInfo(groupId)
        _opening = true
        _shown = 1
        takeFocus()
    }

    // The drawer itself takes the focus, which ends any open edit.
    function takeFocus() {
        focusSink.forceActiveFocus()
    }

    function close() {
        flushSwitches()
        _opening = false
        _shown = 0
        if (!resetTimer.running)
            resetTimer.start()
    }

    function isShowing() {
        return _shown === 1
    }

    function reset() {
        isOwner = false
        isManager = false
        for (var i = 0; i < 2; ++i) {
            var link = i === 0 ? membersLink : childLink
            link.currentMaxShowCount = link.normalShowCount
            link.loadFinished = false
            link.fromid = "0"
        }
        failed = false
        loading = false
        coverTimer.stop()
        groupAdminManager.wipeData()
        groupMemberManager.wipeData()
        groupChildManager.wipeData()
    }

    function updateGroupInfo() {
        flushSwitches()
        failed = false
        reset()
        groupid = sessionManager.currentSessionId
        loading = true
        groupManager.getGroupInfo(groupid)
    }

    // A switch flipped less than a second ago sends its change now, for the group it
    // was flipped for, before the drawer shows another group or goes.
    function flushSwitches() {
        muteSwitch.flush()
        banChatSwitch.flush()
        banJoinSwitch.flush()
        screenshotSwitch.flush()
    }

    // A change the server refused: the switch shows the old state again, when it
    // still shows that group and nobody flipped it since, and the user is told.
    function refused(toggle, sent) {
        if (sent.groupid === groupid && !toggle.pending)
            toggle.checked = !sent.value
        waring(VTr.settingFailed)
    }

    // Good news shows in the drawer, clear of the titles, with its own mark.
    function notify(text) {
        successTip.text = ""
        successTip.text = text
    }

    function findHeadRows() {
        var rows = []
        for (var i = 0; i < groupMemberManager.itemCount; ++i) {
            var person = groupMemberManager.get(i)
            if (person && groupAdminManager.isAdmin(person.account))
                rows.push(i)
        }
        headRows = rows
    }

    // The place of a member list row among the plain members.
    function plainIndex(row) {
        var before = 0
        while (before < headRows.length && headRows[before] < row)
            ++before
        return row - before
    }

    function track(did, change) {
        if (did > 0)
            _sent[did] = change
    }

    function sendSet(kind, value, name, logo, info, type) {
        track(groupManager.setGroupInfo(groupid, name, logo, info, type),
              { "kind": kind, "groupid": groupid, "value": value })
    }

    // Roles changed in the shown group: the own role, the lists and the controls
    // are asked for again.
    function reloadRoles(changedGroupid) {
        if (_opening && changedGroupid === groupid)
            updateGroupInfo()
    }

    function clickPerson(account, name, logo) {
        if (isManager || !banChatSwitch.checked)
            vGlobal.openChatWithNameAndIcon(account, false, name, logo)
        else
            vGlobal.banSingleChat()
    }

    function endRename() {
        if (!header.editing)
            return
        var name = header.inputText.trim()
        header.editing = false
        if (name === "" || name === groupManager.groupname)
            return
        // The title and the conversation follow once the server accepts the name.
        sendSet("name", name, name, "", "", -1)
    }

    function endIntroEdit() {
        if (!intro.editing)
            return
        var text = intro.inputText.trim().substring(0, 60)
        intro.editing = false
        if (text === groupManager.info)
            return
        sendSet("info", text, "", "", text, -1)
        shownInfo = text
    }

    function endNickEdit() {
        if (!nickRow.editing)
            return
        var nick = nickRow.inputText.trim()
        nickRow.editing = false
        if (nick === "") {
            shownNick = vConfig.currentUserName
            return
        }
        if (nick === shownNick)
            return
        groupManager.joinGroup(groupid, nick)
        shownNick = nick
    }

    function leave() {
        // The sync mark goes first, whatever the server answers.
        groupManager.updateIsSync(groupid, false)
        groupManager.saveIsSyncAccounts()
        _leaving = true
        groupManager.leaveGroup(groupid)
    }

    width: 360
    height: parent ? parent.height : 0
    x: parent ? parent.width - width * _shown : 0
    visible: _shown > 0

    Behavior on _shown {
        NumberAnimation { duration: 500; easing.type: Easing.OutCubic }
    }

    // A click elsewhere in the chat area takes the focus and closes the drawer. A
    // window the drawer opened (a picker, a file dialog) takes the window's focus
    // instead, which leaves the window without a focused item: the drawer stays
    // with its lists.
    onActiveFocusChanged: {
        if (activeFocus)
            return
        endRename()
        endIntroEdit()
        endNickEdit()
        if (_opening)
            Qt.callLater(_focusMoved)
    }

    function _focusMoved() {
        if (!activeFocus && _opening && Window.activeFocusItem !== null)
            close()
    }

    Timer {
        id: resetTimer

        interval: 500
        onTriggered: if (!drawer._opening) drawer.reset()
    }

    Timer {
        id: coverTimer

        interval: 500
        onTriggered: {
            drawer.loading = false
            drawer.failed = false
        }
    }

    Connections {
        target: groupManager

        function onGetGroupInfoResult(result) {
            if (!drawer._opening)
                return
            if (result !== 0) {
                drawer.loading = false
                drawer.failed = true
                drawer.isOwner = false
                drawer.isManager = false
                vGlobal.openGroupSettingsDrawerFaild()
                return
            }
            coverTimer.restart()
            var me = vConfig.currentAccount
            drawer.isManager = groupAdminManager.isAdmin(me)
            drawer.isOwner = groupAdminManager.isOwner(me)
            drawer.shownInfo = groupManager.info
            drawer.shownNick = groupManager.nick !== "" ? groupManager.nick : vConfig.currentUserName
            membersLink.reset()
            childLink.reset()
            muteSwitch.checked = groupManager.checkMute(drawer.groupid)
            banChatSwitch.checked = groupManager.isBanChat(drawer.groupid)
            banJoinSwitch.checked = groupManager.joinGroupType(drawer.groupid) > 0
            screenshotSwitch.checked = groupManager.isBanscreenshot(drawer.groupid)
        }
        function onLoadMoreMembersResult(result, fromid) {
            if (!drawer._opening || result !== 0)
                return
            membersLink.fromid = String(fromid)
            if (fromid === 0)
                membersLink.loadFinished = true
            membersLink.pageArrived()
        }
        function onGetChildGroupsResult(result, fromid) {
            if (!drawer._opening || result !== 0)
                return
            childLink.fromid = String(fromid)
            if (fromid === 0)
                childLink.loadFinished = true
            if (childLink.hasInit)
                childLink.pageArrived()
            else
                childLink.hasInit = true
        }
        // The title and the conversation row follow an accepted name in the group
        // list itself; a refused switch goes back here.
        function onChangeAnswered(did, result) {
            var sent = drawer._sent[did]
            if (sent === undefined)
                return
            delete drawer._sent[did]
            var accepted = sent.kind === "mute" ? result === 1 : result === 0
            if (!accepted && sent.toggle)
                drawer.refused(sent.toggle, sent)
            if (sent.kind === "mute")
                drawer.updateCurrentGroupMuteValue(sent.groupid)
        }
        function onRolesChanged(changedGroupid) {
            drawer.reloadRoles(changedGroupid)
        }
        function onLeaveGroupResult(result) {
            if (!drawer._leaving)
                return
            drawer._leaving = false
            if (result === 0) {
                vGlobal.leaveGroupSuccessed()
                drawer.close()
            } else {
                vGlobal.leaveGroupFaild()
            }
        }
    }

    // Both lists change a row at a time: the heads are found once they settle.
    Connections {
        target: groupMemberManager
        function onItemCountChanged() { Qt.callLater(drawer.findHeadRows) }
    }

    Connections {
        target: groupAdminManager
        function onItemCountChanged() { Qt.callLater(drawer.findHeadRows) }
    }

    Connections {
        target: vGlobal

        function onAgreedToLeaveGroup() {
            if (drawer._opening)
                drawer.leave()
        }
        function onAddGroupManagersSuccessed() {
            if (!drawer._opening)
                return
            drawer.updateGroupInfo()
            drawer.notify(VTr.addAdminSuccessed)
        }
        function onDeleteGroupManagersSuccessed() {
            if (!drawer._opening)
                return
            drawer.updateGroupInfo()
            drawer.notify(VTr.removeAdminSuccessed)
        }
        function onTransferGroupSuccessed() {
            if (!drawer._opening)
                return
            drawer.updateGroupInfo()
            drawer.notify(VTr.transferGroupSuccessedTip)
        }
        function onReleaseChildGroupSuccessed() {
            if (!drawer._opening)
                return
            vGlobal.alertWaitingClose()
            drawer.updateGroupInfo()
            drawer.notify(VTr.releaseChildGroupSuccessedTip)
        }
        // The member grid follows who was added or removed.
        function onAddGroupMembersSuccessed() {
            if (drawer._opening)
                drawer.updateGroupInfo()
        }
        function onDeleteGroupMembersSuccessed() {
            if (drawer._opening)
                drawer.updateGroupInfo()
        }
    }

    Loader {
        id: logoDialog

        active: false
        sourceComponent: FileDialog {
            title: VTr.chooseAImage
            folder: shortcuts.pictures
            nameFilters: [vGlobal.supportImageFormat]
            onAccepted: drawer.sendSet("logo", String(fileUrl), "", String(fileUrl), "", -1)
        }
        onLoaded: FileChooser.openIn(item, vGlobal.picturesFolder())
    }

    Loader {
        id: releaseDialog

        active: false
        source: "VGroupRemoveChildPopupWindow.qml"
        onLoaded: item.show()
    }

    Item {
        id: focusSink

        focus: true
    }

    Rectangle {
        anchors.fill: parent
        color: "#FFFFFF"
        border.color: "#EEEEEE"

        MouseArea {
            anchors.fill: parent
            onClicked: drawer.takeFocus()
        }

        Flickable {
            id: flick

            objectName: "settingsFlick"
            anchors.fill: parent
            contentHeight: content.height + 40
            clip: true
            visible: !drawer.loading && !drawer.failed

            // A click on a blank part.
            MouseArea {
                width: flick.width
                height: flick.contentHeight
                onClicked: drawer.takeFocus()
            }

            Column {
                id: content

                x: 20
                y: 20
                width: flick.width - 40
                spacing: 14

                // Header: avatar, name with the count, main group, join code.
                VGroupSettingsHeader {
                    id: header

                    width: parent.width
                    canEdit: drawer.canEdit
                    groupid: drawer.groupid
                    countdown: drawer.countdownText(groupManager.countdown)
                    onLogoClicked: {
                        if (logoDialog.active)
                            FileChooser.openIn(logoDialog.item, vGlobal.picturesFolder())
                        else
                            logoDialog.active = true
                    }
                    onEditEnded: drawer.endRename()
                    onEditReturned: drawer.takeFocus()
                    onWaring: drawer.waring(waringInfo)
                }

                // Introduction.
                VGroupIntroLine {
                    id: intro

                    width: parent.width
                    canEdit: drawer.canEdit
                    shownInfo: drawer.shownInfo
                    onEditEnded: drawer.endIntroEdit()
                    onEditReturned: drawer.takeFocus()
                    onWaring: drawer.waring(waringInfo)
                }

                // Managers.
                VGroupSectionHeading {
                    text: VTr.managers
                    addVisible: drawer.canAddManagers
                    removeVisible: drawer.canRemoveManagers
                    addName: "addManagers"
                    removeName: "removeManagers"
                    onAddClicked: vGlobal.addGroupManagers(drawer.adminRows)
                    onRemoveClicked: vGlobal.deleteGroupManagers()
                }

                Flow {
                    width: parent.width

                    Repeater {
                        objectName: "managerCells"
                        model: groupAdminManager

                        VGroupMemberItemDelegate {
                            onClicked: drawer.clickPerson(item.account, item.name, item.logo)

                            Image {
                                anchors.left: parent.left
                                anchors.bottom: parent.bottom
                                width: 14
                                height: 14
                                source: index === 0 ? "qrc:/images/session_page/group_owner.png"
                                                    : "qrc:/images/session_page/group_manager.png"
                            }
                        }
                    }
                }

                // Members.
                VGroupSectionHeading {
                    text: VTr.members
                    addVisible: drawer.canAddMembers
                    removeVisible: drawer.canRemoveMembers
                    addName: "addMembers"
                    removeName: "removeMembers"
                    onAddClicked: vGlobal.addGroupMembers()
                    onRemoveClicked: vGlobal.deleteGroupMembers()
                }

                Grid {
                    objectName: "memberGrid"
                    width: parent.width
                    columns: 5
                    rowSpacing: 12

                    Repeater {
                        objectName: "memberCells"
                        model: groupMemberManager

                        VGroupMemberItemDelegate {
                            visible: drawer.headRows.indexOf(index) < 0
                                     && drawer.plainIndex(index) < membersLink.currentMaxShowCount
                            onClicked: drawer.clickPerson(item.account, item.name, item.logo)
                        }
                    }
                }

                VLoadingMoreButton {
                    id: membersLink

                    objectName: "membersLink"
                    width: parent.width
                    height: visible ? 30 : 0
                    normalShowCount: 10
                    allMemberCount: groupManager.memberCount - drawer.adminRows
                    loadedCount: drawer.plainRows
                    visible: allMemberCount > normalShowCount
                    onLoadMoreMembers: groupManager.loadMoreMembers(drawer.groupid, Number(fromid) || 0)
                }

                // Child groups.
                Item {
                    width: parent.width
                    height: 24
                    visible: childLink.allMemberCount !== 0

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: VTr.childGroup
                        textFormat: Text.PlainText
                        font.pixelSize: 14
                        color: "#333333"
                    }

                    Image {
                        objectName: "releaseArrow"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        visible: drawer.isOwner
                        source: "qrc:/images/session_page/more_members.png"

                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            onClicked: {
                                if (releaseDialog.active)
                                    releaseDialog.item.show()
                                else
                                    releaseDialog.active = true
                            }
                        }
                    }
                }

                Grid {
                    width: parent.width
                    columns: 5
                    rowSpacing: 12
                    visible: childLink.allMemberCount !== 0

                    Repeater {
                        model: groupChildManager

                        VGroupMemberItemDelegate {
                            visible: index < childLink.currentMaxShowCount
                            source: (item && item.grouplogo) || ""
                            name: (item && item.groupname) || ""
                            champflag: 0
                            onClicked: drawer.takeFocus()

                            VOfficialIndicatorTesmo {
                                anchors.right: parent.right
                                anchors.bottom: parent.bottom
                                visible: item !== null && item.title === 1
                            }
                        }
                    }
                }

                VLoadingMoreButton {
                    id: childLink

                    objectName: "childLink"
                    width: parent.width
                    height: visible ? 30 : 0
                    normalShowCount: 5
                    allMemberCount: groupChildManager.itemCount + (Number(fromid) || 0)
                    loadedCount: groupChildManager.itemCount
                    visible: allMemberCount > normalShowCount
                    onLoadMoreMembers: groupManager.getChildGroups(drawer.groupid, Number(fromid) || 0)
                }

                // Switches.
                VDelayTriggeredSwitch {
                    id: muteSwitch

                    objectName: "muteSwitch"
                    width: parent.width
                    text: VTr.donotDisturb
                    subject: drawer.groupid
                    onDelayTriggered: drawer.track(groupManager.muteNotifications(triggeredFor, checked),
                                                   { "kind": "mute", "toggle": muteSwitch,
                                                     "groupid": triggeredFor, "value": checked })
                }

                VDelayTriggeredSwitch {
                    id: banChatSwitch

                    objectName: "banChatSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.bannedSingleChat
                    subject: drawer.groupid
                    onDelayTriggered: drawer.track(groupManager.banChat(triggeredFor, checked ? "1" : "0"),
                                                   { "kind": "ban", "toggle": banChatSwitch,
                                                     "groupid": triggeredFor, "value": checked })
                }

                VDelayTriggeredSwitch {
                    id: banJoinSwitch

                    objectName: "banJoinSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.bannedJoin
                    subject: drawer.groupid
                    onDelayTriggered: drawer.track(groupManager.setGroupInfo(triggeredFor, "", "", "", checked ? 1 : 0),
                                                   { "kind": "type", "toggle": banJoinSwitch,
                                                     "groupid": triggeredFor, "value": checked })
                }

                VDelayTriggeredSwitch {
                    id: screenshotSwitch

                    objectName: "screenshotSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.phoneScreenShotTip
                    subject: drawer.groupid
                    onDelayTriggered: drawer.track(groupManager.banScreenshot(triggeredFor, checked ? "1" : "0"),
                                                   { "kind": "ban", "toggle": screenshotSwitch,
                                                     "groupid": triggeredFor, "value": checked })
                }

                // Own nickname in the group.
                VGroupNickLine {
                    id: nickRow

                    width: parent.width
                    shownNick: drawer.shownNick
                    onEditEnded: drawer.endNickEdit()
                    onEditReturned: drawer.takeFocus()
                    onWaring: drawer.waring(waringInfo)
                }

                VGroupActionLine {
                    objectName: "transferLine"
                    visible: drawer.isOwner
                    text: VTr.transferGroup
                    onClicked: {
                        if (groupManager.memberCount > 1)
                            vGlobal.transferGroup()
                        else
                            vGlobal.noMemberForTransferGroup()
                    }
                }

                VGroupActionLine {
                    objectName: "leaveLine"
                    text: VTr.delAndExit
                    color: "#F7334B"
                    onClicked: vGlobal.requestLeaveGroup()
                }
            }
        }

        VLoadingGif {
            objectName: "loadingCover"
            anchors.centerIn: parent
            visible: drawer.loading
        }

        Column {
            objectName: "retrySign"
            anchors.centerIn: parent
            spacing: 10
            visible: drawer.failed

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 40
                height: 40
                source: "qrc:/images/session_page/group_info_refresh.png"
            }

            Text {
                text: VTr.refreshRetry
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#03C087"
            }

            MouseArea {
                width: 120
                height: 30
                onClicked: drawer.updateGroupInfo()
            }
        }

        VGroupSuccessTip {
            id: successTip

            objectName: "successTip"
        }
    }
}
