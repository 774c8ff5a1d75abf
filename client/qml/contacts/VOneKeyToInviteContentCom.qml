import QtQuick 2.12
import QtQuick.Dialogs 1.3
import VFileSaveDialog 1.0
import "../commons"
import "../commons/VFileChooser.js" as FileChooser

// The quick invitation: save the vCard template, pick a filled-in vCard file and
// invite everybody in it by SMS in one batch.
Item {
    id: panel

    property string selectedUrl: ""
    property string selectedName: ""
    property bool inviteSuccessed: false
    property bool saveVCardFileSuccessed: false
    property bool inviting: false
    property url savedUrl: ""

    function startInvite() {
        if (selectedUrl === "")
            return
        inviting = true
        contactsManager.batchInvite(selectedUrl)
    }

    function chooseFile(url) {
        selectedUrl = String(url)
        var slash = selectedUrl.lastIndexOf("/")
        selectedName = decodeURIComponent(selectedUrl.substring(slash + 1))
    }

    Component.onCompleted: {
        selectedUrl = ""
        inviteSuccessed = false
        saveVCardFileSuccessed = false
    }

    // Two seconds after the file is done with, the panel starts over.
    onSelectedUrlChanged: if (selectedUrl === "") resetTimer.restart()

    Timer {
        id: resetTimer

        interval: 2000
        onTriggered: {
            panel.selectedUrl = ""
            panel.selectedName = ""
            panel.inviting = false
            panel.inviteSuccessed = false
            panel.saveVCardFileSuccessed = false
        }
    }

    Connections {
        target: contactsManager

        function onBatchInviteComplete(result) {
            panel.inviteSuccessed = result === 0
            panel.selectedUrl = ""
        }
    }

    VFileSaveDialog {
        id: saveDialog

        title: qsTr("Save template file") + vTranslator.i18n
        filename: qsTr("contacts%1").arg(".vcf") + vTranslator.i18n
        nameFilters: ["vCards (*.vcf)"]
        onAccepted: {
            panel.savedUrl = fileUrl
            saveVCardFile(fileUrl)
        }
        onSaveVCardFileResult: {
            panel.saveVCardFileSuccessed = successed
            tip.text = ""
            tip.text = successed ? qsTr("Template download succeeded") + vTranslator.i18n
                                 : qsTr("Template download failed") + vTranslator.i18n
        }
    }

    // Made on first use: the file dialog is a window of its own.
    Loader {
        id: openDialog

        active: false
        sourceComponent: FileDialog {
            title: qsTr("Please choose a file") + vTranslator.i18n
            folder: shortcuts.documents
            nameFilters: ["*.vcf *.VCF"]
            onAccepted: panel.chooseFile(fileUrl)
        }
        onLoaded: FileChooser.openIn(item, vGlobal.documentsFolder())
    }

    Column {
        anchors.centerIn: parent
        spacing: 20

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6

            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                source: "qrc:/images/contact_page/tip_icon.png"
            }

            Text {
                text: qsTr("Only supports VCF formats") + vTranslator.i18n
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#999999"
            }
        }

        VBusyButton {
            objectName: "templateButton"
            anchors.horizontalCenter: parent.horizontalCenter
            normalWidth: 220
            text: panel.saveVCardFileSuccessed ? qsTr("Open template folder") + vTranslator.i18n
                                               : qsTr("Download template") + vTranslator.i18n
            onClicked: {
                if (panel.saveVCardFileSuccessed)
                    vGlobal.showFileInFolder(panel.savedUrl)
                else
                    saveDialog.open()
            }
        }

        VBusyButton {
            objectName: "selectFileButton"
            anchors.horizontalCenter: parent.horizontalCenter
            normalWidth: 220
            text: qsTr("Select file") + vTranslator.i18n
            onClicked: {
                if (openDialog.active)
                    FileChooser.openIn(openDialog.item, vGlobal.documentsFolder())
                else
                    openDialog.active = true
            }
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: panel.selectedName
            textFormat: Text.PlainText
            font.pixelSize: 13
            color: "#333333"
        }

        VBusyButton {
            objectName: "startInviteButton"
            anchors.horizontalCenter: parent.horizontalCenter
            normalWidth: 220
            enabled: panel.selectedUrl !== ""
            text: qsTr("Start to invite") + vTranslator.i18n
            onClicked: panel.startInvite()
        }
    }

    // The progress cover takes every click while it shows.
    Rectangle {
        objectName: "inviteCover"
        anchors.fill: parent
        visible: panel.inviting
        color: "#80000000"

        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
        }

        Rectangle {
            anchors.centerIn: parent
            width: 250
            height: 160
            radius: 5
            color: "white"

            Column {
                anchors.centerIn: parent
                spacing: 12

                VLoadingGif {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 60
                    height: 60
                    visible: panel.selectedUrl !== ""
                }

                Image {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 60
                    height: 60
                    visible: panel.selectedUrl === ""
                    source: panel.inviteSuccessed ? "qrc:/images/contact_page/invite_finished.png"
                                                  : "qrc:/images/contact_page/invite_failed.png"
                }

                Text {
                    objectName: "inviteState"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: panel.selectedUrl !== "" ? qsTr("Inviting...") + vTranslator.i18n
                                                   : (panel.inviteSuccessed ? qsTr("Invitation success") + vTranslator.i18n
                                                                            : qsTr("Invitation failed") + vTranslator.i18n)
                    textFormat: Text.PlainText
                    font.pixelSize: 14
                    color: "#333333"
                }
            }
        }
    }

    VWarningTip {
        id: tip
    }
}
