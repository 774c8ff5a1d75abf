import QtQuick 2.12
import QtQuick.Window 2.12
import QtWebEngine 1.8
import "../commons"
import "../settings"

// The price-quote page beside the main window: a mobile page laid out at 750 wide
// and drawn at half scale. It stays open when it loses the focus.
VPopupWindow {
    id: quotes

    property string webViewUrl: ""
    property int containerWidth: 400
    property int containerHeight: 650
    readonly property int topStripHeight: 52
    readonly property int margin: 6
    // The page's own layout size; drawn at half of it.
    readonly property int pageWidth: 2 * (containerWidth - 2 * margin - 13)
    readonly property int pageHeight: 2 * (containerHeight - topStripHeight - 2 * margin - 1)
    // Only web pages are loaded.
    readonly property string safeUrl: /^https?:\/\/[^\/\s]/i.test(webViewUrl) ? webViewUrl : ""

    closeOnActiveLost: false
    width: containerWidth
    height: containerHeight

    Rectangle {
        id: frame

        anchors.fill: parent
        anchors.margins: quotes.margin
        radius: 5
        color: "#FFFFFF"
        clip: true

        Item {
            id: topStrip

            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            height: quotes.topStripHeight

            MouseArea {
                anchors.fill: parent
                onPressed: quotes.startSystemMove()
            }

            Image {
                anchors.centerIn: parent
                source: "qrc:/images/session_page/quotes_window_show_bar.png"
            }

            Image {
                anchors.right: parent.right
                anchors.rightMargin: 15
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                source: "qrc:/images/close.png"

                VHoveredMouseArea {
                    anchors.fill: parent
                    anchors.margins: -5
                    onClicked: quotes.close()
                }
            }
        }

        Item {
            id: pageArea

            anchors.top: topStrip.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            clip: true

            WebEngineView {
                id: view

                width: quotes.pageWidth
                height: quotes.pageHeight
                scale: 0.5
                transformOrigin: Item.TopLeft
                url: quotes.safeUrl
                onLoadingChanged: {
                    if (loadRequest.status === WebEngineView.LoadStartedStatus && !coverTimer.started) {
                        coverTimer.started = true
                        coverTimer.start()
                    }
                }
            }

            Rectangle {
                id: cover

                anchors.fill: parent
                visible: view.loading || !coverTimer.done
                color: "#FFFFFF"

                VLoadingGif {
                    anchors.centerIn: parent
                    width: 60
                    height: 60
                    visible: cover.visible
                }
            }
        }
    }

    Timer {
        id: coverTimer

        property bool started: false
        property bool done: false

        interval: 1000
        onTriggered: done = true
    }

    VRectangularGlow {
        targetObject: frame
        z: -1
    }
}
