import QtQuick 2.12
import QtTest 1.12
import "qrc:/qml/conversations"

// The contact card an avatar beside a message opens: it lives as long as the avatar
// (whose context runs it) and goes once closed.
Item {
    id: root

    width: 400
    height: 300

    property QtObject card: null

    Component {
        id: logoComponent

        VUserLogo {
            cardAccount: "2000@tesmo.x"
            cardName: "Ann"
            cardSummary: "hello"
            cardUid: 2000
        }
    }

    TestCase {
        name: "UserCard"
        when: windowShown

        function test_cardGoesWithTheAvatar() {
            var logo = logoComponent.createObject(root)
            root.card = logo.showCard(4, 4)
            verify(root.card !== null)
            tryCompare(root.card, "visible", true)
            compare(root.card.currentName, "Ann")
            logo.destroy()
            tryVerify(function () { return root.card === null }, 5000,
                      "the card of a gone message row would no longer answer")
        }

        function test_closedCardGoes() {
            var logo = createTemporaryObject(logoComponent, root)
            root.card = logo.showCard(4, 4)
            verify(root.card !== null)
            tryCompare(root.card, "visible", true)
            root.card.close()
            tryVerify(function () { return root.card === null }, 5000)
        }
    }
}
