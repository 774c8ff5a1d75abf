import QtQuick 2.12
import QtQuick.Window 2.12

// A dialog window: a rounded, shadowed panel with a title bar. The main window
// dims itself while a dialog shows.
VPopupWindow {
    id: dialog

    property alias windowTitle: titleBar.windowTitle
    readonly property int windowTitleHeight: titleBar.height
    property int containerMargins: 5
    property int containerWidth: width - 2 * containerMargins
    property int containerHeight: height - 2 * containerMargins - windowTitleHeight
    property alias windowTitleVisible: titleBar.visible
    // The area under the title bar, for the dialog's content.
    readonly property alias contentArea: container

    closeOnActiveLost: false
    // A dialog is there to be answered: it takes the keyboard whenever it shows (also
    // back after an alert): without a window manager nothing else would activate it.
    onVisibleChanged: {
        vGlobal.setDialogShowing(visible)
        if (visible)
            Qt.callLater(dialog._activate)
    }
    // Its first field has the focus; a dialog that focuses something else does so in
    // its own onOpened, which runs after this one.
    onOpened: {
        var field = _firstField(dialog.contentItem)
        if (field !== null)
            field.forceActiveFocus()
    }

    function _activate() {
        if (visible)
            requestActivate()
    }

    // The first field, in the order the items stand, that takes typing: a text input
    // that is not read-only, or a search bar whose search works.
    function _firstField(item) {
        if (!item || !item.visible || !item.enabled)
            return null
        if (item.functionIsDeveloping !== undefined)
            return item.functionIsDeveloping ? null : item
        if (item.cursorPosition !== undefined && item.readOnly === false)
            return item
        var kids = item.children
        for (var i = 0; i < kids.length; ++i) {
            var found = _firstField(kids[i])
            if (found !== null)
                return found
        }
        return null
    }

    Rectangle {
        id: background

        anchors.fill: parent
        anchors.margins: dialog.containerMargins
        radius: 5
        color: "#FFFFFF"
        clip: true

        VWindowTitleBar {
            id: titleBar

            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            focusTarget: background
            radius: 5
        }

        Item {
            id: container

            anchors.top: titleBar.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
        }
    }

    VRectangularGlow {
        targetObject: background
        z: -1
    }
}
