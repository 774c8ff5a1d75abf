import QtQuick 2.12

// Hover feedback on the parent's opacity: 0.9 at rest, 1 hovered, 0.5 pressed.
MouseArea {
    id: helper

    property bool hoverEntered: false

    anchors.fill: parent
    hoverEnabled: true
    cursorShape: Qt.PointingHandCursor
    onEntered: hoverEntered = true
    onExited: hoverEntered = false

    Binding {
        target: helper.parent
        property: "opacity"
        value: helper.pressed ? 0.5 : (helper.hoverEntered ? 1 : 0.9)
    }
}
