import QtQuick 2.12
import QtQuick.Window 2.12

// Minimise, maximise and close buttons of a frameless window.
Item {
    id: bar

    signal minimize()
    signal maximize()
    signal close()

    readonly property bool _maximized: Window.window !== null
                                       && Window.window.visibility === Window.Maximized

    width: 75
    height: 25

    Row {
        Repeater {
            model: [
                { "icon": "qrc:/images/min_win_pc.png", "action": "minimize" },
                { "icon": "", "action": "maximize" },
                { "icon": "qrc:/images/close_win_pc.png", "action": "close" }
            ]

            Item {
                width: 25
                height: 25
                opacity: area.pressed ? 0.5 : (area.containsMouse ? 1 : 0.8)

                Image {
                    anchors.centerIn: parent
                    width: 10
                    height: 10
                    source: modelData.icon !== "" ? modelData.icon
                                                  : (bar._maximized ? "qrc:/images/normal_win_pc.png"
                                                                    : "qrc:/images/max_win_pc.png")
                }

                MouseArea {
                    id: area

                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: bar[modelData.action]()
                }
            }
        }
    }
}
