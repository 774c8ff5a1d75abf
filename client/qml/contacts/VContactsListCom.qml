import QtQuick 2.12
import "../commons"
import "../translator"

// A friend row. Resting on it for 500 ms opens the contact card at the pointer; a
// click opens the chat.
Rectangle {
    id: row

    readonly property var item: typeof model !== "undefined" && model ? model.modelData : null
    readonly property string account: item ? item.account : ""
    readonly property string name: item ? item.name : ""
    readonly property string logo: item ? item.logo : ""
    readonly property string summary: item ? item.summary : ""
    readonly property int userid: item ? item.userid : -1
    readonly property int champflag: item ? item.champflag : 0
    readonly property alias hovered: area.containsMouse
    property bool highlighted: false
    // The contacts page: it holds the card.
    property var contactsPage: null

    height: 60
    color: highlighted ? "#F0F0F0" : "transparent"

    VRoundImage {
        id: avatar

        x: 25
        anchors.verticalCenter: parent.verticalCenter
        width: 40
        height: 40
        source: row.logo
        champflag: row.champflag
    }

    Row {
        anchors.left: avatar.right
        anchors.leftMargin: 12
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter

        Text {
            width: Math.min(implicitWidth, parent.width - myself.width)
            text: row.name
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.pixelSize: 14
            color: "#333333"
        }

        Text {
            id: myself

            visible: row.account !== "" && row.account === vConfig.currentAccount
            width: visible ? implicitWidth : 0
            text: VTr.myself
            textFormat: Text.PlainText
            font.pixelSize: 14
            color: "#03C087"
        }
    }

    Timer {
        id: cardTimer

        interval: 500
        // At the pointer over this row: a pointer that came in and rested has not
        // moved in the row, but the row knows where it is.
        onTriggered: {
            if (!row.contactsPage)
                return
            var at = area.mapToGlobal(area.mouseX, area.mouseY)
            row.contactsPage.showCard(row.account, row.name, row.logo, row.summary, row.userid,
                                      at.x, at.y)
        }
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        // No hover cards and clicks while a dialog shows.
        enabled: vGlobal.dialogShowing !== 1
        onEntered: cardTimer.restart()
        onExited: {
            cardTimer.stop()
            if (row.contactsPage)
                row.contactsPage.closeCardUnless(row.account)
        }
        onClicked: row.openChat()
        onDoubleClicked: row.openChat()
    }

    function openChat() {
        cardTimer.stop()
        if (contactsPage)
            contactsPage.closeCard()
        vGlobal.openChat(account, false)
    }
}
