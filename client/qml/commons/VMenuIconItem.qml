import QtQuick 2.12
import QtQuick.Controls 2.12

// A menu row with an 18 x 18 icon before its text.
MenuItem {
    id: menuItem

    property url iconSource: ""
    // A binding, not a handler: handlers still run while the window is torn down,
    // when their item's ids are gone.
    readonly property int textPaintedWidth: label.paintedWidth + 62

    height: visible ? 40 : 0

    contentItem: Item {
        Image {
            id: iconImage

            anchors.left: parent.left
            anchors.leftMargin: 9
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 18
            source: menuItem.iconSource
        }

        Text {
            id: label

            anchors.left: iconImage.right
            anchors.leftMargin: 14
            anchors.verticalCenter: parent.verticalCenter
            text: menuItem.text
            textFormat: Text.PlainText
            font.pixelSize: 14
            color: "#333333"
        }
    }

    background: Rectangle {
        color: menuItem.highlighted || menuItem.hovered ? "#ECECEC" : "transparent"
    }
}
