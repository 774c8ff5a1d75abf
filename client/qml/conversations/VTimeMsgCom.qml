import QtQuick 2.12
import "VChatLogic.js" as Logic

// The time label above a message.
Item {
    id: timeLabel

    // The message view's row that shows this message (set by whoever makes this).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)

    width: parent ? parent.width : 400
    height: 54

    Text {
        anchors.centerIn: parent
        text: Logic.timeLabel(timeLabel.msg.sendtime, new Date(), qsTr("Yesterday") + vTranslator.i18n)
        textFormat: Text.PlainText
        font.pixelSize: 12
        color: "#999999"
    }
}
