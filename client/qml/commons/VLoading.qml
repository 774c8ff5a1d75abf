import QtQuick 2.12

// The spinner of the login window: a dot circles and lights the eight fixed dots
// one after the other, then puts them out on its next turn.
Item {
    id: loading

    property bool running: true
    property color dotColor: "#333333"
    property color litDotColor: "#FAE100"
    property color movingDotColor: "#FEE171"
    property real dotRadius: 2
    property real movingDotRadius: 2

    property real angle: 10
    property int turn: 0
    property real _lastAngle: 10
    readonly property int sector: Math.min(7, Math.floor(angle / 45))
    readonly property real _circleRadius: Math.min(width, height) / 2 - 10

    function dotLit(index) {
        return turn % 2 === 0 ? index <= sector : index > sector
    }

    width: 100
    height: 100

    onAngleChanged: {
        if (angle < _lastAngle)
            turn = turn + 1
        _lastAngle = angle
    }

    NumberAnimation on angle {
        from: 10
        to: 360
        duration: 2000
        loops: Animation.Infinite
        running: loading.visible && loading.running
    }

    Repeater {
        model: 8

        Rectangle {
            readonly property real _radians: index * Math.PI / 4

            x: loading.width / 2 + loading._circleRadius * Math.sin(_radians) - radius
            y: loading.height / 2 - loading._circleRadius * Math.cos(_radians) - radius
            width: 2 * radius
            height: 2 * radius
            radius: loading.dotRadius
            color: loading.dotLit(index) ? loading.litDotColor : loading.dotColor
        }
    }

    Rectangle {
        readonly property real _radians: loading.angle * Math.PI / 180

        x: loading.width / 2 + loading._circleRadius * Math.sin(_radians) - radius
        y: loading.height / 2 - loading._circleRadius * Math.cos(_radians) - radius
        width: 2 * radius
        height: 2 * radius
        radius: loading.movingDotRadius
        color: loading.movingDotColor
    }
}
