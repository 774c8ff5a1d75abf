import QtQuick 2.12
import QtQuick.Controls 2.12
import "settings"
import "translator"

// The one modal alert over the main window's page: each vGlobal signal of the
// table below becomes a notice or a confirmation.
Popup {
    id: alert

    property string title: ""
    property string message: ""
    property bool isSingleButton: true
    property string rightButtonText: ""
    property string oneButtonsReason: VSettings.none
    property string twoButtonsReason: VSettings.none
    // This layer set vGlobal.alertMessageShowing and has not cleared it yet.
    property bool _showing: false

    // signal -> texts, the right button and the reasons; arg fills the signal's %1.
    function rowFor(name, arg) {
        switch (name) {
        case "messageInputTooLong": return [VTr.messageTooLong, VTr.messageTooLongTip]
        case "userInfoUpdateSuccessed": return [VTr.updateSuccessed, VTr.updateSuccessedTip]
        case "openGroupSettingsDrawerFaild": return [VTr.openFailed, VTr.openGroupSettingsFailed]
        case "functionIsDeveloping": return [VTr.functionDeveloping, VTr.functionDevelopingTip]
        case "requestLeaveGroup": return [VTr.exitGroup, VTr.exitGroupTip, VTr.exit, "", "onRequestLeaveGroup"]
        case "requestDisbandGroup":
            return [VTr.disbandTargetGroup(arg), VTr.disbandGroupTip, VTr.disband, "", "onRequestDisbandGroup"]
        case "leaveGroupFaild": return [VTr.exitFaild, VTr.exitFaildTip]
        case "leaveGroupSuccessed": return [VTr.exitSuccessed, VTr.exitSuccessedTip]
        case "disbandGroupFaild": return [VTr.disbandFaild, VTr.disbandFaildTip]
        case "disbandGroupSuccessed": return [VTr.disbandSuccessed, VTr.disbandSuccessedTip]
        case "disbandGroupNotifyMember": return [VTr.disbanded, VTr.disbandedTip]
        case "notGroupMember": return [VTr.notGroupMember, VTr.notGroupMemberTip, "", "onNotGroupMember"]
        case "noSyncToContactsPermission": return [VTr.withoutPermission, VTr.withoutPermissionTip]
        case "selectUpToMaxContactsAndGroups":
            return [VTr.reachUpperLimit, VTr.reachContactsUpperLimitTip.arg(arg), "", "SelectUpToMaxContactsAndGroups"]
        case "selectUpToMaxManagersCount":
            return [VTr.reachUpperLimit, VTr.reachManagersUpperLimit(arg), "", "SelectUpToMaxManagersCount"]
        case "noMemberForTransferGroup": return [VTr.unableTransfer, VTr.unableTransferTip]
        case "releaseChildGroupFaild": return [VTr.releaseChildGroupFaild, VTr.releaseChildGroupFaildTip]
        case "banSingleChat": return [VTr.bannedSingleChat, VTr.bannedSingleChatTip]
        case "fileIsNotExists": return [VTr.openFailed, VTr.openFileFailedTip]
        }
        return null
    }

    function showAlert(name, arg) {
        var row = rowFor(name, arg)
        if (row === null)
            return false
        title = row[0]
        message = row[1]
        rightButtonText = row[2] || ""
        isSingleButton = rightButtonText === ""
        oneButtonsReason = row[3] || VSettings.none
        twoButtonsReason = row[4] || VSettings.none
        open()
        return true
    }

    function acceptOne() {
        if (oneButtonsReason === "SelectUpToMaxContactsAndGroups")
            vGlobal.reshowForwardSelectPopupWindow()
        else if (oneButtonsReason === "SelectUpToMaxManagersCount")
            vGlobal.reshowAddGroupManagerSelectPopupWindow()
        else if (oneButtonsReason === "onNotGroupMember")
            vGlobal.notGroupMemberKnown()
        oneButtonsReason = VSettings.none
        close()
    }

    function acceptTwo() {
        if (twoButtonsReason === "onRequestLeaveGroup") {
            vGlobal.agreedToLeaveGroup()
        } else if (twoButtonsReason === "onRequestDisbandGroup") {
            vGlobal.alertWaitingShow()
            vGlobal.agreedToDisbandGroup()
        }
        oneButtonsReason = VSettings.none
        twoButtonsReason = VSettings.none
        close()
    }

    // A dismissal by Escape or a press outside acts on no reason.
    onClosed: {
        oneButtonsReason = VSettings.none
        twoButtonsReason = VSettings.none
    }
    onVisibleChanged: {
        _showing = visible
        vGlobal.alertMessageShowing = visible
    }
    // Going with its window (a kick-out) reports no hiding: the flag would stay
    // set for the next session, keeping its dialogs undimmed and over alerts.
    Component.onDestruction: {
        if (_showing)
            vGlobal.alertMessageShowing = false
    }

    parent: Overlay.overlay
    x: 0
    y: 0
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    modal: true
    dim: false
    padding: 0
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    background: Rectangle {
        color: "#6E151515"
        opacity: alert.visible ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: 500 } }
    }

    contentItem: Item {
        Rectangle {
            id: box

            anchors.centerIn: parent
            width: 275
            height: 110 + messageText.height
            radius: 5
            color: "#FFFFFF"
            scale: alert.visible ? 1 : 0
            Behavior on scale { NumberAnimation { duration: 500; easing.type: Easing.OutBack } }

            Text {
                id: titleText

                objectName: "alertTitle"
                x: 15
                y: 20
                width: parent.width - 30
                horizontalAlignment: Text.AlignHCenter
                elide: Text.ElideMiddle
                font.pixelSize: 14
                color: "#333333"
                // Group names come from the server: shown as they are, never as markup.
                textFormat: Text.PlainText
                text: alert.title
            }

            Text {
                id: messageText

                x: 15
                y: 45
                width: parent.width - 30
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: "#8E8E93"
                textFormat: Text.PlainText
                text: alert.message
            }

            Rectangle {
                anchors.bottom: buttons.top
                width: parent.width
                height: 1
                color: "#E5E5E5"
            }

            Row {
                id: buttons

                anchors.bottom: parent.bottom
                width: parent.width
                height: 40

                AlertButton {
                    visible: alert.isSingleButton
                    width: parent.width
                    text: VTr.ok
                    onClicked: alert.acceptOne()
                }
                AlertButton {
                    visible: !alert.isSingleButton
                    width: parent.width / 2
                    text: VTr.cancel
                    color: "#8E8E93"
                    onClicked: alert.close()
                }
                AlertButton {
                    visible: !alert.isSingleButton
                    width: parent.width / 2
                    text: alert.rightButtonText
                    onClicked: alert.acceptTwo()
                }
            }
        }
    }

    Connections {
        target: vGlobal

        function onMessageInputTooLong() { alert.showAlert("messageInputTooLong") }
        function onUserInfoUpdateSuccessed() { alert.showAlert("userInfoUpdateSuccessed") }
        function onOpenGroupSettingsDrawerFaild() { alert.showAlert("openGroupSettingsDrawerFaild") }
        function onFunctionIsDeveloping() { alert.showAlert("functionIsDeveloping") }
        function onRequestLeaveGroup() { alert.showAlert("requestLeaveGroup") }
        function onRequestDisbandGroup() {
            alert.showAlert("requestDisbandGroup", typeof groupManager !== "undefined" ? groupManager.groupname : "")
        }
        function onLeaveGroupFaild() { alert.showAlert("leaveGroupFaild") }
        function onLeaveGroupSuccessed() { alert.showAlert("leaveGroupSuccessed") }
        function onDisbandGroupFaild() { alert.showAlert("disbandGroupFaild") }
        function onDisbandGroupSuccessed() {
            vGlobal.alertWaitingClose()
            alert.showAlert("disbandGroupSuccessed")
        }
        function onDisbandGroupNotifyMember() { alert.showAlert("disbandGroupNotifyMember") }
        function onNotGroupMember() { alert.showAlert("notGroupMember") }
        function onNoSyncToContactsPermission() { alert.showAlert("noSyncToContactsPermission") }
        function onSelectUpToMaxContactsAndGroups() {
            alert.showAlert("selectUpToMaxContactsAndGroups", vGlobal.maxForwardContacts)
        }
        function onSelectUpToMaxManagersCount(selectableCount) {
            alert.showAlert("selectUpToMaxManagersCount", selectableCount)
        }
        function onNoMemberForTransferGroup() { alert.showAlert("noMemberForTransferGroup") }
        function onReleaseChildGroupFaild() { alert.showAlert("releaseChildGroupFaild") }
        function onBanSingleChat() { alert.showAlert("banSingleChat") }
        function onFileIsNotExists() { alert.showAlert("fileIsNotExists") }
    }

    component AlertButton: Text {
        signal clicked()

        height: 40
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 14
        color: "#3A8AFD"

        MouseArea {
            anchors.fill: parent
            onClicked: parent.clicked()
        }
    }
}
