import QtQuick 2.12

// A sticker of the user's own.
VSendFrame {
    id: frame

    sendMarks: true
    content: Component {
        VMessageGif {
            row: frame.row
            isSend: true
        }
    }
}
