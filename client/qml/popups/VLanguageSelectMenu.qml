import QtQuick 2.12
import QtQuick.Controls 2.12
import VTranslator 1.0

// The four interface languages, each named in itself.
Menu {
    id: languageMenu

    topPadding: 8
    bottomPadding: 8
    width: 120

    background: Rectangle {
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"
    }

    LanguageItem { text: "简体中文"; language: VLanguage.ZH_CN }
    LanguageItem { text: "繁體中文"; language: VLanguage.ZH_TW }
    LanguageItem { text: "English"; language: VLanguage.EN_US }
    LanguageItem { text: "한국어"; language: VLanguage.KO_KR }

    component LanguageItem: MenuItem {
        property int language

        width: 120
        height: 31
        font.pixelSize: 14
        onTriggered: vTranslator.setCurrentLanguage(language)
    }
}
