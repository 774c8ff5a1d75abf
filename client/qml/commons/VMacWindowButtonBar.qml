import QtQuick 2.12
import QtQuick.Window 2.12

// Round close, minimise and maximise buttons. While the window is full screen,
// minimising is refused and maximising returns the window to normal.
Item {
    id: bar

    signal close()
    signal minimize()
    signal maximize()

    readonly property var _window: Window.window
    readonly property bool _fullScreen: _window !== null && _window.visibility === Window.FullScreen
    readonly property string _dir: "qrc:/images/index_page/"

    width: 60
    height: 20

    Row {
        Item {
            width: 20
            height: 20

            Image {
                anchors.centerIn: parent
                width: 12
                height: 12
                source: bar._dir + (closeArea.containsMouse ? "mac_close_hover.png" : "mac_close_normal.png")
            }

            MouseArea {
                id: closeArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: bar.close()
            }
        }

        Item {
            width: 20
            height: 20

            Image {
                anchors.centerIn: parent
                width: 12
                height: 12
                source: bar._dir + (bar._fullScreen ? "mac_min_on_max_hover.png"
                                                    : (minArea.containsMouse ? "mac_min_hover.png"
                                                                             : "mac_min_normal.png"))
            }

            MouseArea {
                id: minArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    if (!bar._fullScreen)
                        bar.minimize()
                }
            }
        }

        Item {
            width: 20
            height: 20

            Image {
                anchors.centerIn: parent
                width: 12
                height: 12
                source: bar._dir + (maxArea.containsMouse ? (bar._fullScreen ? "mac_to_normal_hover.png"
                                                                              : "mac_max_hover.png")
                                                          : "mac_max_normal.png")
            }

            MouseArea {
                id: maxArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    if (bar._fullScreen)
                        bar._window.showNormal()
                    else
                        bar.maximize()
                }
            }
        }
    }
}
