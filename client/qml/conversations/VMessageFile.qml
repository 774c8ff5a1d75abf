import QtQuick 2.12
import "../commons"
import "../translator"

// A file message: icon, name and size; download status, or "Open" and the options
// arrow once the file is there.
VMessageBubble {
    id: fileBubble

    objectName: "fileBubble"

    readonly property int state: msg.downloadState
    readonly property bool present: isSend ? msg.sendstate === 1 && msg.downloadState === 1
                                           : msg.downloadState === 1

    function statusText(hovered) {
        switch (state) {
        case 0:
            return hovered ? VTr.startDownload : VTr.download
        case 2:
            return VTr.downloading
        case 3:
            return hovered ? VTr.retryDownload : VTr.downloadFailed
        default:
            return ""
        }
    }

    function openFile() {
        if (vGlobal.fileExists(msg.localpath))
            openLocalFile(msg.localpath)
        else
            vGlobal.fileIsNotExists()
    }

    width: 220
    height: 70
    bubbleColor: "#FFFFFF"

    // The body answers the right button only.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: fileBubble.emitRightClicked(mouse.x, mouse.y, "")
    }

    Image {
        id: icon

        x: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 50
        height: 50
        source: fileBubble.msg.fileName !== "" ? vGlobal.fileIconQrc(fileBubble.msg.fileName)
                                                : "qrc:/images/session_page/files/file_icon_others.png"
    }

    Text {
        id: nameText

        anchors.left: icon.right
        anchors.leftMargin: 10
        y: 8
        width: 130
        text: fileBubble.msg.fileName
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"
        wrapMode: Text.WrapAnywhere
        maximumLineCount: 2
        elide: Text.ElideMiddle
    }

    Text {
        anchors.left: nameText.left
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        text: fileBubble.msg.fileSize
        textFormat: Text.PlainText
        font.pixelSize: 12
        color: "#999999"
    }

    Text {
        id: status

        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        visible: fileBubble.state !== 1
        text: fileBubble.statusText(statusArea.containsMouse)
        textFormat: Text.PlainText
        font.pixelSize: 12
        color: "#3385FF"

        MouseArea {
            id: statusArea

            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                if (fileBubble.state === 0 || fileBubble.state === 3)
                    fileBubble.download()
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 6
        visible: fileBubble.present

        Text {
            text: VTr.open
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: "#3385FF"

            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: fileBubble.openFile()
            }
        }
        Image {
            id: options

            anchors.verticalCenter: parent.verticalCenter
            source: "qrc:/images/session_page/file_open_options.png"

            MouseArea {
                anchors.fill: parent
                anchors.margins: -4
                cursorShape: Qt.PointingHandCursor
                onClicked: {
                    var point = fileBubble.inView(options.x + options.parent.x + 9,
                                                  options.y + options.parent.y + 7)
                    if (fileBubble.row && fileBubble.row.fileOpenOptionsClicked)
                        fileBubble.row.fileOpenOptionsClicked(point.x, point.y, fileBubble.msg.localpath)
                }
            }
        }
    }
}
