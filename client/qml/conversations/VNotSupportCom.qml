import QtQuick 2.12

// A received message of a type this version cannot show.
VReceiveFrame {
    content: Component {
        VMessageNotSupport {
            isSend: false
        }
    }
}
