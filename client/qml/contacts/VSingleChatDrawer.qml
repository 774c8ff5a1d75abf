import QtQuick 2.12
import QtQuick.Window 2.12
import "../commons"
import "../translator"

// The settings of a one-to-one chat, sliding in from the right edge of the chat
// area: the peer's card, blocking, and turning the chat into a group.
FocusScope {
    id: drawer

    property string account: ""
    property string summery: ""
    property alias source: avatar.source
    property alias name: nameText.text
    property alias uid: uidText.text
    // 0 out, 1 fully in.
    property real _shown: 0
    property bool _opening: false
    // The person whose block request is out, empty when none.
    property string _blockPendingFor: ""

    function open(peer) {
        // A change still waiting goes out for the person it was made for.
        blockSwitch.flush()
        account = peer
        _opening = true
        _shown = 1
        forceActiveFocus()
        blockSwitch.checked = contactsManager.inBlackList(peer)
    }

    function close() {
        blockSwitch.flush()
        _opening = false
        _shown = 0
    }

    function isShowing() {
        return _shown === 1
    }

    width: 360
    height: parent ? parent.height : 0
    x: parent ? parent.width - width * _shown : 0
    visible: _shown > 0

    Behavior on _shown {
        NumberAnimation { duration: 500; easing.type: Easing.OutCubic }
    }

    // A click elsewhere in the chat area takes the focus. A window of its own (a
    // picker the drawer asked for) takes the window's focus instead, which leaves the
    // window without a focused item: that is no reason to close.
    onActiveFocusChanged: if (!activeFocus && _opening) Qt.callLater(_focusMoved)

    function _focusMoved() {
        if (!activeFocus && _opening && Window.activeFocusItem !== null)
            close()
    }

    Connections {
        target: contactsManager

        // A refused change leaves the switch where the stored black list has it.
        function onDefriendResult(result) {
            var peer = drawer._blockPendingFor
            if (peer === "")
                return
            drawer._blockPendingFor = ""
            if (result !== 0 && peer === drawer.account && !blockSwitch.pending)
                blockSwitch.checked = contactsManager.inBlackList(peer)
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "#FFFFFF"
        border.color: "#EEEEEE"

        MouseArea {
            anchors.fill: parent
            onClicked: drawer.forceActiveFocus()
        }

        VRoundImage {
            id: avatar

            x: 25
            y: 25
            width: 40
            height: 40
            champflag: drawer.account !== "" ? vGlobal.getChampflagByAccount(drawer.account) : 0
        }

        Column {
            anchors.left: avatar.right
            anchors.leftMargin: 12
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: avatar.verticalCenter
            spacing: 4

            Text {
                id: nameText

                width: parent.width
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 15
                color: "#333333"
            }

            Text {
                id: uidText

                width: parent.width
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 12
                color: "#999999"
            }
        }

        Text {
            id: introText

            objectName: "introLine"
            x: 25
            y: 85
            width: parent.width - 50
            text: VTr.introduction + ": " + (drawer.summery !== "" ? drawer.summery : VTr.lazyUser)
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 13
            color: "#666666"
        }

        VDelayTriggeredSwitch {
            id: blockSwitch

            objectName: "blockSwitch"
            x: 25
            anchors.top: introText.bottom
            anchors.topMargin: 20
            width: parent.width - 50
            text: VTr.blockUser
            subject: drawer.account
            onDelayTriggered: {
                drawer._blockPendingFor = triggeredFor
                if (checked)
                    contactsManager.defriend(triggeredFor)
                else
                    contactsManager.addfriend(triggeredFor)
            }
        }

        Text {
            objectName: "addMembersRow"
            x: 25
            anchors.top: blockSwitch.bottom
            width: parent.width - 50
            height: 48
            verticalAlignment: Text.AlignVCenter
            text: VTr.addMembers
            textFormat: Text.PlainText
            font.pixelSize: 13
            color: "#333333"

            Image {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 20
                height: 20
                source: "qrc:/images/session_page/single_chat_add.png"
            }

            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: vGlobal.addMembersForSingleChat()
            }
        }
    }
}
