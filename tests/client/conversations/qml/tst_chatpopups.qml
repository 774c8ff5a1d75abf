import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.2
import "qrc:/qml/conversations"
import "qrc:/qml/settings"
import "qrc:/qml/translator"

// The chat popups: forwarding limit, the @-picker with and without "All", the
// message menu per state, the quote window's size and the translation codes.
Item {
    id: root

    width: 600
    height: 400

    VAtSomebodyPopupWindow {
        id: picker

        members: atSearchUserManager
    }

    VAlertSomeoneAtMe {
        id: banner
    }

    VChatItemMenu {
        id: itemMenu
    }

    SignalSpy { id: mentions; target: vGlobal; signalName: "atSomebodyAccount" }
    SignalSpy { id: limits; target: vGlobal; signalName: "selectUpToMaxContactsAndGroups" }
    SignalSpy { id: finished; target: vGlobal; signalName: "forwardFinished" }
    SignalSpy { id: emojis; target: vGlobal; signalName: "emojiClicked" }
    SignalSpy { id: stickers; target: vGlobal; signalName: "emojiGifClicked" }
    SignalSpy { id: gotoAtMe; target: banner; signalName: "gotoAtMe" }

    Component { id: forwardComponent; VForwardPopupWindow {} }
    Component { id: quotesComponent; VQuotesPopupWindow {} }
    Component { id: emojiComponent; VEmojiPopupWindow {} }
    Component { id: fileMenuComponent; VFileOpenOptionsMenu {} }
    SignalSpy { id: missingFiles; target: vGlobal; signalName: "fileIsNotExists" }
    Component { id: selectable; QtObject { property bool selected: false } }

    TestCase {
        name: "ChatPopups"
        when: windowShown

        function init() {
            mentions.clear()
            limits.clear()
            finished.clear()
            vTranslator.setCurrentLanguage(0)
        }

        property int batch: 0

        // Members with accounts new to the model ("m<batch>_<i>@d").
        function fillMembers(count) {
            ++batch
            var members = []
            for (var i = 0; i < count; ++i)
                members.push({ "account": "m" + batch + "_" + i + "@d", "name": "Member " + i, "logo": "",
                               "champflag": 0 })
            atSearchUserManager.reset()
            atSearchUserManager.addData(members)
        }

        function test_forwardLimitIsTen() {
            var dialog = createTemporaryObject(forwardComponent, root)
            var items = []
            for (var i = 0; i < 11; ++i)
                items.push(createTemporaryObject(selectable, root))
            for (i = 0; i < 10; ++i)
                verify(dialog.toggle(items[i]))
            compare(dialog.selectedCount, 10)
            // The eleventh is refused with the limit's alert.
            verify(!dialog.toggle(items[10]))
            verify(!items[10].selected)
            compare(limits.count, 1)
            compare(dialog.selectedCount, 10)
            // Unselecting one makes room again; contacts and groups share the count.
            verify(dialog.toggle(items[3]))
            verify(!items[3].selected)
            verify(dialog.toggle(items[10]))
            compare(dialog.selectedCount, 10)
            compare(dialog.windowTitle, qsTranslate("VForwardPopupWindow", "Forward to") + "(10)")
        }

        function test_forwardStepsAsideForTheLimitAlert() {
            var dialog = createTemporaryObject(forwardComponent, root)
            // Not open: the alert's end does not bring it up.
            vGlobal.reshowForwardSelectPopupWindow()
            verify(!dialog.visible)
            dialog.open(9, "hi", 0)
            vGlobal.selectUpToMaxContactsAndGroups()
            verify(!dialog.visible)
            vGlobal.reshowForwardSelectPopupWindow()
            verify(dialog.visible)
            dialog.close()
        }

        function test_forwardWithNothingSelectedStillFinishes() {
            var dialog = createTemporaryObject(forwardComponent, root)
            dialog.open(5, "hello", 0)
            verify(dialog.visible)
            compare(dialog.selectedCount, 0)
            dialog.accept()
            compare(finished.count, 1)
            verify(!dialog.visible)
        }

        function test_pickerWithAll() {
            fillMembers(3)
            picker.canAtAll = true
            picker.show(100, 300)
            verify(picker.allShown)
            compare(picker.currentIndex, -1)
            // Typed letters hide "All" and highlight the first member.
            picker.atAllEnabled = false
            compare(picker.currentIndex, 0)
            picker.atAllEnabled = true
            compare(picker.currentIndex, -1)
            picker.indexUp()
            compare(picker.currentIndex, -1)
            picker.acceptCurrentIndex()
            compare(mentions.count, 1)
            compare(mentions.signalArguments[0][0], vGlobal.atAllMembers)
            verify(!picker.visible)
        }

        function test_pickerWithoutAll() {
            fillMembers(2)
            picker.canAtAll = false
            picker.show(100, 300)
            compare(picker.currentIndex, 0)
            // Up never reaches the hidden "All" row.
            picker.indexUp()
            compare(picker.currentIndex, 0)
            picker.indexDown()
            picker.indexDown()
            compare(picker.currentIndex, 1)
            picker.acceptCurrentIndex()
            compare(mentions.count, 1)
            compare(mentions.signalArguments[0][0], "m" + batch + "_1@d")
            compare(mentions.signalArguments[0][1], "Member 1")
        }

        function test_pickerIndexWithoutRowDoesNothing() {
            fillMembers(0)
            picker.canAtAll = false
            picker.show(100, 300)
            picker.acceptCurrentIndex()
            compare(mentions.count, 0)
            verify(picker.visible)
            picker.accept(-1)
            compare(mentions.count, 0)
            picker.close()
        }

        function test_bannerHidesAndLeads() {
            banner.show(12)
            verify(banner.hasAtMe)
            compare(banner.atMeIndex, 12)
            tryVerify(function () { return Math.abs(banner.x - (root.width - banner.width)) < 0.5 }, 2000)
            mouseClick(banner)
            compare(gotoAtMe.count, 1)
            verify(!banner.hasAtMe)
            compare(banner.atMeIndex, -1)
        }

        function test_menuEntriesPerState() {
            itemMenu.copyVisible = true
            itemMenu.recallVisible = true
            itemMenu.deleteVisible = true
            compare(itemMenu.shownEntries(), [VTr.copy, VTr.recall, VTr.del])
            itemMenu.open()
            tryCompare(itemMenu, "opened", true)
            verify(itemMenu.width >= 56)
            itemMenu.close()
            tryCompare(itemMenu, "opened", false)
            // Every closing switches the entries off.
            compare(itemMenu.shownEntries(), [])
        }

        function test_menuRecallOffersReedit() {
            itemMenu.modelId = 77
            itemMenu.msgtype = 0
            itemMenu.copyText = "to take back"
            itemMenu.recall()
            compare(VSettings.getValueFromRecallMap(77), "to take back")
            VSettings.removeFromRecallMap(77)
            itemMenu.modelId = 78
            itemMenu.msgtype = 2
            itemMenu.recall()
            verify(!VSettings.recallMapContainsKey(78))
        }

        function test_menuCopiesText() {
            itemMenu.msgtype = 0
            itemMenu.copyText = "copied words"
            itemMenu.copy()
            compare(vClipboard.text(), "copied words")
        }

        function test_fileOptionsOfAMissingFileAlert() {
            var menu = createTemporaryObject(fileMenuComponent, root,
                                             { "filePath": conversationFixture.folder() + "/absent.bin" })
            missingFiles.clear()
            verify(!menu.present())
            compare(missingFiles.count, 1)
            menu.filePath = conversationFixture.textFile("here.txt")
            verify(menu.present())
            compare(missingFiles.count, 1)
        }

        function test_quoteWindowSize() {
            var quotes = createTemporaryObject(quotesComponent, root)
            compare(quotes.width, 400)
            compare(quotes.height, 650)
            compare(quotes.pageWidth, 750)
            compare(quotes.pageHeight, 1170)
            quotes.containerHeight = 850
            compare(quotes.height, 850)
            compare(quotes.pageHeight, 1570)
        }

        function test_quoteWindowLoadsOnlyWebPages_data() {
            return [
                { tag: "https", url: "https://quotes.example/btc", safe: "https://quotes.example/btc" },
                { tag: "http", url: "HTTP://quotes.example/eth", safe: "HTTP://quotes.example/eth" },
                { tag: "file", url: "file:///etc/passwd", safe: "" },
                { tag: "script", url: "javascript:alert(1)", safe: "" },
                { tag: "empty host", url: "https://", safe: "" }
            ]
        }

        function test_quoteWindowLoadsOnlyWebPages(data) {
            var quotes = createTemporaryObject(quotesComponent, root, { "webViewUrl": data.url })
            compare(quotes.safeUrl, data.safe)
        }

        function test_emojiChoices() {
            var popup = createTemporaryObject(emojiComponent, root)
            // It opens on the numbered emoji.
            compare(popup.currentTab, 0)
            emojis.clear()
            stickers.clear()
            // A named emoji travels as its Chinese caption whatever the language.
            popup.choose(1, 49)
            compare(emojis.signalArguments[0][0], "[微笑]")
            popup.choose(0, 7)
            compare(emojis.signalArguments[1][0], "[q_007]")
            popup.choose(2, 0)
            compare(stickers.signalArguments[0][0], "emotion_gif_001")
            popup.choose(2, 69)
            compare(stickers.signalArguments[1][0], "emotion_gif_070")
        }

        function test_translationLanguages() {
            var component = Qt.createComponent("qrc:/qml/conversations/VTranslationSwitchPopupWindow.qml")
            var popup = createTemporaryObject(component, root)
            compare(popup.languages.length, 26)
            var codes = {}
            for (var i = 0; i < popup.languages.length; ++i)
                codes[popup.languages[i][0]] = popup.languages[i][1]
            compare(codes["Japanese"], "jp")
            compare(codes["Korean"], "kor")
            compare(codes["Chinese traditional"], "cht")
            compare(codes["Slovenian"], "slo")
            compare(popup.width, 410)
        }
    }
}
