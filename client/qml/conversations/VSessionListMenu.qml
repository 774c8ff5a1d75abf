import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../popups"

// The menu of a right-clicked conversation row.
Menu {
    id: sessionListMenu

    // The account of the row the menu was opened on; empty while closed.
    property string currentAccount: ""

    signal deleteChatTriggered()

    function fitWidth() {
        width = Math.max(56, deleteChat.textPaintedWidth)
    }

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    implicitHeight: topPadding + bottomPadding + 31
    width: 56
    onAboutToShow: fitWidth()
    onClosed: currentAccount = ""

    background: VMenuBackgroundCom {}

    VMenuItem {
        id: deleteChat

        visible: true
        text: qsTr("Delete chat") + vTranslator.i18n
        onTriggered: sessionListMenu.deleteChatTriggered()
    }
}
