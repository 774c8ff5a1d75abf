import QtQuick 2.12
import QtTest 1.12
import "qrc:/qml"
import "qrc:/qml/translator"

// The alert layer: each vGlobal signal gives its texts, buttons and reasons;
// the buttons act on the reasons, a dismissal on none.
Item {
    id: root

    width: 600
    height: 400

    VAlertMessage { id: alert }
    // The title's text as plain text, for comparison.
    Text { id: plain; visible: false; font.pixelSize: 14; textFormat: Text.PlainText }
    VAlertWaiting { id: waiting }

    SignalSpy { id: known; target: vGlobal; signalName: "notGroupMemberKnown" }
    SignalSpy { id: reshowForward; target: vGlobal; signalName: "reshowForwardSelectPopupWindow" }
    SignalSpy { id: reshowManagers; target: vGlobal; signalName: "reshowAddGroupManagerSelectPopupWindow" }
    SignalSpy { id: leave; target: vGlobal; signalName: "agreedToLeaveGroup" }
    SignalSpy { id: disband; target: vGlobal; signalName: "agreedToDisbandGroup" }

    TestCase {
        name: "Alerts"
        when: windowShown

        function initTestCase() {
            // The group manager names the group of a disband request.
            classManager.createPostClass()
        }

        function cleanupTestCase() {
            alert.close()
            waiting.close()
            tryCompare(vGlobal, "alertMessageShowing", false)
        }

        function init() {
            alert.close()
            waiting.close()
            known.clear(); reshowForward.clear(); reshowManagers.clear(); leave.clear(); disband.clear()
            tryCompare(alert, "visible", false)
        }

        function test_signals_data() {
            return [
                { tag: "messageInputTooLong", fire: function() { vGlobal.messageInputTooLong() }, title: VTr.messageTooLong, message: VTr.messageTooLongTip, single: true, one: "NONE", two: "NONE" },
                { tag: "userInfoUpdateSuccessed", fire: function() { vGlobal.userInfoUpdateSuccessed() }, title: VTr.updateSuccessed, message: VTr.updateSuccessedTip, single: true, one: "NONE", two: "NONE" },
                { tag: "openGroupSettingsDrawerFaild", fire: function() { vGlobal.openGroupSettingsDrawerFaild() }, title: VTr.openFailed, message: VTr.openGroupSettingsFailed, single: true, one: "NONE", two: "NONE" },
                { tag: "functionIsDeveloping", fire: function() { vGlobal.functionIsDeveloping() }, title: VTr.functionDeveloping, message: VTr.functionDevelopingTip, single: true, one: "NONE", two: "NONE" },
                { tag: "requestLeaveGroup", fire: function() { vGlobal.requestLeaveGroup() }, title: VTr.exitGroup, message: VTr.exitGroupTip, single: false, right: VTr.exit, one: "NONE", two: "onRequestLeaveGroup" },
                { tag: "requestDisbandGroup", fire: function() { vGlobal.requestDisbandGroup() }, title: VTr.disbandTargetGroup(groupManager.groupname), message: VTr.disbandGroupTip, single: false, right: VTr.disband, one: "NONE", two: "onRequestDisbandGroup" },
                { tag: "leaveGroupFaild", fire: function() { vGlobal.leaveGroupFaild() }, title: VTr.exitFaild, message: VTr.exitFaildTip, single: true, one: "NONE", two: "NONE" },
                { tag: "leaveGroupSuccessed", fire: function() { vGlobal.leaveGroupSuccessed() }, title: VTr.exitSuccessed, message: VTr.exitSuccessedTip, single: true, one: "NONE", two: "NONE" },
                { tag: "disbandGroupFaild", fire: function() { vGlobal.disbandGroupFaild() }, title: VTr.disbandFaild, message: VTr.disbandFaildTip, single: true, one: "NONE", two: "NONE" },
                { tag: "disbandGroupSuccessed", fire: function() { vGlobal.disbandGroupSuccessed() }, title: VTr.disbandSuccessed, message: VTr.disbandSuccessedTip, single: true, one: "NONE", two: "NONE" },
                { tag: "disbandGroupNotifyMember", fire: function() { vGlobal.disbandGroupNotifyMember() }, title: VTr.disbanded, message: VTr.disbandedTip, single: true, one: "NONE", two: "NONE" },
                { tag: "notGroupMember", fire: function() { vGlobal.notGroupMember() }, title: VTr.notGroupMember, message: VTr.notGroupMemberTip, single: true, one: "onNotGroupMember", two: "NONE" },
                { tag: "noSyncToContactsPermission", fire: function() { vGlobal.noSyncToContactsPermission() }, title: VTr.withoutPermission, message: VTr.withoutPermissionTip, single: true, one: "NONE", two: "NONE" },
                { tag: "selectUpToMaxContactsAndGroups", fire: function() { vGlobal.selectUpToMaxContactsAndGroups() }, title: VTr.reachUpperLimit, message: VTr.reachContactsUpperLimitTip.arg(vGlobal.maxForwardContacts), single: true, one: "SelectUpToMaxContactsAndGroups", two: "NONE" },
                { tag: "selectUpToMaxManagersCount", fire: function() { vGlobal.selectUpToMaxManagersCount(3) }, title: VTr.reachUpperLimit, message: VTr.reachManagersUpperLimit(3), single: true, one: "SelectUpToMaxManagersCount", two: "NONE" },
                { tag: "noMemberForTransferGroup", fire: function() { vGlobal.noMemberForTransferGroup() }, title: VTr.unableTransfer, message: VTr.unableTransferTip, single: true, one: "NONE", two: "NONE" },
                { tag: "releaseChildGroupFaild", fire: function() { vGlobal.releaseChildGroupFaild() }, title: VTr.releaseChildGroupFaild, message: VTr.releaseChildGroupFaildTip, single: true, one: "NONE", two: "NONE" },
                { tag: "banSingleChat", fire: function() { vGlobal.banSingleChat() }, title: VTr.bannedSingleChat, message: VTr.bannedSingleChatTip, single: true, one: "NONE", two: "NONE" },
                { tag: "fileIsNotExists", fire: function() { vGlobal.fileIsNotExists() }, title: VTr.openFailed, message: VTr.openFileFailedTip, single: true, one: "NONE", two: "NONE" },
            ]
        }

        function test_signals(data) {
            data.fire()
            verify(alert.visible)
            verify(vGlobal.alertMessageShowing)
            compare(alert.title, data.title)
            compare(alert.message, data.message)
            compare(alert.isSingleButton, data.single)
            if (!data.single)
                compare(alert.rightButtonText, data.right)
            compare(alert.oneButtonsReason, data.one)
            compare(alert.twoButtonsReason, data.two)
        }

        function test_okActsOnItsReason() {
            vGlobal.notGroupMember()
            alert.acceptOne()
            compare(known.count, 1)
            vGlobal.selectUpToMaxContactsAndGroups()
            alert.acceptOne()
            compare(reshowForward.count, 1)
            vGlobal.selectUpToMaxManagersCount(2)
            alert.acceptOne()
            compare(reshowManagers.count, 1)
            tryCompare(vGlobal, "alertMessageShowing", false)
        }

        function test_escapeThenANewAlert() {
            vGlobal.notGroupMember()
            verify(alert.visible)
            keyClick(Qt.Key_Escape)
            tryCompare(alert, "visible", false)
            vGlobal.messageInputTooLong()
            compare(alert.oneButtonsReason, "NONE")
            alert.acceptOne()
            compare(known.count, 0)
        }

        function test_disbandShowsWaitingFirst() {
            var order = []
            function onWaiting() { order.push("waiting") }
            function onDisband() { order.push("disband") }
            vGlobal.alertWaitingShow.connect(onWaiting)
            vGlobal.agreedToDisbandGroup.connect(onDisband)
            vGlobal.requestDisbandGroup()
            alert.acceptTwo()
            vGlobal.alertWaitingShow.disconnect(onWaiting)
            vGlobal.agreedToDisbandGroup.disconnect(onDisband)
            compare(order, ["waiting", "disband"])
            verify(waiting.visible)
            vGlobal.disbandGroupSuccessed()
            verify(!waiting.visible)
            compare(alert.title, VTr.disbandSuccessed)
        }

        // A group name is the server's text: shown as typed, never read as markup.
        function test_disbandTitleShowsTheNameAsText() {
            var before = groupManager.groupname
            groupManager.groupname = "Team<br>A &amp; <b>B</b>"
            vGlobal.requestDisbandGroup()
            var title = findChild(alert.contentItem, "alertTitle")
            verify(title !== null)
            compare(title.text, VTr.disbandTargetGroup("Team<br>A &amp; <b>B</b>"))
            plain.text = title.text
            compare(title.lineCount, 1)
            compare(title.contentWidth, plain.contentWidth)
            alert.close()
            groupManager.groupname = before
        }

        function test_leaveAndCancel() {
            vGlobal.requestLeaveGroup()
            alert.close()
            compare(leave.count, 0)
            vGlobal.requestLeaveGroup()
            alert.acceptTwo()
            compare(leave.count, 1)
            compare(alert.twoButtonsReason, "NONE")
        }
    }
}
