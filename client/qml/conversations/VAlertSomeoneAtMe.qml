import QtQuick 2.12
import "../translator"

// The "Someone @ me" banner at the right edge of the chat column; a click leads to
// the message that mentions the user.
Item {
    id: banner

    property bool hasAtMe: false
    property int atMeIndex: -1

    signal gotoAtMe()

    function show(index) {
        atMeIndex = index
        hasAtMe = true
    }

    function hide() {
        hasAtMe = false
        atMeIndex = -1
    }

    width: pill.width
    height: 36
    x: parent ? (hasAtMe ? parent.width - width : parent.width + 10) : 0

    Behavior on x {
        NumberAnimation { duration: 100 }
    }

    Rectangle {
        id: pill

        width: row.width + 30
        height: 36
        radius: 18
        color: "#CC222222"

        Row {
            id: row

            x: 15
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6

            Image {
                anchors.verticalCenter: parent.verticalCenter
                source: "qrc:/images/session_page/goto_at_me.png"
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: VTr.someoneAtMe
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#FAE100"
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            banner.hide()
            banner.gotoAtMe()
        }
    }
}
