.pragma library

// The rules of the conversation page that do not depend on items: row times and
// previews, the message component of a row, the message menu's entries, the
// recall rule and the mentions of a text to send.

// "yyyy-MM-dd hh:mm:ss" (or any text Date understands) as a local time; null when unreadable.
function parseTime(text) {
    if (text instanceof Date)
        return isNaN(text.getTime()) ? null : text
    var match = /^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?/.exec(String(text))
    if (match === null)
        return null
    return new Date(Number(match[1]), Number(match[2]) - 1, Number(match[3]),
                    Number(match[4] || 0), Number(match[5] || 0), Number(match[6] || 0))
}

function _pad(number) {
    return number < 10 ? "0" + number : String(number)
}

// The time of a conversation row: today "hh:mm", yesterday of the same year the
// word for it, the same year "MM-dd", another year "yyyy-M-d".
function rowTime(sendtime, now, yesterdayText) {
    var time = parseTime(sendtime)
    if (time === null)
        return ""
    if (time.getFullYear() !== now.getFullYear())
        return time.getFullYear() + "-" + (time.getMonth() + 1) + "-" + time.getDate()
    if (time.getMonth() === now.getMonth() && time.getDate() === now.getDate())
        return _pad(time.getHours()) + ":" + _pad(time.getMinutes())
    var yesterday = new Date(now.getFullYear(), now.getMonth(), now.getDate() - 1)
    if (yesterday.getFullYear() === now.getFullYear() && time.getMonth() === yesterday.getMonth()
            && time.getDate() === yesterday.getDate())
        return yesterdayText
    return _pad(time.getMonth() + 1) + "-" + _pad(time.getDate())
}

// Unread badge text: "99+" above 99, nothing at 0 or below.
function badgeText(count) {
    if (!(count > 0))
        return ""
    return count > 99 ? "99+" : String(count)
}

// Every shortest bracketed group of a text through captionOf (emoji codes to captions).
function replaceBracketGroups(text, captionOf) {
    return String(text).replace(/\[[^\[\]]*\]/g, function (group) {
        return captionOf(group)
    })
}

// The preview of a conversation row. row: revokeflag, sendflag, msgtype, content,
// fromName, name, totype. words: youRecall, someoneRecall, picture, file, audio, video,
// redEnvelope, quotes.
function preview(row, words, captionOf) {
    var content = row.content === undefined || row.content === null ? "" : String(row.content)
    if (row.revokeflag === 1) {
        if (row.sendflag === 1)
            return words.youRecall
        // fromName carries the ": " of the group preview; a person's row may have none.
        var who = row.fromName ? String(row.fromName).replace(/:\s*$/, "") : ""
        return (who !== "" ? who : (row.name || "")) + words.someoneRecall
    }
    // A group row's fromName already ends with ": "; a sender without a nick leaves
    // only that, which is no prefix.
    var prefix = row.totype === 1 && /[^:\s]/.test(String(row.fromName || "")) ? String(row.fromName) : ""
    switch (row.msgtype) {
    case 1:
    case 6:
        return content
    case 2:
    case 8:
        return prefix + "[" + words.picture + "]"
    case 3:
        return prefix + "[" + words.file + "]"
    case 4:
        return prefix + "[" + words.audio + "]"
    case 5:
        return prefix + "[" + words.video + "]"
    case 7:
        return prefix + "[" + words.redEnvelope + "]"
    case 9:
        return content === "" ? "" : prefix + content
    case 10:
        return prefix + "[" + words.quotes + "]"
    default:
        // A conversation opened before its first message has no text: its sender's
        // name alone says nothing.
        var text = replaceBracketGroups(content.trim(), captionOf)
        return text === "" ? "" : prefix + text
    }
}

// The red tip in front of a row's preview: 0 none, 1 "@ me", 2 "@ all", 3 draft.
function tipKind(atflag, hasDraft) {
    if (atflag === 1)
        return 1
    if (atflag === 2)
        return 2
    return hasDraft ? 3 : 0
}

// Index of the greeting of the empty chat column by the local hour: 0 morning
// (06-11), 1 afternoon (12-17), 2 evening (18-23), 3 night (00-05).
function greetingIndex(hour) {
    if (hour >= 6 && hour < 12)
        return 0
    if (hour >= 12 && hour < 18)
        return 1
    if (hour >= 18 && hour < 24)
        return 2
    return 3
}

