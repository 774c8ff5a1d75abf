import QtQuick 2.12
import QtQuick.Window 2.12
import "translator"

// The program's first window.
Window {
    id: splashPage

    width: 360
    height: 480
    visible: true
    title: VTr.tesmoChat
    color: "#ffffff"

    Column {
        anchors.centerIn: parent
        spacing: 16

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 96
            height: 96
            source: "qrc:/tesmo_chat.ico"
            sourceSize: Qt.size(96, 96)
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: VTr.tesmoChat
            font.pixelSize: 24
            color: "#333333"
        }
    }

    // Until the tray menu exists, closing the window ends the program.
    onClosing: Qt.quit()
}
