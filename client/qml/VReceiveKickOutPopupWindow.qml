import QtQuick 2.12
import QtQuick.Controls 2.12
import "commons"
import "translator"

// Tells that the account signed in elsewhere; closing it returns to the login window.
VDialog {
    id: kickOut

    property string time: ""

    width: 430
    height: Math.max(140, message.implicitHeight + 96)
    windowTitle: qsTr("Tips") + vTranslator.i18n
    windowTitleVisible: false

    property bool _shown: false

    onOpened: {
        time = Qt.formatTime(new Date(), "hh:mm")
        _shown = true
        // The notice takes the keyboard: Return, Enter, Space or Escape closes it.
        Qt.callLater(kickOut.requestActivate)
        okButton.forceActiveFocus()
    }
    // Once: the window that owns this dialog goes away on the switch.
    onClosed: {
        if (!_shown)
            return
        _shown = false
        vGlobal.kickOutToLogin()
    }

    Row {
        x: 20
        y: 20
        spacing: 15

        Image {
            width: 60
            height: 60
            source: "qrc:/images/index_page/kick_out_logo.png"
        }

        Column {
            spacing: 8

            Text {
                text: VTr.tesmoChat
                font.pixelSize: 14
                font.bold: true
                color: "#333333"
            }

            Text {
                id: message

                objectName: "kickOutMessage"
                width: 430 - 20 - 60 - 15 - 30
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: "#666666"
                text: qsTr("Your account is logged in on another device at %1. This client has logged out. If that is not you, please change your login password in time.").arg(kickOut.time) + vTranslator.i18n
            }
        }
    }

    Button {
        id: okButton

        objectName: "kickOutOk"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 20
        width: 80
        height: 22
        text: qsTr("OK") + vTranslator.i18n
        onClicked: kickOut.close()
        Keys.onReturnPressed: kickOut.close()
        Keys.onEnterPressed: kickOut.close()
        Keys.onEscapePressed: kickOut.close()
    }
}
