import QtQuick 2.12

// A received voice message, its length at the right.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageAudio {
            row: frame.row
            isSend: false
        }
    }
    side: Component {
        VAudioDuration {
            bubble: frame.contentItem
        }
    }
}
