import QtQuick 2.12
import "commons"
import "contacts"
import "translator"

// The own profile: avatar, nick (at most 10 characters) and introduction (at most
// 40). "Finished" sends the change; success closes the dialog.
VDialog {
    id: editor

    property string logoPath: ""
    readonly property int nickMaximum: 10
    readonly property int introMaximum: 40
    readonly property alias busy: finishButton.busy

    signal openUploadDialog()
    signal editUserInfoSuccess()
    signal editUserInfoFailure()

    function finish() {
        if (finishButton.busy)
            return
        finishButton.busy = true
        contactsManager.updateUserInfo(nickInput.text.trim(), introInput.text.trim(), logoPath, "")
    }

    width: 350
    height: 450
    windowTitle: VTr.dataEditing

    Connections {
        target: contactsManager

        function onUpdateUserInfoSuccess() {
            editor.editUserInfoSuccess()
            finishButton.busy = false
            editor.close()
            vGlobal.userInfoUpdateSuccessed()
        }
        function onUpdateUserInfoFailure() {
            editor.editUserInfoFailure()
            finishButton.busy = false
            tip.text = ""
            tip.text = VTr.informationModifyFailed
        }
    }

    Item {
        parent: editor.contentArea
        anchors.fill: parent

        VRoundImage {
            id: avatar

            x: 30
            y: 20
            width: 60
            height: 60
            source: editor.logoPath !== "" ? editor.logoPath : vConfig.currentUserLogo
            champflag: vGlobal.getChampflagByAccount(vConfig.currentAccount)
        }

        Text {
            objectName: "localUpload"
            anchors.left: avatar.right
            anchors.leftMargin: 20
            anchors.verticalCenter: avatar.verticalCenter
            text: VTr.localUpload
            textFormat: Text.PlainText
            font.pixelSize: 14
            color: "#03C087"

            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: editor.openUploadDialog()
            }
        }

        Column {
            x: 30
            y: 100
            width: parent.width - 60
            spacing: 8

            Text {
                text: VTr.nick
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#999999"
            }

            Rectangle {
                width: parent.width
                height: 36
                radius: 5
                color: "#F5F6F7"

                VTextInput {
                    id: nickInput

                    objectName: "nickInput"
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 50
                    font.pixelSize: 14
                    maximumLength: editor.nickMaximum
                    text: vConfig.currentUserName
                    onEnteredTooLong: tip.text = isTooLong ? VTr.enteredTooLong : ""
                }

                Text {
                    objectName: "nickCounter"
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    visible: nickInput.length > 0
                    text: nickInput.length + "/" + editor.nickMaximum
                    font.pixelSize: 12
                    color: nickInput.length >= editor.nickMaximum ? "#F7334B" : "#999999"
                }
            }

            Text {
                text: VTr.introduction
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#999999"
            }

            Rectangle {
                width: parent.width
                height: 80
                radius: 5
                color: "#F5F6F7"

                TextEdit {
                    id: introInput

                    objectName: "introInput"
                    anchors.fill: parent
                    anchors.margins: 8
                    anchors.bottomMargin: 20
                    font.pixelSize: 14
                    wrapMode: TextEdit.Wrap
                    textFormat: TextEdit.PlainText
                    selectByMouse: true
                    text: vConfig.currentUserSummary
                    onLengthChanged: {
                        if (activeFocus && length > editor.introMaximum) {
                            var cursor = cursorPosition
                            remove(Math.max(0, cursor - (length - editor.introMaximum)), cursor)
                            tip.text = VTr.enteredTooLong
                        } else if (length < editor.introMaximum) {
                            tip.text = ""
                        }
                    }
                }

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: 4
                    visible: introInput.length > 0
                    text: introInput.length + "/" + editor.introMaximum
                    font.pixelSize: 12
                    color: introInput.length >= editor.introMaximum ? "#F7334B" : "#999999"
                }
            }
        }

        VBusyButton {
            id: finishButton

            objectName: "finishButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 30
            normalWidth: 150
            text: VTr.finished
            onClicked: editor.finish()
        }

        VWarningTip {
            id: tip

            objectName: "warningTip"
        }
    }
}
