pragma Singleton
import QtQuick 2.12
import "../commons"
import "../translator"

// Interface constants, regular expressions and the text conversions shared by every
// page. Peer text reaches the screen only through plainTextToHtmlTextBase, which
// escapes it before adding its own markup.
QtObject {
    id: settings

    // Bits of a user's champflag; the avatar badges are chosen from them.
    readonly property int normalMember: 0
    readonly property int initialMember: 1
    readonly property int organizationMember: 2
    readonly property int groupMember: 4

    readonly property int emojiShowSize: 28
    readonly property int titleBarAreaHeight: 52
    readonly property int sessionInfoItemWidth: 280
    readonly property int insertPictureMaxSize: 80

    // The patterns as texts. RegExp objects kept in properties pass through Qt's own
    // regular expression type, which keeps no flags and re-escapes "/": build them
    // from these sources (no escaped slashes) with the flags wanted, as below.
    readonly property string strRegex: "/(https?:\\/\\/)?[-a-zA-Z0-9@:%._\\+~#=\\/]{2,256}\\.[a-z]{2,6}\\b([-a-zA-Z0-9@:%_\\+.~#?&//=\\/]*)/gi"
    readonly property string strRegex1: "/^[-a-zA-Z0-9@:%._\\+~#=\\/]{2,256}\\.[a-z]{2,6}\\b([-a-zA-Z0-9@:%_\\+.~#?&//=\\/]*)$/"
    readonly property string emailPattern: "/^[a-zA-Z0-9._-]+@[a-zA-Z0-9.-]+\\.[a-zA-Z]{2,6}$/"
    // A mention as the input inserts it: an at sign, the name (which may hold blanks)
    // and the en space that ends it.
    readonly property string atSomeoneRegexp: "/@([^@\\n\u2002]*)\u2002/g"

    readonly property string _linkSource: "(https?://)?[-a-zA-Z0-9@:%._+~#=/]{2,256}\\.[a-z]{2,6}\\b([-a-zA-Z0-9@:%_+.~#?&/=]*)"
    readonly property string _wholeLinkSource: "^[-a-zA-Z0-9@:%._+~#=/]{2,256}\\.[a-z]{2,6}\\b([-a-zA-Z0-9@:%_+.~#?&/=]*)$"
    readonly property string _emailSource: "^[a-zA-Z0-9._-]+@[a-zA-Z0-9.-]+\\.[a-zA-Z]{2,6}$"
    readonly property string _atSomeoneSource: "@([^@\\n\u2002]*)\u2002"
    readonly property var textRegExp: new RegExp(_linkSource, "gi")
    readonly property var textRegExp1: new RegExp(_wholeLinkSource)
    readonly property var emailRegExp: new RegExp(_emailSource)
    readonly property var atSomeoneRegExp: new RegExp(_atSomeoneSource, "g")

    readonly property string noMorePromptsNextTimeSyncToImageClicked: "noMorePromptsNextTimeSyncToImageClicked"
    readonly property string none: "NONE"
    readonly property string nomore: "NOMORE"
    readonly property string translation: "TRANSLATION"
    // Only compared with a clicked link, never opened: the reserved top-level name
    // cannot belong to a real site.
    readonly property string recallReeditLink: "recall.reedit.invalid"
    readonly property string atSomebodyProviderStarts: "image://mentionedName/"

    // Keys of the message input: Enter sends; with Ctrl (Command on macOS) it wraps.
    readonly property string sendShortcut: "Enter"
    readonly property string newLineShortcut: Qt.platform.os === "osx" ? "Command + Enter" : "Ctrl + Enter"

    readonly property VEmojiListModel emojiListModel: VEmojiListModel {}

    // The texts of messages the user recalled, by recallMapKey.
    property VMap _recallMap: VMap {}

    readonly property string _fileUrlScheme: "file://"

    function startsWith(source, prefix) {
        return String(source).indexOf(prefix) === 0
    }

    function endsWith(source, suffix) {
        var text = String(source)
        suffix = String(suffix)
        return text.length >= suffix.length && text.substr(text.length - suffix.length) === suffix
    }

    function endsWidthGif(source) {
        return endsWith(String(source).toLowerCase(), ".gif")
    }

    function padZero(num, n) {
        var text = String(num)
        while (text.length < n)
            text = "0" + text
        return text
    }

    function twoDigitsPadZero(num) { return padZero(num, 2) }
    function threeDigitsPadZero(num) { return emojiListModel.threeDigitsPadZero(num) }

    // Local files as URLs and back: each path segment percent-encoded, so that
    // spaces, "#", "?", "%" and quotes survive the round trip and the markup.
    function localFileToUrl(path) {
        var text = String(path)
        if (startsWith(text, _fileUrlScheme))
            return text
        return _fileUrlScheme + text.split("/").map(function (segment) {
            return encodeURIComponent(segment).replace(/'/g, "%27")
        }).join("/")
    }

    function urlToLocalFile(url) {
        var text = String(url)
        if (!startsWith(text, _fileUrlScheme))
            return text
        text = text.substr(_fileUrlScheme.length)
        try {
            return decodeURIComponent(text)
        } catch (error) {
            return text
        }
    }

    function escapeHtml(text) {
        return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
            .replace(/"/g, "&quot;").replace(/'/g, "&#39;")
    }

    function getInsertPictureHtmlText(pictureFileName) {
        var url = localFileToUrl(pictureFileName)
        var size = vGlobal.imageSize(urlToLocalFile(url))
        var width = Math.max(0, size.width)
        var height = Math.max(0, size.height)
        var maximum = insertPictureMaxSize
        if (Math.max(width, height) > maximum) {
            if (width >= height) {
                height = Math.round(height * maximum / width)
                width = maximum
            } else {
                width = Math.round(width * maximum / height)
                height = maximum
            }
        }
        return "<img src=\"" + url + "\" height=\"" + height + "\" width=\"" + width + "\" />"
    }

    // The hint beside the send button, in the current language.
    function sendHint() {
        return VTr.sendTip.arg(sendShortcut).arg(newLineShortcut)
    }

    function getQrcUrlByName(name) { return emojiListModel.getQrcUrlByName(name) }
    function getQrcUrlByGifName(name) { return emojiListModel.getQrcUrlByGifName(name) }
    function getEmojiTextByFormatText(name) { return emojiListModel.getEmojiTextByFormatText(name) }

    function getHtmlTextByName(name) {
        var url = getQrcUrlByName(name)
        if (url === "")
            return name
        return "<img src=\"" + url + "\" height=\"" + emojiShowSize + "\" width=\"" + emojiShowSize + "\" />"
    }

    readonly property string _imageElementSource: "<img[\\s\\S]*?src=\"([^\"]*)\"[\\s\\S]*?/>"

    // The local files of the pictures the user inserted into an input text, in order.
    function insertedPictures(htmlText) {
        var pictures = []
        if (htmlText === undefined || htmlText === null)
            return pictures
        var pattern = new RegExp(_imageElementSource, "gi")
        var match
        while ((match = pattern.exec(String(htmlText))) !== null) {
            if (startsWith(match[1], _fileUrlScheme))
                pictures.push(urlToLocalFile(match[1]))
        }
        return pictures
    }

    // Sends each inserted picture as a picture message; called once, when the text
    // is sent. The conversions below never send anything themselves.
    function sendInsertedPictures(htmlText) {
        var pictures = insertedPictures(htmlText)
        for (var i = 0; i < pictures.length; ++i)
            vGlobal.sendPicture(pictures[i])
        return pictures.length
    }

    function htmlTextToPlainText(htmlText) {
        return htmlTextToPlainTextBase(htmlText, true)
    }

    // Rich text of the input field back to text: inserted pictures are dropped (with
    // sendImage) or kept, mention chips become "@name ", emoji pictures their codes.
    function htmlTextToPlainTextBase(htmlText, sendImage) {
        if (htmlText === undefined || htmlText === null)
            return ""
        var pattern = new RegExp(_imageElementSource, "gi")
        var converted = String(htmlText).replace(pattern, function (element, source) {
            if (startsWith(source, _fileUrlScheme))
                return sendImage ? "" : element
            if (startsWith(source, atSomebodyProviderStarts)) {
                return "@" + vGlobal.atName(source.substr(atSomebodyProviderStarts.length)) + " "
            }
            var code = emojiListModel.getNameByQrcUrl(source)
            return code !== "" ? code : element
        })
        return sendImage ? vGlobal.htmlTextToPlainText(converted) : converted
    }

    function plainTextToHtmlText(showTextObject, plainText, isSend) {
        return plainTextToHtmlTextBase(showTextObject, plainText, isSend, true)
    }

    function _plainPieceToHtml(text) {
        var html = escapeHtml(text).replace(/ /g, "\u00a0").replace(/\r?\n/g, "<br />")
        return html.replace(/\[[^\[\]]*\]/g, function (group) {
            var url = getQrcUrlByName(group)
            if (url === "")
                return group
            return "<img src='" + url + "' height='" + emojiShowSize + "' width='" + emojiShowSize + "' />"
        })
    }

    function _linkTarget(text) {
        if (new RegExp(_emailSource).test(text))
            return "mailto:" + text
        if (new RegExp(_wholeLinkSource).test(text) && !/^https?:\/\//i.test(text))
            return "http://" + text
        return text
    }

    function _linkToHtml(showTextObject, text, isSend) {
        var target = _linkTarget(text)
        if (!/^(https?:\/\/|mailto:)/i.test(target))
            return _plainPieceToHtml(text)
        var hovered = showTextObject !== undefined && showTextObject !== null
            && showTextObject.hoveredLink === target
        var colour = hovered ? (isSend ? "#FAE100" : "#00E09C") : (isSend ? "#FFF505" : "#00D091")
        return "<a href='" + escapeHtml(target) + "' style='color:\"" + colour
            + "\";text-decoration:" + (hovered ? "underline" : "none") + "'>"
            + escapeHtml(text) + "</a>"
    }

    // A message text as rich text for showing: escaped first, then no-break spaces,
    // line breaks, links (http, https and mailto only) and emoji pictures.
    function plainTextToHtmlTextBase(showTextObject, plainText, isSend, doUrl) {
        if (plainText === undefined || plainText === null || plainText === "")
            return ""
        var text = String(plainText)
        if (!doUrl)
            return _plainPieceToHtml(text)
        var pattern = new RegExp(_linkSource, "gi")
        var html = ""
        var done = 0
        var match
        while ((match = pattern.exec(text)) !== null) {
            if (match[0].length === 0) {
                pattern.lastIndex++
                continue
            }
            html += _plainPieceToHtml(text.substring(done, match.index))
            html += _linkToHtml(showTextObject, match[0], isSend)
            done = match.index + match[0].length
        }
        return html + _plainPieceToHtml(text.substring(done))
    }

    // Whether a message text shows more than plain text: a link or an emoji picture.
    function needsRichText(plainText) {
        if (plainText === undefined || plainText === null || plainText === "")
            return false
        var text = String(plainText)
        if (new RegExp(_linkSource, "i").test(text))
            return true
        var groups = text.match(/\[[^\[\]]*\]/g) || []
        for (var i = 0; i < groups.length; ++i) {
            if (getQrcUrlByName(groups[i]) !== "")
                return true
        }
        return false
    }

    // The names mentioned in a text, in order.
    function mentionedNames(text) {
        var pattern = new RegExp(_atSomeoneSource, "g")
        var names = []
        var match
        var source = String(text)
        while ((match = pattern.exec(source)) !== null) {
            if (match[1] !== "")
                names.push(match[1])
        }
        return names
    }

    function recallMapKey(modelId) {
        var session = typeof sessionManager !== "undefined" && sessionManager
            ? sessionManager.currentSessionId : ""
        return session + "_" + modelId
    }
    function addToRecallMap(modelId, copyText) { _recallMap.put(recallMapKey(modelId), copyText) }
    function removeFromRecallMap(modelId) { _recallMap.remove(recallMapKey(modelId)) }
    function getValueFromRecallMap(modelId) { return _recallMap.value(recallMapKey(modelId)) }
    function recallMapContainsKey(modelId) { return _recallMap.containsKey(recallMapKey(modelId)) }
}
