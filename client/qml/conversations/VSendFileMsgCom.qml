import QtQuick 2.12

// A file of the user's own: the send state under the bubble, the failed mark to
// send again beside it.
VSendFrame {
    id: frame

    function sendStateText(state) {
        if (state === 2)
            return qsTr("Sending...") + vTranslator.i18n
        if (state === 0)
            return qsTr("Send failed") + vTranslator.i18n
        return ""
    }

    content: Component {
        VMessageFile {
            row: frame.row
            isSend: true
        }
    }
    side: Component {
        VFailedMark {
            visible: frame.msg.sendstate === 0
            onClicked: sessionManager.repeatSendMsg(frame.msg.id)
        }
    }
    below: Component {
        Column {
            spacing: 4

            VFileProgress {
                msg: frame.msg
                sending: true
            }
            Text {
                anchors.right: parent.right
                visible: text !== ""
                text: frame.sendStateText(frame.msg.sendstate)
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: frame.msg.sendstate === 0 ? "#FF3B30" : "#999999"
            }
        }
    }
}
