import QtQuick 2.12

// A text of the user's own.
VSendFrame {
    id: frame

    sendMarks: true
    content: Component {
        VMessageText {
            row: frame.row
            isSend: true
        }
    }
}
