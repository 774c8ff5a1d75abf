import QtQuick 2.12
import "VChatLogic.js" as Logic

// The time label above a message.
Item {
    id: timeLabel

    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowItem(typeof model !== "undefined" ? model : null,
                                    typeof sessionDelegateRoot !== "undefined" ? sessionDelegateRoot : null)

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