// The file of the message component a row shows.
function componentFile(revokeflag, msgtype, sendflag) {
    var sent = sendflag === 1
    if (revokeflag === 1)
        return "VRevokeNotifyMsgCom.qml"
    switch (msgtype) {
    case 0:
        return sent ? "VSendTextMsgCom.qml" : "VReceiveTextMsgCom.qml"
    case 1:
    case 6:
        return "VGroupNotifyMsgCom.qml"
    case 2:
        return sent ? "VSendImageMsgCom.qml" : "VReceiveImageMsgCom.qml"
    case 3:
        return sent ? "VSendFileMsgCom.qml" : "VReceiveFileMsgCom.qml"
    case 4:
        return sent ? "VSendAudioMsgCom.qml" : "VReceiveAudioMsgCom.qml"
    case 7:
        return sent ? "VSendRedEnvelopeNotifyMsgCom.qml" : "VReceiveRedEnvelopeNotifyMsgCom.qml"
    case 8:
        return sent ? "VSendGifMsgCom.qml" : "VReceiveGifMsgCom.qml"
    case 9:
        return sent ? "" : "VGroupNotifyMsgCom.qml"
    case 10:
        return sent ? "VSendQuitesMsgCom.qml" : "VReceiveQuitesMsgCom.qml"
    default:
        return sent ? "VNotSupportSelfCom.qml" : "VNotSupportCom.qml"
    }
}

// Recall: any message for the owner or a manager of the open group, otherwise only
// the user's own message while it is still recallable.
function canRecall(isGroup, isOwnerOrManager, sendflag, recallable) {
    if (isGroup && isOwnerOrManager)
        return true
    return sendflag === 1 && recallable
}

// Player entries of a voice message. player: modelId, playing, paused (else stopped).
function playerEntries(player, modelId) {
    var mine = player.modelId === modelId
    return {
        play: !mine || !player.playing,
        pause: mine && player.playing,
        stop: mine && (player.playing || player.paused)
    }
}

// The entries of the message menu, or null when the message has no menu.
// item: msgtype, translation, downloadState, audioText, content.
function menuEntries(item, recall, player) {
    var none = {
        copy: false, forward: false, recall: false, play: false, pause: false, stop: false,
        saveAs: false, translate: false, remove: false, toTr: "", copyText: null
    }
    var translation = item.translation ? String(item.translation) : ""
    switch (item.msgtype) {
    case 0:
        none.copy = true
        none.forward = true
        none.recall = recall
        none.remove = true
        none.translate = translation === ""
        none.toTr = item.content
        return none
    case 2:
    case 3:
        none.copy = true
        none.forward = true
        none.saveAs = item.downloadState === 1
        none.recall = recall
        none.remove = true
        return none
    case 4: {
        var audioText = item.audioText ? String(item.audioText) : ""
        none.copy = audioText !== ""
        none.copyText = audioText
        if (item.downloadState === 1) {
            var entries = playerEntries(player, item.id)
            none.play = entries.play
            none.pause = entries.pause
            none.stop = entries.stop
        }
        none.translate = audioText !== "" && translation === ""
        none.toTr = audioText
        none.forward = true
        none.recall = recall
        none.remove = true
        return none
    }
    case 7:
        none.remove = true
        return none
    case 8:
    case 10:
        none.forward = true
        none.recall = recall
        none.remove = true
        return none
    default:
        return null
    }
}

// The names mentioned in a text to send. An inserted mention is "@", the name
// and an en space, so a name may hold blanks; rich text may have turned the en
// space into a plain one, so for each "@" the longest following run up to a
// blank that isKnown accepts is the name, else the run up to an en space.
function mentionNames(text, isKnown) {
    var value = String(text)
    var names = []
    var at = value.indexOf("@")
    while (at >= 0) {
        var found = ""
        var enSpaced = ""
        for (var end = at + 1; end <= value.length && end - at <= 64; ++end) {
            var ch = end < value.length ? value.charAt(end) : "\n"
            if (ch === "@" || ch === "\n" || ch === "\r")
                break
            if (!/\s/.test(ch))
                continue
            var candidate = value.substring(at + 1, end)
            if (candidate !== "" && isKnown !== undefined && isKnown(candidate))
                found = candidate
            if (ch === "\u2002" && enSpaced === "")
                enSpaced = candidate
        }
        if (found === "")
            found = enSpaced
        if (found !== "") {
            names.push(found)
            at = value.indexOf("@", at + 1 + found.length)
        } else {
            at = value.indexOf("@", at + 1)
        }
    }
    return names
}

// The text as it is sent: the en space that ends each mention becomes a plain
// space. In the field it marks where a name with blanks ends; in a message it
// would read as a double space before the text that follows.
function withPlainMentionEnds(text, names) {
    var value = String(text)
    for (var i = 0; i < names.length; ++i)
        value = value.split("@" + names[i] + "\u2002").join("@" + names[i] + " ")
    return value
}

// Whether a text carries a link by either of the two link patterns.
function containsLink(text, pattern, wholePattern) {
    var value = String(text)
    pattern.lastIndex = 0
    var found = pattern.test(value) || wholePattern.test(value)
    pattern.lastIndex = 0
    return found
}

// The accounts of a sync list without the open conversation.
function withoutAccount(list, account) {
    var result = []
    for (var i = 0; i < list.length; ++i) {
        if (list[i] !== account)
            result.push(list[i])
    }
    return result
}

// The row to open after a removal: the remembered index within the list, 0 when empty.
function indexAfterRemoval(clickedIndex, count) {
    if (count <= 0)
        return 0
    return Math.max(0, Math.min(clickedIndex, count - 1))
}
