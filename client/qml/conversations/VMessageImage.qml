import QtQuick 2.12
import QtGraphicalEffects 1.0
import "../settings"
import "VChatLogic.js" as Logic

// A picture message: decoded at its shown size, its corners masked to the bubble.
// A grey placeholder stands in until the file is there and readable.
VMessageBubble {
    id: imageBubble

    readonly property var shownSize: Logic.pictureSize(msg.width, msg.height)
    readonly property bool present: msg.downloadState === 1 && !pageLoading
    readonly property bool ready: picture.status === Image.Ready

    width: shownSize.width
    height: shownSize.height
    bubbleVisible: false

    Image {
        id: picture

        anchors.fill: parent
        visible: false
        source: imageBubble.present && imageBubble.shownSize.known && imageBubble.msg.localpath !== ""
                ? VSettings.localFileToUrl(imageBubble.msg.localpath) : ""
        sourceSize: Qt.size(imageBubble.shownSize.width, imageBubble.shownSize.height)
        fillMode: imageBubble.shownSize.crop ? Image.PreserveAspectCrop : Image.PreserveAspectFit
        asynchronous: true
        cache: true
        autoTransform: true
    }

    Rectangle {
        id: mask

        anchors.fill: parent
        radius: 8
        visible: false
    }

    OpacityMask {
        anchors.fill: parent
        source: picture
        maskSource: mask
        visible: imageBubble.ready
    }

    Rectangle {
        anchors.fill: parent
        radius: 8
        color: "#E5E5E5"
        visible: !imageBubble.ready

        Image {
            anchors.centerIn: parent
            width: Math.min(parent.width, 40)
            height: width
            source: "qrc:/images/session_page/image_load_default.png"
            fillMode: Image.PreserveAspectFit
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (mouse.button === Qt.RightButton)
                imageBubble.emitRightClicked(mouse.x, mouse.y, "")
            else
                imageBubble.clickPicture()
        }
    }
}
