import QtQuick 2.12
import "../settings"
import "VChatLogic.js" as Logic

// A GIF picture message: animates only while the page is not loading and the view
// stands still.
VMessageBubble {
    id: animatedBubble

    readonly property var shownSize: Logic.animatedSize(msg.width, msg.height)

    width: shownSize.width
    height: shownSize.height
    bubbleVisible: false

    AnimatedImage {
        id: picture

        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        cache: true
        asynchronous: true
        source: animatedBubble.pageLoading ? ""
              : (animatedBubble.msg.downloadState === 1 && animatedBubble.msg.localpath !== ""
                 ? VSettings.localFileToUrl(animatedBubble.msg.localpath)
                 : "qrc:/images/session_page/image_load_default.png")
        playing: !animatedBubble.pageLoading && !animatedBubble.viewMoving
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (mouse.button === Qt.RightButton)
                animatedBubble.emitRightClicked(mouse.x, mouse.y, "")
            else
                animatedBubble.clickPicture()
        }
    }
}
