import QtQuick 2.12
import "VChatLogic.js" as Logic

// The sender's name above a received message. In a group a click mentions the
// sender in the input field.
Text {
    id: userName

    // The message view's row that shows this message (set by whoever makes this).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)
    readonly property bool inGroup: msg.totype === 1

    text: msg.name + (inGroup && area.containsMouse ? "@" : "")
    textFormat: Text.PlainText
    font.pixelSize: 14
    color: inGroup && area.containsMouse ? "#FF3B30" : "#999999"
    elide: Text.ElideRight

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: userName.inGroup
        enabled: userName.inGroup
        cursorShape: Qt.PointingHandCursor
        onClicked: vGlobal.atSomebody(userName.msg.fromuser, userName.msg.name)
    }
}
