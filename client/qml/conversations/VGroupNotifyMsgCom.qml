import QtQuick 2.12
import "VChatLogic.js" as Logic

// A group notice: centred grey text, no actions.
Item {
    id: notice

    // The message view's row that shows this message (set by whoever makes this).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)

    width: parent ? parent.width : 400
    height: label.height + 10

    Text {
        id: label

        x: 40
        y: 5
        width: notice.width - 80
        text: notice.msg.content
        textFormat: Text.PlainText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        font.pixelSize: 12
        color: "#999999"
    }
}
