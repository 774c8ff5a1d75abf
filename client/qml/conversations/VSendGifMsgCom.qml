import QtQuick 2.12

// A sticker of the user's own.
VSendFrame {
    sendMarks: true
    content: Component {
        VMessageGif {
            isSend: true
        }
    }
}
