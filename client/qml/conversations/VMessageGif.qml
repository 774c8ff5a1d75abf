import QtQuick 2.12
import "../settings"

// An animated sticker, drawn from the program's own pictures by its name.
VMessageBubble {
    id: sticker

    width: 96
    height: 96
    bubbleVisible: false

    AnimatedImage {
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        source: VSettings.getQrcUrlByGifName(sticker.msg.content)
        playing: !sticker.pageLoading && !sticker.viewMoving
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: sticker.emitRightClicked(mouse.x, mouse.y, "")
    }
}
