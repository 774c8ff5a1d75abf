import QtQuick 2.12

// The eight resize handles of the selection. A handle moves the edges it stands on
// with the pointer while the opposite edges stay where they were at the press; a
// moved edge that passes the fixed one carries the selection over to its other side.
Item {
    id: zoom

    property Item target: null
    // The target's geometry; empty while there is none.
    readonly property rect selection: target ? Qt.rect(target.x, target.y, target.width, target.height)
                                             : Qt.rect(0, 0, 0, 0)
    property Item area

    property bool dragging: false
    property real startMouseX: 0
    property real startMouseY: 0
    property real endPointX: 0
    property real endPointY: 0
    // The pointer while a handle is dragged, in the area's coordinates.
    property real draggingMouseX: 0
    property real draggingMouseY: 0

    Repeater {
        model: [
            { name: "topLeft", fx: 0, fy: 0, cursor: Qt.SizeFDiagCursor },
            { name: "top", fx: 0.5, fy: 0, cursor: Qt.SizeVerCursor },
            { name: "topRight", fx: 1, fy: 0, cursor: Qt.SizeBDiagCursor },
            { name: "right", fx: 1, fy: 0.5, cursor: Qt.SizeHorCursor },
            { name: "bottomRight", fx: 1, fy: 1, cursor: Qt.SizeFDiagCursor },
            { name: "bottom", fx: 0.5, fy: 1, cursor: Qt.SizeVerCursor },
            { name: "bottomLeft", fx: 0, fy: 1, cursor: Qt.SizeBDiagCursor },
            { name: "left", fx: 0, fy: 0.5, cursor: Qt.SizeHorCursor }
        ]

        Rectangle {
            objectName: modelData.name
            x: selection.x + modelData.fx * selection.width - width / 2
            y: selection.y + modelData.fy * selection.height - height / 2
            width: 7
            height: 7
            radius: 4
            color: "white"
            border.color: "black"

            MouseArea {
                readonly property bool movesX: modelData.fx !== 0.5
                readonly property bool movesY: modelData.fy !== 0.5

                anchors.fill: parent
                anchors.margins: -5
                cursorShape: modelData.cursor
                onPressed: {
                    var p = mapToItem(area, mouse.x, mouse.y)
                    zoom.startMouseX = p.x
                    zoom.startMouseY = p.y
                    zoom.endPointX = modelData.fx === 0 ? selection.x + selection.width : selection.x
                    zoom.endPointY = modelData.fy === 0 ? selection.y + selection.height : selection.y
                    zoom.draggingMouseX = p.x
                    zoom.draggingMouseY = p.y
                    zoom.dragging = true
                }
                onPositionChanged: {
                    if (!zoom.dragging)
                        return
                    var p = mapToItem(area, mouse.x, mouse.y)
                    var px = Math.round(Math.min(Math.max(p.x, 0), area.width))
                    var py = Math.round(Math.min(Math.max(p.y, 0), area.height))
                    zoom.draggingMouseX = px
                    zoom.draggingMouseY = py
                    if (movesX) {
                        target.x = Math.min(px, zoom.endPointX)
                        target.width = Math.abs(px - zoom.endPointX)
                    }
                    if (movesY) {
                        target.y = Math.min(py, zoom.endPointY)
                        target.height = Math.abs(py - zoom.endPointY)
                    }
                }
                onReleased: zoom.dragging = false
                onCanceled: zoom.dragging = false
            }
        }
    }
}
