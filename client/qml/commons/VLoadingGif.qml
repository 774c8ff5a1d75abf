import QtQuick 2.12

// The loading animation in a dark box, playing while visible.
Rectangle {
    width: 80
    height: 80
    radius: 5
    color: "#80000000"

    AnimatedImage {
        anchors.centerIn: parent
        width: parent.width * 3 / 4
        height: parent.height * 3 / 4
        source: "qrc:/images/index_page/loading.gif"
        playing: parent.visible
    }
}
