import QtQuick 2.12
import "../commons"

// A candidate row of the pickers: avatar, name and a circular check mark. A row that
// is already in the group shows the added mark and cannot be chosen.
Rectangle {
    id: row

    property string account: ""
    property string name: ""
    property string logo: ""
    property int champflag: 0
    property bool checked: false
    property bool added: false
    property bool highlighted: false
    property bool checkVisible: true

    signal clicked()

    height: 55
    color: highlighted ? "#F0F0F0" : (area.containsMouse ? "#F7F7F7" : "transparent")

    VRoundImage {
        id: avatar

        anchors.left: parent.left
        anchors.leftMargin: 15
        anchors.verticalCenter: parent.verticalCenter
        width: 45
        height: 45
        source: row.logo
        champflag: row.champflag
    }

    Text {
        anchors.left: avatar.right
        anchors.leftMargin: 12
        anchors.right: mark.left
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        text: row.name
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.pixelSize: 14
        color: "#333333"
    }

    Image {
        id: mark

        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        width: 18
        height: 18
        visible: row.checkVisible || row.added
        source: row.added ? "qrc:/images/index_page/group_member_added.png"
                          : (row.checked ? "qrc:/images/session_page/sync_has_checked.png"
                                         : "qrc:/images/session_page/sync_not_checked.png")
    }

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        enabled: !row.added
        onClicked: row.clicked()
    }
}
