import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/translator"
import "qrc:/qml/settings"

// The shared texts through the installed translation, in every language.
Item {
    id: root

    // A text bound once, as a dialog's button would be.
    Text {
        id: boundText

        text: VTr.cancel
    }

    Text {
        id: hint

        text: VSettings.sendHint()
    }

    TestCase {
        name: "Texts"

        function cleanupTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
        }

        function test_texts_data() {
            return [
                { tag: "en exit", language: VLanguage.EN_US, name: "exit", text: "Sign out" },
                { tag: "en quit", language: VLanguage.EN_US, name: "quit", text: "Quit" },
                { tag: "en emoticon", language: VLanguage.EN_US, name: "emoticon", text: "Sticker" },
                { tag: "en unchanged", language: VLanguage.EN_US, name: "cancel", text: "Cancel" },
                { tag: "en myself", language: VLanguage.EN_US, name: "myself", text: " (Myself)" },
                { tag: "en recall", language: VLanguage.EN_US, name: "someoneRecall", text: " has recall a message" },
                { tag: "en uid", language: VLanguage.EN_US, name: "uid", text: "Tesmo Chat ID: " },
                { tag: "en line feed", language: VLanguage.EN_US, name: "mobileScanQRCodeDownload", text: "Mobile Scan\nQR code download" },
                { tag: "zh finished", language: VLanguage.ZH_CN, name: "finished", text: "完 成" },
                { tag: "zh unbind", language: VLanguage.ZH_CN, name: "unbind", text: "解 绑" },
                { tag: "zh groups", language: VLanguage.ZH_CN, name: "tesmoChatGroups", text: "我的群组" },
                { tag: "zh code", language: VLanguage.ZH_CN, name: "enterCodeJoinGroup", text: "输入口令进入群聊" },
                { tag: "zh cancel", language: VLanguage.ZH_CN, name: "cancel", text: "取消" },
                { tag: "tw as zh", language: VLanguage.ZH_TW, name: "finished", text: "完 成" },
                { tag: "ko as zh", language: VLanguage.KO_KR, name: "cancel", text: "取消" }
            ]
        }

        function test_texts(data) {
            vTranslator.setCurrentLanguage(data.language)
            compare(VTr[data.name], data.text)
        }

        function test_functions() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            compare(VTr.selectedMembersCount(3), "3 Contacts selected")
            compare(VTr.membersCount(12), "Members: 12")
            compare(VTr.disbandTargetGroup("Traders"), "Disband: Traders")
            compare(VTr.reachManagersUpperLimit(5), "Select up to 5 managers this time")
            compare(VTr.introductionString("hello"), "Intro: hello")
            vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
            compare(VTr.selectedMembersCount(3), "已选择3个成员")
            compare(VTr.introductionString("hello"), "简介: hello")
            // A placeholder keeps its place; a "%1" inside the argument stays as given.
            compare(VTr.disbandTargetGroup("%1 group"), "解散：%1 group")
        }

        function test_sendHint() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            compare(VSettings.sendHint(), "Enter Send,Ctrl + Enter Newline")
            compare(hint.text, "Enter Send,Ctrl + Enter Newline")
            vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
            compare(hint.text, "Enter 发送，Ctrl + Enter 换行")
        }

        function test_boundTextFollowsASwitch() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            compare(boundText.text, "Cancel")
            vTranslator.setCurrentLanguage(VLanguage.ZH_CN)
            compare(boundText.text, "取消")
            vTranslator.setCurrentLanguage(VLanguage.KO_KR)
            compare(boundText.text, "取消")
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            compare(boundText.text, "Cancel")
        }
    }
}
