import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../translator"

// The right-button menu of the text inputs. The owner shows the entries that apply
// before opening it; every closing hides them all again.
Menu {
    id: inputMenu

    property alias undoVisible: undoItem.visible
    property alias redoVisible: redoItem.visible
    property alias cutVisible: cutItem.visible
    property alias copyVisible: copyItem.visible
    property alias pasteVisible: pasteItem.visible
    property alias delVisible: delItem.visible
    property alias selectAllVisible: selectAllItem.visible

    signal undoTriggered()
    signal redoTriggered()
    signal cutTriggered()
    signal copyTriggered()
    signal pasteTriggered()
    signal delTriggered()
    signal selectAllTriggered()

    function reset() {
        undoVisible = false
        redoVisible = false
        cutVisible = false
        copyVisible = false
        pasteVisible = false
        delVisible = false
        selectAllVisible = false
    }

    function fitWidth() {
        var widest = 56
        var items = [undoItem, redoItem, cutItem, copyItem, pasteItem, delItem, selectAllItem]
        for (var i = 0; i < items.length; ++i) {
            if (items[i].visible)
                widest = Math.max(widest, items[i].textPaintedWidth)
        }
        width = widest
    }

    // The entries that show now, in order.
    function shownEntries() {
        var shown = []
        var items = [undoItem, redoItem, cutItem, copyItem, pasteItem, delItem, selectAllItem]
        for (var i = 0; i < items.length; ++i) {
            if (items[i].visible)
                shown.push(items[i].text)
        }
        return shown
    }

    readonly property int shownCount: (undoVisible ? 1 : 0) + (redoVisible ? 1 : 0) + (cutVisible ? 1 : 0)
                                      + (copyVisible ? 1 : 0) + (pasteVisible ? 1 : 0) + (delVisible ? 1 : 0)
                                      + (selectAllVisible ? 1 : 0)

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    implicitHeight: topPadding + bottomPadding + shownCount * 31
    width: 56
    onAboutToShow: fitWidth()
    onClosed: reset()

    background: VMenuBackgroundCom {}

    VMenuItem {
        id: undoItem

        text: VTr.undo
        onTriggered: inputMenu.undoTriggered()
    }
    VMenuItem {
        id: redoItem

        text: VTr.redo
        onTriggered: inputMenu.redoTriggered()
    }
    VMenuItem {
        id: cutItem

        text: VTr.cut
        onTriggered: inputMenu.cutTriggered()
    }
    VMenuItem {
        id: copyItem

        text: VTr.copy
        onTriggered: inputMenu.copyTriggered()
    }
    VMenuItem {
        id: pasteItem

        text: VTr.paste
        onTriggered: inputMenu.pasteTriggered()
    }
    VMenuItem {
        id: delItem

        text: VTr.del
        onTriggered: inputMenu.delTriggered()
    }
    VMenuItem {
        id: selectAllItem

        text: VTr.selectAll
        onTriggered: inputMenu.selectAllTriggered()
    }
}
