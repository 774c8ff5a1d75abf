import QtQuick 2.12
import "../commons"
import "../settings"

// Asks once whether to mark sync targets; the box decides whether it asks again.
VDialog {
    id: dialog

    property alias noMorePrompts: box.checked

    function accept() {
        vConfig.setValue(VSettings.noMorePromptsNextTimeSyncToImageClicked,
                         box.checked ? VSettings.nomore : VSettings.none)
        vGlobal.syncToContactsCheckedConfirmOKClicked()
        close()
    }

    width: 350 + 2 * containerMargins
    height: 230
    windowTitle: qsTr("Sync to") + vTranslator.i18n

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        Text {
            x: 20
            y: 15
            width: parent.width - 40
            text: qsTr("To use the message sync function, you need to \"check and sync\". Do you want to \"check\" it?") + vTranslator.i18n
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 14
            color: "#333333"
        }

        Item {
            id: box

            property bool checked: true

            objectName: "noMorePromptsBox"
            x: 20
            anchors.bottom: okButton.top
            anchors.bottomMargin: 15
            width: boxLine.width
            height: boxLine.height

            Row {
                id: boxLine

                spacing: 8

                Image {
                    width: 16
                    height: 16
                    source: box.checked ? "qrc:/images/session_page/sync_has_checked.png"
                                        : "qrc:/images/session_page/sync_not_checked.png"
                }

                Text {
                    text: qsTr("No more prompts next time") + vTranslator.i18n
                    textFormat: Text.PlainText
                    font.pixelSize: 13
                    color: "#666666"
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: box.checked = !box.checked
            }
        }

        VBusyButton {
            id: okButton

            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            text: qsTr("OK") + vTranslator.i18n
            onClicked: dialog.accept()
        }
    }
}
