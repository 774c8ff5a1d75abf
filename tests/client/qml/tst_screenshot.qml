import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/screenshot"

// The screenshot window over a stub screen picture: selecting, adjusting, the
// read-outs and the three results.
Item {
    id: root

    width: 100
    height: 100

    VScreenshot { id: shot }

    SignalSpy { id: confirmedSpy; target: shot; signalName: "confirmed" }
    SignalSpy { id: canceledSpy; target: shot; signalName: "canceled" }
    SignalSpy { id: savedSpy; target: shot; signalName: "saveAsResult" }

    TestCase {
        name: "Screenshot"
        when: windowShown

        // The screen picture is one row below the window's top.
        function press(x, y) { mousePress(shot.contentItem, x, y + 1, Qt.LeftButton) }
        function moveTo(x, y) { mouseMove(shot.contentItem, x, y + 1, -1, Qt.LeftButton) }
        function hover(x, y) { mouseMove(shot.contentItem, x, y + 1) }
        function release(x, y) { mouseRelease(shot.contentItem, x, y + 1, Qt.LeftButton) }

        function drag(fromX, fromY, toX, toY) {
            press(fromX, fromY)
            moveTo((fromX + toX) / 2, (fromY + toY) / 2)
            moveTo(toX, toY)
            release(toX, toY)
        }

        function screenWidth() { return shot.width }
        function screenHeight() { return shot.height - 1 }

        function part(name) {
            var found = findChild(shot.contentItem, name)
            verify(found, name)
            return found
        }

        function compareRect(actual, x, y, width, height) {
            compare([actual.x, actual.y, actual.width, actual.height], [x, y, width, height])
        }

        function select(x, y, width, height) {
            drag(x, y, x + width, y + height)
            compareRect(shot.selectionRect, x, y, width, height)
        }

        function activate() {
            shot.requestActivate()
            tryVerify(function() { return Qt.application.active && shot.active }, 5000)
        }

        function init() {
            confirmedSpy.clear()
            canceledSpy.clear()
            savedSpy.clear()
            shot.openAndPostion(20, 20)
            tryCompare(shot, "visible", true, 5000)
            screenFixture.setScreenImage(screenWidth(), screenHeight())
            shot.repaint()
            verify(!shot.hasSelection)
        }

        function cleanup() {
            shot.close()
            verify(!shot.hasSelection)
        }

        function test_opensOverTheScreen() {
            compare(shot.x, Screen.virtualX)
            compare(shot.y, -1)
            compare(shot.width, Screen.width)
            compare(shot.height, Screen.height + 1)
            // Nothing to adjust or confirm before a selection exists.
            verify(!part("toolBar").visible)
            verify(!part("topLeft").visible)
            verify(!part("sizeLabel").visible)
        }

        function test_dragSpansTheSelection_data() {
            return [
                { tag: "up and left, label above", from: [300, 200], to: [100, 50],
                  rect: [100, 50, 200, 150], text: "200 * 150", labelInside: false },
                { tag: "down and right, label inside", from: [20, 10], to: [120, 70],
                  rect: [20, 10, 100, 60], text: "100 * 60", labelInside: true },
                { tag: "beyond the screen is cut at its edge", from: [40, 30], to: [-50, -50],
                  rect: [0, 0, 40, 30], text: "40 * 30", labelInside: true }
            ]
        }

        function test_dragSpansTheSelection(data) {
            drag(data.from[0], data.from[1], data.to[0], data.to[1])
            verify(shot.hasSelection)
            compareRect(shot.selectionRect, data.rect[0], data.rect[1], data.rect[2], data.rect[3])
            var label = part("sizeLabel")
            verify(label.visible)
            compare(label.text, data.text)
            if (data.labelInside) {
                compare(label.x, data.rect[0] + 13)
                compare(label.y, data.rect[1] + 13)
            } else {
                compare(label.x, data.rect[0])
                compare(label.y, data.rect[1] - (label.height + 13))
            }
        }

        function test_pressOutsideStartsAfresh() {
            select(100, 100, 50, 50)
            drag(300, 300, 320, 310)
            compareRect(shot.selectionRect, 300, 300, 20, 10)
        }

        function test_moveDragStaysOnTheScreen() {
            select(100, 100, 80, 60)
            drag(140, 130, 150, 110)
            compareRect(shot.selectionRect, 110, 80, 80, 60)
            drag(150, 110, -500, -500)
            compareRect(shot.selectionRect, 0, 0, 80, 60)
            drag(40, 30, 5000, 5000)
            compareRect(shot.selectionRect, screenWidth() - 80, screenHeight() - 60, 80, 60)
        }

        function test_toolBarPlacement() {
            var bar = part("toolBar")
            select(200, 100, 200, 100)
            verify(bar.visible)
            compare(bar.x, 400 - 140)
            compare(bar.y, 200 + 13)
            // The bottom 30 above the screen's lower edge: inside the corner.
            var bottom = screenHeight() - 30
            select(200, bottom - 100, 200, 100)
            compare(bar.x, 400 - 153)
            compare(bar.y, bottom - 53)
            // Never left of the screen.
            select(0, 100, 40, 40)
            compare(bar.x, 0)
        }

        // Selection (100, 50, 200, 150); a handle dragged to a point.
        function test_handlesMoveTheirEdges_data() {
            return [
                { tag: "left past the right edge", handle: "left", to: [400, 10],
                  rect: [300, 50, 100, 150] },
                { tag: "right past the left edge", handle: "right", to: [40, 300],
                  rect: [40, 50, 60, 150] },
                { tag: "top past the bottom edge", handle: "top", to: [10, 260],
                  rect: [100, 200, 200, 60] },
                { tag: "bottom within", handle: "bottom", to: [500, 120],
                  rect: [100, 50, 200, 70] },
                { tag: "top left past both edges", handle: "topLeft", to: [350, 250],
                  rect: [300, 200, 50, 50] },
                { tag: "bottom right past both edges", handle: "bottomRight", to: [60, 20],
                  rect: [60, 20, 40, 30] },
                { tag: "top right", handle: "topRight", to: [320, 40],
                  rect: [100, 40, 220, 160] },
                { tag: "bottom left beyond the screen", handle: "bottomLeft", to: [-30, 5000],
                  rect: [0, 50, 300, 0], toBottom: true }
            ]
        }

        function test_handlesMoveTheirEdges(data) {
            select(100, 50, 200, 150)
            var handle = part(data.handle)
            var cx = handle.x + handle.width / 2
            var cy = handle.y + handle.height / 2
            drag(cx, cy, data.to[0], data.to[1])
            var height = data.toBottom ? screenHeight() - data.rect[1] : data.rect[3]
            compareRect(shot.selectionRect, data.rect[0], data.rect[1], data.rect[2], height)
        }

        // A 60 by 40 selection at a distance from the edges ("fromFar": from the right or
        // bottom edge), moved by a key; where it ends, measured the same way.
        function test_keysMoveWithinTheScreen_data() {
            return [
                { tag: "left to the edge", start: [1, 10], key: Qt.Key_Left, presses: 3, at: [0, 10] },
                { tag: "up to the edge", start: [10, 2], key: Qt.Key_Up, presses: 3, at: [10, 0] },
                { tag: "right to the edge", start: [2, 10], key: Qt.Key_Right, presses: 4,
                  at: [0, 10], fromFar: true },
                { tag: "down to the edge", start: [10, 1], key: Qt.Key_Down, presses: 3,
                  at: [10, 0], fromFar: true },
                { tag: "right inside", start: [100, 100], key: Qt.Key_Right, presses: 2,
                  at: [102, 100] }
            ]
        }

        function test_keysMoveWithinTheScreen(data) {
            var w = 60, h = 40
            function place(p) {
                return data.fromFar ? [screenWidth() - w - p[0], screenHeight() - h - p[1]] : p
            }
            var start = place(data.start)
            select(start[0], start[1], w, h)
            activate()
            for (var i = 0; i < data.presses; ++i)
                keyClick(data.key)
            var at = place(data.at)
            compareRect(shot.selectionRect, at[0], at[1], w, h)
        }

        function test_keysWithoutSelection() {
            activate()
            keyClick(Qt.Key_Return)
            keyClick(Qt.Key_Left)
            verify(shot.visible)
            compare(confirmedSpy.count, 0)
            verify(!shot.hasSelection)
            keyClick(Qt.Key_Escape)
            compare(canceledSpy.count, 1)
            verify(!shot.visible)
        }

        function test_confirmEmitsThePath_data() {
            return [
                { tag: "return", how: "key" },
                { tag: "double-click", how: "double" },
                { tag: "confirm icon", how: "icon" }
            ]
        }

        function test_confirmEmitsThePath(data) {
            select(10, 20, 30, 40)
            if (data.how === "key") {
                activate()
                keyClick(Qt.Key_Return)
            } else if (data.how === "double") {
                mouseDoubleClickSequence(shot.contentItem, 25, 41)
            } else {
                var icon = part("confirm")
                var p = icon.mapToItem(shot.contentItem, icon.width / 2, icon.height / 2)
                mouseClick(shot.contentItem, p.x, p.y)
            }
            compare(confirmedSpy.count, 1)
            var path = confirmedSpy.signalArguments[0][0]
            verify(path !== "")
            var written = screenFixture.imageFile(path)
            compare(written.width, 30)
            compare(written.height, 40)
            // The crop also went to the clipboard, exactly.
            var copied = screenFixture.clipboardImage()
            compare([copied.width, copied.height], [30, 40])
            compare(copied.corner, [10, 20, 7])
            verify(!shot.visible)
            verify(!shot.hasSelection)
        }

        function test_confirmWithoutSelectionSendsNothing() {
            select(10, 20, 30, 40)
            verify(shot.capture())
            shot.close()
            shot.openAndPostion(20, 20)
            tryCompare(shot, "visible", true, 5000)
            shot.confirmCapture()
            compare(confirmedSpy.count, 1)
            compare(confirmedSpy.signalArguments[0][0], "")
        }

        function test_cancelIcon() {
            select(100, 100, 50, 50)
            var icon = part("cancel")
            var p = icon.mapToItem(shot.contentItem, icon.width / 2, icon.height / 2)
            mouseClick(shot.contentItem, p.x, p.y)
            compare(canceledSpy.count, 1)
            compare(confirmedSpy.count, 0)
            verify(!shot.visible)
        }

        function test_saveAs_data() {
            return [
                { tag: "bmp", file: "capture.bmp", ok: true, format: "bmp" },
                { tag: "png", file: "capture.png", ok: true, format: "png" },
                { tag: "unknown suffix", file: "capture.xyz", ok: false },
                { tag: "no file chosen", file: "", ok: false }
            ]
        }

        function test_saveAs(data) {
            select(5, 6, 20, 10)
            var path = data.file === "" ? "" : qmlFixtures.folder + "/" + data.file
            if (path === "") {
                // The dialog accepted with nothing chosen.
                shot.saveDialog.accepted()
            } else {
                // The dialog's URL: the folder's name needs escaping.
                shot.saveTo("file://" + path.split("/").map(encodeURIComponent).join("/"))
            }
            compare(savedSpy.count, 1)
            compare(savedSpy.signalArguments[0][0], data.ok)
            compare(shot.visible, !data.ok)
            compare(shot.hasSelection, !data.ok)
            if (data.ok) {
                var written = screenFixture.imageFile(path)
                compare(written.format, data.format)
                compare([written.width, written.height], [20, 10])
                compare(written.corner, [5, 6, 7])
            } else {
                compareRect(shot.selectionRect, 5, 6, 20, 10)
            }
        }

        function test_saveDialogProposesAName() {
            compare(shot.saveDialog.nameFilters, ["PNG(*.png)", "BMP(*.bmp)", "JPEG(*.jpg;*.jpeg)"])
            compare(shot.saveDialog.title, qsTranslate("VScreenshot", "Save as"))
            shot.saveDialog.aboutToOpen()
            verify(/^TesmoChat_\d{17}$/.test(shot.saveDialog.filename), shot.saveDialog.filename)
        }

        function test_magnifier() {
            var magnifier = part("magnifier")
            hover(120, 80)
            compare(magnifier.positionText, "POS: (120, 80)")
            compare(magnifier.colourText, "RGB: (120, 80, 7)")
            compare([magnifier.x, magnifier.y], [130, 90])
            verify(magnifier.showCross)
            // Near the far corner it stands above and left of the point.
            var x = screenWidth() - 20, y = screenHeight() - 20
            hover(x, y)
            compare(magnifier.positionText, "POS: (" + x + ", " + y + ")")
            compare(magnifier.colourText, "RGB: (" + (x % 256) + ", " + (y % 256) + ", 7)")
            compare(magnifier.x, x - 191)
            compare(magnifier.y, y - 191 - (magnifier.height - 181))
        }

        function test_magnifierFollowsADraggedHandle() {
            var magnifier = part("magnifier")
            select(100, 50, 200, 150)
            var handle = part("bottomRight")
            press(300, 200)
            moveTo(250, 170)
            verify(!magnifier.showCross)
            compare(magnifier.positionText, "POS: (250, 170)")
            compare(magnifier.colourText, "RGB: (250, 170, 7)")
            release(250, 170)
            verify(magnifier.showCross)
        }
    }
}
