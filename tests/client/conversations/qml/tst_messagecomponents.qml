import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.2
import QtMultimedia 5.12
import "qrc:/qml/conversations"
import "qrc:/qml/settings"
import "qrc:/qml/translator"
import "qrc:/qml/conversations/VChatLogic.js" as Logic

// The message components over real message items. They reach nothing of the page
// by name: what they use comes in through the row they are given.
Item {
    id: page

    width: 800
    height: 600

    property bool loading: false
    property bool moving: false
    property var translationRequests: []
    property var rightClicks: []

    // Stands for the message view's row: what a row passes to its component.
    Component {
        id: rowStandIn

        Item {
            property var messageItem: null
            property bool itemGone: false
            property var view: listStandIn
            property bool pageLoading: page.loading
            property bool viewMoving: page.moving
            property var menu: menuStandIn
            property var player: playerStandIn

            signal rightClicked(real x, real y, string copyText)
            signal translationRightClicked(real x, real y, string copyText)
            signal fileOpenOptionsClicked(real x, real y, string localpath)
            signal fileOpenFailed()

            onRightClicked: page.rightClicks.push(copyText)
        }
    }

    Item {
        id: listStandIn

        width: 800
        height: 600

        function showTranslationSwitchMenu(x, y, toTr, modelId) {
            page.translationRequests.push({ toTr: toTr, modelId: modelId })
        }
    }

    SignalSpy { id: missingFiles; target: vGlobal; signalName: "fileIsNotExists" }
    SignalSpy { id: reedits; target: vGlobal; signalName: "reeditRecallMessage" }

    QtObject {
        id: menuStandIn

        property string modelIdForText: ""
        signal diffModelId()
    }

    // The page's one player, recording what it is asked.
    QtObject {
        id: playerStandIn

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
        id: listComponent

        ListView {
            width: 800
            height: 600
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
            var standIn = createTemporaryObject(rowStandIn, page, { "messageItem": item })
            var frame = createTemporaryObject(component, listStandIn, { "row": standIn })
            verify(frame !== null)
            return { item: item, frame: frame }
        }

        Component { id: sendImage; VSendImageMsgCom {} }
        Component { id: receiveImage; VReceiveImageMsgCom {} }
        Component { id: sendAudio; VSendAudioMsgCom {} }
        Component { id: receiveAudio; VReceiveAudioMsgCom {} }
        Component { id: sendText; VSendTextMsgCom {} }
        // In a list, each made with a row over its own item.
        Component {
            id: sendTextInList

            VSendTextMsgCom {
                id: inList

                row: rowStandIn.createObject(inList, { "messageItem": model.modelData })
            }
        }
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
            playerStandIn.modelId = -1
            playerStandIn.playbackState = MediaPlayer.StoppedState
            mouseClick(bubble)
            compare(playerStandIn.modelId, 31)
            compare(playerStandIn.source, VSettings.localFileToUrl(path))
            verify(bubble.playing)
            mouseClick(bubble)
            compare(playerStandIn.playbackState, MediaPlayer.PausedState)
            verify(bubble.active && !bubble.playing)
            // Not downloaded: clicks do nothing.
            made.item.downloadState = 0
            mouseClick(bubble)
            compare(playerStandIn.playbackState, MediaPlayer.PausedState)
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
            // Shown again for another busy message: it waits again.
            slow.watchedId = 12
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

        // Over the open conversation's own model: a failed send's mark sends again.
        function test_failedMarkClickResends() {
            sessionManager.currentSessionId = "resend.peer@d"
            sessionManager.sendTextMsg("resend.peer@d", "try again", 0)
            verify(sessionManager.itemCount > 0)
            var item = sessionManager.get(sessionManager.itemCount - 1)
            compare(item.content, "try again")
            item.sendstate = 0
            var view = createTemporaryObject(listComponent, listStandIn)
            view.delegate = sendTextInList
            view.model = sessionManager
            tryVerify(function () { return view.itemAtIndex(sessionManager.itemCount - 1) !== null })
            var frame = view.itemAtIndex(sessionManager.itemCount - 1)
            compare(frame.msg, item)
            var mark = findChildren(frame, "VFailedMark")[0]
            verify(mark.visible)
            mouseClick(mark)
            compare(item.sendstate, 2)
            verify(!mark.visible)
        }

        function test_fileOpenOfAMissingFileAlerts() {
            missingFiles.clear()
            var made = row(receiveFile, { "id": 71, "msgtype": 3, "sendflag": 0, "downloadState": 1,
                                          "fileName": "gone.txt", "fileSize": "1 KB",
                                          "localpath": conversationFixture.folder() + "/gone.txt" })
            var bubble = made.frame.contentItem
            bubble.openFile()
            compare(missingFiles.count, 1)
            made.item.downloadState = 3
            compare(bubble.statusText(false), VTr.downloadFailed)
            compare(bubble.statusText(true), VTr.retryDownload)
            made.item.downloadState = 0
            compare(bubble.statusText(true), VTr.startDownload)
        }

        function test_quoteBubbleValues() {
            var made = row(sendQuotes, { "msgtype": 10, "coin": "BTC", "close": 2.5, "high": 0.1234,
                                         "low": 1, "amount": 1234.567, "content": "https://q.example/btc" })
            var texts = []
            var collect = function (node) {
                if (node.text !== undefined && typeof node.text === "string")
                    texts.push(node.text)
                for (var i = 0; i < node.children.length; ++i)
                    collect(node.children[i])
            }
            collect(made.frame.contentItem)
            verify(texts.indexOf("BTC/USDT") >= 0)
            verify(texts.indexOf(VTr.quitesFinalPrice + " 2.5") >= 0)
            verify(texts.indexOf(VTr.quitesHighPrice + " 0.12") >= 0)
            verify(texts.indexOf(VTr.quitesVolume + " 1234.57") >= 0)
            verify(made.frame.contentItem.width >= 228)
        }

        function test_stickerPictures_data() {
            return [
                { tag: "first", name: "emotion_gif_001", ok: true },
                { tag: "last", name: "emotion_gif_070", ok: true },
                { tag: "zero", name: "emotion_gif_000", ok: false },
                { tag: "past the end", name: "emotion_gif_071", ok: false },
                { tag: "path", name: "../emotion_gif_001", ok: false }
            ]
        }

        function test_stickerPictures(data) {
            var url = VSettings.getQrcUrlByGifName(data.name)
            compare(url !== "", data.ok)
            if (data.ok)
                verify(vGlobal.fileExists(url))
            compare(VSettings.getQrcUrlByName("[q_170]") !== "", true)
            compare(VSettings.getQrcUrlByName("[q_171]"), "")
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
            reedits.clear()
            var late = row(revoke, { "id": 52, "sendflag": 1, "revokeflag": 1, "sendtime": old })
            verify(!late.frame.editable)
            verify(!VSettings.recallMapContainsKey(52))
            // A peer's recall names the peer and offers nothing.
            var peer = row(revoke, { "id": 53, "sendflag": 0, "revokeflag": 1, "name": "<b>Eve</b>",
                                     "sendtime": recent })
            verify(!peer.frame.editable)
            verify(peer.frame.noticeHtml().indexOf("&lt;b&gt;Eve") === 0)
            compare(reedits.count, 0)
            // The link puts the recalled text back; it is never opened.
            fresh.frame.children[0].linkActivated(VSettings.recallReeditLink)
            compare(reedits.count, 1)
            compare(reedits.signalArguments[0][0], "said before")
            late.frame.children[0].linkActivated(VSettings.recallReeditLink)
            compare(reedits.count, 1)
            VSettings.removeFromRecallMap(51)
        }


        function test_textWidthAndWrapping() {
            var words = "word "
            for (var i = 0; i < 6; ++i)
                words += words
            var made = row(sendText, { "id": 63, "content": words })
            var edit = findChildren(made.frame.contentItem, "VMessageTextContent")[0]
            compare(edit.width, Math.ceil(Math.min(0.7 * listStandIn.width - 20, Screen.width / 2 - 20)))
            verify(edit.lineCount > 1)
            var shortOne = row(sendText, { "id": 64, "content": "hi" })
            var shortEdit = findChildren(shortOne.frame.contentItem, "VMessageTextContent")[0]
            verify(shortEdit.width < 60)
            verify(made.frame.contentItem.width > shortOne.frame.contentItem.width)
            // Runs of blanks stay, and lines break between words.
            compare(edit.breakableSpaces("a\u00a0\u00a0b<br />\u00a0c\u00a0d"), "a \u00a0b<br />\u00a0c d")
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
            compare(menuStandIn.modelIdForText, "61NONE")
            var other = row(receiveText, { "id": 62, "sendflag": 0, "content": "other words" })
            var otherEdit = findChildren(other.frame.contentItem, "VMessageTextContent")[0]
            otherEdit.select(0, 5)
            compare(menuStandIn.modelIdForText, "62NONE")
            compare(edit.selectedText, "")
        }

        // A text is shown by a light Text, plain unless it holds a link or an emoji;
        // the selectable editor comes with the first press, which already selects
        // while dragging. A row shown again for another message drops it.
        function test_textEditorComesWithThePress_data() {
            return [
                { tag: "plain", content: "alpha beta <b>gamma</b>", rich: false },
                { tag: "link", content: "see example.com now", rich: true },
                { tag: "address", content: "write to ann@example.com", rich: true },
                { tag: "emoji", content: "hi [q_170]", rich: true },
                { tag: "unknown code", content: "hi [q_171]", rich: false }
            ]
        }

        function test_textEditorComesWithThePress(data) {
            var made = row(receiveText, { "id": 71, "sendflag": 0, "content": data.content })
            var text = findChildren(made.frame.contentItem, "VMessageTextContent")[0]
            compare(text.rich, data.rich)
            compare(text.editor, null)
            verify(text.height > 0)
            // Markup in a plain text is shown as typed.
            if (!data.rich)
                compare(text.children[0].text, data.content)
            var y = text.height / 2
            mousePress(text, 1, y)
            verify(text.editor !== null)
            mouseMove(text, text.width / 2, y)
            mouseMove(text, text.width - 1, y)
            mouseRelease(text, text.width - 1, y)
            verify(text.selectedText.length > 0, "dragging from the first press selects")
            compare(menuStandIn.modelIdForText, "71NONE")
            // The editor lies exactly over what was shown.
            compare(text.editor.width, text.width)
            compare(text.lineCount, 1)

            made.item.id = 72
            compare(text.editor, null)
            compare(text.selectedText, "")
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
