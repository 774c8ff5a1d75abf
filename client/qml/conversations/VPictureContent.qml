import QtQuick 2.12
import "../settings"

// A picture message's content: animated when the file is a GIF.
Loader {
    id: pictureContent

    property bool isSend: false
    property var msg: null
    property var row: null

    sourceComponent: msg && VSettings.endsWidthGif(msg.localpath) ? animated : still

    Component {
        id: still

        VMessageImage {
            row: pictureContent.row
            isSend: pictureContent.isSend
        }
    }
    Component {
        id: animated

        VMessageAnimatedImage {
            row: pictureContent.row
            isSend: pictureContent.isSend
        }
    }
}
