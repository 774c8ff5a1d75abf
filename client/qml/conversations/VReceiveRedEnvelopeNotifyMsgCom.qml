import QtQuick 2.12

// A received red envelope.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageRedEnvelope {
            row: frame.row
            isSend: false
        }
    }
}
