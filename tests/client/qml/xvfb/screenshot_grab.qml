import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/screenshot"

// The screenshot window over a real screen (a virtual X server): the picture it
// shows, the magnifier's colour and the crop are those of a window of known colour.
Item {
    width: 100
    height: 100

    Window {
        id: known

        x: 300
        y: 200
        width: 200
        height: 150
        visible: true
        color: "#2E8B57"

        Item {
            id: knownContent

            anchors.fill: parent
        }
    }

    VScreenshot { id: shot }

    SignalSpy { id: confirmedSpy; target: shot; signalName: "confirmed" }

    TestCase {
        name: "ScreenshotGrab"
        when: windowShown

        function test_grabShowsTheScreen() {
            // The known window is drawn before the grab.
            waitForRendering(knownContent, 10000)
            shot.openAndPostion(known.x + 10, known.y + 10)
            tryCompare(shot, "visible", true, 5000)
            var magnifier = findChild(shot.contentItem, "magnifier")
            verify(magnifier)
            // Over the known window, one row below the window's top row.
            mouseMove(shot.contentItem, known.x + 50, known.y + 50 + 1)
            tryCompare(magnifier, "colourText", "RGB: (46, 139, 87)", 5000)
            mouseMove(shot.contentItem, known.x + 300, known.y + 50 + 1)
            verify(magnifier.colourText !== "RGB: (46, 139, 87)", magnifier.colourText)

            mousePress(shot.contentItem, known.x + 20, known.y + 30 + 1)
            mouseMove(shot.contentItem, known.x + 60, known.y + 60 + 1, -1, Qt.LeftButton)
            mouseMove(shot.contentItem, known.x + 120, known.y + 90 + 1, -1, Qt.LeftButton)
            mouseRelease(shot.contentItem, known.x + 120, known.y + 90 + 1)
            compare(shot.selectionRect.width, 100)
            compare(shot.selectionRect.height, 60)
            shot.confirmCapture()
            compare(confirmedSpy.count, 1)
            verify(confirmedSpy.signalArguments[0][0] !== "")
            var crop = screenFixture.clipboardImage()
            compare([crop.width, crop.height], [100, 60])
            compare(crop.corner, [46, 139, 87])
        }
    }
}
