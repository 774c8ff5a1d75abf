import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0

// The login window's logic against recording doubles of the login manager and
// the class manager, with the real vConfig, vTranslator and vGlobal.
Item {
    id: root

    property var calls: []

    QtObject {
        id: fakeLogin

        signal logging()
        signal loginSuccess()
        signal loginFailure()
        signal qrcodeInvalid()
        signal recvKickOut(string msg)

        property int qrCount: 0

        function login(phone, nationCode, code) {
            root.calls.push("login(" + phone + "," + nationCode + "," + code + ")")
        }
        function sendGetVerifycode(phone, nationCode) {
            root.calls.push("sendGetVerifycode(" + phone + "," + nationCode + ")")
        }
        function getQRcodeString() {
            qrCount += 1
            return "https://127.0.0.1/download?auid=" + qrCount + "&device=abc"
        }
    }

    QtObject {
        id: fakeClasses

        function createPostClass() {
            root.calls.push("createPostClass")
        }
    }

    Connections {
        target: vGlobal

        function onShowIndexPage() {
            root.calls.push("showIndexPage")
        }
    }

    function makePage() {
        var component = Qt.createComponent("qrc:/qml/VLoginPage.qml")
        loginCase.compare(component.status, Component.Ready, component.errorString())
        var page = component.createObject(null, { loginManager: fakeLogin, classes: fakeClasses, visible: false })
        loginCase.verify(page !== null)
        return page
    }

    function findChild(item, name) {
        if (item.objectName === name)
            return item
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findChild(kids[i], name)
            if (found)
                return found
        }
        return null
    }

    function typeInto(page, phone, code) {
        var fields = []
        collectInputs(page.contentItem, fields)
        fields[0].text = phone
        fields[1].text = ""
        for (var i = 0; i < code.length; ++i)
            fields[1].text += code[i]
    }

    function collectInputs(item, out) {
        if (item.hasOwnProperty("validator") && item.hasOwnProperty("maximumLength"))
            out.push(item)
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i)
            collectInputs(kids[i], out)
    }

    TestCase {
        id: loginCase

        name: "LoginPage"

        property int languageBefore: 0

        // The language is the process's; the next test files expect it unchanged.
        function initTestCase() {
            languageBefore = vTranslator.language
        }

        function cleanupTestCase() {
            vTranslator.setCurrentLanguage(languageBefore)
        }

        property var page: null

        function init() {
            root.calls = []
            vConfig.setValue("lastStartSendVerificationCodeTime", "")
            vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
            page = makePage()
            // The phone form follows the first frame, or a moment after a hidden page is made.
            tryVerify(function() { return page.phoneFormReady }, 3000)
        }

        function cleanup() {
            page.destroy()
            page = null
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function test_qrPanelOnTopWithAFreshCode() {
            verify(page.qrcodeLoginOnly)
            compare(String(page.qrSource),
                    "image://qzxing/encode/https://127.0.0.1/download?auid=" + fakeLogin.qrCount
                    + "&device=abc?corretionLevel=H&format=qrcode")
            var before = fakeLogin.qrCount
            page.refreshQrCode()
            compare(fakeLogin.qrCount, before + 1)
        }

        function test_sixthDigit_data() {
            return [
                { tag: "11 digits, +86", phone: "13800000001", country: "+86", call: true },
                { tag: "10 digits, +86 warns", phone: "1380000000", country: "+86", call: false },
                { tag: "10 digits, +852", phone: "1380000000", country: "+852", call: true },
            ]
        }

        function test_sixthDigit(data) {
            page.countryCodeText = data.country
            typeInto(page, data.phone, "12345")
            compare(root.calls, [])
            typeInto(page, data.phone, "123456")
            var logins = root.calls.filter(function(c) { return c.indexOf("login(") === 0 })
            if (data.call) {
                compare(logins, ["login(" + data.phone + "," + data.country + ",123456)"])
                compare(page.loginButtonState, "loading")
                verify(!page.slideshowRunning)
            } else {
                compare(logins, [])
                verify(page.warning !== "")
                compare(page.loginButtonState, "normal")
            }
        }

        // The page keeps the code that the late-made selector shows and changes.
        function test_countryCodeSharedWithTheSelector() {
            var selector = findChild(page.contentItem, "countryCode")
            verify(selector !== null)
            compare(selector.countryCodeText, page.countryCodeText)
            page.countryCodeText = "+852"
            compare(selector.countryCodeText, "+852")
            selector.countryCodeText = "+1"
            compare(page.countryCodeText, "+1")
            page.countryCodeText = "+86"
            compare(selector.countryCodeText, "+86")
        }

        function test_loginSuccessStepsInOrder() {
            page.qrcodeLogin = false
            page.countryCodeText = "+852"
            fakeLogin.loginSuccess()
            compare(root.calls, ["createPostClass", "showIndexPage"])
            verify(!page.slideshowRunning)
            compare(String(vConfig.value("LastLoginCountryCode")), "+852")
        }

        function test_qrcodeInvalidIgnoredWhileLoggingIn() {
            fakeLogin.logging()
            verify(page.loginResult)
            var qr = findChild(page.contentItem, "qrImage")
            compare(qr.opacity, 0.2)
            fakeLogin.qrcodeInvalid()
            verify(page.loginResult)
            fakeLogin.loginFailure()
            verify(!page.loginResult)
            verify(page.slideshowRunning)
        }
    }

    TestCase {
        name: "SendVerificationCode"

        property int languageBefore: 0

        // The language is the process's; the next test files expect it unchanged.
        function initTestCase() {
            languageBefore = vTranslator.language
        }

        function cleanupTestCase() {
            vTranslator.setCurrentLanguage(languageBefore)
        }

        function init() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
        }

        function make() {
            var component = Qt.createComponent("qrc:/qml/VSendVerificationCode.qml")
            compare(component.status, Component.Ready, component.errorString())
            return component.createObject(root)
        }

        function test_countdownSurvivesARestart_data() {
            return [
                { tag: "20.3 s ago", ago: 20300, text: "38s", running: true },
                { tag: "59.5 s ago", ago: 59500, text: "Resend", running: false },
                { tag: "60 s ago", ago: 60000, text: "Generate code", running: false },
                { tag: "in the future", ago: -5000, text: "Generate code", running: false },
                { tag: "nothing stored", ago: null, text: "Generate code", running: false },
            ]
        }

        function test_countdownSurvivesARestart(data) {
            vConfig.setValue("lastStartSendVerificationCodeTime",
                             data.ago === null ? "" : String(Date.now() - data.ago))
            var sender = make()
            // 59.5 s ago gives 0 left: the first tick stops at once.
            compare(sender.text, data.text)
            compare(sender.running, data.running)
            compare(sender.enabled, !data.running)
            sender.destroy()
        }

        function test_clickStartsAndStopTimerEnds() {
            vConfig.setValue("lastStartSendVerificationCodeTime", "")
            var sender = make()
            sender.start()
            compare(sender.text, "59s")
            verify(!sender.enabled)
            var stored = Number(vConfig.value("lastStartSendVerificationCodeTime"))
            verify(Math.abs(Date.now() - stored) < 60000)
            sender.stopTimer()
            compare(sender.text, "Resend")
            verify(sender.enabled)
            compare(sender.counter, -1)
            sender.destroy()
        }
    }

    TestCase {
        name: "CountrySearch"

        property var model: null

        function initTestCase() {
            var component = Qt.createComponent("qrc:/qml/login/VCountriesAndRegionsModel.qml")
            compare(component.status, Component.Ready, component.errorString())
            model = component.createObject(root)
        }

        function shownCaptions() {
            var shown = []
            for (var i = 0; i < model.count; ++i)
                if (model.get(i).show)
                    shown.push(model.get(i).translator.split("&&")[0])
            return shown
        }

        function test_table() {
            compare(model.count, 190)
            var codes = {}
            for (var i = 0; i < model.count; ++i) {
                var row = model.get(i)
                verify(/^[0-9]+$/.test(row.code), row.translator)
                compare(row.translator.split("&&").length, 2, row.translator)
                codes[row.translator.split("&&")[0]] = row.code
            }
            compare(codes["China"], "86")
            compare(codes["Angola"], "244")
            // Codes that were another country's.
            compare(codes["Uzbekistan"], "998")
            compare(codes["Kazakstan"], "7")
            compare(codes["Kyrgyzstan"], "996")
            compare(codes["Grenada"], "1473")
            compare(codes["Trinidad and Tobago"], "1868")
        }

        function test_search_data() {
            return [
                { tag: "86", text: "86", shown: ["China", "Slovenia", "Taiwan, China", "Trinidad and Tobago"] },
                { tag: "Chinese", text: "中", shown: ["Central African Republic", "China", "Hongkong, China", "Macao, China", "Taiwan, China"] },
                { tag: "upper case", text: "ANGOLA", shown: ["Angola"] },
                { tag: "across the halves", text: "china&&中国香港", shown: ["Hongkong, China"] },
                { tag: "nothing", text: "zzz", shown: [] },
            ]
        }

        function test_search(data) {
            model.reshow(data.text)
            compare(shownCaptions(), data.shown)
            model.reshow("")
            compare(shownCaptions().length, 190)
        }

        function test_plusOne() {
            model.reshow("+1")
            var shown = shownCaptions()
            compare(shown.length, 18)
            verify(shown.indexOf("Canada") >= 0 && shown.indexOf("United States of America") >= 0)
            model.reshow("")
        }

        function test_selectorReplacesItsPopup() {
            var component = Qt.createComponent("qrc:/qml/login/VCountryCodeSelector.qml")
            compare(component.status, Component.Ready, component.errorString())
            var selector = component.createObject(root)
            selector.togglePopup()
            var first = selector.popup
            verify(first !== null)
            first.model.reshow("86")
            selector.togglePopup()
            verify(selector.popup !== first)
            var shown = 0
            for (var i = 0; i < selector.popup.model.count; ++i)
                if (selector.popup.model.get(i).show)
                    shown += 1
            compare(shown, 190)
            selector.popup.currentCode = 852
            compare(selector.countryCodeText, "+852")
            verify(!selector.popup.visible)
            selector.destroy()
        }
    }
}
