import QtQuick 2.12

// A red envelope the user sent.
VSendFrame {
    content: Component {
        VMessageRedEnvelope {
            isSend: true
        }
    }
}
