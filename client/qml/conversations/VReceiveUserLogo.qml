import QtQuick 2.12
import "VChatLogic.js" as Logic

// The sender's avatar: in a group a click opens a chat with the sender, otherwise
// the sender's card.
VUserLogo {
    id: receiveLogo

    // The message view's row that shows this message (set by whoever makes this).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)

    source: msg.icon
    champflag: msg.champflag
    cardAccount: msg.fromuser
    cardName: msg.name
    cardIcon: msg.icon

    onLogoClicked: {
        if (msg.totype === 1) {
            vGlobal.openChatWithNameAndIcon(msg.fromuser, false, msg.name, msg.icon)
            return
        }
        cardSummary = vGlobal.getSummaryByAccount(msg.fromuser)
        cardUid = vGlobal.getUseridByAccount(msg.fromuser)
        showCard(x, y)
    }
}
