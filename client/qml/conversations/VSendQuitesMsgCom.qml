import QtQuick 2.12

// A price quote the user sent.
VSendFrame {
    id: frame

    sendMarks: true
    content: Component {
        VMessageQuotes {
            row: frame.row
            isSend: true
        }
    }
}
