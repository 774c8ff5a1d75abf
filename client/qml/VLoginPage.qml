import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import VGlobal 1.0
import VTranslator 1.0
import "commons"
import "login"
import "translator"

// The login window: the QR panel on top and, behind it, the phone form.
VWindow {
    id: loginPage

    readonly property bool qrcodeLoginEnable: true
    readonly property bool qrcodeLoginOnly: true
    property bool qrcodeLogin: true
    property bool loginResult: false
    // The objects it drives; tests hand in recording doubles.
    property var loginManager: imLoginManager
    property var classes: classManager
    property alias countryCodeText: countryCode.countryCodeText
    readonly property alias phoneText: phoneField.text
    readonly property alias codeText: codeField.text
    readonly property alias warning: warningTip.text
    readonly property alias qrSource: qrImage.source
    readonly property alias slideshowRunning: slideTimer.running
    property string loginButtonState: "normal"

    // Called on each change of the code's length: the sixth digit logs in.
    function codeLengthChanged() {
        if (codeField.text.length === 6 && phoneField.text !== "") {
            if (vTranslator.language === VLanguage.ZH_CN && countryCodeText === "+86"
                    && phoneField.text.length !== 11) {
                warningTip.text = ""
                warningTip.text = qsTr("Phone format Incorrect, please re-enter") + vTranslator.i18n
                return
            }
            slideTimer.stop()
            codeSender.stopTimer()
            loginButtonState = "loading"
            loginManager.login(phoneField.text, countryCodeText, codeField.text)
        } else {
            warningTip.closeWarning()
        }
    }

    // The terms of use, made when first asked for.
    property var _terms: null
    function _termsPanel() {
        if (_terms === null) {
            var component = Qt.createComponent("VUsingTermsContent.qml")
            if (component.status === Component.Ready) {
                _terms = component.createObject(rightArea)
                _terms.goBack.connect(function() { _terms.visible = false })
            }
        }
        return _terms
    }

    function refreshQrCode() {
        // Level H: at level L the logo over the centre leaves a code that
        // phones cannot read.
        qrImage.source = "image://QZXing/encode/" + loginManager.getQRcodeString()
                + "?corretionLevel=H" + "&format=qrcode"
        refreshMark.visible = false
        qrImage.opacity = 1
    }

    width: 613 + 4
    height: 430 + 4
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    Connections {
        target: loginPage.loginManager

        function onLogging() {
            loginPage.loginResult = true
            qrImage.opacity = 0.2
            refreshMark.visible = false
        }
        function onLoginFailure() {
            loginPage.loginResult = false
            loginPage.loginButtonState = "normal"
            page.opacity = 1
            page.scale = 1
            slideTimer.start()
            warningTip.text = ""
            warningTip.text = qsTr("验证码错误，请重新输入") + vTranslator.i18n
        }
        function onQrcodeInvalid() {
            if (loginPage.loginResult)
                return
            refreshMark.visible = true
            qrImage.opacity = 0.2
        }
        function onLoginSuccess() {
            slideTimer.stop()
            vGlobal.playSound(VSound.LOGINSUCCESS)
            loginPage.classes.createPostClass()
            if (!loginPage.qrcodeLogin)
                vConfig.setValue(loginPage.lastLoginCountryCode, loginPage.countryCodeText)
            page.opacity = 0
            page.scale = 0
            vGlobal.showIndexPage()
        }
    }

    Rectangle {
        id: page

        anchors.fill: parent
        anchors.margins: loginPage.pageMargins
        radius: loginPage.pageRadius
        color: "#FFFFFF"
        clip: true

        MouseArea {
            anchors.fill: parent
            onPressed: {
                page.forceActiveFocus()
                loginPage.startSystemMove()
            }
        }

        // The slideshow on the left.
        Item {
            id: slides

            property int current: 0
            property bool fade: false

            width: 293
            height: 430

            Repeater {
                model: 3

                Image {
                    anchors.fill: parent
                    source: "qrc:/images/login_page/login_bg_0" + index + ".png"
                    opacity: slides.current === index ? 1 : 0
                    Behavior on opacity {
                        enabled: slides.fade
                        NumberAnimation { duration: 2000 }
                    }
                }
            }

            Column {
                x: 30
                y: 50
                spacing: 10

                Text {
                    text: qsTr("Welcome to") + vTranslator.i18n
                    color: "#FFFFFF"
                    font.pixelSize: 18
                }
                Text {
                    text: "Tesmo Chat"
                    color: "#FFFFFF"
                    font.pixelSize: 30
                    font.bold: true
                }
                Text {
                    text: qsTr("Start your digital life here") + vTranslator.i18n
                    color: "#FFFFFF"
                    font.pixelSize: 14
                }
            }

            Timer {
                id: slideTimer

                interval: 6000
                repeat: true
                running: true
                onTriggered: {
                    slides.current = (slides.current + 1) % 3
                    slides.fade = true
                }
            }
        }

        Item {
            id: rightArea

            x: 293
            width: 320
            height: 430

            // The phone form, behind the QR panel.
            Item {
                id: phoneForm

                anchors.fill: parent
                // Nothing of it is drawn, nor reachable by keys, under the opaque QR panel.
                visible: !qrPanel.visible
                enabled: loginPage.loginButtonState === "normal"

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
                    text: loginPage.loginButtonState === "loading"
                          ? qsTr("登录认证中...") + vTranslator.i18n
                          : qsTr("Login") + vTranslator.i18n
                    font.pixelSize: 20
                    color: "#333333"
                }

                Text {
                    x: 30
                    y: 130
                    text: qsTr("Mobile number") + vTranslator.i18n
                    color: "#666666"
                }

                VCountryCodeSelector {
                    id: countryCode

                    x: 30
                    y: 155
                    // Settings come back as text, or as nothing when never stored.
                    countryCodeText: {
                        var stored = vConfig.value(loginPage.lastLoginCountryCode)
                        return stored ? String(stored) : "+86"
                    }
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
                    placeholderText: qsTr("请输入手机号码") + vTranslator.i18n
                    text: {
                        var stored = vConfig.value(loginPage.lastLoginAccount)
                        return stored ? String(stored) : ""
                    }
                    KeyNavigation.tab: codeField
                    focus: text === ""
                }

                Text {
                    x: 30
                    y: 200
                    text: qsTr("SMS verification code") + vTranslator.i18n
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
                    placeholderText: qsTr("请输入验证码") + vTranslator.i18n
                    KeyNavigation.tab: phoneField
                    focus: phoneField.text !== ""
                    onLengthChanged: loginPage.codeLengthChanged()
                }

                VSendVerificationCode {
                    id: codeSender

                    x: 220
                    y: 226
                    available: phoneField.text !== ""
                    onClicked: loginPage.loginManager.sendGetVerifycode(phoneField.text, loginPage.countryCodeText)
                }

                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 400

                    Text {
                        text: qsTr("Login means read and agree ") + vTranslator.i18n
                        font.pixelSize: 12
                        color: "#8E8E93"
                    }

                    Text {
                        text: qsTr("the terms") + vTranslator.i18n
                        Accessible.name: qsTr("Please agree the terms") + vTranslator.i18n
                        font.pixelSize: 12
                        font.underline: termsArea.containsMouse
                        color: "#3A8AFD"

                        MouseArea {
                            id: termsArea

                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: {
                                var terms = loginPage._termsPanel()
                                if (terms !== null)
                                    terms.visible = true
                            }
                        }
                    }
                }

                Button {
                    x: (320 - width) / 2
                    y: 290
                    width: loginPage.loginButtonState === "loading" ? 45 : 260
                    height: 45
                    enabled: codeField.text.length === 6 && loginPage.loginButtonState === "normal"
                    text: loginPage.loginButtonState === "loading" ? "" : qsTr("登  录") + vTranslator.i18n
                    Behavior on width { NumberAnimation { duration: 300 } }
                }
            }

            // The QR panel: covers the phone form while the QR login is offered.
            Image {
                id: qrPanel

                anchors.fill: parent
                visible: loginPage.qrcodeLoginEnable && (loginPage.qrcodeLoginOnly || loginPage.qrcodeLogin)
                source: "qrc:/images/login_page/login_backgroud.png"

                // Clicks below the code stay on the panel.
                MouseArea {
                    y: 102
                    width: parent.width
                    height: parent.height - y
                }

                Image {
                    id: qrImage

                    objectName: "qrImage"
                    x: (parent.width - width) / 2
                    y: 102
                    width: 170
                    height: 170
                    // Drawn at twice the size and scaled down smoothly, so that
                    // every module keeps one width. Modules of several pixels need no
                    // mipmaps, whose making costs the first frame a tenth of a second.
                    sourceSize: Qt.size(340, 340)
                    cache: false
                    smooth: true

                    Image {
                        anchors.centerIn: parent
                        width: 36
                        height: 36
                        source: "qrc:/images/login_page/qrcode_logo.png"
                    }

                    Image {
                        id: refreshMark

                        anchors.centerIn: parent
                        width: 60
                        height: 60
                        visible: false
                        source: "qrc:/images/login_page/qrcode_refresh.png"
                    }

                    VLoadingGif {
                        anchors.centerIn: parent
                        width: 60
                        height: 60
                        visible: loginPage.loginResult
                    }

                    MouseArea {
                        anchors.fill: parent
                        hoverEnabled: true
                        enabled: !loginPage.loginResult
                        onEntered: refreshMark.visible = true
                        onExited: if (qrImage.opacity === 1) refreshMark.visible = false
                        onClicked: loginPage.refreshQrCode()
                    }
                }

                Column {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 102 + 170 + 20
                    spacing: 8

                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        horizontalAlignment: Text.AlignHCenter
                        font.pixelSize: 16
                        color: "#333333"
                        text: loginPage.loginResult
                              ? qsTr("登录认证中...") + vTranslator.i18n
                              : qsTr("Mobile Scan\nQR code login") + vTranslator.i18n
                    }

                    Text {
                        width: 260
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        font.pixelSize: 12
                        color: "#999999"
                        text: loginPage.loginResult ? ""
                              : qsTr("Desktop Tesmo Chat needs to be used with your mobile phone to log in") + vTranslator.i18n
                    }
                }
            }
        }

        VWarningTip {
            id: warningTip

            objectName: "warningTip"
        }

        // Closing the login window ends the program.
        Item {
            x: vGlobal.osIsWindows ? page.width - width - 5 : 10
            y: vGlobal.osIsWindows ? 5 : 10
            width: 20
            height: 20

            Image {
                anchors.centerIn: parent
                width: vGlobal.osIsWindows ? 16 : 12
                height: width
                source: vGlobal.osIsWindows ? "qrc:/images/close_win_pc.png"
                                            : "qrc:/images/index_page/mac_close_normal.png"
            }

            MouseArea {
                anchors.fill: parent
                onClicked: {
                    loginPage.close()
                    Qt.quit()
                }
            }
        }
    }

    Component.onCompleted: {
        vTranslator.setCurrentLanguage(vTranslator.language)
        refreshQrCode()
    }
}
