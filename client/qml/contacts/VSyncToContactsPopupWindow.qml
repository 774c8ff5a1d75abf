import QtQuick 2.12
import "../commons"
import "../translator"

// Marks the friends and groups that messages are also sent to. "OK" stores the
// marks; any other way of closing puts back the marks stored before, so a later
// send reaches only people the user confirmed.
VDialog {
    id: dialog

    property int currentTabIndex: 0
    property int contactsSelectCount: listedCount(contactsManager)
    property int groupsSelectCount: listedCount(groupManager)
    property var _savedContacts: []
    property var _savedGroups: []
    property bool _saved: false

    // The marked rows of a list. A group the user left is loaded but not listed,
    // and is never marked here.
    function listedCount(manager) {
        var count = 0
        for (var row = 0; row < manager.itemCount; ++row) {
            var item = manager.get(row)
            if (item && item.isSync)
                ++count
        }
        return count
    }

    function selectAll(tab) {
        var manager = tab === 0 ? contactsManager : groupManager
        var rows = manager.itemCount
        var count = tab === 0 ? contactsSelectCount : groupsSelectCount
        var all = count !== rows
        manager.setAllIsSync(false)
        for (var row = 0; all && row < rows; ++row)
            manager.get(row).isSync = true
        if (tab === 0)
            contactsSelectCount = all ? rows : 0
        else
            groupsSelectCount = all ? rows : 0
    }

    function flip(tab, item) {
        item.isSync = !item.isSync
        var step = item.isSync ? 1 : -1
        if (tab === 0)
            contactsSelectCount += step
        else
            groupsSelectCount += step
    }

    function accept() {
        contactsManager.saveIsSyncAccounts()
        groupManager.saveIsSyncAccounts()
        _saved = true
        close()
    }

    function _restore(manager, saved) {
        manager.setAllIsSync(false)
        for (var i = 0; i < saved.length; ++i)
            manager.updateIsSync(saved[i], true)
    }

    width: 330
    height: 560
    windowTitle: qsTr("Sync to contacts") + vTranslator.i18n + "(" + (contactsSelectCount + groupsSelectCount) + ")"

    onOpened: {
        _saved = false
        _savedContacts = contactsManager.isSyncAccounts()
        _savedGroups = groupManager.isSyncAccounts()
        contactsSelectCount = listedCount(contactsManager)
        groupsSelectCount = listedCount(groupManager)
    }
    onClosed: {
        if (_saved)
            return
        _restore(contactsManager, _savedContacts)
        _restore(groupManager, _savedGroups)
        contactsSelectCount = listedCount(contactsManager)
        groupsSelectCount = listedCount(groupManager)
    }

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        Row {
            id: tabs

            width: parent.width
            height: 40

            Repeater {
                model: [qsTr("Contacts") + vTranslator.i18n, qsTr("Groups") + vTranslator.i18n]

                Text {
                    width: tabs.width / 2
                    height: tabs.height
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    text: modelData
                    textFormat: Text.PlainText
                    font.pixelSize: 14
                    color: dialog.currentTabIndex === index ? "#03C087" : "#333333"

                    MouseArea {
                        anchors.fill: parent
                        onClicked: dialog.currentTabIndex = index
                    }
                }
            }
        }

        Rectangle {
            anchors.top: tabs.bottom
            x: dialog.currentTabIndex * tabs.width / 2 + (tabs.width / 2 - width) / 2
            width: 60
            height: 2
            color: "#03C087"

            Behavior on x {
                NumberAnimation { duration: 300 }
            }
        }

        Item {
            id: pages

            anchors.top: tabs.bottom
            anchors.topMargin: 4
            anchors.bottom: okButton.top
            anchors.bottomMargin: 10
            width: parent.width
            clip: true

            Row {
                x: -dialog.currentTabIndex * pages.width
                height: pages.height

                Behavior on x {
                    NumberAnimation { duration: 300 }
                }

                Repeater {
                    model: 2

                    Item {
                        id: tabPage

                        readonly property int tab: index
                        readonly property int count: tab === 0 ? dialog.contactsSelectCount : dialog.groupsSelectCount
                        readonly property int rows: list.count

                        width: pages.width
                        height: pages.height

                        VSearchBar {
                            id: search

                            x: 15
                            y: 5
                            width: parent.width - 30
                        }

                        Item {
                            id: selectAllLine

                            objectName: "selectAll" + tabPage.tab
                            anchors.top: search.bottom
                            anchors.topMargin: 5
                            width: parent.width
                            height: 40

                            Text {
                                x: 20
                                anchors.verticalCenter: parent.verticalCenter
                                text: qsTr("Select all") + vTranslator.i18n
                                textFormat: Text.PlainText
                                font.pixelSize: 13
                                color: "#333333"
                            }

                            Image {
                                anchors.right: parent.right
                                anchors.rightMargin: 20
                                anchors.verticalCenter: parent.verticalCenter
                                width: 18
                                height: 18
                                source: tabPage.rows > 0 && tabPage.count === tabPage.rows
                                        ? "qrc:/images/session_page/sync_has_checked.png"
                                        : "qrc:/images/session_page/sync_not_checked.png"
                            }

                            MouseArea {
                                anchors.fill: parent
                                onClicked: dialog.selectAll(tabPage.tab)
                            }
                        }

                        ListView {
                            id: list

                            objectName: "syncList" + tabPage.tab
                            anchors.top: selectAllLine.bottom
                            anchors.bottom: parent.bottom
                            width: parent.width
                            clip: true
                            model: tabPage.tab === 0 ? contactsManager : groupManager
                            delegate: Item {
                                readonly property var entry: model.modelData

                                width: list.width
                                height: 55

                                VRoundImage {
                                    id: avatar

                                    x: 20
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: 45
                                    height: 45
                                    source: entry ? (tabPage.tab === 0 ? entry.logo : entry.grouplogo) : ""
                                    champflag: entry && tabPage.tab === 0 ? entry.champflag : 0

                                    VOfficialIndicatorTesmo {
                                        anchors.right: parent.right
                                        anchors.bottom: parent.bottom
                                        visible: entry !== null && tabPage.tab === 1 && entry.title === 1
                                    }
                                }

                                Text {
                                    anchors.left: avatar.right
                                    anchors.leftMargin: 12
                                    anchors.right: mark.left
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: entry ? (tabPage.tab === 0 ? entry.name : entry.groupname) : ""
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
                                    source: entry && entry.isSync ? "qrc:/images/session_page/sync_has_checked.png"
                                                                  : "qrc:/images/session_page/sync_not_checked.png"
                                }

                                MouseArea {
                                    anchors.fill: parent
                                    onClicked: if (entry) dialog.flip(tabPage.tab, entry)
                                }
                            }
                        }
                    }
                }
            }
        }

        VBusyButton {
            id: okButton

            objectName: "okButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 15
            text: qsTr("OK") + vTranslator.i18n
            onClicked: dialog.accept()
        }
    }
}
