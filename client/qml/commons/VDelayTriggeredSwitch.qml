import QtQuick 2.12

// A settings row with a switch. Each click toggles at once and emits clicked;
// delayTriggered follows one second after the last of a burst of clicks, and the
// listener applies the state the switch has then. `triggeredFor` holds the
// `subject` the row stood for at the first click of the burst (the group or
// person), whatever the row shows by then; `flush` sends a pending change at once,
// before the row is given another subject.
Text {
    id: row

    property alias checked: toggle.checked
    property bool hoverEntered: false
    property var subject: undefined
    property var triggeredFor: undefined
    readonly property bool pending: delay.running
    property var _pendingSubject: undefined

    signal clicked()
    signal delayTriggered()
    signal entered()
    signal exited()

    function _toggle() {
        if (!delay.running)
            _pendingSubject = subject
        toggle.checked = !toggle.checked
        clicked()
        delay.restart()
    }

    function flush() {
        if (!delay.running)
            return
        delay.stop()
        _trigger()
    }

    function _trigger() {
        triggeredFor = _pendingSubject
        delayTriggered()
    }

    height: 48
    font.pixelSize: 13
    color: "#333333"
    textFormat: Text.PlainText
    verticalAlignment: Text.AlignVCenter

    VSwitch {
        id: toggle

        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 45
        height: 25
        enabled: false
    }

    Timer {
        id: delay

        interval: 1000
        onTriggered: row._trigger()
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: row._toggle()
        // The second click of a quick pair arrives as a double click: it toggles too.
        onDoubleClicked: row._toggle()
        onEntered: {
            row.hoverEntered = true
            row.entered()
        }
        onExited: {
            row.hoverEntered = false
            row.exited()
        }
    }
}
