import QtQuick 2.12
import "../commons"
import "../translator"

// The child groups of the open group; the owner chooses some and unbinds them
// from it.
VDialog {
    id: dialog

    property int fromid: 0
    property bool loadFinished: false
    // false: browsing; true: choosing.
    property bool isSelect: false
    property var chosen: []
    readonly property bool selectedEmpty: chosen.length === 0
    property bool _releasing: false

    function toggle(child) {
        if (!child)
            return
        var list = chosen.slice()
        var at = list.indexOf(child.groupid)
        groupChildManager.updateSelected(child.groupid, at < 0)
        if (at < 0)
            list.push(child.groupid)
        else
            list.splice(at, 1)
        chosen = list
    }

    function confirm() {
        if (!isSelect) {
            isSelect = true
            return
        }
        if (selectedEmpty)
            return
        _releasing = true
        groupManager.releaseGroup(sessionManager.currentSessionId, "", chosen)
        close()
    }

    width: 360
    height: 528 + tipLine.height
    windowTitle: VTr.childGroup

    onOpened: chosen = []
    onClosed: {
        for (var i = 0; i < chosen.length; ++i)
            groupChildManager.updateSelected(chosen[i], false)
        chosen = []
        isSelect = false
        loadFinished = false
        fromid = 0
    }

    Connections {
        target: groupManager

        function onGetChildGroupsResult(result, fromid) {
            if (!dialog.visible || result !== 0)
                return
            dialog.fromid = fromid
            if (fromid === 0)
                dialog.loadFinished = true
        }
        function onReleaseResult(result) {
            if (!dialog._releasing)
                return
            dialog._releasing = false
            if (result === 1)
                vGlobal.releaseChildGroupSuccessed()
            else
                vGlobal.releaseChildGroupFaild()
        }
    }

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        ListView {
            id: list

            objectName: "childList"
            width: parent.width
            anchors.top: parent.top
            anchors.bottom: tipLine.top
            clip: true
            model: groupChildManager
            onAtYEndChanged: {
                if (atYEnd && count > 0 && !dialog.loadFinished && dialog.visible)
                    groupManager.getChildGroups(sessionManager.currentSessionId, dialog.fromid)
            }
            delegate: Rectangle {
                readonly property var child: model.modelData

                width: list.width
                height: 60
                color: rowArea.containsMouse ? "#F7F7F7" : "transparent"

                VRoundImage {
                    id: avatar

                    x: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 36
                    height: 36
                    source: child ? child.grouplogo : ""

                    VOfficialIndicatorTesmo {
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        visible: child !== null && child.title === 1
                    }
                }

                Column {
                    anchors.left: avatar.right
                    anchors.leftMargin: 12
                    anchors.right: mark.left
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4

                    Text {
                        width: parent.width
                        text: child ? child.groupname : ""
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 14
                        color: "#333333"
                    }

                    Text {
                        width: parent.width
                        text: child ? VTr.groupOwner + ": " + child.ownerName + "  " + VTr.membersCount(child.usercount) : ""
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 12
                        color: "#999999"
                    }
                }

                Image {
                    id: mark

                    anchors.right: parent.right
                    anchors.rightMargin: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 18
                    height: 18
                    visible: dialog.isSelect
                    source: child && child.selected ? "qrc:/images/session_page/sync_has_checked.png"
                                                    : "qrc:/images/session_page/sync_not_checked.png"
                }

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: dialog.toggle(child)
                }
            }
        }

        Text {
            id: tipLine

            objectName: "tipLine"
            anchors.bottom: button.top
            anchors.bottomMargin: 10
            x: 20
            width: parent.width - 40
            text: dialog.isSelect && !dialog.selectedEmpty ? VTr.groupChildRemoveTip1 : VTr.groupChildRemoveTip0
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: "#999999"
        }

        VBusyButton {
            id: button

            objectName: "unbindButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            text: dialog.isSelect ? VTr.finished : VTr.unbind
            enabled: !dialog.isSelect || !dialog.selectedEmpty
            onClicked: dialog.confirm()
        }
    }
}
