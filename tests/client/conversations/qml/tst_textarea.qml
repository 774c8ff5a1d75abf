import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.2
import "qrc:/qml/conversations"
import "qrc:/qml/popups"
import "qrc:/qml/settings"
import "qrc:/qml/translator"

// The message input: length limit, mentions, paste order, copy and its menu.
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

    SignalSpy { id: tooLong; target: field; signalName: "enteredTooLong" }
    SignalSpy { id: showAt; target: field; signalName: "showAtSomebody" }
    SignalSpy { id: needAt; target: field; signalName: "needAtSomebody" }
    SignalSpy { id: closeAt; target: field; signalName: "closeAtSomebody" }
    SignalSpy { id: returns; target: field; signalName: "returnPressed" }
    SignalSpy { id: controlReturns; target: field; signalName: "returnAndControlPressed" }
    SignalSpy { id: sentFiles; target: vGlobal; signalName: "sendFileOnly" }

    TestCase {
        name: "TextArea"
        when: windowShown

        function focusField() {
            tryVerify(function () {
                root.Window.window.requestActivate()
                field.forceActiveFocus()
                return field.activeFocus
            }, 5000)
        }

        function init() {
            field.canAtSomebody = false
            field.maximumLength = 1000
            field.canPasteImage = true
            field.text = ""
            focusField()
            tooLong.clear()
            showAt.clear()
            needAt.clear()
            closeAt.clear()
            returns.clear()
            controlReturns.clear()
            sentFiles.clear()
        }

        function repeat(c, n) {
            var s = ""
            for (var i = 0; i < n; ++i)
                s += c
            return s
        }

        function test_pasteBeyondTheLimitKeepsTheFirstCharacters() {
            field.insert(0, repeat("a", 990))
            compare(field.length, 990)
            field.cursorPosition = 990
            conversationFixture.setClipboard("", [], "0123456789" + repeat("z", 20), 0)
            field.doPaste()
            compare(field.length, 1000)
            compare(field.getText(990, 1000), "0123456789")
            // Cut back to exactly the limit, which reports nothing more.
            verify(tooLong.count > 0)
            verify(tooLong.signalArguments[tooLong.count - 1][0])
        }

        function test_cutJustBeforeTheCursor() {
            field.maximumLength = 10
            field.insert(0, "abcdefghij")
            field.cursorPosition = 3
            tooLong.clear()
            field.insert(3, "XYZ")
            // What was typed at the cursor goes; the rest of the text stays.
            compare(field.getText(0, field.length), "abcdefghij")
            verify(tooLong.signalArguments[0][0])
        }

        function test_exactlyAtTheLimitIsSilent() {
            field.maximumLength = 5
            field.insert(0, "abcd")
            tooLong.clear()
            field.insert(4, "e")
            compare(field.length, 5)
            compare(tooLong.count, 0)
        }

        function test_picturesCountAsOneCharacter() {
            field.maximumLength = 3
            field.insertPicture(qmlPicture())
            compare(field.length, 1)
            field.insert(field.cursorPosition, "ab")
            compare(field.length, 3)
            compare(VSettings.insertedPictures(field.text).length, 1)
        }

        function qmlPicture() {
            return conversationFixture.picture("insert.png", 160, 40)
        }

        function test_mentionWithBlanksAndOneBackspace() {
            field.canAtSomebody = true
            field.insert(0, "hi ")
            field.cursorPosition = 3
            keyClick("@")
            compare(showAt.count, 1)
            keyClick("a")
            keyClick("n")
            compare(needAt.signalArguments[needAt.count - 1][0], "an")
            vGlobal.atSomebody("ann@d", "Ann  <b>Lee</b>")
            var plain = field.getText(0, field.length)
            compare(plain, "hi @Ann  <b>Lee</b>\u2002")
            compare(VSettings.mentionedNames(plain), ["Ann  <b>Lee</b>"])
            compare(vGlobal.atSomebodyList(VSettings.mentionedNames(plain)), ["ann@d"])
            verify(closeAt.count > 0)
            keyClick(Qt.Key_Backspace)
            compare(field.getText(0, field.length), "hi ")
        }

        function test_deletingTheAtClosesTheSearch() {
            field.canAtSomebody = true
            keyClick("@")
            compare(showAt.count, 1)
            closeAt.clear()
            keyClick(Qt.Key_Backspace)
            verify(closeAt.count > 0)
            compare(field._atMark, 0)
        }

        function test_plainBackspaceAfterAnUnknownName() {
            field.canAtSomebody = true
            field.insert(0, "@nobody known ")
            field.cursorPosition = field.length
            keyClick(Qt.Key_Backspace)
            compare(field.getText(0, field.length), "@nobody known")
        }

        function test_mentionsOnlyInGroups() {
            field.canAtSomebody = false
            vGlobal.atSomebody("x1@d", "Xavier")
            compare(field.length, 0)
        }

        function test_keys() {
            keyClick(Qt.Key_Return)
            compare(returns.count, 1)
            keyClick(Qt.Key_Enter, Qt.ControlModifier)
            compare(controlReturns.count, 1)
            compare(field.length, 0)
        }

        function test_pasteOrder_data() {
            return [
                { tag: "html first", html: "<p>from <b>html</b></p>", urls: [], text: "from text",
                  image: 0, shown: "from html", pictures: 0, sent: 0 },
                { tag: "markup from outside stays text", html: "<a href='x'>a&lt;b</a><script>x</script>",
                  urls: [], text: "", image: 0, shown: "a<b", pictures: 0, sent: 0 },
                { tag: "urls before text", html: "", urls: ["picture", "file", "https://example.com/a"],
                  text: "from text", image: 0, shown: "https://example.com/a", pictures: 1, sent: 1 },
                { tag: "folders are skipped", html: "", urls: ["folder"], text: "", image: 0,
                  shown: "", pictures: 0, sent: 0 },
                { tag: "text before image", html: "", urls: [], text: "[微笑] plain", image: 20,
                  shown: "\ufffc plain", pictures: 0, sent: 0 },
                { tag: "image last", html: "", urls: [], text: "", image: 20, shown: "\ufffc",
                  pictures: 1, sent: 0 }
            ]
        }

        function test_pasteOrder(data) {
            var urls = data.urls.map(function (kind) {
                if (kind === "picture")
                    return VSettings.localFileToUrl(conversationFixture.picture("pasted.png", 30, 30))
                if (kind === "file")
                    return VSettings.localFileToUrl(conversationFixture.textFile("notes.txt"))
                if (kind === "folder")
                    return VSettings.localFileToUrl(conversationFixture.folder())
                return kind
            })
            conversationFixture.setClipboard(data.html, urls, data.text, data.image)
            field.doPaste()
            var plain = field.getText(0, field.length).replace(/\u00a0/g, " ").trim()
            if (data.pictures > 0)
                plain = plain.replace(/\ufffc\s*/, "").trim()
            compare(plain, data.pictures > 0 ? data.shown.replace("\ufffc", "").trim() : data.shown)
            compare(VSettings.insertedPictures(field.text).length, data.pictures)
            compare(sentFiles.count, data.sent)
        }

        function test_copyGivesTextAndMarkup() {
            field.insert(0, "see " + VSettings.getHtmlTextByName("[微笑]") + " ok")
            field.selectAll()
            field.doCopy()
            compare(vClipboard.text().replace(/\u00a0/g, " "), "see [微笑] ok")
            verify(vClipboard.hasHtml())
        }

        function test_menuEntriesPerState() {
            conversationFixture.setClipboard("", [], "", 0)
            field._openMenu(10, 10)
            var menu = field._menu
            verify(menu !== null)
            compare(menu.shownEntries(), [])
            menu.close()
            tryCompare(menu, "opened", false)
            compare(menu.shownEntries(), [])
            field.insert(0, "some words")
            field.select(0, 4)
            conversationFixture.setClipboard("", [], "clip", 0)
            field._openMenu(10, 10)
            compare(menu.shownEntries(), [VTr.undo, VTr.cut, VTr.copy, VTr.paste, VTr.del, VTr.selectAll])
            // Delete removes the selection only.
            menu.delTriggered()
            compare(field.getText(0, field.length), " words")
            menu.close()
            tryCompare(menu, "opened", false)
            compare(menu.shownEntries(), [])
        }
    }
}
