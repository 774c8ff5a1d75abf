import QtQuick 2.12
import QtQuick.Controls 2.12

// A menu row; menus take the widest visible row's textPaintedWidth as their width.
MenuItem {
    id: menuItem

    // A binding, not a handler: handlers still run while the window is torn down,
    // when their item's ids are gone.
    readonly property int textPaintedWidth: label.paintedWidth + 30

    visible: false
    height: visible ? 31 : 0

    contentItem: Text {
        id: label

        leftPadding: 9
        text: menuItem.text
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        color: menuItem.highlighted || menuItem.hovered ? "#ECECEC" : "transparent"
    }
}
