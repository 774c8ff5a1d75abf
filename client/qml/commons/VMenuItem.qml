import QtQuick 2.12
import QtQuick.Controls 2.12

// A menu row; menus take the widest visible row's textPaintedWidth as their width.
MenuItem {
    id: menuItem

    property int textPaintedWidth: 0

    function _measure() { textPaintedWidth = label.paintedWidth + 30 }

    visible: false
    height: visible ? 31 : 0
    onTextChanged: _measure()
    onVisibleChanged: _measure()

    contentItem: Text {
        id: label

        leftPadding: 9
        text: menuItem.text
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"
        verticalAlignment: Text.AlignVCenter
        onPaintedWidthChanged: menuItem._measure()
    }

    background: Rectangle {
        color: menuItem.highlighted || menuItem.hovered ? "#ECECEC" : "transparent"
    }
}
