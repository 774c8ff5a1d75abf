import QtQuick 2.12
import VScreenImage 1.0

// Shows the screen picture around a point three times enlarged, with the point's
// position and colour under it. Beyond the screen's edge it shows black.
Item {
    id: magnifier

    // The point, in the screen's logical units.
    property int pointX: 0
    property int pointY: 0
    property bool showCross: true
    property real areaWidth: 0
    property real areaHeight: 0
    // The grab is in device pixels: the colour is read there.
    property real devicePixelRatio: 1
    // Raised whenever the screen picture is replaced, so the colour is read again.
    property int imageRevision: 0

    readonly property int viewSize: 181
    readonly property int zoomFactor: 3
    readonly property var rgb: {
        imageRevision
        return screenPixels.pixelRgb(Math.floor(pointX * devicePixelRatio),
                                     Math.floor(pointY * devicePixelRatio))
    }

    readonly property string positionText: "POS: (" + pointX + ", " + pointY + ")"
    readonly property string colourText: "RGB: (" + rgb[0] + ", " + rgb[1] + ", " + rgb[2] + ")"

    x: pointX + viewSize + 10 < areaWidth ? pointX + 10 : pointX - viewSize - 10
    y: pointY + viewSize + 10 + labels.height < areaHeight ? pointY + 10
                                                          : pointY - viewSize - 10 - labels.height
    width: viewSize
    height: viewSize + labels.height

    function repaint() {
        screenPixels.update()
    }

    Item {
        id: view

        width: magnifier.viewSize
        height: magnifier.viewSize
        clip: true

        Item {
            // The point's pixel lands in the middle of the view.
            x: (magnifier.viewSize - magnifier.zoomFactor) / 2 - magnifier.zoomFactor * magnifier.pointX
            y: (magnifier.viewSize - magnifier.zoomFactor) / 2 - magnifier.zoomFactor * magnifier.pointY
            scale: magnifier.zoomFactor
            transformOrigin: Item.TopLeft

            Rectangle {
                x: -40
                y: -40
                width: magnifier.areaWidth + 80
                height: magnifier.areaHeight + 80
                color: "black"
            }

            VScreenImage {
                id: screenPixels

                width: magnifier.areaWidth
                height: magnifier.areaHeight
                smooth: false
            }
        }

        Rectangle {
            visible: magnifier.showCross
            x: (magnifier.viewSize - width) / 2
            width: 3
            height: magnifier.viewSize
            color: "#FAE100"
        }

        Rectangle {
            visible: magnifier.showCross
            y: (magnifier.viewSize - height) / 2
            width: magnifier.viewSize
            height: 3
            color: "#FAE100"
        }

        Rectangle {
            anchors.fill: parent
            color: "transparent"
            border.color: "#FFE100"
        }
    }

    Column {
        id: labels

        y: magnifier.viewSize

        // The position and the colour.
        Repeater {
            model: 2

            Rectangle {
                objectName: index === 0 ? "position" : "colour"
                width: magnifier.viewSize
                height: readout.height + 6
                color: "#7B000000"

                Text {
                    id: readout

                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: index === 0 ? magnifier.positionText : magnifier.colourText
                    color: "white"
                    font.pixelSize: 12
                    font.bold: true
                }
            }
        }
    }
}
