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
    onVisibleChanged: vGlobal.setDialogShowing(visible)

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
