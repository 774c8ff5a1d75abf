import QtQuick 2.12
import "VChatLogic.js" as Logic

// A bubble with a text of the program's own (red envelope, unsupported message).
VMessageBubble {
    id: fixedBubble

    property string fixedText: ""
    readonly property int padding: 10

    width: label.width + 2 * padding
    height: label.height + 2 * padding

    Text {
        id: metrics

        visible: false
        text: fixedBubble.fixedText
        textFormat: Text.PlainText
        font.pixelSize: 14
    }

    Text {
        id: label

        x: fixedBubble.padding
        y: fixedBubble.padding
        width: Math.ceil(Logic.textWidth(metrics.implicitWidth, fixedBubble.viewWidth, fixedBubble.screenWidth))
        text: fixedBubble.fixedText
        textFormat: Text.PlainText
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        font.pixelSize: 14
        color: fixedBubble.textColor
    }
}
