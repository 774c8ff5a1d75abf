import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import ".."

// The phone form of the login window, behind its QR panel. Made after the
// window's first frame: while the QR login is the only one offered it is never
// shown, and its widgets would only delay that frame. Its texts keep the login
// window's translation context.
Item {
    id: form

    // The login window (VLoginPage.qml), given when the form is made.
    property var page: null
    readonly property string _buttonState: page ? page.loginButtonState : "normal"
    readonly property alias phoneText: phoneField.text
    readonly property alias codeText: codeField.text

    function stopCodeTimer() {
        codeSender.stopTimer()
    }

    VRoundImage {
        x: 40
        y: 60
        width: 40
        height: 40
        source: {
            var logo = phoneField.text !== "" ? vConfig.getUserLogo(phoneField.text) : ""
            return logo ? logo : "qrc:/images/login_page/login_default.png"
        }
        champflag: vConfig.champflag
    }

    Text {
        x: 90
        y: 68
        text: form._buttonState === "loading"
              ? qsTranslate("VLoginPage", "登录认证中...") + vTranslator.i18n
              : qsTranslate("VLoginPage", "Login") + vTranslator.i18n
        font.pixelSize: 20
        color: "#333333"
    }

    Text {
        x: 30
        y: 130
        text: qsTranslate("VLoginPage", "Mobile number") + vTranslator.i18n
        color: "#666666"
    }

    VCountryCodeSelector {
        id: countryCode

        objectName: "countryCode"
        x: 30
        y: 155
        onCountryCodeTextChanged: {
            if (form.page)
                form.page.countryCodeText = countryCodeText
        }
    }

    // The page keeps the code; a choice in the list goes back to it.
    Binding {
        target: countryCode
        property: "countryCodeText"
        value: form.page ? form.page.countryCodeText : "+86"
    }

    VTextInput {
        id: phoneField

        x: countryCode.x + countryCode.width + 10
        y: 155
        width: 210
        height: 30
        maximumLength: 30
        verticalAlignment: TextInput.AlignVCenter
        validator: RegExpValidator { regExp: /[0-9]*/ }
        placeholderText: qsTranslate("VLoginPage", "请输入手机号码") + vTranslator.i18n
        text: {
            var stored = form.page ? vConfig.value(form.page.lastLoginAccount) : ""
            return stored ? String(stored) : ""
        }
        KeyNavigation.tab: codeField
        focus: text === ""
    }

    Text {
        x: 30
        y: 200
        text: qsTranslate("VLoginPage", "SMS verification code") + vTranslator.i18n
        color: "#666666"
    }

    VTextInput {
        id: codeField

        x: 30
        y: 225
        width: 180
        height: 30
        maximumLength: 6
        verticalAlignment: TextInput.AlignVCenter
        validator: IntValidator { bottom: 0; top: 999999 }
        placeholderText: qsTranslate("VLoginPage", "请输入验证码") + vTranslator.i18n
        KeyNavigation.tab: phoneField
        focus: phoneField.text !== ""
        onLengthChanged: {
            if (form.page)
                form.page.codeLengthChanged()
        }
    }

    VSendVerificationCode {
        id: codeSender

        x: 220
        y: 226
        available: phoneField.text !== ""
        onClicked: {
            if (form.page)
                form.page.loginManager.sendGetVerifycode(phoneField.text, form.page.countryCodeText)
        }
    }

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 400

        Text {
            text: qsTranslate("VLoginPage", "Login means read and agree ") + vTranslator.i18n
            font.pixelSize: 12
            color: "#8E8E93"
        }

        Text {
            text: qsTranslate("VLoginPage", "the terms") + vTranslator.i18n
            Accessible.name: qsTranslate("VLoginPage", "Please agree the terms") + vTranslator.i18n
            font.pixelSize: 12
            font.underline: termsArea.containsMouse
            color: "#3A8AFD"

            MouseArea {
                id: termsArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    var terms = form.page ? form.page._termsPanel() : null
                    if (terms !== null)
                        terms.visible = true
                }
            }
        }
    }

    Button {
        x: (320 - width) / 2
        y: 290
        width: form._buttonState === "loading" ? 45 : 260
        height: 45
        enabled: codeField.text.length === 6 && form._buttonState === "normal"
        text: form._buttonState === "loading" ? "" : qsTranslate("VLoginPage", "登  录") + vTranslator.i18n
        Behavior on width { NumberAnimation { duration: 300 } }
    }
}
