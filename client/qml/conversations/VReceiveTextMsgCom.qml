import QtQuick 2.12

// A received text.
VReceiveFrame {
    content: Component {
        VMessageText {
            isSend: false
        }
    }
}
