import QtQuick 2.12

// A received text.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageText {
            row: frame.row
            isSend: false
        }
    }
}
