import QtQuick 2.12

// Darkens everything outside the selection: a band above it, a band below it and the
// two pieces beside it.
Item {
    id: mask

    property Item target: null
    // The target's geometry; empty while there is none.
    readonly property rect selection: target ? Qt.rect(target.x, target.y, target.width, target.height)
                                             : Qt.rect(0, 0, 0, 0)

    readonly property color shade: "#7B000000"

    Rectangle {
        width: mask.width
        height: selection.y
        color: mask.shade
    }

    Rectangle {
        y: selection.y + selection.height
        width: mask.width
        height: Math.max(0, mask.height - y)
        color: mask.shade
    }

    Rectangle {
        y: selection.y
        width: selection.x
        height: selection.height
        color: mask.shade
    }

    Rectangle {
        x: selection.x + selection.width
        y: selection.y
        width: Math.max(0, mask.width - x)
        height: selection.height
        color: mask.shade
    }
}
