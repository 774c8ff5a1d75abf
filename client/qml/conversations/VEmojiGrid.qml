import QtQuick 2.12

// One page of the emoji picker: a grid of pictures, each cell a choice.
GridView {
    id: grid

    property int pictureSize: 28
    property var pictureSource: function (index) { return "" }

    signal chosen(int index)

    clip: true
    boundsBehavior: Flickable.StopAtBounds
    delegate: Item {
        width: grid.cellWidth
        height: grid.cellHeight

        Rectangle {
            anchors.fill: parent
            anchors.margins: 2
            radius: 3
            color: cellArea.containsMouse ? "#ECECEC" : "transparent"
        }
        Image {
            anchors.centerIn: parent
            width: grid.pictureSize
            height: grid.pictureSize
            asynchronous: true
            source: grid.pictureSource(index)
        }
        MouseArea {
            id: cellArea

            anchors.fill: parent
            hoverEnabled: true
            onClicked: grid.chosen(index)
        }
    }
}
