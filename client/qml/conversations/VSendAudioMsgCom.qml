import QtQuick 2.12

// A voice message of the user's own, its length at the left.
VSendFrame {
    id: frame

    content: Component {
        VMessageAudio {
            row: frame.row
            isSend: true
        }
    }
    side: Component {
        VAudioDuration {
            bubble: frame.contentItem
        }
    }
}
