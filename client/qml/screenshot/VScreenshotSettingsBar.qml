import QtQuick 2.12

// The tool bar under the selection: save, cancel and confirm.
Rectangle {
    id: bar

    property Item target: null
    // The target's geometry; empty while there is none.
    readonly property rect selection: target ? Qt.rect(target.x, target.y, target.width, target.height)
                                             : Qt.rect(0, 0, 0, 0)
    property real areaHeight: 0

    readonly property bool outside: selection.y + selection.height < areaHeight - 55

    signal save()
    signal cancel()
    signal confirm()

    // Never left of the screen, where its icons could not be reached.
    x: Math.max(0, selection.x + selection.width - (outside ? 140 : 153))
    y: outside ? selection.y + selection.height + 13 : selection.y + selection.height - 53
    width: 140
    height: 40
    color: "#333333"
    border.color: "black"
    radius: 3

    Repeater {
        model: [
            { name: "save", source: "qrc:/images/screenshot/save.png", x: 20 },
            { name: "cancel", source: "qrc:/images/screenshot/cancel.png", x: (140 - 20) / 2 },
            { name: "confirm", source: "qrc:/images/screenshot/comfirm.png", x: 140 - 20 - 20 }
        ]

        Image {
            objectName: modelData.name
            x: modelData.x
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            source: modelData.source
            opacity: iconArea.pressed ? 0.5 : 1

            MouseArea {
                id: iconArea

                anchors.fill: parent
                anchors.margins: -5
                cursorShape: Qt.PointingHandCursor
                onClicked: bar[modelData.name]()
            }
        }
    }
}
