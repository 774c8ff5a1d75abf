import QtQuick 2.12
import QtQuick.Window 2.12
import VFileSaveDialog 1.0
import VScreenImage 1.0

// The screen capture: a frameless window over one screen showing a still picture of
// it. The user selects a part of it and sends it as a picture, saves it to a file or
// cancels. One window serves every capture of its owner.
Window {
    id: root

    // The point handed to openAndPostion, kept for the delayed show.
    property point pendingPosition: Qt.point(0, 0)
    // The pointer over the screen picture, in the screen's logical units.
    property real pointerX: 0
    property real pointerY: 0

    readonly property bool hasSelection: selection.visible
    readonly property rect selectionRect: Qt.rect(selection.x, selection.y, selection.width,
                                                  selection.height)
    readonly property alias saveDialog: saveDialog

    signal canceled()
    signal saveAsResult(bool succeed)
    signal confirmed(string fileUrl)

    flags: Qt.Window | Qt.FramelessWindowHint
    visible: false
    // One row higher than the screen, from one row above it: no flicker when shown.
    x: 0
    y: -1
    width: Screen.width
    height: Screen.height + 1
    color: "black"

    // Opens on the screen that holds the global point (x, y).
    function openAndPostion(clickedPosX, clickedPosY) {
        pendingPosition = Qt.point(clickedPosX, clickedPosY)
        place(screenImage.positionScreenGeometry(clickedPosX, clickedPosY))
        showTimer.restart()
    }

    function place(geometry) {
        x = geometry.x
        y = geometry.y - 1
        width = geometry.width
        height = geometry.height + 1
        repaint()
    }

    // The screen picture was replaced: paint it again everywhere.
    function repaint() {
        screenImage.update()
        magnifier.repaint()
        magnifier.imageRevision += 1
    }

    function cancel() {
        selection.visible = false
        root.close()
        root.canceled()
    }

    // Crops the selection (also onto the clipboard). Without a selection the last
    // crop is dropped, so that nothing stale is sent or saved.
    function capture() {
        if (!selection.visible)
            return screenImage.capture(Qt.rect(0, 0, 0, 0))
        return screenImage.capture(Qt.rect(selection.x, selection.y, selection.width,
                                           selection.height))
    }

    function confirmCapture() {
        var fileUrl = capture() ? screenImage.captureConfirmed() : ""
        root.confirmed(fileUrl)
        root.close()
    }

    // Writes the selection to the chosen file; the window closes once it is written.
    function saveTo(fileUrl) {
        capture()
        saveDialog.saveAsScreenCapture(fileUrl)
    }

    // Keyboard moves are kept within the screen, as mouse moves are.
    function moveSelection(dx, dy) {
        selection.x = Math.min(Math.max(selection.x + dx, 0), canvas.width - selection.width)
        selection.y = Math.min(Math.max(selection.y + dy, 0), canvas.height - selection.height)
    }

    function trackPointer(item, mouseX, mouseY) {
        var p = item.mapToItem(canvas, mouseX, mouseY)
        pointerX = p.x
        pointerY = p.y
    }

    onVisibleChanged: {
        if (!visible) {
            selection.visible = false
            selectArea.dragging = false
            zoom.dragging = false
        }
    }

    Timer {
        id: showTimer

        interval: 100
        onTriggered: {
            // A fresh grab, taken after the owner had time to hide its own window.
            root.place(screenImage.positionScreenGeometry(root.pendingPosition.x,
                                                          root.pendingPosition.y))
            root.show()
            root.requestActivate()
            canvas.forceActiveFocus()
        }
    }

    // The screen in its own logical units, under the window's extra top row.
    Item {
        id: canvas

        y: 1
        width: root.width
        height: root.height - 1
        focus: true

        Keys.onPressed: {
            if (event.key === Qt.Key_Escape) {
                root.cancel()
            } else if (!selection.visible) {
                return
            } else if (event.key === Qt.Key_Left) {
                root.moveSelection(-1, 0)
            } else if (event.key === Qt.Key_Right) {
                root.moveSelection(1, 0)
            } else if (event.key === Qt.Key_Up) {
                root.moveSelection(0, -1)
            } else if (event.key === Qt.Key_Down) {
                root.moveSelection(0, 1)
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                root.confirmCapture()
            } else {
                return
            }
            event.accepted = true
        }

        VScreenImage {
            id: screenImage

            anchors.fill: parent
        }

        // Spans a new selection from a press outside the present one.
        MouseArea {
            id: selectArea

            property bool dragging: false
            property real startMouseX: 0
            property real startMouseY: 0

            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            hoverEnabled: true
            cursorShape: selection.visible ? Qt.ArrowCursor : Qt.CrossCursor

            onPressed: {
                if (dragging)
                    return
                startMouseX = Math.round(mouse.x)
                startMouseY = Math.round(mouse.y)
                dragging = true
                selection.x = startMouseX
                selection.y = startMouseY
                selection.width = 0
                selection.height = 0
                selection.visible = true
            }
            onPositionChanged: {
                root.trackPointer(selectArea, mouse.x, mouse.y)
                if (!dragging)
                    return
                var px = Math.round(Math.min(Math.max(mouse.x, 0), width))
                var py = Math.round(Math.min(Math.max(mouse.y, 0), height))
                selection.x = Math.min(startMouseX, px)
                selection.y = Math.min(startMouseY, py)
                selection.width = Math.abs(px - startMouseX)
                selection.height = Math.abs(py - startMouseY)
            }
            onReleased: dragging = false
            onCanceled: dragging = false
        }

        VScreenshotMask {
            anchors.fill: parent
            visible: selection.visible
            target: selection
        }

        Rectangle {
            id: selection

            objectName: "selection"
            visible: false
            color: "transparent"
            border.color: "black"

            // Moves the selection, kept within the screen; a double-click confirms.
            MouseArea {
                id: moveArea

                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.SizeAllCursor
                drag.target: selection
                drag.threshold: 0
                // The target follows the pointer from the press on, losing no distance.
                drag.smoothed: false
                drag.minimumX: 0
                drag.maximumX: canvas.width - selection.width
                drag.minimumY: 0
                drag.maximumY: canvas.height - selection.height
                onPositionChanged: root.trackPointer(moveArea, mouse.x, mouse.y)
                onDoubleClicked: root.confirmCapture()
            }
        }

        VScreenshotZoom {
            id: zoom

            anchors.fill: parent
            visible: selection.visible
            target: selection
            area: canvas
        }

        VScreenshotSizeLabel {
            objectName: "sizeLabel"
            visible: selection.visible
            target: selection
        }

        VScreenshotSettingsBar {
            objectName: "toolBar"
            visible: selection.visible
            target: selection
            areaHeight: canvas.height
            onSave: saveDialog.open()
            onCancel: root.cancel()
            onConfirm: root.confirmCapture()
        }

        VScreenshotMagnifier {
            id: magnifier

            objectName: "magnifier"
            z: 1
            pointX: Math.floor(zoom.dragging ? zoom.draggingMouseX : root.pointerX)
            pointY: Math.floor(zoom.dragging ? zoom.draggingMouseY : root.pointerY)
            showCross: !zoom.dragging
            areaWidth: canvas.width
            areaHeight: canvas.height
            devicePixelRatio: Screen.devicePixelRatio
        }

        VFileSaveDialog {
            id: saveDialog

            title: qsTr("Save as") + vTranslator.i18n
            nameFilters: ["PNG(*.png)", "BMP(*.bmp)", "JPEG(*.jpg;*.jpeg)"]
            onAboutToOpen: filename = "TesmoChat_" + Qt.formatDateTime(new Date(), "yyyyMMddhhmmsszzz")
            onAccepted: root.saveTo(fileUrl.toString())
            onSaveAsScreenCaptureResult: {
                root.saveAsResult(successed)
                if (successed)
                    root.close()
            }
        }
    }
}
