import QtQuick 2.12
import "../commons"

// One list of the forward dialog: contacts or groups, each row with a round check
// mark showing whether it is selected.
Item {
    id: forwardList

    property var model: null
    property bool groups: false

    signal toggled(var item)

    ListView {
        id: list

        anchors.fill: parent
        clip: true
        model: forwardList.model
        boundsBehavior: Flickable.StopAtBounds
        delegate: Rectangle {
            readonly property var entry: model.object

            width: list.width
            height: 55
            color: rowArea.containsMouse ? "#F5F5F5" : "transparent"

            Rectangle {
                id: check

                x: 15
                anchors.verticalCenter: parent.verticalCenter
                width: 18
                height: 18
                radius: 9
                border.color: entry && entry.selected ? "#2E2E2E" : "#CCCCCC"
                color: entry && entry.selected ? "#2E2E2E" : "transparent"
            }
            VRoundImage {
                id: avatar

                anchors.left: check.right
                anchors.leftMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                width: 36
                height: 36
                sourceSize: Qt.size(72, 72)
                source: entry ? (forwardList.groups ? entry.grouplogo : entry.logo) : ""
                champflag: entry && !forwardList.groups ? entry.champflag : 0
            }
            VOfficialIndicatorTesmo {
                anchors.right: avatar.right
                anchors.bottom: avatar.bottom
                visible: forwardList.groups && entry !== null && entry.title === 1
            }
            Text {
                anchors.left: avatar.right
                anchors.leftMargin: 10
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                text: entry ? (forwardList.groups ? entry.groupname : entry.name) : ""
                textFormat: Text.PlainText
                font.pixelSize: 14
                color: "#333333"
                elide: Text.ElideRight
            }
            MouseArea {
                id: rowArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: forwardList.toggled(entry)
            }
        }
    }

    // The page's empty-list picture.
    VSessionEmptyLoader {
        anchors.fill: parent
        active: list.count === 0
    }
}
