import QtQuick 2.12
import QtQuick.Controls 2.12

// A label centred over its parent, directly above it; bind visible to a hover flag.
Popup {
    id: toolTip

    property string text: ""

    width: label.implicitWidth + 30
    height: label.implicitHeight + 16
    x: parent ? (parent.width - width) / 2 : 0
    y: -height
    padding: 0
    closePolicy: Popup.NoAutoClose

    contentItem: Text {
        id: label

        text: toolTip.text
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"
    }
}
