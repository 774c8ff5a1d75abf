import QtQuick 2.12
import QtQuick.Window 2.12
import "../settings"
import "VChatLogic.js" as Logic

// The common part of every message content: the row's message item, the side, the
// bubble shape (radius 8, the top corner on the avatar's side square) and the way
// right clicks reach the row.
Item {
    id: bubble

    property bool isSend: false
    // The message view's row that shows this content (passed down by the row's
    // component); null outside a row.
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)
    property alias bubbleColor: shape.color
    property alias bubbleVisible: shape.visible
    readonly property color textColor: isSend ? "#FFFFFF" : "#333333"
    readonly property var view: row ? row.view : null
    readonly property bool pageLoading: row !== null && row.pageLoading === true
    readonly property bool viewMoving: row !== null && row.viewMoving === true
    // The widest a text may be shown.
    readonly property real viewWidth: view ? view.width : 800
    readonly property real screenWidth: Screen.width > 0 ? Screen.width : 1366

    // Coordinates of this item in the message view.
    function inView(x, y) {
        return view ? mapToItem(view, x, y) : Qt.point(x, y)
    }

    function emitRightClicked(x, y, copyText) {
        var point = inView(x, y)
        if (row && row.rightClicked)
            row.rightClicked(point.x, point.y, copyText)
    }

    function emitTranslationRightClicked(x, y, copyText) {
        var point = inView(x, y)
        if (row && row.translationRightClicked)
            row.translationRightClicked(point.x, point.y, copyText)
    }

    // A desktop without a program for the file says nothing itself: the row does.
    function openLocalFile(path) {
        if (!Qt.openUrlExternally(VSettings.localFileToUrl(path)) && row && row.fileOpenFailed)
            row.fileOpenFailed()
    }

    function download() {
        sessionManager.downloadFile(msg.id, msg.fileurl, msg.localpath)
    }

    // A left click on a picture: open it when it is there (and really is a
    // picture), fetch it again when it is missing or failed.
    function clickPicture() {
        if (msg.downloadState === 1) {
            if (vGlobal.isImage(msg.localpath))
                openLocalFile(msg.localpath)
        } else if (msg.downloadState === 0 || msg.downloadState === 3) {
            download()
        }
    }

    Rectangle {
        id: shape

        anchors.fill: parent
        radius: 8
        color: bubble.isSend ? "#2E2E2E" : "#FFFFFF"

        Rectangle {
            width: parent.radius
            height: parent.radius
            color: parent.color
            visible: parent.visible
            anchors.top: parent.top
            anchors.left: bubble.isSend ? undefined : parent.left
            anchors.right: bubble.isSend ? parent.right : undefined
        }
    }
}
