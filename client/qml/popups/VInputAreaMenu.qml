import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../translator"

// The right-button menu of the text inputs. The owner shows the entries that apply
// before opening it; every closing hides them all again.
Menu {
    id: inputMenu

    property bool undoVisible: false
    property bool redoVisible: false
    property bool cutVisible: false
    property bool copyVisible: false
    property bool pasteVisible: false
    property bool delVisible: false
    property bool selectAllVisible: false

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

    readonly property var _entries: [undoItem, redoItem, cutItem, copyItem, pasteItem, delItem, selectAllItem]

    function _shown() {
        return [undoVisible, redoVisible, cutVisible, copyVisible, pasteVisible, delVisible, selectAllVisible]
    }

    function fitWidth() {
        var widest = 56
        var shown = _shown()
        for (var i = 0; i < _entries.length; ++i) {
            if (shown[i])
                widest = Math.max(widest, _entries[i].textPaintedWidth)
        }
        width = widest
    }

    // The texts of the entries switched on, in order.
    function shownEntries() {
        var texts = []
        var shown = _shown()
        for (var i = 0; i < _entries.length; ++i) {
            if (shown[i])
                texts.push(_entries[i].text)
        }
        return texts
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

        visible: inputMenu.undoVisible
        text: VTr.undo
        onTriggered: inputMenu.undoTriggered()
    }
    VMenuItem {
        id: redoItem

        visible: inputMenu.redoVisible
        text: VTr.redo
        onTriggered: inputMenu.redoTriggered()
    }
    VMenuItem {
        id: cutItem

        visible: inputMenu.cutVisible
        text: VTr.cut
        onTriggered: inputMenu.cutTriggered()
    }
    VMenuItem {
        id: copyItem

        visible: inputMenu.copyVisible
        text: VTr.copy
        onTriggered: inputMenu.copyTriggered()
    }
    VMenuItem {
        id: pasteItem

        visible: inputMenu.pasteVisible
        text: VTr.paste
        onTriggered: inputMenu.pasteTriggered()
    }
    VMenuItem {
        id: delItem

        visible: inputMenu.delVisible
        text: VTr.del
        onTriggered: inputMenu.delTriggered()
    }
    VMenuItem {
        id: selectAllItem

        visible: inputMenu.selectAllVisible
        text: VTr.selectAll
        onTriggered: inputMenu.selectAllTriggered()
    }
}
