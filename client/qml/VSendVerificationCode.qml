import QtQuick 2.12

// The "Generate code" button: after a click it stays disabled for a minute,
// counting down, and the countdown survives closing the window and restarting.
Item {
    id: sender

    readonly property int seconds: 60
    readonly property string lastStartSendVerificationCodeTime: "lastStartSendVerificationCodeTime"
    property int counter: -1
    readonly property alias text: label.text
    readonly property alias running: timer.running

    signal clicked()

    function stopTimer() {
        timer.stop()
    }

    // Starts the countdown of a code just requested.
    function start() {
        if (timer.running)
            return
        counter = seconds
        vConfig.setValue(lastStartSendVerificationCodeTime, String(Date.now()))
        _run()
    }

    // Starts the timer with its first tick at once.
    function _run() {
        timer.start()
        _tick()
    }

    function _tick() {
        counter -= 1
        if (counter <= 0)
            timer.stop()
        else
            label.text = counter + "s"
    }

    width: 70
    height: 28
    // Set by the owner: whether a code may be asked for at all (a phone is given).
    property bool available: true

    enabled: available && !timer.running

    Text {
        id: label

        anchors.centerIn: parent
        text: qsTr("获取验证码") + vTranslator.i18n
        color: sender.enabled ? "#3A8AFD" : "#999999"
        font.pixelSize: 12
    }

    MouseArea {
        anchors.fill: parent
        enabled: sender.enabled
        onClicked: {
            sender.start()
            sender.clicked()
        }
    }

    Timer {
        id: timer

        interval: 1000
        repeat: true
        onTriggered: sender._tick()
        onRunningChanged: {
            if (running)
                return
            sender.counter = -1
            label.text = Qt.binding(function() { return qsTr("重新获取") + vTranslator.i18n })
        }
    }

    Component.onCompleted: {
        // Settings come back as text; a missing or bad one starts nothing.
        var started = Number(vConfig.value(lastStartSendVerificationCodeTime))
        if (!isFinite(started) || started <= 0)
            return
        var elapsed = (Date.now() - started) / 1000
        if (elapsed > 0 && elapsed < seconds) {
            counter = Math.floor(seconds - elapsed)
            _run()
        }
    }
}
