import QtQuick 2.12

// A transient warning under the top of its parent: a new text shows it for 3 s.
Rectangle {
    id: warningTip

    property string text: ""

    function closeWarning() {
        timer.stop()
        height = 0
        visible = false
        text = ""
    }

    readonly property real _parentWidth: parent ? parent.width : 0

    width: Math.min(Math.max(260, label.implicitWidth + 60), Math.max(0, _parentWidth - 30))
    height: 0
    visible: false
    y: 50
    x: (_parentWidth - width) / 2
    radius: 5
    color: "#CC333333"
    clip: true

    onTextChanged: {
        if (text === "") {
            closeWarning()
            return
        }
        visible = true
        height = 50
        timer.restart()
    }

    Behavior on height {
        NumberAnimation { duration: 500; easing.type: Easing.OutBack }
    }

    Timer {
        id: timer

        interval: 3000
        onTriggered: warningTip.closeWarning()
    }

    Row {
        anchors.centerIn: parent
        spacing: 10

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            source: "qrc:images/warning.png"
        }

        Text {
            id: label

            anchors.verticalCenter: parent.verticalCenter
            text: warningTip.text
            textFormat: Text.PlainText
            font.pixelSize: 16
            color: "white"
        }
    }
}
