import QtQuick 2.12

// A received red envelope.
VReceiveFrame {
    content: Component {
        VMessageRedEnvelope {
            isSend: false
        }
    }
}
