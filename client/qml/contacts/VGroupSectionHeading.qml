import QtQuick 2.12

// A section title of the group settings, with its add and remove buttons.
Item {
    id: heading

    property alias text: label.text
    property bool addVisible: false
    property bool removeVisible: false
    property string addName: ""
    property string removeName: ""

    signal addClicked()
    signal removeClicked()

    width: parent ? parent.width : 0
    height: 24

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        textFormat: Text.PlainText
        font.pixelSize: 14
        color: "#333333"
    }

    Row {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12

        Image {
            objectName: heading.addName
            width: 18
            height: 18
            visible: heading.addVisible
            source: "qrc:/images/session_page/group_members_add.png"

            MouseArea {
                anchors.fill: parent
                onClicked: heading.addClicked()
            }
        }

        Image {
            objectName: heading.removeName
            width: 18
            height: 18
            visible: heading.removeVisible
            source: "qrc:/images/session_page/group_members_remove.png"

            MouseArea {
                anchors.fill: parent
                onClicked: heading.removeClicked()
            }
        }
    }
}
