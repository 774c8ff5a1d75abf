import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"

// Above the capture button: capture with or without the program's window.
Menu {
    id: screenshotMenu

    signal screenshot()
    signal screenshotWithoutTesmoChat()

    // Centred above the item that opens it.
    function openAbove(item) {
        fitWidth()
        var place = item.mapToItem(parent, 0, 0)
        x = place.x - (width - item.width) / 2
        y = place.y - implicitHeight
        open()
    }

    function fitWidth() {
        width = Math.max(56, shot.textPaintedWidth, hidden.textPaintedWidth)
    }

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    implicitHeight: topPadding + bottomPadding + 2 * 31
    width: 56
    onAboutToShow: fitWidth()

    background: VMenuBackgroundCom {}

    VMenuItem {
        id: shot

        visible: true
        text: qsTr("Screenshot%1").arg("(Alt + S)") + vTranslator.i18n
        onTriggered: screenshotMenu.screenshot()
    }
    VMenuItem {
        id: hidden

        visible: true
        text: qsTr("Hide Tesmo Chat screenshot") + vTranslator.i18n
        onTriggered: screenshotMenu.screenshotWithoutTesmoChat()
    }
}
