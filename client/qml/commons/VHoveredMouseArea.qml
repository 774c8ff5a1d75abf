import QtQuick 2.12

// Hover feedback on its own opacity: 0.9 at rest, 1 hovered, 0.5 pressed.
MouseArea {
    property bool hoverEntered: false

    hoverEnabled: true
    cursorShape: Qt.PointingHandCursor
    opacity: pressed ? 0.5 : (hoverEntered ? 1 : 0.9)
    onEntered: hoverEntered = true
    onExited: hoverEntered = false
}
