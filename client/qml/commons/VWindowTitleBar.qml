import QtQuick 2.12
import QtQuick.Window 2.12

// Title bar of a dialog: drags the dialog, closes it, and takes the focus off inputs.
Rectangle {
    id: titleBar

    property string windowTitle: ""
    property int windowTitleHeight: 50
    // What takes the focus on a click; the dialog's background by default.
    property Item focusTarget: parent

    readonly property var _window: Window.window
    property point _pressPoint: Qt.point(0, 0)

    height: visible ? windowTitleHeight : 0
    color: "#EEEEEE"

    MouseArea {
        anchors.fill: parent
        onPressed: {
            titleBar._pressPoint = Qt.point(mouse.x, mouse.y)
            if (titleBar.focusTarget)
                titleBar.focusTarget.forceActiveFocus()
        }
        onPositionChanged: {
            if (!pressed || !titleBar._window)
                return
            titleBar._window.x += mouse.x - titleBar._pressPoint.x
            titleBar._window.y += mouse.y - titleBar._pressPoint.y
        }
    }

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        text: titleBar.windowTitle
        textFormat: Text.PlainText
        font.pixelSize: 16
        color: "#333333"
    }

    Item {
        anchors.right: parent.right
        anchors.rightMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        width: 25
        height: 25

        Image {
            anchors.centerIn: parent
            width: 12
            height: 12
            source: "qrc:/images/close.png"
        }

        VHoveredMouseArea {
            anchors.fill: parent
            onClicked: {
                if (titleBar._window)
                    titleBar._window.close()
            }
        }
    }
}
