import QtQuick 2.12

// A received sticker.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageGif {
            row: frame.row
            isSend: false
        }
    }
}
