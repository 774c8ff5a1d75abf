import QtQuick 2.12
import "VChatLogic.js" as Logic

// The sender's avatar: in a group a click opens a chat with the sender, otherwise
// the sender's card.
VUserLogo {
    id: receiveLogo

    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowItem(typeof model !== "undefined" ? model : null,
                                    typeof sessionDelegateRoot !== "undefined" ? sessionDelegateRoot : null)

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
