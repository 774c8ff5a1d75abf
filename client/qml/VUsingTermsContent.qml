import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12

// The terms of use over the login form's area.
Rectangle {
    id: terms

    signal goBack(bool agree)

    width: 320
    height: 430
    color: "#FFFFFF"
    visible: false
    opacity: visible ? 1 : 0
    scale: visible ? 1 : 0

    Behavior on opacity { NumberAnimation { duration: 500 } }
    Behavior on scale { NumberAnimation { duration: 500 } }

    // Dragging the panel moves the window.
    MouseArea {
        anchors.fill: parent
        onPressed: if (terms.Window.window) terms.Window.window.startSystemMove()
    }

    Image {
        x: 15
        y: 18
        width: 16
        height: 16
        source: "qrc:/images/back.png"

        MouseArea {
            anchors.fill: parent
            anchors.margins: -6
            onClicked: terms.goBack(false)
        }
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 15
        text: qsTr("使用条款") + vTranslator.i18n
        font.pixelSize: 16
        color: "#333333"
    }

    ScrollView {
        x: 15
        y: 50
        width: parent.width - 30
        height: parent.height - y - 15
        clip: true

        TextArea {
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            font.pixelSize: 12
            color: "#666666"
            text: qsTr("1. Registration. To use Tesmo Chat you register an account with your mobile phone number and the verification code sent to it. The information you give must be true and your own.\n2. Your account. The account is for your personal use only. Keep your phone and your codes safe; you are responsible for everything done with your account. Tell us at once if it is used without your permission.\n3. Use of the service. Do not use the service to send unlawful, fraudulent, abusive or infringing content, to spread spam or malicious software, or to disturb other users or the service itself.\n4. Content. You keep the rights to what you send. Messages, pictures and files are stored on your devices and on our servers only as far as the service needs them.\n5. Digital assets. Price charts, quotes and red envelopes are shown for information only and are no investment advice.\n6. Changes and termination. We may change or end the service, or suspend accounts that break these terms. The terms in force are those shown in the latest version of the program.") + vTranslator.i18n
        }
    }
}
