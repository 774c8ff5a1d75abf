import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import VGlobal 1.0

// What a page sees of the program before login.
TestCase {
    name: "StartupContext"

    Image {
        id: code
        source: "image://QZXing/encode/tesmo-login-5f3a9c?corretionLevel=L&format=qrcode"
    }

    function test_objects() {
        verify(classManager)
        verify(imLoginManager)
        verify(vConfig)
        verify(vTranslator)
        verify(vGlobal)
        verify(vClipboard)
        compare(typeof sessionListManager, "undefined")
        compare(vTranslator.i18n, "")
        compare(vTranslator.language, VLanguage.ZH_CN)
    }

    function test_enums() {
        compare(VLanguage.EN_US, 0)
        compare(VLanguage.KO_KR, 3)
        compare(VConnectionState.CONNECT, 0)
        compare(VConnectionState.CONNECTING, 2)
        compare(VSound.LOGINSUCCESS, 1)
    }

    function test_qrCodeImage() {
        tryCompare(code, "status", Image.Ready, 20000)
        verify(code.implicitWidth > 0)
        compare(code.implicitWidth, code.implicitHeight)
    }
}
