import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"

// The languages a message can be translated into; a click asks for the translation
// and closes the popup.
Popup {
    id: switchPopup

    property string toTr: ""
    property int modelId: -1
    // Each language's name and the code the translation service knows it by.
    readonly property var languages: [
        [qsTr("Chinese simplified"), "zh"], [qsTr("English"), "en"], [qsTr("Japanese"), "jp"],
        [qsTr("Korean"), "kor"], [qsTr("Chinese traditional"), "cht"], [qsTr("French"), "fra"],
        [qsTr("Spanish"), "spa"], [qsTr("Thai"), "th"], [qsTr("Arabic"), "ara"],
        [qsTr("Russian"), "ru"], [qsTr("Portuguese"), "pt"], [qsTr("German"), "de"],
        [qsTr("Italian"), "it"], [qsTr("Greek"), "el"], [qsTr("Dutch"), "nl"],
        [qsTr("Polish"), "pl"], [qsTr("Bulgarian"), "bul"], [qsTr("Danish"), "dan"],
        [qsTr("Finnish"), "fin"], [qsTr("Estonian"), "est"], [qsTr("Czech"), "cs"],
        [qsTr("Romanian"), "rom"], [qsTr("Swedish"), "swe"], [qsTr("Vietnamese"), "vie"],
        [qsTr("Hungarian"), "hun"], [qsTr("Slovenian"), "slo"]
    ]

    function choose(code) {
        sessionManager.translate(modelId, "auto", code, toTr)
        close()
    }

    width: 410
    height: flow.implicitHeight + topPadding + bottomPadding
    padding: 10
    background: Rectangle {
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"
    }

    Flow {
        id: flow

        width: parent.width
        spacing: 6

        Repeater {
            model: switchPopup.languages.length

            VTranslationSwitchFlowViewItem {
                text: switchPopup.languages[index][0] + vTranslator.i18n
                onClicked: switchPopup.choose(switchPopup.languages[index][1])
            }
        }
    }
}
