import QtQuick 2.12

// A received picture, with the download's busy or failed mark beside it.
VReceiveFrame {
    id: frame

    content: Component {
        VPictureContent {
            row: frame.row
            isSend: false
            msg: frame.msg
        }
    }
    side: Component {
        Row {
            spacing: 6

            VSendingComponent {
                watchedState: frame.msg.downloadState
                watchedId: frame.msg.id
            }
            VFailedMark {
                visible: frame.msg.downloadState === 0 || frame.msg.downloadState === 3
                onClicked: sessionManager.downloadFile(frame.msg.id, frame.msg.fileurl, frame.msg.localpath)
            }
        }
    }
}
