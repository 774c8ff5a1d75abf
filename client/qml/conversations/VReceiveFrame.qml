import QtQuick 2.12
import "VChatLogic.js" as Logic

// A received message: the sender's avatar at the left, the name beside it, the
// content under the name and whatever the kind puts beside or below it.
Item {
    id: frame

    // The message view's row that shows this message (the row sets it).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)
    property Component content: null
    property Component side: null
    property Component below: null
    readonly property alias contentItem: contentLoader.item

    width: row && row.view ? row.view.width : (parent ? parent.width : 600)
    height: Math.max(logo.height, userName.height + 5 + contentLoader.height + belowLoader.height)

    VReceiveUserLogo {
        id: logo

        row: frame.row
        x: 20
        anchors.top: parent.top
    }

    VUserName {
        id: userName

        row: frame.row
        anchors.left: logo.right
        anchors.leftMargin: 15
        anchors.top: parent.top
        width: Math.min(implicitWidth, frame.width - x - 20)
    }

    Loader {
        id: contentLoader

        anchors.left: userName.left
        anchors.top: userName.bottom
        anchors.topMargin: 5
        sourceComponent: frame.content
    }

    Loader {
        anchors.left: contentLoader.right
        anchors.leftMargin: 6
        anchors.verticalCenter: contentLoader.verticalCenter
        sourceComponent: frame.side
    }

    Loader {
        id: belowLoader

        anchors.left: contentLoader.left
        anchors.top: contentLoader.bottom
        sourceComponent: frame.below
    }
}
