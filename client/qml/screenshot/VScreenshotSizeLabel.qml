import QtQuick 2.12

// The selection's size: above the selection when there is room, else inside its top
// left corner.
Rectangle {
    id: label

    property Item target: null
    // The target's geometry; empty while there is none.
    readonly property rect selection: target ? Qt.rect(target.x, target.y, target.width, target.height)
                                             : Qt.rect(0, 0, 0, 0)
    readonly property alias text: sizeText.text

    x: selection.y > height + 15 ? selection.x : selection.x + 13
    y: selection.y > height + 15 ? selection.y - (height + 13) : selection.y + 13
    width: sizeText.width + 26
    height: sizeText.height + 7
    color: "#7B000000"
    radius: 3

    Text {
        id: sizeText

        anchors.centerIn: parent
        text: Math.round(selection.width) + " * " + Math.round(selection.height)
        color: "white"
        font.pixelSize: 12
        font.bold: true
    }
}
