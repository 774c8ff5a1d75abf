import QtQuick 2.12
import "commons"
import "contacts"
import "translator"
import "VDialogTable.js" as DialogTable

// The contacts tab: friends, groups and the quick invitation on the left, the
// chosen list on the right. The page holds the one contact card that hovering a
// friend opens.
Rectangle {
    id: page

    property int index: 0
    property var popup: null
    readonly property int minimumLeftWidth: 248
    readonly property int maximumLeftWidth: 350

    // The card for a friend; a card showing another account gives way to it.
    function showCard(account, name, logo, summary, userid, globalX, globalY) {
        if (popup !== null && popup.currentAccount === account)
            return
        closeCard()
        var component = Qt.createComponent(DialogTable.url("VContactInfoPopupWindow.qml"))
        if (component.status !== Component.Ready) {
            console.error("cannot load VContactInfoPopupWindow.qml:", component.errorString().trim())
            return
        }
        popup = component.createObject(page, {
            "currentAccount": account, "currentName": name, "currentIcon": logo,
            "currentSummary": summary, "currentUid": userid, "x": globalX, "y": globalY })
        if (popup !== null) {
            popup.show()
            // Active, so that a click anywhere else closes it.
            popup.requestActivate()
        }
    }

    function closeCard() {
        if (popup === null)
            return
        var old = popup
        popup = null
        old.close()
        old.destroy()
    }

    // The card of another account closes; the card of this one stays, so the
    // pointer can move onto it.
    function closeCardUnless(account) {
        if (popup !== null && popup.currentAccount !== account)
            closeCard()
    }

    anchors.fill: parent
    color: "#FFFFFF"

    // Another entry or tab takes the card away with the list it belonged to.
    onVisibleChanged: if (!visible) closeCard()

    // The group list is read again from the database on every visit.
    onIndexChanged: {
        closeCard()
        if (index === 1) {
            groupManager.wipeData()
            groupManager.initData()
        }
    }

    Rectangle {
        id: leftColumn

        width: page.minimumLeftWidth
        height: parent.height
        color: "#F7F7F7"

        VSearchBar {
            id: searchBar

            x: 16
            y: 25
            width: parent.width - 32 - addButton.width - 10
        }

        VAddButton {
            id: addButton

            anchors.left: searchBar.right
            anchors.leftMargin: 10
            anchors.verticalCenter: searchBar.verticalCenter
        }

        Column {
            y: 80
            width: parent.width

            Repeater {
                model: [
                    { "text": VTr.tesmoChatContacts, "icon": "qrc:/images/contact_page/contacts.png" },
                    { "text": VTr.tesmoChatGroups, "icon": "qrc:/images/contact_page/groups.png" }
                ]

                Rectangle {
                    objectName: "entry" + index
                    width: leftColumn.width
                    height: 64
                    color: page.index === index ? "#E5E5E5" : (entryArea.containsMouse ? "#EEEEEE" : "transparent")

                    Image {
                        id: entryIcon

                        x: 16
                        anchors.verticalCenter: parent.verticalCenter
                        width: 40
                        height: 40
                        source: modelData.icon
                    }

                    Text {
                        anchors.left: entryIcon.right
                        anchors.leftMargin: 12
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData.text
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 14
                        color: "#333333"
                    }

                    MouseArea {
                        id: entryArea

                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: page.index = index
                    }
                }
            }
        }

        Rectangle {
            objectName: "quickInviteButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 30
            width: parent.width - 40
            height: 36
            radius: 5
            color: page.index === 2 ? "#03C087" : (inviteArea.containsMouse ? "#E5E5E5" : "#EEEEEE")

            Text {
                anchors.centerIn: parent
                text: VTr.quickInvite
                textFormat: Text.PlainText
                font.pixelSize: 14
                color: page.index === 2 ? "white" : "#333333"
            }

            MouseArea {
                id: inviteArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: page.index = 2
            }
        }

        // Resizes the left column.
        MouseArea {
            anchors.right: parent.right
            width: 4
            height: parent.height
            cursorShape: Qt.SizeHorCursor
            property real _pressX: 0
            onPressed: _pressX = mouse.x
            onPositionChanged: {
                if (!pressed)
                    return
                var width = leftColumn.width + mouse.x - _pressX
                leftColumn.width = Math.max(page.minimumLeftWidth,
                                            Math.min(page.maximumLeftWidth, width,
                                                     page.width - 470))
            }
        }
    }

    Item {
        id: rightColumn

        anchors.left: leftColumn.right
        anchors.right: parent.right
        height: parent.height

        Text {
            id: title

            objectName: "pageTitle"
            x: 25
            height: 75
            verticalAlignment: Text.AlignVCenter
            text: page.index === 0 ? VTr.tesmoChatContacts
                                   : (page.index === 1 ? VTr.tesmoChatGroups : VTr.chooseFile)
            textFormat: Text.PlainText
            font.pixelSize: 18
            color: "#333333"
        }

        Rectangle {
            anchors.top: title.bottom
            width: parent.width
            height: 1
            color: "#EEEEEE"
        }

        ListView {
            id: friendList

            objectName: "friendList"
            anchors.fill: parent
            anchors.topMargin: 76
            visible: page.index === 0
            clip: true
            model: contactsManager
            delegate: VContactsListCom {
                width: friendList.width
                contactsPage: page
                highlighted: friendList.selectedAccount !== "" && friendList.selectedAccount === account
                onHoveredChanged: if (hovered) friendList.selectedAccount = account
            }

            property string selectedAccount: ""
        }

        ListView {
            id: groupList

            objectName: "groupList"
            anchors.fill: parent
            anchors.topMargin: 76
            visible: page.index === 1
            clip: true
            model: groupManager
            delegate: VGroupsListCom {
                width: groupList.width
                highlighted: groupList.selectedAccount !== "" && groupList.selectedAccount === groupid
                onHoveredChanged: groupList.selectedAccount = hovered ? groupid : ""
            }

            property string selectedAccount: ""
        }

        // Made when the entry is chosen, gone when another is.
        Loader {
            id: inviteLoader

            anchors.fill: parent
            anchors.topMargin: 76
            active: page.index === 2
            source: "contacts/VOneKeyToInviteContentCom.qml"
        }

        Column {
            objectName: "emptyPlaceholder"
            anchors.centerIn: parent
            spacing: 12
            visible: (page.index === 0 && friendList.count === 0) || (page.index === 1 && groupList.count === 0)

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 120
                height: 120
                fillMode: Image.PreserveAspectFit
                source: "qrc:/images/session_page/session_list_empty.png"
            }
        }
    }
}
