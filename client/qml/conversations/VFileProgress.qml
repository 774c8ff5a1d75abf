import QtQuick 2.12
import "../commons"
import "VChatLogic.js" as Logic

// The transfer bar under a file bubble.
VProgressBar {
    property var msg: Logic.emptyMessage
    property bool sending: false

    width: 220
    visible: (sending && msg.sendstate === 2) || msg.downloadState === 2
    value: Math.max(0, Math.min(1, msg.progress / 1000))
}
