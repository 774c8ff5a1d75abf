import QtQuick 2.12
import QtQuick.Controls 2.12
import "../popups"
import "../commons"
import "../settings"
import "../translator"

// Beside a file message: open the file or the folder that holds it.
Menu {
    id: fileMenu

    property string filePath: ""

    // The desktop has no program to open the file with.
    signal openFailed()

    function present() {
        if (vGlobal.fileExists(filePath))
            return true
        vGlobal.fileIsNotExists()
        return false
    }

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    width: 56
    implicitHeight: topPadding + bottomPadding + 2 * 31
    onAboutToShow: width = Math.max(56, openItem.textPaintedWidth, folderItem.textPaintedWidth)

    background: VMenuBackgroundCom {}

    VMenuItem {
        id: openItem

        visible: true
        text: VTr.open
        onTriggered: {
            if (fileMenu.present() && !Qt.openUrlExternally(VSettings.localFileToUrl(fileMenu.filePath)))
                fileMenu.openFailed()
        }
    }
    VMenuItem {
        id: folderItem

        visible: true
        text: VTr.openFolder
        onTriggered: {
            if (fileMenu.present())
                vGlobal.showFileInFolder(fileMenu.filePath)
        }
    }
}
