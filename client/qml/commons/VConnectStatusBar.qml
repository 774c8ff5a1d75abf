import QtQuick 2.12
import VGlobal 1.0
import "../settings"

// The connection bar of the main window, following vGlobal.connectionState.
Rectangle {
    id: statusBar

    readonly property string text: {
        switch (vGlobal.connectionState) {
        case VConnectionState.DISCONNECT:
            return qsTr("Current network is not available, please check your network") + vTranslator.i18n
        case VConnectionState.CONNECTING:
            return qsTr("Network is connecting...") + vTranslator.i18n
        default:
            return ""
        }
    }

    visible: false
    height: text !== "" ? VSettings.titleBarAreaHeight : 0
    color: "#80FFD3D6"
    clip: true

    Behavior on height {
        NumberAnimation { duration: 500; easing.type: Easing.OutBack }
    }

    Row {
        anchors.centerIn: parent
        spacing: 8

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 18
            source: "qrc:/images/index_page/network_warning.png"
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: statusBar.text
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: "#8E8E93"
        }
    }
}
