import QtQuick 2.12
import "../commons"

// A cell of the drawer's grids: a round avatar with the name below it. Anything
// placed inside the cell is drawn over the avatar (duty icon, badge).
Item {
    id: cell

    readonly property var item: typeof model !== "undefined" && model ? model.modelData : null
    property string source: (item && item.logo) || ""
    property string name: (item && item.name) || ""
    property int champflag: (item && item.champflag) || 0
    readonly property alias hovered: area.containsMouse
    default property alias overlay: overlayLayer.data

    signal clicked()

    width: 68
    height: 56

    VRoundImage {
        id: avatar

        anchors.horizontalCenter: parent.horizontalCenter
        width: 36
        height: 36
        source: cell.source
        champflag: cell.champflag
        opacity: area.pressed ? 0.6 : 1

        Item {
            id: overlayLayer

            anchors.fill: parent
        }
    }

    Text {
        anchors.top: avatar.bottom
        anchors.topMargin: 4
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        text: cell.name
        textFormat: Text.PlainText
        elide: Text.ElideRight
        maximumLineCount: 1
        font.pixelSize: 12
        color: area.containsMouse ? "#03C087" : "#666666"
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: cell.clicked()
    }
}
