import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.2
import "qrc:/qml/conversations"

// Rich text pasted into the message input keeps its paragraphs as lines.
Item {
    id: root

    width: 600
    height: 300

    VTextArea {
        id: field

        width: 500
        height: 200
        textFormat: TextEdit.RichText
        maximumLength: 1000
        canPasteImage: true
    }

    TestCase {
        name: "TextAreaPaste"
        when: windowShown

        function init() {
            field.text = ""
            tryVerify(function () {
                root.Window.window.requestActivate()
                field.forceActiveFocus()
                return field.activeFocus
            }, 5000)
        }

        function test_paragraphsBecomeLines_data() {
            var head = '<meta http-equiv="content-type" content="text/html; charset=utf-8">'
            return [
                { tag: "browser paragraphs", html: head + "<p>first line</p><p>second line</p>",
                  shown: "first line\nsecond line" },
                { tag: "blocks and breaks", html: "<div>one</div><div>two<br>three</div>",
                  shown: "one\ntwo\nthree" },
                { tag: "one paragraph", html: head + "<p>only <b>this</b></p>", shown: "only this" },
            ]
        }

        // The field's text, as the chat sends it, carries the same lines.
        function test_paragraphsBecomeLines(data) {
            conversationFixture.setClipboard(data.html, [], data.shown.replace(/\n/g, " "), 0)
            field.doPaste()
            var shown = field.getText(0, field.length).replace(/\u00a0/g, " ").replace(/[\u2028\u2029]/g, "\n")
            compare(shown, data.shown)
            compare(vGlobal.htmlTextToPlainText(field.text).replace(/\u00a0/g, " "), data.shown)
        }
    }
}
