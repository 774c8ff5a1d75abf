import QtQuick 2.12
import QtQuick.Window 2.12
import "qrc:/qml/conversations"

// The program's chat page in a window of the size the program is tried at.
Window {
    property alias page: page

    width: 1366
    height: 768
    visible: true

    VSessionListPage {
        id: page
    }
}
