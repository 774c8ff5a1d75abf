import QtQuick 2.12

// Marquee text: when the text is wider than the item, it scrolls left one pixel
// per tick, and a copy follows it round after the separator gap.
Item {
    id: rolling

    property alias text: first.text
    property alias color: first.color
    property alias font: first.font
    property alias textFormat: first.textFormat
    property alias horizontalAlignment: first.horizontalAlignment
    property alias verticalAlignment: first.verticalAlignment
    property alias wrapMode: first.wrapMode
    readonly property alias paintedWidth: first.paintedWidth
    readonly property alias paintedHeight: first.paintedHeight
    readonly property alias textItem: first
    property int separatorPixel: 50
    property alias interval: ticker.interval
    property bool running: true

    readonly property bool _overflowing: first.paintedWidth > width

    signal lineLaidOut(var line)
    signal linkActivated(string link)
    signal linkHovered(string link)

    function doLayout() { first.forceLayout() }

    function linkAt(x, y) {
        var link = first.linkAt(x - first.x, y - first.y)
        if (link === "" && second.visible)
            link = second.linkAt(x - second.x, y - second.y)
        return link
    }

    function _restart() {
        first.x = 0
        first.moving = true
        second.x = first.paintedWidth + separatorPixel
        second.moving = false
    }

    function _step(item, other) {
        if (!item.moving)
            return
        item.x -= 1
        if (item.x === Math.round(width - separatorPixel - item.paintedWidth) && !other.moving) {
            other.x = width
            other.moving = true
        }
        if (item.x <= -(item.paintedWidth + separatorPixel))
            item.moving = false
    }

    clip: true
    implicitWidth: first.implicitWidth
    implicitHeight: first.implicitHeight
    onVisibleChanged: {
        _restart()
        if (!visible)
            second.moving = false
    }
    onWidthChanged: _restart()

    Timer {
        id: ticker

        interval: 50
        repeat: true
        running: rolling.visible && rolling.running && rolling._overflowing
        onTriggered: {
            rolling._step(first, second)
            rolling._step(second, first)
        }
    }

    Text {
        id: first

        property bool moving: true

        height: rolling.height
        // Names come from the server: plain unless the owner asks for markup.
        textFormat: Text.PlainText
        onPaintedWidthChanged: rolling._restart()
        onLineLaidOut: rolling.lineLaidOut(line)
        onLinkActivated: rolling.linkActivated(link)
        onLinkHovered: rolling.linkHovered(link)
    }

    Text {
        id: second

        property bool moving: false

        height: rolling.height
        visible: rolling._overflowing
        text: first.text
        color: first.color
        font: first.font
        textFormat: first.textFormat
        horizontalAlignment: first.horizontalAlignment
        verticalAlignment: first.verticalAlignment
        wrapMode: first.wrapMode
        onLinkActivated: rolling.linkActivated(link)
        onLinkHovered: rolling.linkHovered(link)
    }
}
