import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"

// Forwarding a message to contacts and groups, at most vGlobal.maxForwardContacts
// of them together.
VDialog {
    id: forward

    property int modelId: -1
    property string message: ""
    property int msgtype: 0
    property int selectedCount: 0
    property bool _hiddenForLimit: false

    function open(id, content, type) {
        modelId = id
        message = content
        msgtype = type
        reset()
        show()
    }

    function reset() {
        contactsManager.setAllSelected(false)
        groupManager.setAllSelected(false)
        tabs.currentIndex = 0
        selectedCount = 0
    }

    // Selects or unselects a contact or group; one more than the limit is refused.
    function toggle(item) {
        if (!item)
            return false
        if (item.selected) {
            item.selected = false
            selectedCount = Math.max(0, selectedCount - 1)
            return true
        }
        if (selectedCount >= vGlobal.maxForwardContacts) {
            vGlobal.selectUpToMaxContactsAndGroups()
            return false
        }
        item.selected = true
        ++selectedCount
        return true
    }

    function accept() {
        sessionManager.transmitMsg(contactsManager.selectedAccounts(), modelId, msgtype, message, 0)
        sessionManager.transmitMsg(groupManager.selectedAccounts(), modelId, msgtype, message, 1)
        reset()
        vGlobal.forwardFinished()
        close()
    }

    width: 330
    height: 560
    windowTitle: qsTr("Forward to") + vTranslator.i18n + "(" + selectedCount + ")"

    Connections {
        target: vGlobal

        // The limit's alert shows alone; the dialog comes back when it is dismissed.
        function onSelectUpToMaxContactsAndGroups() {
            if (forward.visible) {
                forward._hiddenForLimit = true
                forward.hide()
            }
        }
        function onReshowForwardSelectPopupWindow() {
            if (forward._hiddenForLimit) {
                forward._hiddenForLimit = false
                forward.show()
            }
        }
    }

    Item {
        parent: forward.contentArea
        anchors.fill: parent

        Row {
            id: tabBar

            x: 20
            height: 40
            spacing: 30

            Repeater {
                model: [qsTr("Contacts") + vTranslator.i18n, qsTr("Groups") + vTranslator.i18n]

                Text {
                    height: 40
                    verticalAlignment: Text.AlignVCenter
                    text: modelData
                    textFormat: Text.PlainText
                    font.pixelSize: 14
                    font.bold: tabs.currentIndex === index
                    color: tabs.currentIndex === index ? "#333333" : "#999999"

                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: tabs.currentIndex = index
                    }
                }
            }
        }

        VSearchBar {
            id: search

            anchors.top: tabBar.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.margins: 10
            height: 30
            enabled: false
        }

        SwipeView {
            id: tabs

            anchors.top: search.bottom
            anchors.topMargin: 5
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: okButton.top
            anchors.bottomMargin: 10
            interactive: false
            clip: true

            VForwardList {
                model: contactsManager
                groups: false
                onToggled: forward.toggle(item)
            }
            VForwardList {
                model: groupManager
                groups: true
                onToggled: forward.toggle(item)
            }
        }

        Rectangle {
            id: okButton

            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            anchors.horizontalCenter: parent.horizontalCenter
            width: 120
            height: 34
            radius: 17
            color: okArea.pressed ? "#333333" : "#2E2E2E"

            Text {
                anchors.centerIn: parent
                text: qsTr("OK") + vTranslator.i18n
                textFormat: Text.PlainText
                font.pixelSize: 14
                color: "#FFFFFF"
            }
            MouseArea {
                id: okArea

                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: forward.accept()
            }
        }
    }
}
