import QtQuick 2.12
import "VChatLogic.js" as Logic

// A group notice: centred grey text, no actions.
Item {
    id: notice

    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowItem(typeof model !== "undefined" ? model : null,
                                    typeof sessionDelegateRoot !== "undefined" ? sessionDelegateRoot : null)

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
