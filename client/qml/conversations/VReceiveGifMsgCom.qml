import QtQuick 2.12

// A received sticker.
VReceiveFrame {
    content: Component {
        VMessageGif {
            isSend: false
        }
    }
}
