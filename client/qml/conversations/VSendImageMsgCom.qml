import QtQuick 2.12

// A picture of the user's own.
VSendFrame {
    id: frame

    sendMarks: true
    content: Component {
        VPictureContent {
            row: frame.row
            isSend: true
            msg: frame.msg
        }
    }
}
