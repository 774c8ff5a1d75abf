import QtQuick 2.12
import QtTest 1.2
import QtMultimedia 5.12
import "qrc:/qml/conversations"
import "qrc:/qml/settings"
import "qrc:/qml/conversations/VChatLogic.js" as Logic

// The message components over real message items, with the page's names in place.
Item {
    id: page

    width: 800
    height: 600

    property bool isCurrentAccountLoading: false
    property bool sessionListViewMoving: false
    property var translationRequests: []
    property var rightClicks: []

    // The row that holds the components.
    Item {
        id: sessionDelegateRoot

        signal rightClicked(real x, real y, string copyText)
        signal translationRightClicked(real x, real y, string copyText)
        signal fileOpenOptionsClicked(real x, real y, string localpath)

        onRightClicked: page.rightClicks.push(copyText)
    }

    Item {
        id: sessionListView

        width: 800
        height: 600

        function showTranslationSwitchMenu(x, y, toTr, modelId) {
            page.translationRequests.push({ toTr: toTr, modelId: modelId })
        }
    }

    QtObject {
        id: chatItemMenu

        property string modelIdForText: ""
        signal diffModelId()
    }

    // The page's one player, recording what it is asked.
    QtObject {
        id: globalQMLMediaPlayer

        property int modelId: -1
        property string source: ""
        property int playbackState: MediaPlayer.StoppedState
        property int position: 0
        property int duration: 10000
        property var seeks: []

        function play() { playbackState = MediaPlayer.PlayingState }
        function pause() { playbackState = MediaPlayer.PausedState }
        function seek(offset) { seeks.push(offset) }
    }

    Component {
        id: rowsComponent

        Column {
            property alias rows: repeater
            property alias delegate: repeater.delegate
            property alias model: repeater.model

            Repeater {
                id: repeater
            }
        }
    }

    TestCase {
        name: "MessageComponents"
        when: windowShown

        function message(fields) {
            var data = { "id": 7, "msgtype": 0, "content": "", "sendflag": 1, "sendstate": 1,
                         "downloadState": 1, "sendtime": "2026-12-10 10:00:00", "totype": 0 }
            for (var key in fields)
                data[key] = fields[key]
            return conversationFixture.message(data)
        }

        // One row of the given component over one message item.
        function row(component, fields) {
            var item = message(fields)
            var holder = createTemporaryObject(rowsComponent, sessionListView, { "model": [item] })
            holder.delegate = component
            verify(holder.rows.count === 1)
            return { item: item, frame: holder.rows.itemAt(0) }
        }

        Component { id: sendImage; VSendImageMsgCom {} }
        Component { id: receiveImage; VReceiveImageMsgCom {} }
        Component { id: sendAudio; VSendAudioMsgCom {} }
        Component { id: receiveAudio; VReceiveAudioMsgCom {} }
        Component { id: sendText; VSendTextMsgCom {} }
        Component { id: receiveText; VReceiveTextMsgCom {} }
        Component { id: sendQuotes; VSendQuitesMsgCom {} }
        Component { id: receiveFile; VReceiveFileMsgCom {} }
        Component { id: revoke; VRevokeNotifyMsgCom {} }
        Component { id: sending; VSendingComponent {} }

        function test_pictureSizes_data() {
            return [
                { tag: "wide is cropped", w: 1000, h: 100, sw: 288, sh: 80, crop: true },
                { tag: "large is fitted", w: 600, h: 400, sw: 288, sh: 192, crop: false },
                { tag: "tall is fitted", w: 400, h: 600, sw: 192, sh: 288, crop: false },
                { tag: "small keeps its size", w: 200, h: 150, sw: 200, sh: 150, crop: false },
                { tag: "unknown", w: 0, h: 0, sw: 80, sh: 80, crop: false },
                { tag: "negative counts as unknown", w: -300, h: 200, sw: 80, sh: 80, crop: false }
            ]
        }

        function test_pictureSizes(data) {
            var size = Logic.pictureSize(data.w, data.h)
            compare(size.width, data.sw)
            compare(size.height, data.sh)
            compare(size.crop, data.crop)
            // The received bubble takes that size.
            var path = conversationFixture.picture("p.png", 30, 30)
            var made = row(receiveImage, { "msgtype": 2, "sendflag": 0, "width": data.w, "height": data.h,
                                           "localpath": path })
            compare(made.frame.contentItem.width, data.sw)
            compare(made.frame.contentItem.height, data.sh)
        }

        function test_animatedSizes() {
            compare(Logic.animatedSize(800, 200).width, 400)
            compare(Logic.animatedSize(800, 200).height, 100)
            compare(Logic.animatedSize(120, 90).width, 120)
            var path = conversationFixture.gif("moving.gif")
            var made = row(sendImage, { "msgtype": 2, "width": 800, "height": 200, "localpath": path })
            // A GIF file is shown by the animated picture, up to 400.
            compare(made.frame.contentItem.item.width, 400)
            compare(made.frame.contentItem.item.height, 100)
        }

        function test_voiceWidths_data() {
            return [
                { tag: "30 s", seconds: 30, width: 140, label: "30\"" },
                { tag: "0 s", seconds: 0, width: 80, label: "0\"" },
                { tag: "600 s", seconds: 600, width: 200, label: "60\"" },
                { tag: "-5 s", seconds: -5, width: 80, label: "0\"" }
            ]
        }

        function test_voiceWidths(data) {
            compare(Logic.voiceWidth(data.seconds), data.width)
            var made = row(sendAudio, { "msgtype": 4, "seconds": data.seconds })
            compare(made.frame.contentItem.width, data.width)
            compare(made.frame.contentItem.height, 40)
        }

        function test_voicePlaysThroughThePagePlayer() {
            var path = conversationFixture.textFile("voice.amr")
            var made = row(receiveAudio, { "id": 31, "msgtype": 4, "sendflag": 0, "seconds": 12,
                                           "localpath": path, "downloadState": 1 })
            var bubble = made.frame.contentItem
            globalQMLMediaPlayer.modelId = -1
            globalQMLMediaPlayer.playbackState = MediaPlayer.StoppedState
            mouseClick(bubble)
            compare(globalQMLMediaPlayer.modelId, 31)
            compare(globalQMLMediaPlayer.source, VSettings.localFileToUrl(path))
            verify(bubble.playing)
            mouseClick(bubble)
            compare(globalQMLMediaPlayer.playbackState, MediaPlayer.PausedState)
            verify(bubble.active && !bubble.playing)
            // Not downloaded: clicks do nothing.
            made.item.downloadState = 0
            mouseClick(bubble)
            compare(globalQMLMediaPlayer.playbackState, MediaPlayer.PausedState)
        }

        function test_busyMarkOnlyAfterOneSecond() {
            var quick = createTemporaryObject(sending, page, { "watchedState": 2 })
            var slow = createTemporaryObject(sending, page, { "watchedState": 2 })
            verify(quick.visible === false && slow.sending === false)
            wait(300)
            verify(!quick.visible && !slow.visible)
            quick.watchedState = 1
            tryCompare(slow, "visible", true, 5000)
            verify(!quick.visible)
            // Leaving the busy state hides it at once; coming back waits again.
            slow.watchedState = 1
            verify(!slow.visible)
            slow.watchedState = 2
            verify(!slow.visible)
            tryCompare(slow, "visible", true, 5000)
        }

        function test_failedMarkOnlyWhenFailed() {
            var made = row(sendText, { "id": 41, "content": "hello", "sendstate": 0 })
            var marks = findChildren(made.frame, "VFailedMark")
            compare(marks.length, 1)
            verify(marks[0].visible)
            made.item.sendstate = 1
            verify(!marks[0].visible)
        }

        function test_quoteValues_data() {
            return [
                { tag: "no trailing zero", value: 2.5, shown: "2.5" },
                { tag: "two decimals", value: 0.1234, shown: "0.12" },
                { tag: "rounded up", value: 1.005001, shown: "1.01" },
                { tag: "whole", value: 3, shown: "3" }
            ]
        }

        function test_quoteValues(data) {
            compare(Logic.roundTwo(data.value), data.shown)
        }

        function test_timeLabels_data() {
            var now = new Date(2027, 0, 1, 9, 30)
            return [
                { tag: "today", time: "2027-01-01 08:05:00", now: now, shown: "08:05" },
                { tag: "yesterday across the year", time: "2026-12-31 23:59:00", now: now, shown: "Yesterday 23:59" },
                { tag: "last year", time: "2026-12-30 07:00:00", now: now, shown: "2026-12-30 07:00" },
                { tag: "this year", time: "2027-03-04 10:11:00", now: new Date(2027, 5, 1), shown: "03-04 10:11" },
                { tag: "another year short", time: "2025-02-03 04:05:06", now: now, shown: "2025-2-3 04:05" }
            ]
        }

        function test_timeLabels(data) {
            compare(Logic.timeLabel(data.time, data.now, "Yesterday"), data.shown)
        }

        function test_translationTargets() {
            compare(Logic.translationTarget(0), "en")
            compare(Logic.translationTarget(1), "zh")
            compare(Logic.translationTarget(2), "cht")
            compare(Logic.translationTarget(3), "kor")
            compare(Logic.translationTarget(9), "en")
        }

        function test_reeditOnlyWithinTheWindow() {
            var recent = Qt.formatDateTime(new Date(Date.now() - 60000), "yyyy-MM-dd hh:mm:ss")
            var old = Qt.formatDateTime(new Date(Date.now() - 7 * 60000), "yyyy-MM-dd hh:mm:ss")
            VSettings.addToRecallMap(51, "said before")
            VSettings.addToRecallMap(52, "said long ago")
            var fresh = row(revoke, { "id": 51, "sendflag": 1, "revokeflag": 1, "sendtime": recent })
            verify(fresh.frame.editable)
            verify(fresh.frame.noticeHtml().indexOf(VSettings.recallReeditLink) > 0)
            var spy = createTemporaryObject(spyComponent, page, { "signalName": "reeditRecallMessage" })
            var late = row(revoke, { "id": 52, "sendflag": 1, "revokeflag": 1, "sendtime": old })
            verify(!late.frame.editable)
            verify(!VSettings.recallMapContainsKey(52))
            // A peer's recall names the peer and offers nothing.
            var peer = row(revoke, { "id": 53, "sendflag": 0, "revokeflag": 1, "name": "<b>Eve</b>",
                                     "sendtime": recent })
            verify(!peer.frame.editable)
            verify(peer.frame.noticeHtml().indexOf("&lt;b&gt;Eve") === 0)
            compare(spy.count, 0)
            VSettings.removeFromRecallMap(51)
        }

        Component {
            id: spyComponent

            SignalSpy { target: vGlobal }
        }

        function test_textRightClickCopiesSelectionOrWhole() {
            page.rightClicks = []
            var made = row(receiveText, { "id": 61, "sendflag": 0, "content": "alpha beta gamma" })
            var edits = findChildren(made.frame.contentItem, "VMessageTextContent")
            verify(edits.length > 0)
            var edit = edits[0]
            mouseClick(edit, 5, 5, Qt.RightButton)
            compare(page.rightClicks.length, 1)
            compare(page.rightClicks[0], "alpha beta gamma")
            edit.select(6, 10)
            mouseClick(edit, 5, 5, Qt.RightButton)
            compare(page.rightClicks[1], "beta")
            // The selection's owner is known to the menu; another text's selection drops it.
            compare(chatItemMenu.modelIdForText, "61NONE")
            var other = row(receiveText, { "id": 62, "sendflag": 0, "content": "other words" })
            var otherEdit = findChildren(other.frame.contentItem, "VMessageTextContent")[0]
            otherEdit.select(0, 5)
            compare(chatItemMenu.modelIdForText, "62NONE")
            compare(edit.selectedText, "")
        }

        function findChildren(item, typeName) {
            var found = []
            var visit = function (node) {
                if (String(node).indexOf(typeName) === 0)
                    found.push(node)
                var children = node.children || []
                for (var i = 0; i < children.length; ++i)
                    visit(children[i])
            }
            visit(item)
            return found
        }
    }
}
