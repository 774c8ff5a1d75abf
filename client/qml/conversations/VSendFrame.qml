import QtQuick 2.12
import "VChatLogic.js" as Logic

// A message of the user's own: the own avatar at the top right, the content to its
// left and, further left, whatever the kind puts beside it (busy and failed marks).
Item {
    id: frame

    // The message view's row that shows this message (the row sets it).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)
    property Component content: null
    // The delayed busy mark and the failed mark (which sends again).
    property bool sendMarks: false
    property Component side: null
    property Component below: null
    readonly property alias contentItem: contentLoader.item

    width: row && row.view ? row.view.width : (parent ? parent.width : 600)
    height: Math.max(logo.height, contentLoader.height + belowLoader.height)

    VMyselfUserLogo {
        id: logo

        anchors.right: parent.right
        anchors.rightMargin: 27
        anchors.top: parent.top
    }

    Loader {
        id: contentLoader

        anchors.right: logo.left
        anchors.rightMargin: 15
        anchors.top: parent.top
        sourceComponent: frame.content
    }

    Row {
        anchors.right: contentLoader.left
        anchors.rightMargin: 6
        anchors.verticalCenter: contentLoader.verticalCenter
        spacing: 6
        layoutDirection: Qt.RightToLeft

        Loader {
            sourceComponent: frame.side
        }
        VSendingComponent {
            watchedState: frame.sendMarks ? frame.msg.sendstate : 1
            watchedId: frame.msg.id
        }
        VFailedMark {
            visible: frame.sendMarks && frame.msg.sendstate === 0
            onClicked: sessionManager.repeatSendMsg(frame.msg.id)
        }
    }

    Loader {
        id: belowLoader

        anchors.right: contentLoader.right
        anchors.top: contentLoader.bottom
        sourceComponent: frame.below
    }
}
