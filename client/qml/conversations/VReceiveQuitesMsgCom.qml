import QtQuick 2.12

// A received price quote.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageQuotes {
            row: frame.row
            isSend: false
        }
    }
}
