import QtQuick 2.12

// The user's own avatar beside a sent message; a click shows the own card.
VUserLogo {
    source: vConfig.currentUserLogo
    champflag: vConfig.champflag
    cardAccount: vConfig.currentAccount
    cardName: vConfig.currentUserName
    cardIcon: vConfig.currentUserLogo
    cardSummary: vConfig.currentUserSummary
    cardUid: vConfig.currentUserID

    onLogoClicked: showCard(x, y)
}
