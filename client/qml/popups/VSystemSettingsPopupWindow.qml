import QtQuick 2.12
import VTranslator 1.0
import "../commons"
import "../translator"

// Notifications and the interface language.
VDialog {
    id: systemSettings

    // The language's own name, whatever the interface language.
    function languageName(language) {
        switch (language) {
        case VLanguage.ZH_CN: return "简体中文"
        case VLanguage.ZH_TW: return "繁體中文"
        case VLanguage.EN_US: return "English"
        case VLanguage.KO_KR: return "한국어"
        }
        return ""
    }

    property string currentLanguageName: languageName(vTranslator.language)
    readonly property alias languageMenu: languageMenu

    // Under the row, flush with its right edge where the current language shows:
    // at the pointer the menu could run past the dialog's edge and be cut off.
    function openLanguageMenu() {
        languageRow.clickable = false
        languageMenu.popup(languageRow, languageRow.width - languageMenu.width, languageRow.height)
    }

    width: 460
    height: 440
    windowTitle: VTr.systemSettings

    Connections {
        target: vTranslator

        function onCurrentLanguageChanged() {
            systemSettings.currentLanguageName = systemSettings.languageName(vTranslator.language)
        }
    }

    Column {
        parent: systemSettings.contentArea
        x: (parent.width - width) / 2
        y: 10
        width: 350
        height: 310

        Text {
            height: 40
            verticalAlignment: Text.AlignVCenter
            text: VTr.notification
            font.pixelSize: 20
            color: "#333333"
        }

        VDelayTriggeredSwitch {
            width: parent.width
            text: VTr.messageTone
            Component.onCompleted: checked = vConfig.messagePromptToneSwitch()
            onDelayTriggered: vConfig.setMessagePromptToneSwitch(checked)
        }

        VDelayTriggeredSwitch {
            width: parent.width
            text: VTr.desktopNotification
            checked: vConfig.desktopNotificationVisible
            onDelayTriggered: vConfig.desktopNotificationVisible = checked
        }

        Text {
            height: 50
            verticalAlignment: Text.AlignBottom
            text: VTr.languageAndText
            font.pixelSize: 20
            color: "#333333"
        }

        Rectangle {
            id: languageRow

            objectName: "languageRow"

            property bool clickable: true

            width: parent.width
            height: 35
            color: rowArea.containsMouse ? (rowArea.pressed ? "#F5F5F5" : "#ECECEC") : "transparent"

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: VTr.switchLanguage
                font.pixelSize: 13
                color: "#333333"
            }

            Row {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6

                Text {
                    objectName: "currentLanguageName"
                    text: systemSettings.currentLanguageName
                    font.pixelSize: 13
                    color: "#8E8E93"
                }

                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 10
                    height: 6
                    source: "qrc:/images/down_arrow.png"
                    rotation: languageMenu.visible ? 180 : 0
                    Behavior on rotation { NumberAnimation { duration: 500 } }
                }
            }

            MouseArea {
                id: rowArea

                anchors.fill: parent
                hoverEnabled: true
                enabled: languageRow.clickable
                onClicked: systemSettings.openLanguageMenu()
            }

            // The click that closes the menu must not open it again.
            Timer {
                id: reopenDelay

                interval: 200
                onTriggered: languageRow.clickable = true
            }

            VLanguageSelectMenu {
                id: languageMenu

                onClosed: reopenDelay.restart()
            }
        }
    }
}
