import QtQuick 2.12

// A dialog's confirming button. While busy it shrinks to a circle with a turning
// loading picture and takes no clicks; every reply makes it normal again.
Rectangle {
    id: button

    property string text: ""
    property bool busy: false
    property int normalWidth: 90

    signal clicked()

    width: busy ? height : normalWidth
    height: 34
    radius: busy ? height / 2 : 5
    color: enabled ? "#03C087" : "#A6E4D1"

    Behavior on width {
        NumberAnimation { duration: 150 }
    }

    Text {
        anchors.centerIn: parent
        visible: !button.busy
        text: button.text
        textFormat: Text.PlainText
        color: "white"
        font.pixelSize: 14
    }

    Image {
        anchors.centerIn: parent
        width: 20
        height: 20
        visible: button.busy
        source: "qrc:/images/loading.png"

        RotationAnimation on rotation {
            running: button.busy
            loops: Animation.Infinite
            from: 0
            to: 360
            duration: 1000
        }
    }

    MouseArea {
        anchors.fill: parent
        enabled: button.enabled && !button.busy
        cursorShape: Qt.PointingHandCursor
        onClicked: button.clicked()
    }
}
