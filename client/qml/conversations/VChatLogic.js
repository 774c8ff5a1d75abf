.pragma library

// The rules of the chat column that do not depend on an item: sizes of pictures
// and voice bubbles, time labels, number rounding, the length limit and translation
// codes.

var pictureMaxSide = 288
var pictureMinSide = 80
var animatedMaxSide = 400
var voiceMaxSeconds = 60

// A size from the peer: anything but a positive number counts as 0.
function _positive(value) {
    var number = Number(value)
    return isFinite(number) && number > 0 ? number : 0
}

// The shown size of a still picture: {width, height, crop, known}.
function pictureSize(width, height) {
    var w = _positive(width)
    var h = _positive(height)
    if (w === 0 || h === 0)
        return { width: pictureMinSide, height: pictureMinSide, crop: false, known: false }
    if (Math.max(w, h) <= pictureMaxSide)
        return { width: w, height: h, crop: false, known: true }
    var crop = false
    if (w >= h) {
        h = Math.round(h * pictureMaxSide / w)
        w = pictureMaxSide
        if (h < pictureMinSide) {
            h = pictureMinSide
            crop = true
        }
    } else {
        w = Math.round(w * pictureMaxSide / h)
        h = pictureMaxSide
        if (w < pictureMinSide) {
            w = pictureMinSide
            crop = true
        }
    }
    return { width: w, height: h, crop: crop, known: true }
}

// The shown size of an animated picture: the larger side at most 400.
function animatedSize(width, height) {
    var w = _positive(width)
    var h = _positive(height)
    if (w === 0 || h === 0)
        return { width: pictureMinSide, height: pictureMinSide }
    if (Math.max(w, h) <= animatedMaxSide)
        return { width: w, height: h }
    if (w >= h)
        return { width: animatedMaxSide, height: Math.round(h * animatedMaxSide / w) }
    return { width: Math.round(w * animatedMaxSide / h), height: animatedMaxSide }
}

// Seconds of a voice message as the bubble uses them: the peer's number, kept to 0-60.
function voiceSeconds(seconds) {
    var number = Math.floor(Number(seconds))
    if (!isFinite(number) || number < 0)
        return 0
    return Math.min(voiceMaxSeconds, number)
}

function voiceWidth(seconds) {
    return 200 - (voiceMaxSeconds - voiceSeconds(seconds)) * 2
}

// The width a text bubble shows: the measured unwrapped width, bounded by the view
// and the screen.
function textWidth(measured, viewWidth, screenWidth) {
    return Math.max(0, Math.min(measured, 0.7 * viewWidth - 20, screenWidth / 2 - 20))
}

// A quote value with at most two decimals and no trailing zeros.
function roundTwo(value) {
    var number = Number(value)
    if (!isFinite(number))
        return "0"
    return String(Math.round(number * 100) / 100)
}

function _pad(number) {
    return number < 10 ? "0" + number : String(number)
}

// "yyyy-MM-dd hh:mm:ss" (or an ISO text) as a Date; null when it does not parse.
function parseTime(text) {
    var match = /^(\d{4})-(\d{1,2})-(\d{1,2})[ T](\d{1,2}):(\d{1,2})(?::(\d{1,2}))?/.exec(String(text))
    if (!match)
        return null
    return new Date(Number(match[1]), Number(match[2]) - 1, Number(match[3]),
                    Number(match[4]), Number(match[5]), match[6] ? Number(match[6]) : 0)
}

// The label above a message: today "hh:mm", yesterday "<yesterday> hh:mm", this year
// "MM-dd hh:mm", another year "yyyy-M-d hh:mm".
function timeLabel(sendtime, now, yesterdayWord) {
    var time = parseTime(sendtime)
    if (time === null)
        return String(sendtime)
    var clock = _pad(time.getHours()) + ":" + _pad(time.getMinutes())
    var today = now || new Date()
    var yesterday = new Date(today.getFullYear(), today.getMonth(), today.getDate() - 1)
    var sameDay = function (a, b) {
        return a.getFullYear() === b.getFullYear() && a.getMonth() === b.getMonth()
            && a.getDate() === b.getDate()
    }
    if (sameDay(time, today))
        return clock
    if (sameDay(time, yesterday))
        return yesterdayWord + " " + clock
    if (time.getFullYear() === today.getFullYear())
        return _pad(time.getMonth() + 1) + "-" + _pad(time.getDate()) + " " + clock
    return time.getFullYear() + "-" + (time.getMonth() + 1) + "-" + time.getDate() + " " + clock
}

// The translation target of the message menu for an interface language
// (0 English, 1 Simplified Chinese, 2 Traditional Chinese, 3 Korean).
function translationTarget(language) {
    switch (language) {
    case 1:
        return "zh"
    case 2:
        return "cht"
    case 3:
        return "kor"
    default:
        return "en"
    }
}

// The characters to cut after a change of a limited text: [start, end) just before
// the cursor, or null when the text fits.
function surplusRange(length, limit, cursor) {
    if (limit <= 0 || length <= limit)
        return null
    var surplus = length - limit
    var start = Math.max(0, cursor - surplus)
    return { start: start, end: start + surplus }
}

// What a component reads outside a row: every field of a message item, empty.
var emptyMessage = {
    id: -1, msgid: 0, msgtype: 0, fromuser: "", fromgroup: "", touser: "", totype: 0,
    content: "", remark: "", localpath: "", fileurl: "", sendflag: 0, sendstate: 1,
    sendtime: "", name: "", icon: "", account: "", downloadState: 0, audioText: "",
    seconds: 0, progress: 0, width: 0, height: 0, fileName: "", fileSize: "",
    showTime: false, translation: "", title: 0, revokeflag: 0, coin: "", coinImg: "",
    amount: 0, high: 0, low: 0, close: 0, champflag: 0
}

// The message item of a row: the one role of the message models ("object", also
// offered as modelData), or the empty stand-in. A row the view keeps for reuse
// shows the stand-in once its item went, until it shows another.
// The message item a row shows; an empty stand-in outside a row or while the row
// waits for its next message.
function rowMessage(row) {
    if (!row || row.itemGone || !row.messageItem)
        return emptyMessage
    return row.messageItem
}

function rowItem(model, row) {
    if (model === null || model === undefined || (row && row.itemGone))
        return emptyMessage
    if (model.modelData)
        return model.modelData
    return model.object ? model.object : emptyMessage
}
