import QtQuick 2.12

// A received message of a type this version cannot show.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageNotSupport {
            row: frame.row
            isSend: false
        }
    }
}
