import QtQuick 2.12

// A red envelope the user sent.
VSendFrame {
    id: frame

    content: Component {
        VMessageRedEnvelope {
            row: frame.row
            isSend: true
        }
    }
}
