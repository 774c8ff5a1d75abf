import QtQuick 2.12

// A settings row with a switch. Each click toggles at once and emits clicked;
// delayTriggered follows one second after the last of a burst of clicks, and the
// listener applies the state the switch has then.
Text {
    id: row

    property alias checked: toggle.checked
    property bool hoverEntered: false

    signal clicked()
    signal delayTriggered()
    signal entered()
    signal exited()

    function _toggle() {
        toggle.checked = !toggle.checked
        clicked()
        delay.restart()
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
        onTriggered: row.delayTriggered()
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
