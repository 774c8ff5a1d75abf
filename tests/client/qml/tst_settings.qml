import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/settings"
import "qrc:/qml/commons"

// The text conversions and helpers of VSettings and the emoji table.
TestCase {
    name: "Settings"

    readonly property string qrcEmoji: "qrc:/images/emoji/emoji_"

    TextEdit {
        id: shown

        textFormat: TextEdit.RichText
        readOnly: true
    }

    SignalSpy {
        id: sentPictures

        target: vGlobal
        signalName: "sendPicture"
    }

    VMap {
        id: map
    }

    function init() {
        vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
        sentPictures.clear()
    }

    // Received text shown as rich text: markup of the peer stays literal.
    function test_peerTextIsEscaped_data() {
        return [
            { tag: "bold", text: "<b>x</b>", html: "&lt;b&gt;x&lt;/b&gt;", plain: "<b>x</b>" },
            { tag: "entity", text: "&amp;", html: "&amp;amp;", plain: "&amp;" },
            { tag: "picture", text: "<img src=\"file:///etc/passwd\">", html: "&lt;img\u00a0src=&quot;file:///etc/passwd&quot;&gt;",
              plain: "<img\u00a0src=\"file:///etc/passwd\">" },
            { tag: "less than", text: "a<b", html: "a&lt;b", plain: "a<b" },
            { tag: "fake link", text: "<a href='http://x.test'>bank</a>", html: "", plain: "" },
            { tag: "quotes", text: "say \"hi\" 'there'", html: "say\u00a0&quot;hi&quot;\u00a0&#39;there&#39;", plain: "say\u00a0\"hi\"\u00a0'there'" },
            { tag: "lines", text: "a\nb", html: "a<br />b", plain: "a\u2028b" }
        ]
    }

    function test_peerTextIsEscaped(data) {
        var html = VSettings.plainTextToHtmlTextBase(shown, data.text, false, false)
        if (data.html !== "")
            compare(html, data.html)
        verify(html.indexOf("<a") < 0 && html.indexOf("<img") < 0 && html.indexOf("<b>") < 0)
        shown.text = html
        if (data.plain !== "")
            compare(shown.getText(0, shown.length), data.plain)
        // With links on, the same text gets no markup of the peer either.
        var linked = VSettings.plainTextToHtmlText(shown, data.text, false)
        verify(linked.indexOf("<img") < 0 && linked.indexOf("<b>") < 0)
        verify(linked.indexOf("<a href='http://x.test'>") < 0)
    }

    function test_links_data() {
        return [
            { tag: "bare host and path", text: "example.com/a?b=1&c=2", target: "http://example.com/a?b=1&c=2" },
            { tag: "https", text: "https://example.com/x", target: "https://example.com/x" },
            { tag: "upper-case scheme", text: "HTTP://example.com", target: "HTTP://example.com" },
            { tag: "e-mail", text: "someone@example.com", target: "mailto:someone@example.com" }
        ]
    }

    function test_links(data) {
        var html = VSettings.plainTextToHtmlText(shown, "see " + data.text + " now", true)
        var expectedHref = "<a href='" + VSettings.escapeHtml(data.target) + "'"
        verify(html.indexOf(expectedHref) >= 0, html)
        verify(html.indexOf(">" + VSettings.escapeHtml(data.text) + "</a>") >= 0, html)
        verify(html.indexOf("color:\"#FFF505\";text-decoration:none") >= 0, html)
        shown.text = html
        compare(shown.getText(0, shown.length), "see\u00a0" + data.text + "\u00a0now")
        // Received bubbles use their own colour.
        verify(VSettings.plainTextToHtmlText(shown, data.text, false).indexOf("#00D091") >= 0)
    }

    function test_noLiveLinkForOtherSchemes_data() {
        return [
            { tag: "javascript", text: "javascript:alert(1)//example.com" },
            { tag: "file", text: "file:///etc/example.com" },
            { tag: "ftp", text: "ftp://example.com/x" }
        ]
    }

    function test_noLiveLinkForOtherSchemes(data) {
        var html = VSettings.plainTextToHtmlText(shown, data.text, true)
        var anchors = html.match(/<a href='([^']*)'/g) || []
        for (var i = 0; i < anchors.length; ++i)
            verify(/^<a href='(https?:\/\/|mailto:)/.test(anchors[i]), html)
        verify(html.indexOf("href='javascript") < 0 && html.indexOf("href='file") < 0
               && html.indexOf("href='ftp") < 0, html)
    }

    // The pages build their own expressions from the published ones.
    function test_publishedExpressions() {
        var link = new RegExp(VSettings.textRegExp.source, "gi").exec("go to HTTPS://example.com/a_b?c=d now")
        compare(link[0], "HTTPS://example.com/a_b?c=d")
        verify(new RegExp(VSettings.textRegExp1.source).test("example.com/path"))
        verify(!new RegExp(VSettings.textRegExp1.source).test("see example.com"))
        verify(new RegExp(VSettings.emailRegExp.source).test("a.b@example.org"))
        verify(!new RegExp(VSettings.emailRegExp.source).test("a.b@example"))
        compare(VSettings.strRegex.charAt(0), "/")
        verify(VSettings.endsWith(VSettings.strRegex, "/gi"))
    }

    function test_hoveredLinkIsUnderlined() {
        var hovered = { "hoveredLink": "http://example.com" }
        var html = VSettings.plainTextToHtmlText(hovered, "example.com", true)
        verify(html.indexOf("color:\"#FAE100\";text-decoration:underline") >= 0, html)
        html = VSettings.plainTextToHtmlText(hovered, "example.com", false)
        verify(html.indexOf("color:\"#00E09C\";text-decoration:underline") >= 0, html)
    }

    function test_emojiCodes_data() {
        return [
            { tag: "chinese caption", text: "[挨打]", url: qrcEmoji + "aida.png" },
            { tag: "english caption", text: "[beating]", url: qrcEmoji + "aida.png" },
            { tag: "numbered", text: "[q_007]", url: "qrc:/images/emoji/emoji_q/q_007.png" },
            { tag: "last numbered", text: "[q_170]", url: "qrc:/images/emoji/emoji_q/q_170.png" },
            { tag: "numbered out of range", text: "[q_171]", url: "" },
            { tag: "not an emoji", text: "[hello]", url: "" },
            { tag: "shortest group", text: "[[微笑]]", url: qrcEmoji + "weixiao.png" }
        ]
    }

    function test_emojiCodes(data) {
        var html = VSettings.plainTextToHtmlTextBase(shown, "a" + data.text + "b", false, true)
        if (data.url === "") {
            verify(html.indexOf("<img") < 0, html)
            verify(html.indexOf(VSettings.escapeHtml(data.text)) >= 0, html)
        } else {
            verify(html.indexOf("<img src='" + data.url + "' height='28' width='28' />") >= 0, html)
        }
    }

    function test_emptyText() {
        compare(VSettings.plainTextToHtmlText(shown, "", true), "")
        compare(VSettings.plainTextToHtmlText(shown, undefined, true), "")
        compare(VSettings.htmlTextToPlainTextBase(undefined, true), "")
    }

    function test_insertedPictureSize_data() {
        return [
            { tag: "wide", file: qmlFixtures.wide, width: 80, height: 40 },
            { tag: "tall", file: qmlFixtures.tall, width: 24, height: 80 },
            { tag: "small", file: qmlFixtures.small, width: 50, height: 60 }
        ]
    }

    function test_insertedPictureSize(data) {
        var html = VSettings.getInsertPictureHtmlText(data.file)
        var match = /^<img src="([^"]*)" height="(\d+)" width="(\d+)" \/>$/.exec(html)
        verify(match !== null, html)
        compare(parseInt(match[2]), data.height)
        compare(parseInt(match[3]), data.width)
        // The URL is a proper local-file URL and comes back to the same path.
        verify(VSettings.startsWith(match[1], "file:///"), match[1])
        compare(VSettings.urlToLocalFile(match[1]), data.file)
        compare(VSettings.getInsertPictureHtmlText(match[1]), html)
    }

    function test_pathRoundTrip_data() {
        return [
            { tag: "space and hash", path: "/home/u/a b#.png" },
            { tag: "percent and query", path: "/tmp/50% off?.png" },
            { tag: "quotes and ampersand", path: "/tmp/\"x\" & 'y'.png" },
            { tag: "unicode", path: "/tmp/图片 1.png" }
        ]
    }

    function test_pathRoundTrip(data) {
        var url = VSettings.localFileToUrl(data.path)
        verify(VSettings.startsWith(url, "file:///"))
        verify(url.indexOf("\"") < 0 && url.indexOf("'") < 0 && url.indexOf(" ") < 0, url)
        compare(VSettings.urlToLocalFile(url), data.path)
        compare(vGlobal.urlToPath(url), data.path)
    }

    // Input text with an inserted picture, a mention chip and an emoji picture.
    function inputText() {
        return "<html><head><meta name=\"qrichtext\" content=\"1\" /></head><body><p>"
                + VSettings.getInsertPictureHtmlText(qmlFixtures.wide)
                + "<img src=\"" + VSettings.atSomebodyProviderStarts + "10001\" />"
                + "<img src=\"" + qrcEmoji + "weixiao.png\" height=\"28\" width=\"28\" />"
                + "</p></body></html>"
    }

    function test_conversionSendsNothing() {
        vGlobal.atSomebody("10001", "Ann")
        var input = inputText()
        var first = VSettings.htmlTextToPlainText(input)
        compare(first, "@Ann [微笑]")
        // Running it again (a length check, a copy) sends nothing either.
        compare(VSettings.htmlTextToPlainText(input), first)
        compare(sentPictures.count, 0)
        // Sending is explicit and happens once per call.
        compare(VSettings.sendInsertedPictures(input), 1)
        compare(sentPictures.count, 1)
        compare(sentPictures.signalArguments[0][0], qmlFixtures.wide)
    }

    function test_conversionKeepsPicturesWithoutSending() {
        vGlobal.atSomebody("10001", "Ann")
        var kept = VSettings.htmlTextToPlainTextBase(inputText(), false)
        verify(kept.indexOf(VSettings.localFileToUrl(qmlFixtures.wide)) >= 0, kept)
        verify(kept.indexOf("@Ann [微笑]") >= 0, kept)
        verify(kept.indexOf("<img src=\"qrc:") < 0, kept)
        compare(sentPictures.count, 0)
    }

    function test_htmlTextByName() {
        compare(VSettings.getHtmlTextByName("[微笑]"),
                "<img src=\"" + qrcEmoji + "weixiao.png\" height=\"28\" width=\"28\" />")
        compare(VSettings.getHtmlTextByName("[nothing]"), "[nothing]")
    }

    function test_emojiTable() {
        var model = VSettings.emojiListModel
        compare(model.count, 60)
        compare(model.getNameByQrcUrl(qrcEmoji + "sorry.png"), "[sorry]")
        compare(model.getNameByQrcUrl("qrc:/images/emoji/emoji_q/q_063.png"), "[q_063]")
        compare(model.getNameByQrcUrl("qrc:/images/other.png"), "")
        compare(VSettings.getQrcUrlByGifName("emotion_gif_070"),
                "qrc:/images/emoji/emoji_south_korea/emotion_gif_070.png")
        compare(VSettings.getQrcUrlByGifName("emotion_gif_071"), "")
        compare(VSettings.getQrcUrlByGifName("emotion_gif_000"), "")
        compare(VSettings.getEmojiTextByFormatText("[beating]"), "[挨打]")
        compare(VSettings.getEmojiTextByFormatText("[q_001]"), "[表情]")
        compare(VSettings.getEmojiTextByFormatText("[other]"), "[other]")
        vTranslator.setCurrentLanguage(VLanguage.EN_US)
        compare(VSettings.getEmojiTextByFormatText("[挨打]"), "[beating]")
        compare(VSettings.getEmojiTextByFormatText("[q_001]"), "[Sticker]")
        // Every picture of the table exists.
        for (var i = 0; i < model.count; ++i)
            verify(vGlobal.fileExists(model.get(i).emoji), model.get(i).emoji)
    }

    function test_mentionPattern() {
        var pattern = new RegExp(VSettings.atSomeoneRegExp.source, "g")
        var found = []
        var match
        // A mention ends at the en space the input puts after it, so names with
        // blanks are read whole; "@" typed by hand with a plain space is no mention.
        var text = "hi @alice and @Bob Smith\u2002 @carla\u2002\n mail a@b.c @Ann  Lee\u2002"
        while ((match = pattern.exec(text)) !== null)
            found.push(match[1])
        compare(found, ["Bob Smith", "carla", "Ann  Lee"])
        compare(VSettings.mentionedNames(text), found)
    }

    function test_padding() {
        compare(VSettings.padZero(7, 3), "007")
        compare(VSettings.padZero(1234, 3), "1234")
        compare(VSettings.twoDigitsPadZero(5), "05")
        compare(VSettings.threeDigitsPadZero(5), "005")
        compare(VSettings.threeDigitsPadZero(42), "042")
        compare(VSettings.threeDigitsPadZero(170), "170")
        verify(VSettings.endsWidthGif("A.GIF"))
        verify(!VSettings.endsWidthGif("a.gif.png"))
        verify(VSettings.endsWith("abc", "bc") && !VSettings.endsWith("c", "bc"))
        verify(VSettings.startsWith("abc", "ab") && !VSettings.startsWith("abc", "b"))
    }

    function test_recallMap() {
        verify(!VSettings.recallMapContainsKey(12))
        VSettings.addToRecallMap(12, "typo")
        verify(VSettings.recallMapContainsKey(12))
        compare(VSettings.getValueFromRecallMap(12), "typo")
        VSettings.removeFromRecallMap(12)
        verify(!VSettings.recallMapContainsKey(12))
        compare(VSettings.getValueFromRecallMap(12), undefined)
    }

    function test_map() {
        map.clear()
        verify(map.isEmpty())
        var shared = { "n": 1 }
        map.put("a", shared)
        map.put("b", { "n": 1 })
        map.put("c", shared)
        compare(map.size(), 3)
        compare(map.key(shared), "a")
        compare(map.key({ "n": 1 }), null)
        verify(map.containsValue(shared))
        compare(map.keys(), ["a", "b", "c"])
        map.remove("a")
        compare(map.key(shared), "c")
        compare(map.value("missing"), undefined)
        verify(!map.containsKey("toString"))
    }
}
