import QtQuick 2.12
import "../commons"
import "../translator"

// The popup under the own avatar: who I am, the settings entries and Quit.
VPopupWindow {
    id: settingsPopup

    signal editUserInfoClicked()
    signal systemSettingsClicked()
    signal checkUpdateClicked()

    width: 380
    height: 400

    Rectangle {
        id: panel

        anchors.fill: parent
        anchors.margins: 5
        radius: 5
        color: "#FFFFFF"

        VRoundImage {
            id: avatar

            x: 20
            y: 20
            width: 60
            height: 60
            source: vConfig.currentUserLogo
            champflag: vConfig.champflag
        }

        Column {
            x: avatar.x + avatar.width + 15
            y: 22
            width: panel.width - x - 50
            spacing: 6

            Text {
                width: parent.width
                text: vConfig.currentUserName
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                font.pixelSize: 20
                color: "#333333"
            }
            Text {
                width: parent.width
                text: VTr.uid + vConfig.currentUserID
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 12
                color: "#8E8E93"
            }
        }

        Text {
            x: 20
            y: avatar.y + avatar.height + 12
            width: panel.width - 40
            text: VTr.introduction + ": " + vConfig.currentUserSummary
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            font.pixelSize: 12
            color: "#8E8E93"
        }

        Image {
            id: editMark

            objectName: "editUserInfo"
            anchors.right: parent.right
            anchors.rightMargin: 20
            y: 40
            width: 18
            height: 18
            source: "qrc:/images/index_page/edit_user_info.png"
            opacity: editArea.hoverEntered ? 1 : 0.7

            VHoveredMouseArea {
                id: editArea

                anchors.fill: parent
                anchors.margins: -5
                onClicked: settingsPopup.editUserInfoClicked()
            }
        }

        Column {
            y: 150
            width: panel.width

            Entry {
                text: VTr.systemSettings
                onClicked: settingsPopup.systemSettingsClicked()
            }

            VDelayTriggeredSwitch {
                id: moveToTop

                objectName: "autoMoveToTopSwitch"
                x: 20
                width: parent.width - 40
                height: 35
                text: VTr.autoMoveToTop
                checked: vConfig.autoMoveToTop
                onDelayTriggered: vConfig.autoMoveToTop = checked
            }

            Divider {}

            Entry {
                text: VTr.downloadTesmoChatApp
                onClicked: vGlobal.showDownloadTesmoChatAppPopupWindow()
            }

            Entry {
                objectName: "versionEntry"
                text: VTr.version
                onClicked: Qt.openUrlExternally(vGlobal.makerWebSite())

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 20
                    anchors.verticalCenter: parent.verticalCenter
                    text: vConfig.version
                    font.pixelSize: 12
                    color: "#8E8E93"
                }
            }

            Divider {}

            Entry {
                text: VTr.quit
                onClicked: Qt.quit()
            }
        }
    }

    component Entry: Rectangle {
        property alias text: label.text

        signal clicked()

        width: panel.width
        height: 35
        color: area.containsMouse ? "#ECECEC" : "transparent"

        Text {
            id: label

            x: 20
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 13
            color: "#333333"
        }

        MouseArea {
            id: area

            anchors.fill: parent
            hoverEnabled: true
            onClicked: parent.clicked()
        }
    }

    component Divider: Rectangle {
        x: 20
        width: panel.width - 40
        height: 1
        color: "#E5E5E5"
    }
}
