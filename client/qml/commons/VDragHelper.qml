import QtQuick 2.12
import QtQuick.Window 2.12

// Resize handles along the edges of a frameless window.
Item {
    id: helper

    property var mainPage: null

    readonly property bool _resizable: mainPage !== null
                                       && mainPage.visibility !== Window.Maximized
                                       && mainPage.visibility !== Window.FullScreen
    readonly property int borderWidth: _resizable ? 5 : 0
    readonly property int cornerSize: 5 * 6

    anchors.fill: parent

    // Resizes the window from the given sides by the pointer's position.
    function _drag(left, top, right, bottom, x, y) {
        var page = mainPage
        if (!page)
            return
        if (right)
            page.width = Math.max(page.minimumWidth, x)
        if (bottom)
            page.height = Math.max(page.minimumHeight, y)
        if (left) {
            var width = Math.max(page.minimumWidth, page.width - x)
            page.x += page.width - width
            page.width = width
        }
        if (top) {
            var height = Math.max(page.minimumHeight, page.height - y)
            page.y += page.height - height
            page.height = height
        }
    }

    component Handle: MouseArea {
        property bool leftSide: false
        property bool topSide: false
        property bool rightSide: false
        property bool bottomSide: false

        enabled: helper._resizable
        hoverEnabled: enabled
        onPositionChanged: {
            if (!pressed)
                return
            var point = mapToItem(helper, mouse.x, mouse.y)
            helper._drag(leftSide, topSide, rightSide, bottomSide, point.x, point.y)
        }
    }

    // Corners reach 10 beyond the edges.
    Handle { x: -10; y: -10; width: helper.cornerSize; height: helper.cornerSize; leftSide: true; topSide: true; cursorShape: Qt.SizeFDiagCursor }
    Handle { x: helper.width - helper.cornerSize + 10; y: -10; width: helper.cornerSize; height: helper.cornerSize; rightSide: true; topSide: true; cursorShape: Qt.SizeBDiagCursor }
    Handle { x: -10; y: helper.height - helper.cornerSize + 10; width: helper.cornerSize; height: helper.cornerSize; leftSide: true; bottomSide: true; cursorShape: Qt.SizeBDiagCursor }
    Handle { x: helper.width - helper.cornerSize + 10; y: helper.height - helper.cornerSize + 10; width: helper.cornerSize; height: helper.cornerSize; rightSide: true; bottomSide: true; cursorShape: Qt.SizeFDiagCursor }
    // Only the cursor, outside an edge strip.
    component CursorStrip: MouseArea {
        enabled: helper._resizable
        hoverEnabled: enabled
        acceptedButtons: Qt.NoButton
    }

    readonly property real _edgeLength: Math.max(0, width - 2 * (cornerSize - 10))
    readonly property real _sideLength: Math.max(0, height - 2 * (cornerSize - 10))

    // Edge strips just inside the edges, each with an outer strip of the same cursor.
    Handle { x: helper.cornerSize - 10; y: 0; width: helper._edgeLength; height: helper.borderWidth; topSide: true; cursorShape: Qt.SizeVerCursor }
    CursorStrip { x: helper.cornerSize - 10; y: -helper.borderWidth; width: helper._edgeLength; height: helper.borderWidth; cursorShape: Qt.SizeVerCursor }
    Handle { x: helper.cornerSize - 10; y: helper.height - helper.borderWidth; width: helper._edgeLength; height: helper.borderWidth; bottomSide: true; cursorShape: Qt.SizeVerCursor }
    CursorStrip { x: helper.cornerSize - 10; y: helper.height; width: helper._edgeLength; height: helper.borderWidth; cursorShape: Qt.SizeVerCursor }
    Handle { x: 0; y: helper.cornerSize - 10; width: helper.borderWidth; height: helper._sideLength; leftSide: true; cursorShape: Qt.SizeHorCursor }
    CursorStrip { x: -helper.borderWidth; y: helper.cornerSize - 10; width: helper.borderWidth; height: helper._sideLength; cursorShape: Qt.SizeHorCursor }
    Handle { x: helper.width - helper.borderWidth; y: helper.cornerSize - 10; width: helper.borderWidth; height: helper._sideLength; rightSide: true; cursorShape: Qt.SizeHorCursor }
    CursorStrip { x: helper.width; y: helper.cornerSize - 10; width: helper.borderWidth; height: helper._sideLength; cursorShape: Qt.SizeHorCursor }
}
