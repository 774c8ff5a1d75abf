import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"

// What a new version would bring. Updates are not offered yet: the figures are
// fixed and the button does nothing.
VDialog {
    id: checkUpdate

    readonly property string version: "1.0.1"
    readonly property string size: "20M"

    width: 350
    height: 314
    windowTitle: qsTr("Version Update") + vTranslator.i18n

    Column {
        parent: checkUpdate.contentArea
        x: 25
        y: 15
        width: parent.width - 50
        spacing: 8

        Text {
            text: qsTr("Discover new version") + vTranslator.i18n
            font.pixelSize: 16
            font.bold: true
            color: "#333333"
        }

        Text {
            objectName: "updateVersion"
            text: qsTr("Version：%1").arg(checkUpdate.version) + vTranslator.i18n
            font.pixelSize: 12
            color: "#666666"
        }

        Text {
            objectName: "updateSize"
            text: qsTr("Size：%1").arg(checkUpdate.size) + vTranslator.i18n
            font.pixelSize: 12
            color: "#666666"
        }

        Text {
            text: qsTr("Update log：") + vTranslator.i18n
            font.pixelSize: 12
            color: "#666666"
        }

        Rectangle {
            width: parent.width
            height: 80
            border.color: "#E5E5E5"
            radius: 3

            Text {
                objectName: "updateLog"
                anchors.fill: parent
                anchors.margins: 6
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: "#666666"
            }
        }
    }

    Button {
        parent: checkUpdate.contentArea
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 15
        width: 120
        height: 30
        text: qsTr("Update now") + vTranslator.i18n
    }
}
