import QtQuick 2.12
import QtMultimedia 5.12
import "../settings"
import "VChatLogic.js" as Logic

// A voice message, played by the page's one player. Without recognised text a
// waveform bubble as wide as the message is long; with text, the text and a play
// mark. Holding the button down seeks.
VMessageBubble {
    id: audio

    readonly property var player: row ? row.player : null
    readonly property bool holdsThis: player !== null && player.modelId === msg.id
    readonly property bool active: holdsThis && (player.playbackState === MediaPlayer.PlayingState
                                                 || player.playbackState === MediaPlayer.PausedState)
    readonly property bool playing: holdsThis && player.playbackState === MediaPlayer.PlayingState
    readonly property bool hasText: msg.audioText !== ""
    readonly property int shownSeconds: Logic.voiceSeconds(msg.seconds)
    property bool seeking: false
    property real seekX: 14
    readonly property int padding: 10

    width: hasText ? Math.max(textColumn.width + 2 * padding, 60) : Logic.voiceWidth(msg.seconds)
    height: hasText ? textColumn.height + 2 * padding + (active ? 15 : 0) : 40

    // The player holds this message's file.
    function load() {
        if (!player)
            return
        if (!holdsThis) {
            player.source = VSettings.localFileToUrl(msg.localpath)
            player.modelId = msg.id
        }
    }

    function toggle() {
        if (!player || msg.downloadState !== 1)
            return
        if (!holdsThis) {
            load()
            player.play()
        } else if (playing) {
            player.pause()
        } else {
            player.play()
        }
    }

    function seekTo(x) {
        if (!player)
            return
        var span = Math.max(1, width - 28)
        var fraction = Math.max(0, Math.min(1, (x - 14) / span))
        player.seek(player.duration * fraction)
        player.play()
    }

    // Plain form: waveform and play mark.
    Image {
        anchors.fill: parent
        anchors.margins: 8
        visible: !audio.hasText
        fillMode: Image.Tile
        source: audio.isSend ? "qrc:/images/session_page/audio_background_send.png"
                             : "qrc:/images/session_page/audio_background_receive.png"
    }
    Image {
        anchors.centerIn: parent
        visible: !audio.hasText
        source: audio.playing
                ? (audio.isSend ? "qrc:/images/session_page/audio_pause_send.png"
                                : "qrc:/images/session_page/audio_pause_receive.png")
                : (audio.isSend ? "qrc:/images/session_page/audio_play_send.png"
                                : "qrc:/images/session_page/audio_play_receive.png")
    }

    // Text form.
    Column {
        id: textColumn

        x: audio.padding
        y: audio.padding
        visible: audio.hasText
        spacing: 6

        VMessageTextContent {

            menu: audio.row ? audio.row.menu : null
            id: body

            plainText: audio.msg.audioText
            isSend: audio.isSend
            selectionKey: audio.msg.id + "NONE"
            viewWidth: audio.viewWidth
            onContextRequested: {
                var point = body.mapToItem(audio, x, y)
                audio.emitRightClicked(point.x, point.y, "")
            }
        }

        VTranslationSection {
            bubble: audio
            translation: audio.hasText ? audio.msg.translation : ""
            toTr: audio.msg.audioText
            modelId: audio.msg.id
            viewWidth: audio.viewWidth
            labelText: qsTr("Tesmo Chat translate") + vTranslator.i18n
        }
    }
    Image {
        x: 4
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 4
        visible: audio.hasText
        source: audio.playing
                ? (audio.isSend ? "qrc:/images/session_page/audio_indicator_pause_send.png"
                                : "qrc:/images/session_page/audio_indicator_pause_receive.png")
                : (audio.isSend ? "qrc:/images/session_page/audio_indicator_send.png"
                                : "qrc:/images/session_page/audio_indicator_receive.png")
    }
    Image {
        id: strip

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: 17
        anchors.rightMargin: 3
        height: 15
        visible: audio.hasText && audio.active
        fillMode: Image.Tile
        source: audio.isSend ? "qrc:/images/session_page/audio_background_send.png"
                             : "qrc:/images/session_page/audio_background_receive.png"
    }

    // Progress while playing, the seek line while seeking.
    Rectangle {
        width: 2
        height: audio.hasText ? 15 : parent.height - 16
        y: audio.hasText ? parent.height - 15 : 8
        color: audio.isSend ? "#FFFFFF" : "#3385FF"
        opacity: (audio.active || audio.seeking) ? 1 : 0
        visible: opacity > 0
        x: {
            if (audio.seeking)
                return audio.seekX
            if (!audio.player || !(audio.player.duration > 0))
                return audio.hasText ? 17 : 14
            var fraction = audio.player.position / audio.player.duration
            return audio.hasText ? 17 + fraction * (audio.width - 20) : 14 + fraction * (audio.width - 28)
        }

        Behavior on opacity {
            NumberAnimation { duration: 200 }
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        pressAndHoldInterval: 400
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (mouse.button === Qt.RightButton)
                audio.emitRightClicked(mouse.x, mouse.y, "")
            else if (!audio.seeking)
                audio.toggle()
        }
        onPressAndHold: {
            if (mouse.button !== Qt.LeftButton || audio.msg.downloadState !== 1 || !audio.player)
                return
            audio.seekX = Math.max(14, Math.min(audio.width - 14, mouse.x))
            audio.load()
            audio.player.pause()
            audio.seeking = true
        }
        onPositionChanged: {
            if (audio.seeking)
                audio.seekX = Math.max(14, Math.min(audio.width - 14, mouse.x))
        }
        onReleased: {
            if (audio.seeking) {
                audio.seeking = false
                audio.seekTo(audio.seekX)
            }
        }
        onCanceled: {
            if (audio.seeking) {
                audio.seeking = false
                audio.seekTo(audio.seekX)
            }
        }
    }
}
