import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12
import VGlobal 1.0
import VTranslator 1.0
import "commons"
import "login"
import "translator"
import "VDialogTable.js" as DialogTable

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
    // Settings come back as text, or as nothing when never stored.
    property string countryCodeText: {
        var stored = vConfig.value(lastLoginCountryCode)
        return stored ? String(stored) : "+86"
    }
    readonly property string phoneText: phoneForm.item ? phoneForm.item.phoneText : ""
    readonly property string codeText: phoneForm.item ? phoneForm.item.codeText : ""
    readonly property bool phoneFormReady: phoneForm.status === Loader.Ready
    readonly property alias warning: warningTip.text
    readonly property alias qrSource: qrImage.source
    readonly property alias slideshowRunning: slideTimer.running
    property string loginButtonState: "normal"

    // Called on each change of the code's length: the sixth digit logs in.
    function codeLengthChanged() {
        // Read from the form itself: the page's copies may not have followed yet.
        var phone = phoneForm.item ? phoneForm.item.phoneText : ""
        var code = phoneForm.item ? phoneForm.item.codeText : ""
        if (code.length === 6 && phone !== "") {
            if (vTranslator.language === VLanguage.ZH_CN && countryCodeText === "+86"
                    && phone.length !== 11) {
                warningTip.text = ""
                warningTip.text = qsTr("Phone format Incorrect, please re-enter") + vTranslator.i18n
                return
            }
            slideTimer.stop()
            phoneForm.item.stopCodeTimer()
            loginButtonState = "loading"
            loginManager.login(phone, countryCodeText, code)
        } else {
            warningTip.closeWarning()
        }
    }

    // The terms of use, made when first asked for.
    property var _terms: null
    function _termsPanel() {
        if (_terms === null) {
            var component = Qt.createComponent(DialogTable.url("VUsingTermsContent.qml"))
            if (component.status === Component.Ready) {
                _terms = component.createObject(rightArea)
                _terms.goBack.connect(function() { _terms.visible = false })
            } else {
                console.error("cannot load VUsingTermsContent.qml:", component.errorString().trim())
            }
        }
        return _terms
    }

    // Makes the phone form; the first frame shows only the QR panel.
    function _makePhoneForm() {
        if (phoneForm.source == "")
            phoneForm.setSource("login/VPhoneLoginForm.qml", { "page": loginPage })
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
                    // The later pictures are read when the slideshow first moves on:
                    // the first frame shows only the first.
                    source: index === 0 || slides.fade
                            ? "qrc:/images/login_page/login_bg_0" + index + ".png" : ""
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

            // The phone form, behind the QR panel, made after the first frame.
            Loader {
                id: phoneForm

                anchors.fill: parent
                // Nothing of it is drawn, nor reachable by keys, under the opaque QR panel.
                visible: !qrPanel.visible
                enabled: loginPage.loginButtonState === "normal"
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

                    // Made while a login is under way.
                    Loader {
                        anchors.centerIn: parent
                        width: 60
                        height: 60
                        active: loginPage.loginResult
                        sourceComponent: VLoadingGif {}
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

    // Closed by the window system as by its own button: nothing else could bring
    // the program back, as no tray icon shows while logged out.
    onClosing: {
        if (close.accepted)
            Qt.quit()
    }

    // The form follows the first frame: its sync is done when this timer fires,
    // so the form is made while the frame is drawn. A window never drawn (a
    // hidden one in tests) gets it a moment later.
    onAfterAnimating: if (!phoneForm.item && !formTimer.running) formTimer.start()

    Timer {
        id: formTimer

        interval: 0
        onTriggered: loginPage._makePhoneForm()
    }

    Timer {
        interval: 500
        running: true
        onTriggered: loginPage._makePhoneForm()
    }

    Component.onCompleted: {
        vTranslator.setCurrentLanguage(vTranslator.language)
        refreshQrCode()
    }
}
