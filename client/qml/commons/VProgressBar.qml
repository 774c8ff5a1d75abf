import QtQuick 2.12
import QtQuick.Controls 2.12

// A thin progress bar of the file transfer bubbles.
ProgressBar {
    id: control

    implicitHeight: 2
    padding: 0

    background: Rectangle {
        implicitHeight: 2
        color: "white"
    }

    contentItem: Item {
        implicitHeight: 2

        Rectangle {
            width: control.visualPosition * parent.width
            height: parent.height
            color: "#FAE100"
        }
    }
}
