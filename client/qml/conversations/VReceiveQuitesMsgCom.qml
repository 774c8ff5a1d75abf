import QtQuick 2.12

// A received price quote.
VReceiveFrame {
    content: Component {
        VMessageQuotes {
            isSend: false
        }
    }
}
