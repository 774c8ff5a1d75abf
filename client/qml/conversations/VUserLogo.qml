import QtQuick 2.12
import "../commons"
import "../VDialogTable.js" as DialogTable

// A 36 by 36 avatar beside a message; a click shows a contact card at the mouse
// (or does what the owner asks instead).
VRoundImage {
    id: logo

    property string cardAccount: ""
    property string cardName: ""
    property string cardIcon: ""
    property string cardSummary: ""
    property var cardUid: 0

    signal logoClicked(real x, real y)

    function showCard(x, y) {
        // The card belongs to the contacts page.
        var component = Qt.createComponent(DialogTable.url("VContactInfoPopupWindow.qml"))
        if (component.status !== Component.Ready) {
            console.error("cannot load VContactInfoPopupWindow.qml:", component.errorString().trim())
            return null
        }
        var place = logo.mapToGlobal(x, y)
        // Owned by the avatar: the card runs in the avatar's context, so a card that
        // outlived its message row would neither answer clicks nor close.
        var card = component.createObject(logo, {
            "currentAccount": cardAccount, "currentName": cardName, "currentIcon": cardIcon,
            "currentSummary": cardSummary, "currentUid": cardUid, "x": place.x, "y": place.y
        })
        if (card === null)
            return null
        card.closed.connect(function () { card.destroy() })
        card.show()
        return card
    }

    width: 36
    height: 36
    sourceSize: Qt.size(72, 72)

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: logo.logoClicked(mouse.x, mouse.y)
    }
}
