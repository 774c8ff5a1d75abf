import QtQuick 2.12
import "../commons"
import "../translator"

// Finds a person by phone number or id; a found person's row opens the chat.
VDialog {
    id: dialog

    // 0 no answer yet, 1 found, -5 not found.
    property int currentResult: 0

    width: 460
    height: currentResult === 1 ? 410 : 153
    windowTitle: VTr.addFriend

    function search() {
        var text = input.text
        if (text === "")
            return
        contactsManager.searchAccount(text)
    }

    onOpened: input.forceActiveFocus()
    onClosed: {
        input.text = ""
        currentResult = 0
    }

    Connections {
        target: contactsManager

        function onSearchAccountResult(result) {
            if (result === -5 || result === 1)
                dialog.currentResult = result
        }
    }

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        Rectangle {
            id: field

            x: 20
            y: 15
            width: parent.width - 40
            height: 36
            radius: 5
            color: "#F5F6F7"

            VTextInput {
                id: input

                objectName: "searchInput"
                anchors.fill: parent
                anchors.leftMargin: 12
                anchors.rightMargin: 12
                font.pixelSize: 14
                maximumLength: 20
                placeholderText: VTr.searchFriends
                validator: RegExpValidator { regExp: /[0-9]+/ }
                onEditingFinished: dialog.search()
            }
        }

        Text {
            objectName: "noResult"
            anchors.top: field.bottom
            anchors.topMargin: 15
            anchors.horizontalCenter: parent.horizontalCenter
            visible: dialog.currentResult === -5
            text: VTr.noSearchResult
            textFormat: Text.PlainText
            font.pixelSize: 13
            color: "#999999"
        }

        ListView {
            id: results

            objectName: "searchResults"
            anchors.top: field.bottom
            anchors.topMargin: 10
            anchors.bottom: parent.bottom
            width: parent.width
            clip: true
            visible: dialog.currentResult === 1
            model: dialog.currentResult === 1 ? contactsManager.accountSearchUserManager : null
            delegate: Rectangle {
                readonly property var person: model.modelData

                width: results.width
                height: 60
                color: rowArea.containsMouse ? "#F5F5F5" : "transparent"

                VRoundImage {
                    id: avatar

                    x: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 40
                    height: 40
                    source: person ? person.logo : ""
                    champflag: person ? person.champflag : 0
                }

                Column {
                    anchors.left: avatar.right
                    anchors.leftMargin: 12
                    anchors.right: sendButton.left
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4

                    Text {
                        width: parent.width
                        text: person ? person.name : ""
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font.pixelSize: 14
                        color: "#333333"
                    }

                    Text {
                        width: parent.width
                        text: VTr.uid + (person ? person.userid : "")
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        color: "#999999"
                    }
                }

                Rectangle {
                    id: sendButton

                    anchors.right: parent.right
                    anchors.rightMargin: 20
                    anchors.verticalCenter: parent.verticalCenter
                    width: 100
                    height: 30
                    radius: 5
                    visible: rowArea.containsMouse
                    color: "#03C087"

                    Text {
                        anchors.centerIn: parent
                        text: VTr.sendMessage
                        textFormat: Text.PlainText
                        font.pixelSize: 13
                        color: "white"
                    }
                }

                MouseArea {
                    id: rowArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        if (person)
                            vGlobal.openChat(person.account, false)
                        dialog.close()
                    }
                }
            }
        }
    }
}
