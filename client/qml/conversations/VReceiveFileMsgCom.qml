import QtQuick 2.12

// A received file, with the download's progress under it.
VReceiveFrame {
    id: frame

    content: Component {
        VMessageFile {
            row: frame.row
            isSend: false
        }
    }
    below: Component {
        VFileProgress {
            msg: frame.msg
        }
    }
}
