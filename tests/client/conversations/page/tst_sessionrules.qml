import QtQuick 2.12
import QtTest 1.12
import "qrc:/qml/conversations/VSessionPageLogic.js" as Logic
import "qrc:/qml/VDialogTable.js" as DialogTable

// The page's rules that need no page: row times, badges, previews, the message
// component of a row, the menu entries, the recall rule and mentions.
TestCase {
    name: "SessionRules"

    readonly property var words: ({
        youRecall: "You recalled", someoneRecall: " recalled", picture: "Picture", file: "File",
        audio: "Audio", video: "Video", redEnvelope: "Envelope", quotes: "Quotes"
    })

    function caption(group) {
        return group === "[微笑]" ? "[Smile]" : group === "[q_001]" ? "[Emoticon]" : group
    }

    function test_rowTime_data() {
        return [
            { tag: "today", time: "2026-03-05 09:07:00", now: new Date(2026, 2, 5, 12, 0), want: "09:07" },
            { tag: "yesterday", time: "2026-03-04 23:59:59", now: new Date(2026, 2, 5, 0, 1), want: "Y" },
            { tag: "yesterday across a month", time: "2026-02-28 10:00:00", now: new Date(2026, 2, 1, 8, 0),
              want: "Y" },
            { tag: "same year", time: "2026-01-03 10:00:00", now: new Date(2026, 2, 5, 8, 0), want: "01-03" },
            { tag: "31 December seen on 1 January", time: "2025-12-31 22:00:00",
              now: new Date(2026, 0, 1, 9, 0), want: "2025-12-31" },
            { tag: "another year", time: "2024-07-08 10:00:00", now: new Date(2026, 0, 1, 9, 0),
              want: "2024-7-8" },
            { tag: "unreadable", time: "garbage", now: new Date(2026, 0, 1, 9, 0), want: "" }
        ]
    }

    function test_rowTime(data) {
        compare(Logic.rowTime(data.time, data.now, "Y"), data.want)
    }

    function test_badge_data() {
        return [
            { tag: "none", count: 0, want: "" }, { tag: "negative", count: -3, want: "" },
            { tag: "one", count: 1, want: "1" }, { tag: "99", count: 99, want: "99" },
            { tag: "100", count: 100, want: "99+" }, { tag: "150", count: 150, want: "99+" }
        ]
    }

    function test_badge(data) {
        compare(Logic.badgeText(data.count), data.want)
    }

    // Message type x person/group x recall and send flags.
    function test_preview_data() {
        var rows = []
        var types = [
            { t: 0, content: "  hi [微笑] there [x] ", person: "hi [Smile] there [x]" },
            { t: 1, content: "notice", person: "notice", plain: true },
            { t: 2, content: "p", person: "[Picture]" },
            { t: 3, content: "f", person: "[File]" },
            { t: 4, content: "a", person: "[Audio]" },
            { t: 5, content: "v", person: "[Video]" },
            { t: 6, content: "joined", person: "joined", plain: true },
            { t: 7, content: "r", person: "[Envelope]" },
            { t: 8, content: "emotion_gif_001", person: "[Picture]" },
            { t: 9, content: "raw", person: "raw" },
            { t: 10, content: "q", person: "[Quotes]" },
            { t: 42, content: "[q_001]x", person: "[Emoticon]x" }
        ]
        for (var i = 0; i < types.length; ++i) {
            var type = types[i]
            for (var totype = 0; totype < 2; ++totype) {
                var prefix = totype === 1 && !type.plain ? "Ann: " : ""
                rows.push({ tag: "type " + type.t + (totype ? " group" : " person"), msgtype: type.t,
                            totype: totype, revokeflag: 0, sendflag: 0, content: type.content,
                            want: prefix + type.person })
                rows.push({ tag: "type " + type.t + (totype ? " group" : " person") + " own recall",
                            msgtype: type.t, totype: totype, revokeflag: 1, sendflag: 1,
                            content: type.content, want: "You recalled" })
                rows.push({ tag: "type " + type.t + (totype ? " group" : " person") + " peer recall",
                            msgtype: type.t, totype: totype, revokeflag: 1, sendflag: 0,
                            content: type.content, want: "Ann recalled" })
            }
        }
        return rows
    }

    function test_preview(data) {
        compare(Logic.preview({ revokeflag: data.revokeflag, sendflag: data.sendflag, msgtype: data.msgtype,
                                content: data.content, fromName: data.totype === 1 ? "Ann: " : "", name: "Ann",
                                totype: data.totype },
                              words, caption), data.want)
    }

    function test_previewOfASenderWithoutNick() {
        compare(Logic.preview({ revokeflag: 0, sendflag: 0, msgtype: 2, content: "", fromName: ": ", totype: 1 },
                              words, caption), "[Picture]")
    }

    // A row without text (a conversation just opened, a just-made group) shows no
    // sender's name with nothing after it.
    function test_previewWithoutText_data() {
        return [
            { tag: "group, no text", msgtype: 0, content: "", totype: 1 },
            { tag: "group, blanks", msgtype: 0, content: "  ", totype: 1 },
            { tag: "group, empty recall line", msgtype: 9, content: "", totype: 1 },
            { tag: "group, empty notice", msgtype: 6, content: "", totype: 1 },
            { tag: "person, no text", msgtype: 0, content: "", totype: 0 }
        ]
    }

    function test_previewWithoutText(data) {
        compare(Logic.preview({ revokeflag: 0, sendflag: 1, msgtype: data.msgtype, content: data.content,
                                fromName: "Me: ", name: "G", totype: data.totype }, words, caption), "")
    }

    function test_tip_data() {
        return [
            { tag: "@ me wins over a draft", atflag: 1, draft: true, want: 1 },
            { tag: "@ all", atflag: 2, draft: false, want: 2 },
            { tag: "draft", atflag: 0, draft: true, want: 3 },
            { tag: "nothing", atflag: 0, draft: false, want: 0 }
        ]
    }

    function test_tip(data) {
        compare(Logic.tipKind(data.atflag, data.draft), data.want)
    }

    function test_greeting_data() {
        return [
            { tag: "00", hour: 0, want: 3 }, { tag: "05", hour: 5, want: 3 }, { tag: "06", hour: 6, want: 0 },
            { tag: "11", hour: 11, want: 0 }, { tag: "12", hour: 12, want: 1 }, { tag: "17", hour: 17, want: 1 },
            { tag: "18", hour: 18, want: 2 }, { tag: "23", hour: 23, want: 2 }
        ]
    }

    function test_greeting(data) {
        compare(Logic.greetingIndex(data.hour), data.want)
    }

    function test_componentFile_data() {
        return [
            { tag: "recalled text", r: 1, t: 0, s: 1, want: "VRevokeNotifyMsgCom.qml" },
            { tag: "recalled picture", r: 1, t: 2, s: 0, want: "VRevokeNotifyMsgCom.qml" },
            { tag: "sent text", r: 0, t: 0, s: 1, want: "VSendTextMsgCom.qml" },
            { tag: "received text", r: 0, t: 0, s: 0, want: "VReceiveTextMsgCom.qml" },
            { tag: "notice 1", r: 0, t: 1, s: 0, want: "VGroupNotifyMsgCom.qml" },
            { tag: "notice 6", r: 0, t: 6, s: 1, want: "VGroupNotifyMsgCom.qml" },
            { tag: "sent picture", r: 0, t: 2, s: 1, want: "VSendImageMsgCom.qml" },
            { tag: "received file", r: 0, t: 3, s: 0, want: "VReceiveFileMsgCom.qml" },
            { tag: "sent voice", r: 0, t: 4, s: 1, want: "VSendAudioMsgCom.qml" },
            { tag: "video is not supported", r: 0, t: 5, s: 0, want: "VNotSupportCom.qml" },
            { tag: "own video", r: 0, t: 5, s: 1, want: "VNotSupportSelfCom.qml" },
            { tag: "received envelope", r: 0, t: 7, s: 0, want: "VReceiveRedEnvelopeNotifyMsgCom.qml" },
            { tag: "sent sticker", r: 0, t: 8, s: 1, want: "VSendGifMsgCom.qml" },
            { tag: "own type 9 is an empty row", r: 0, t: 9, s: 1, want: "" },
            { tag: "received type 9", r: 0, t: 9, s: 0, want: "VGroupNotifyMsgCom.qml" },
            { tag: "received quote", r: 0, t: 10, s: 0, want: "VReceiveQuitesMsgCom.qml" },
            { tag: "unknown", r: 0, t: 77, s: 0, want: "VNotSupportCom.qml" }
        ]
    }

    function test_componentFile(data) {
        compare(Logic.componentFile(data.r, data.t, data.s), data.want)
        // The row makes it from the dialog table, which must know it.
        if (data.want !== "")
            verify(DialogTable.paths[data.want] !== undefined, data.want + " is in the dialog table")
    }

    function entriesText(entries) {
        if (entries === null)
            return "none"
        var shown = []
        var keys = ["copy", "forward", "recall", "play", "pause", "stop", "saveAs", "translate", "remove"]
        for (var i = 0; i < keys.length; ++i) {
            if (entries[keys[i]])
                shown.push(keys[i])
        }
        return shown.join(",")
    }

    function test_menuEntries_data() {
        var idle = { modelId: -1, playing: false, paused: false }
        var playingThis = { modelId: 5, playing: true, paused: false }
        var pausedThis = { modelId: 5, playing: false, paused: true }
        return [
            { tag: "text", item: { msgtype: 0, translation: "" }, recall: true,
              want: "copy,forward,recall,translate,remove" },
            { tag: "translated text, no recall", item: { msgtype: 0, translation: "t" }, recall: false,
              want: "copy,forward,remove" },
            { tag: "picture downloaded", item: { msgtype: 2, downloadState: 1 }, recall: false,
              want: "copy,forward,saveAs,remove" },
            { tag: "picture not downloaded", item: { msgtype: 2, downloadState: 0 }, recall: true,
              want: "copy,forward,recall,remove" },
            { tag: "file downloaded", item: { msgtype: 3, downloadState: 1 }, recall: true,
              want: "copy,forward,recall,saveAs,remove" },
            { tag: "voice without text, idle player", item: { id: 5, msgtype: 4, downloadState: 1, audioText: "" },
              recall: false, player: idle, want: "forward,play,remove" },
            { tag: "voice playing", item: { id: 5, msgtype: 4, downloadState: 1, audioText: "hi" },
              recall: false, player: playingThis, want: "copy,forward,pause,stop,translate,remove" },
            { tag: "voice paused", item: { id: 5, msgtype: 4, downloadState: 1, audioText: "hi", translation: "x" },
              recall: true, player: pausedThis, want: "copy,forward,recall,play,stop,remove" },
            { tag: "voice not downloaded", item: { id: 5, msgtype: 4, downloadState: 0, audioText: "" },
              recall: false, player: idle, want: "forward,remove" },
            { tag: "envelope", item: { msgtype: 7 }, recall: true, want: "remove" },
            { tag: "sticker", item: { msgtype: 8 }, recall: true, want: "forward,recall,remove" },
            { tag: "quote", item: { msgtype: 10 }, recall: false, want: "forward,remove" },
            { tag: "notice", item: { msgtype: 1 }, recall: true, want: "none" },
            { tag: "video", item: { msgtype: 5 }, recall: true, want: "none" }
        ]
    }

    function test_menuEntries(data) {
        var player = data.player || { modelId: -1, playing: false, paused: false }
        compare(entriesText(Logic.menuEntries(data.item, data.recall, player)), data.want)
    }

    function test_voiceMenuCopiesRecognisedText() {
        var entries = Logic.menuEntries({ id: 1, msgtype: 4, downloadState: 1, audioText: "spoken" }, false,
                                        { modelId: -1, playing: false, paused: false })
        compare(entries.copyText, "spoken")
        compare(entries.toTr, "spoken")
        compare(Logic.menuEntries({ msgtype: 0, content: "c", translation: "" }, false, {}).toTr, "c")
    }

    function stamp(msAgo) {
        var d = new Date(Date.now() - msAgo)
        function pad(n) { return n < 10 ? "0" + n : String(n) }
        return d.getFullYear() + "-" + pad(d.getMonth() + 1) + "-" + pad(d.getDate()) + " " + pad(d.getHours())
                + ":" + pad(d.getMinutes()) + ":" + pad(d.getSeconds())
    }

    function test_recallRule_data() {
        return [
            { tag: "own text at 100 s", group: false, admin: false, sendflag: 1, ago: 100000, want: true },
            { tag: "own text at 119 s", group: false, admin: false, sendflag: 1, ago: 119000, want: true },
            { tag: "own text at 121 s", group: false, admin: false, sendflag: 1, ago: 121000, want: false },
            { tag: "peer's text", group: false, admin: false, sendflag: 0, ago: 1000, want: false },
            { tag: "manager on a member's old text", group: true, admin: true, sendflag: 0, ago: 86400000,
              want: true },
            { tag: "member on a member's text", group: true, admin: false, sendflag: 0, ago: 1000, want: false },
            { tag: "member on own old text", group: true, admin: false, sendflag: 1, ago: 300000, want: false },
            { tag: "admin flag outside a group", group: false, admin: true, sendflag: 0, ago: 1000, want: false }
        ]
    }

    function test_recallRule(data) {
        compare(Logic.canRecall(data.group, data.admin, data.sendflag, vGlobal.isRecallable(stamp(data.ago))),
                data.want)
    }

    function test_mentions_data() {
        var known = ["Ann Lee", "Bob", "Carol", "Dan", "Ann"]
        return [
            { tag: "a name with a blank stays whole", text: "hi @Ann Lee\u2002 how", want: ["Ann Lee"] },
            { tag: "blank in place of the en space", text: "hi @Ann Lee how", want: ["Ann Lee"] },
            { tag: "two mentions", text: "@Bob\u2002@Carol\u2002", want: ["Bob", "Carol"] },
            { tag: "an e-mail address is no mention", text: "mail a@b.com then @Dan\u2002", want: ["Dan"] },
            { tag: "typed @ without a name", text: "@ nobody here", want: [] },
            { tag: "unknown name before an en space", text: "@Zed Q\u2002", want: ["Zed Q"] },
            { tag: "a line break ends the search", text: "@Eve\nx\u2002", want: [] }
        ].map(function (row) { row.known = known; return row })
    }

    function test_mentions(data) {
        compare(Logic.mentionNames(data.text, function (name) { return data.known.indexOf(name) >= 0 }),
                data.want)
    }

    function test_links_data() {
        return [
            { tag: "http link", text: "see http://x.io/a", want: true },
            { tag: "bare host", text: "go to example.com now", want: true },
            { tag: "plain words", text: "no link here", want: false },
            { tag: "twice in a row", text: "a.b.cn", want: true }
        ]
    }

    function test_links(data) {
        // The global pattern keeps its position between calls; asking twice must agree.
        var pattern = new RegExp("(https?://)?[-a-zA-Z0-9@:%._+~#=/]{2,256}\\.[a-z]{2,6}\\b([-a-zA-Z0-9@:%_+.~#?&/=]*)",
                                 "gi")
        var whole = /^[-a-zA-Z0-9@:%._+~#=/]{2,256}\.[a-z]{2,6}\b([-a-zA-Z0-9@:%_+.~#?&/=]*)$/
        compare(Logic.containsLink(data.text, pattern, whole), data.want)
        compare(Logic.containsLink(data.text, pattern, whole), data.want)
    }

    function test_indexAfterRemoval() {
        compare(Logic.indexAfterRemoval(3, 3), 2)
        compare(Logic.indexAfterRemoval(1, 3), 1)
        compare(Logic.indexAfterRemoval(-1, 3), 0)
        compare(Logic.indexAfterRemoval(0, 0), 0)
        compare(Logic.withoutAccount(["a", "b", "a"], "a"), ["b"])
    }
}
