import QtQuick 2.12

// The red mark of a failed send or download; a click tries again.
Image {
    id: failed

    signal clicked()

    width: 20
    height: 20
    source: "qrc:/images/session_page/send_failed.png"

    MouseArea {
        anchors.fill: parent
        anchors.margins: -5
        cursorShape: Qt.PointingHandCursor
        onClicked: failed.clicked()
    }
}
