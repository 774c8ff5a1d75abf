import QtQuick 2.12

// A price quote the user sent.
VSendFrame {
    sendMarks: true
    content: Component {
        VMessageQuotes {
            isSend: true
        }
    }
}
