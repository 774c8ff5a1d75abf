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
    // The outstanding "set" ({kind, groupid, value}: a new name, introduction, avatar
    // or join type), the outstanding ban switch and the outstanding mute, each null
    // when none: their answers are matched to the group they were sent for.
    property var _sentSet: null
    property var _sentBan: null
    property var _sentMute: null

    readonly property int adminRows: groupAdminManager.itemCount
    readonly property int memberRows: groupMemberManager.itemCount
    readonly property bool canEdit: isOwner || isManager
    readonly property bool canAddManagers: isOwner && adminRows < 5 && memberRows >= 1
    readonly property bool canRemoveManagers: isOwner && adminRows > 1
    readonly property bool canAddMembers: canEdit || !banJoinSwitch.checked
    readonly property bool canRemoveMembers: canEdit && memberRows > 0
    readonly property alias membersLink: membersLink
    readonly property alias childLink: childLink
    readonly property alias titleText: titleText.text
    readonly property alias codeText: codeLine.text

    signal waring(string waringInfo)
    signal updateCurrentGroupMuteValue()

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

    function sendSet(kind, value, name, logo, info, type) {
        _sentSet = { "kind": kind, "groupid": groupid, "value": value }
        groupManager.setGroupInfo(groupid, name, logo, info, type)
    }

    function clickPerson(account, name, logo) {
        if (isManager || !banChatSwitch.checked)
            vGlobal.openChatWithNameAndIcon(account, false, name, logo)
        else
            vGlobal.banSingleChat()
    }

    function endRename() {
        if (!titleEdit.visible)
            return
        var name = titleInput.text.trim()
        titleEdit.visible = false
        if (name === "" || name === groupManager.groupname)
            return
        // The title and the conversation follow once the server accepts the name.
        sendSet("name", name, name, "", "", -1)
    }

    function endIntroEdit() {
        if (!introEdit.visible)
            return
        var text = introInput.text.trim().substring(0, 60)
        introEdit.visible = false
        if (text === groupManager.info)
            return
        sendSet("info", text, "", "", text, -1)
        shownInfo = text
    }

    function endNickEdit() {
        if (!nickEdit.visible)
            return
        var nick = nickInput.text.trim()
        nickEdit.visible = false
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
            membersLink.seeMoreOrLess()
        }
        function onGetChildGroupsResult(result, fromid) {
            if (!drawer._opening || result !== 0)
                return
            childLink.fromid = String(fromid)
            if (fromid === 0)
                childLink.loadFinished = true
            if (childLink.hasInit)
                childLink.seeMoreOrLess()
            else
                childLink.hasInit = true
        }
        function onSetGroupInfoResult(result) {
            var sent = drawer._sentSet
            drawer._sentSet = null
            if (sent === null)
                return
            if (sent.kind === "name" && result === 0)
                sessionListManager.setSessionName(sent.groupid, sent.value)
            else if (sent.kind === "type" && result !== 0)
                drawer.refused(banJoinSwitch, sent)
        }
        function onBanuserResult(result) {
            var sent = drawer._sentBan
            drawer._sentBan = null
            if (sent !== null && result !== 0)
                drawer.refused(sent.toggle, sent)
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
        function onMuteResult(result) {
            var sent = drawer._sentMute
            drawer._sentMute = null
            if (sent !== null && result !== 1)
                drawer.refused(muteSwitch, sent)
            drawer.updateCurrentGroupMuteValue()
        }
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
                Row {
                    width: parent.width
                    spacing: 15

                    Column {
                        spacing: 4

                        VRoundImage {
                            width: 60
                            height: 60
                            source: groupManager.groupIcon

                            VOfficialIndicatorTesmo {
                                anchors.right: parent.right
                                anchors.bottom: parent.bottom
                                visible: {
                                    var group = drawer.groupid !== "" ? groupManager.getGroupEntity(drawer.groupid) : null
                                    return group !== null && group.title === 1
                                }
                            }

                            MouseArea {
                                anchors.fill: parent
                                enabled: drawer.canEdit
                                cursorShape: Qt.PointingHandCursor
                                onClicked: {
                                    if (logoDialog.active)
                                        FileChooser.openIn(logoDialog.item, vGlobal.picturesFolder())
                                    else
                                        logoDialog.active = true
                                }
                            }
                        }

                        Text {
                            objectName: "localUpload"
                            width: 60
                            visible: drawer.canEdit
                            horizontalAlignment: Text.AlignHCenter
                            text: VTr.localUpload
                            textFormat: Text.PlainText
                            font.pixelSize: 11
                            color: "#03C087"
                        }
                    }

                    Column {
                        width: parent.width - 75
                        spacing: 6

                        Item {
                            width: parent.width
                            height: 28

                            Text {
                                id: titleText

                                objectName: "groupTitle"
                                width: parent.width - 25
                                anchors.verticalCenter: parent.verticalCenter
                                visible: !titleEdit.visible
                                text: groupManager.groupname + "(" + groupManager.memberCount + ")"
                                textFormat: Text.PlainText
                                elide: Text.ElideRight
                                font.pixelSize: 16
                                color: "#333333"
                            }

                            Image {
                                objectName: "renamePencil"
                                anchors.right: parent.right
                                anchors.verticalCenter: parent.verticalCenter
                                width: 16
                                height: 16
                                visible: drawer.canEdit && !titleEdit.visible
                                source: "qrc:/images/session_page/group_info_edit.png"

                                MouseArea {
                                    anchors.fill: parent
                                    anchors.margins: -4
                                    onClicked: {
                                        titleInput.text = groupManager.groupname
                                        titleEdit.visible = true
                                        titleInput.forceActiveFocus()
                                        titleInput.selectAll()
                                    }
                                }
                            }

                            Rectangle {
                                id: titleEdit

                                anchors.fill: parent
                                visible: false
                                radius: 3
                                color: "#F5F6F7"

                                VTextInput {
                                    id: titleInput

                                    objectName: "titleInput"
                                    anchors.fill: parent
                                    anchors.leftMargin: 6
                                    anchors.rightMargin: 45
                                    font.pixelSize: 14
                                    maximumLength: 30
                                    onEnteredTooLong: drawer.waring(isTooLong ? VTr.enteredTooLong : "")
                                    onActiveFocusChanged: if (!activeFocus) drawer.endRename()
                                    Keys.onReturnPressed: {
                                        if (event.modifiers & Qt.ControlModifier)
                                            return
                                        drawer.endRename()
                                        drawer.takeFocus()
                                    }
                                }

                                Text {
                                    anchors.right: parent.right
                                    anchors.rightMargin: 6
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: titleInput.length + "/30"
                                    font.pixelSize: 11
                                    color: titleInput.length >= 30 ? "#F7334B" : "#999999"
                                }
                            }
                        }

                        Text {
                            width: parent.width
                            visible: groupManager.parentName !== ""
                            text: VTr.mainGroup + ": " + groupManager.parentName
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            font.pixelSize: 12
                            color: "#999999"
                        }

                        Text {
                            id: codeLine

                            objectName: "codeLine"
                            width: parent.width
                            visible: groupManager.code !== "" && groupManager.countdown > 0
                            text: visible ? VTr.groupCode + ": " + groupManager.code + "（" + VTr.timeLeft + " "
                                            + drawer.countdownText(groupManager.countdown) + "）" : ""
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            font.pixelSize: 12
                            color: "#999999"
                        }
                    }
                }

                // Introduction.
                Item {
                    width: parent.width
                    height: introEdit.visible ? introEdit.height : introLine.height

                    Text {
                        id: introLine

                        objectName: "introLine"
                        width: parent.width - 25
                        visible: !introEdit.visible
                        text: VTr.introduction + ": " + (drawer.shownInfo !== "" ? drawer.shownInfo : VTr.lazyGroupManager)
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        font.pixelSize: 13
                        color: "#666666"
                    }

                    Image {
                        objectName: "introPencil"
                        anchors.right: parent.right
                        y: 2
                        width: 16
                        height: 16
                        visible: drawer.canEdit && !introEdit.visible
                        source: "qrc:/images/session_page/group_info_edit.png"

                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            onClicked: {
                                introInput.text = drawer.shownInfo
                                introEdit.visible = true
                                introInput.forceActiveFocus()
                                introInput.selectAll()
                            }
                        }
                    }

                    Rectangle {
                        id: introEdit

                        width: parent.width
                        height: 60
                        visible: false
                        radius: 3
                        color: "#F5F6F7"

                        TextEdit {
                            id: introInput

                            objectName: "introInput"
                            anchors.fill: parent
                            anchors.margins: 5
                            anchors.bottomMargin: 16
                            font.pixelSize: 13
                            wrapMode: TextEdit.Wrap
                            textFormat: TextEdit.PlainText
                            selectByMouse: true
                            onLengthChanged: {
                                if (activeFocus && length > 60) {
                                    var cursor = cursorPosition
                                    remove(Math.max(0, cursor - (length - 60)), cursor)
                                    drawer.waring(VTr.enteredTooLong)
                                } else if (activeFocus && length < 60) {
                                    drawer.waring("")
                                }
                            }
                            onActiveFocusChanged: if (!activeFocus) drawer.endIntroEdit()
                            Keys.onReturnPressed: {
                                if (event.modifiers & Qt.ControlModifier) {
                                    insert(cursorPosition, "\n")
                                    return
                                }
                                drawer.endIntroEdit()
                                drawer.takeFocus()
                            }
                        }

                        Text {
                            anchors.right: parent.right
                            anchors.rightMargin: 6
                            anchors.bottom: parent.bottom
                            anchors.bottomMargin: 2
                            text: introInput.length + "/60"
                            font.pixelSize: 11
                            color: introInput.length >= 60 ? "#F7334B" : "#999999"
                        }
                    }
                }

                // Managers.
                SectionHeading {
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
                SectionHeading {
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
                            visible: index < membersLink.currentMaxShowCount
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
                    onDelayTriggered: {
                        drawer._sentMute = { "groupid": triggeredFor, "value": checked }
                        groupManager.muteNotifications(triggeredFor, checked)
                    }
                }

                VDelayTriggeredSwitch {
                    id: banChatSwitch

                    objectName: "banChatSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.bannedSingleChat
                    subject: drawer.groupid
                    onDelayTriggered: {
                        drawer._sentBan = { "toggle": banChatSwitch, "groupid": triggeredFor, "value": checked }
                        groupManager.banChat(triggeredFor, checked ? "1" : "0")
                    }
                }

                VDelayTriggeredSwitch {
                    id: banJoinSwitch

                    objectName: "banJoinSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.bannedJoin
                    subject: drawer.groupid
                    onDelayTriggered: {
                        drawer._sentSet = { "kind": "type", "groupid": triggeredFor, "value": checked }
                        groupManager.setGroupInfo(triggeredFor, "", "", "", checked ? 1 : 0)
                    }
                }

                VDelayTriggeredSwitch {
                    id: screenshotSwitch

                    objectName: "screenshotSwitch"
                    width: parent.width
                    visible: drawer.canEdit
                    height: visible ? 48 : 0
                    text: VTr.phoneScreenShotTip
                    subject: drawer.groupid
                    onDelayTriggered: {
                        drawer._sentBan = { "toggle": screenshotSwitch, "groupid": triggeredFor, "value": checked }
                        groupManager.banScreenshot(triggeredFor, checked ? "1" : "0")
                    }
                }

                // Own nickname in the group.
                Item {
                    width: parent.width
                    height: 40

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: VTr.nickInGroup
                        textFormat: Text.PlainText
                        font.pixelSize: 13
                        color: "#333333"
                    }

                    Text {
                        objectName: "nickLine"
                        anchors.right: nickPencil.left
                        anchors.rightMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, 150)
                        visible: !nickEdit.visible
                        text: drawer.shownNick
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 13
                        color: "#999999"
                    }

                    Image {
                        id: nickPencil

                        objectName: "nickPencil"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        visible: !nickEdit.visible
                        source: "qrc:/images/session_page/group_info_edit.png"

                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            onClicked: {
                                nickInput.text = drawer.shownNick
                                nickEdit.visible = true
                                nickInput.forceActiveFocus()
                                nickInput.selectAll()
                            }
                        }
                    }

                    Rectangle {
                        id: nickEdit

                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: 180
                        height: 28
                        visible: false
                        radius: 3
                        color: "#F5F6F7"

                        VTextInput {
                            id: nickInput

                            objectName: "nickInput"
                            anchors.fill: parent
                            anchors.leftMargin: 6
                            anchors.rightMargin: 40
                            font.pixelSize: 13
                            maximumLength: 10
                            onEnteredTooLong: drawer.waring(isTooLong ? VTr.enteredTooLong : "")
                            onActiveFocusChanged: if (!activeFocus) drawer.endNickEdit()
                            Keys.onReturnPressed: {
                                drawer.endNickEdit()
                                drawer.takeFocus()
                            }
                        }

                        Text {
                            anchors.right: parent.right
                            anchors.rightMargin: 6
                            anchors.verticalCenter: parent.verticalCenter
                            text: nickInput.length + "/10"
                            font.pixelSize: 11
                            color: nickInput.length >= 10 ? "#F7334B" : "#999999"
                        }
                    }
                }

                ActionLine {
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

                ActionLine {
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

        SuccessTip {
            id: successTip

            objectName: "successTip"
        }
    }

    component SectionHeading: Item {
        id: heading

        property alias text: label.text
        property bool addVisible: false
        property bool removeVisible: false
        property string addName: ""
        property string removeName: ""

        signal addClicked()
        signal removeClicked()

        width: parent ? parent.width : 0
        height: 24

        Text {
            id: label

            anchors.verticalCenter: parent.verticalCenter
            textFormat: Text.PlainText
            font.pixelSize: 14
            color: "#333333"
        }

        Row {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 12

            Image {
                objectName: heading.addName
                width: 18
                height: 18
                visible: heading.addVisible
                source: "qrc:/images/session_page/group_members_add.png"

                MouseArea {
                    anchors.fill: parent
                    onClicked: heading.addClicked()
                }
            }

            Image {
                objectName: heading.removeName
                width: 18
                height: 18
                visible: heading.removeVisible
                source: "qrc:/images/session_page/group_members_remove.png"

                MouseArea {
                    anchors.fill: parent
                    onClicked: heading.removeClicked()
                }
            }
        }
    }

    // A short notice of a change that went through, for 3 s at the drawer's foot,
    // clear of the chat's title and the group's own.
    component SuccessTip: Rectangle {
        id: tip

        property string text: ""

        onTextChanged: {
            visible = text !== ""
            if (visible)
                tipTimer.restart()
        }

        x: 15
        y: (parent ? parent.height : 0) - height - 20
        width: (parent ? parent.width : 0) - 30
        height: tipRow.height + 24
        visible: false
        radius: 5
        color: "#CC333333"
        z: 10

        Timer {
            id: tipTimer

            interval: 3000
            onTriggered: tip.text = ""
        }

        Row {
            id: tipRow

            anchors.centerIn: parent
            spacing: 10

            Image {
                objectName: "successIcon"
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                source: "qrc:/images/index_page/selected.png"
            }

            Text {
                objectName: "successText"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, tip.width - 60)
                text: tip.text
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: "white"
            }
        }
    }

    component ActionLine: Text {
        signal clicked()

        width: parent ? parent.width : 0
        height: 44
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignHCenter
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"

        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: parent.clicked()
        }
    }
}
