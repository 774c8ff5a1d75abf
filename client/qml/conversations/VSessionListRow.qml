import QtQuick 2.12
import "../commons"
import "../settings"
import "../translator"
import "VSessionPageLogic.js" as Logic

// One conversation of the list: avatar, name, time, preview (or draft), badges.
// Everything it shows comes from its item and the few page facts given to it.
Rectangle {
    id: row

    // The conversation (ImMsgEntity) of the row.
    property var item: null
    property bool isOpen: false
    property bool hovered: false
    property bool muted: item ? item.isMute : false
    // The draft as plain text; empty when the row shows its preview.
    property string draftText: ""
    property date now: new Date()

    signal clicked()
    signal rightClicked(real mouseX, real mouseY)
    signal doubleClicked()
    signal removeClicked()
    signal badgeClicked()
    signal entered()
    signal exited()

    readonly property string account: item ? item.account : ""
    readonly property int totype: item ? item.totype : 0
    readonly property string parentName: item && item.parentName ? item.parentName : ""
    readonly property int unread: item ? item.unReadMsgCount : 0
    readonly property int tip: Logic.tipKind(item ? item.atflag : 0, draftText !== "")
    readonly property string timeText: item ? Logic.rowTime(item.sendtime, now, VTr.yesterday) : ""
    readonly property string previewText: {
        if (draftText !== "")
            return draftText
        if (!item)
            return ""
        return Logic.preview({
            revokeflag: item.revokeflag, sendflag: item.sendflag, msgtype: item.msgtype,
            content: item.content, fromName: item.fromName, name: item.name, totype: item.totype
        }, {
            youRecall: VTr.youRecall, someoneRecall: VTr.someoneRecall, picture: VTr.picture,
            file: VTr.file, audio: VTr.audio, video: VTr.video, redEnvelope: VTr.redEnvelope,
            quotes: VTr.quotes
        }, function (group) { return VSettings.getEmojiTextByFormatText(group) })
    }
    readonly property string tipText: {
        switch (tip) {
        case 1: return "[" + VTr.someoneAtMe + "]"
        case 2: return "[" + VTr.atAll + "]"
        case 3: return "[" + VTr.draft + "]"
        default: return ""
        }
    }

    height: parentName !== "" ? 80 : 64
    color: isOpen ? "#E3E3E5" : (hovered ? "#EBEBED" : "transparent")

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onEntered: row.entered()
        onExited: row.exited()
        onClicked: {
            if (mouse.button === Qt.RightButton)
                row.rightClicked(mouse.x, mouse.y)
            else
                row.clicked()
        }
        onDoubleClicked: if (mouse.button === Qt.LeftButton) row.doubleClicked()
    }

    // The remove mark of the hovered row.
    Loader {
        x: 2
        anchors.verticalCenter: parent.verticalCenter
        active: row.hovered
        sourceComponent: Image {
            width: 14
            height: 14
            source: removeArea.containsMouse ? "qrc:/images/session_page/remove_highlight.png"
                                             : "qrc:/images/session_page/remove.png"

            MouseArea {
                id: removeArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: row.removeClicked()
            }
        }
    }

    VRoundImage {
        id: avatar

        x: 20
        y: 12
        width: 40
        height: 40
        source: row.item ? row.item.icon : ""
        champflag: row.item ? row.item.champflag : 0
        asynchronous: true

        VOfficialIndicatorTesmo {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            visible: row.totype === 1 && row.item !== null && row.item.title === 1
        }
    }

    Row {
        id: nameRow

        x: avatar.x + avatar.width + 10
        y: 12
        width: timeLabel.x - x - 8
        spacing: 4

        Text {
            id: nameLabel

            width: Math.min(implicitWidth, nameRow.width - (groupMark.visible ? groupMark.width + 4 : 0))
            text: row.item ? row.item.name : ""
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
            font.pixelSize: 14
            color: "#333333"
        }

        Image {
            id: groupMark

            anchors.verticalCenter: nameLabel.verticalCenter
            visible: row.totype === 1
            width: 14
            height: 14
            source: visible ? "qrc:/images/session_page/group_indicator.png" : ""
        }
    }

    Text {
        id: timeLabel

        anchors.right: parent.right
        anchors.rightMargin: 12
        y: 14
        text: row.timeText
        textFormat: Text.PlainText
        font.pixelSize: 12
        color: "#999999"
    }

    Row {
        id: previewRow

        x: nameRow.x
        y: 36
        width: parent.width - x - 40
        spacing: 2

        Text {
            id: tipLabel

            visible: text !== ""
            text: row.tipText
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: "#F24957"
        }

        Text {
            width: previewRow.width - (tipLabel.visible ? tipLabel.width + 2 : 0)
            text: row.previewText
            textFormat: Text.PlainText
            maximumLineCount: 1
            elide: Text.ElideRight
            font.pixelSize: 12
            color: "#999999"
        }
    }

    Text {
        x: nameRow.x
        y: 56
        width: parent.width - x - 12
        visible: row.parentName !== ""
        text: VTr.mainGroup + ": " + row.parentName
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.pixelSize: 12
        color: "#999999"
    }

    // Muted: the do-not-disturb mark, with a dot for unread messages.
    Loader {
        anchors.right: parent.right
        anchors.rightMargin: 12
        y: 38
        active: row.muted
        sourceComponent: Item {
            width: 14
            height: 14

            Image {
                anchors.fill: parent
                source: "qrc:/images/session_page/do_not_disturb.png"
            }

            Rectangle {
                visible: row.unread > 0
                x: -10
                y: 3
                width: 8
                height: 8
                radius: 4
                color: "#F24957"
            }
        }
    }

    // Not muted: the unread count.
    Loader {
        anchors.right: parent.right
        anchors.rightMargin: 12
        y: 36
        active: !row.muted && row.unread > 0
        sourceComponent: Rectangle {
            readonly property string text: Logic.badgeText(row.unread)

            width: Math.max(18, badgeLabel.implicitWidth + 10)
            height: 18
            radius: 9
            color: "#F24957"

            Text {
                id: badgeLabel

                anchors.centerIn: parent
                text: parent.text
                textFormat: Text.PlainText
                font.pixelSize: 11
                color: "#FFFFFF"
            }

            MouseArea {
                anchors.fill: parent
                onClicked: row.badgeClicked()
            }
        }
    }
}
