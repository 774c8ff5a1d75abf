import QtQuick 2.12
import "VChatLogic.js" as Logic

// Beside a voice bubble: its length, and the download's busy or failed mark.
Row {
    id: duration

    property var bubble: null
    readonly property var msg: bubble ? bubble.msg : Logic.emptyMessage

    spacing: 6
    layoutDirection: bubble && bubble.isSend ? Qt.RightToLeft : Qt.LeftToRight

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: Logic.voiceSeconds(duration.msg.seconds) + "\""
        textFormat: Text.PlainText
        font.pixelSize: 12
        color: "#999999"
    }
    Image {
        id: busy

        width: 20
        height: 20
        anchors.verticalCenter: parent.verticalCenter
        visible: duration.msg.downloadState === 2
        source: "qrc:/images/session_page/loading.png"

        RotationAnimation on rotation {
            from: 0
            to: 360
            duration: 4000
            loops: Animation.Infinite
            running: busy.visible
        }
    }
    VFailedMark {
        anchors.verticalCenter: parent.verticalCenter
        visible: duration.msg.downloadState === 0 || duration.msg.downloadState === 3
        onClicked: {
            if (duration.bubble)
                duration.bubble.download()
        }
    }
}
