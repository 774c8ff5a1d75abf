import QtQuick 2.12

// A text of the user's own.
VSendFrame {
    sendMarks: true
    content: Component {
        VMessageText {
            isSend: true
        }
    }
}
