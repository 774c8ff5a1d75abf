import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Dialogs 1.3
import QtQuick.Layouts 1.12
import QtQuick.Window 2.12
import VSystemTrayIcon 1.0
import "commons"
import "settings"
import "translator"
import "VDialogTable.js" as DialogTable

// The main window of the signed-in program: the left bar with the own avatar
// and the tab icons, the tab pages, the window buttons, the tray icon and the
// dialogs that the pages ask for through vGlobal.
VWindow {
    id: mainPage

    readonly property bool autoMaxWebPage: false
    property var __popup: null
    property bool leftBarVisible: true
    property alias currentTab: tabs.currentIndex
    property alias trayIcon: trayIcon
    property alias kickOutDialog: kickOutDialog
    property alias alertMessage: alertMessage
    property alias alertWaiting: alertWaiting
    // The picture chooser of the profile editor shown last (made anew each time).
    property var logoChooser: null
    readonly property alias chatsPage: chatTab.content
    readonly property alias webPage: webTab.content
    // Dialogs made on demand, by file name.
    property var _dialogs: ({})
    // Where each file made on demand lives (file name -> resource path).
    property var dialogPaths: DialogTable.paths

    // The text of the unread badge: nothing at 0, "99+" above 99.
    function badgeText(count) {
        if (!(count > 0))
            return ""
        return count > 99 ? "99+" : String(count)
    }

    function reshow() {
        show()
        raise()
        requestActivate()
    }

    // The dialog of the table made as a child of parentItem; null when the table
    // has no such file or it does not load.
    function _tryCreate(file, parentItem) {
        var path = dialogPaths[file]
        if (path === undefined) {
            console.log("not available:", file, "is no dialog of the table")
            return null
        }
        var component = Qt.createComponent(path)
        if (component.status === Component.Ready)
            return component.createObject(parentItem)
        console.log("not available:", file, component.errorString().trim())
        return null
    }

    // Made once, as a child of the page; a file that does not load leaves its
    // slot empty, so that the next request tries again.
    function dialogSlot(file) {
        if (_dialogs[file])
            return _dialogs[file]
        var made = _tryCreate(file, page)
        if (made !== null)
            _dialogs[file] = made
        return made
    }

    // A dialog of the table: the settings popup goes first.
    function dialog(file) {
        if (__popup !== null)
            __popup.close()
        var made = dialogSlot(file)
        if (made !== null)
            centreOver(made)
        return made
    }

    // Without a window manager nobody places a dialog: a hidden one is put
    // over the middle of this window before it shows.
    function centreOver(window) {
        if (window.visible || window.transientParent === undefined)
            return
        window.x = mainPage.x + Math.round((mainPage.width - window.width) / 2)
        window.y = mainPage.y + Math.round((mainPage.height - window.height) / 2)
    }

    function showDialog(file) {
        var made = dialog(file)
        if (made !== null)
            made.show()
        return made
    }

    function openChat(account, isGroup) {
        selectTab(0)
        if (chatTab.content !== null)
            chatTab.content.openSession(account, isGroup)
    }

    // The quote window stands beside the page, or inside its right edge when
    // the window fills the screen.
    function showQuotes(showUrl) {
        var quotes = dialogSlot("VQuotesPopupWindow.qml")
        if (quotes === null)
            return null
        var origin = page.mapToGlobal(0, 0)
        var margin = page.anchors.margins
        if (!isFullScreen) {
            quotes.x = origin.x + page.width
            quotes.y = origin.y - 5
            quotes.containerHeight = Math.max(600, page.height + margin)
        } else {
            quotes.x = origin.x + page.width - quotes.width
            quotes.y = origin.y + VSettings.titleBarAreaHeight
            quotes.containerHeight = Math.min(850, page.height + margin)
        }
        quotes.webViewUrl = showUrl
        quotes.show()
        return quotes
    }

    function selectTab(index) {
        if (index === 2 && autoMaxWebPage && !isFullScreen) {
            if (vGlobal.osIsWindows)
                showMaximized()
            else
                showFullScreen()
        }
        tabs.currentIndex = index
        if (index !== 2) {
            leftBarVisible = true
            hideTimer.restart()
        }
    }

    function openSettingsPopup(globalPos) {
        var component = Qt.createComponent(DialogTable.url("VSettingsPopupWindow.qml"))
        if (component.status !== Component.Ready) {
            console.error("cannot load VSettingsPopupWindow.qml:", component.errorString().trim())
            return
        }
        if (__popup !== null)
            __popup.destroy()
        __popup = component.createObject(page)
        if (__popup === null)
            return
        __popup.x = globalPos.x
        __popup.y = globalPos.y
        __popup.editUserInfoClicked.connect(openUserInfoEditor)
        __popup.systemSettingsClicked.connect(function() {
            showDialog("VSystemSettingsPopupWindow.qml")
        })
        __popup.checkUpdateClicked.connect(function() {
            showDialog("VCheckUpdatePopupWindow.qml")
        })
        __popup.show()
    }

    // The profile editor, made once; from the settings popup it starts without a
    // newly chosen picture.
    function openUserInfoEditor() {
        var file = "VUserInfoEditPopupWindow.qml"
        var made = !_dialogs[file]
        var editor = dialog(file)
        if (editor === null)
            return null
        if (made)
            editor.openUploadDialog.connect(function() { mainPage.openLogoChooser(editor) })
        editor.logoPath = ""
        editor.show()
        return editor
    }

    // The picture chooser of the editor's "Local upload". Meanwhile the editor is a
    // plain frameless window, so that the chooser can stand over it.
    function openLogoChooser(editor) {
        if (__popup !== null)
            __popup.close()
        // A new chooser window each time: without a window manager a window shown
        // again keeps its old place in the stack, under the editor raised since.
        if (logoChooser !== null)
            logoChooser.destroy()
        logoChooser = logoChooserComponent.createObject(page)
        if (logoChooser === null)
            return
        logoChooser.editor = editor
        logoChooser.editorFlags = editor.flags
        // A pictures folder that is not there would leave the chooser in the working folder.
        var pictures = logoChooser.shortcuts.pictures
        var folder = vGlobal.isDir(pictures) ? pictures : logoChooser.shortcuts.home
        editor.flags = Qt.FramelessWindowHint | Qt.Window
        // Qt's own chooser takes a folder only while it shows, and only one that
        // differs from the last: otherwise it starts in the working folder, or
        // where the user last went.
        logoChooser.folder = ""
        logoChooser.open()
        logoChooser.folder = folder
    }

    function _logoChooserDone(fileUrl) {
        var editor = logoChooser.editor
        logoChooser.editor = null
        if (editor === null)
            return
        editor.flags = logoChooser.editorFlags
        if (fileUrl !== "")
            editor.logoPath = fileUrl
        editor.show()
        editor.raise()
        editor.requestActivate()
    }

    // Closing only hides the window while the tray can bring it back;
    // without a tray the window goes to the taskbar instead.
    function closeToTray() {
        if (trayIcon.available)
            hide()
        else
            showMinimized()
    }

    minimumWidth: Math.min(915, Screen.width)
    minimumHeight: Math.min(600, Screen.height)
    width: Math.max(915, 0.915 * Math.min(Screen.width, Screen.height))
    height: Math.max(600, 0.6 * Math.min(Screen.width, Screen.height))

    onClosing: {
        if (close.accepted && visibility !== Window.FullScreen) {
            close.accepted = false
            closeToTray()
        }
    }
    onVisibleChanged: {
        if (!visible)
            quotesHolder.closeAll()
    }
    onVisibilityChanged: {
        if (!isFullScreen) {
            leftBarVisible = true
            hideTimer.restart()
        } else if (tabs.currentIndex === 2) {
            hideTimer.restart()
        }
    }

    Shortcut {
        sequence: "Esc"
        onActivated: {
            if (!vGlobal.osIsWindows && mainPage.visibility === Window.FullScreen)
                mainPage.showNormal()
            vGlobal.escapePressed()
        }
    }

    Rectangle {
        id: page

        anchors.fill: parent
        anchors.margins: mainPage.isFullScreen ? 0 : 2
        radius: mainPage.isFullScreen ? 0 : 5
        color: "#FFFFFF"
        clip: true

        MouseArea {
            anchors.fill: parent
            onPressed: if (mouse.button === Qt.LeftButton) mainPage.startSystemMove()
            onDoubleClicked: {
                if (mouse.y > 60)
                    return
                if (vGlobal.osIsWindows) {
                    if (mainPage.visibility === Window.Maximized)
                        mainPage.showNormal()
                    else
                        mainPage.showMaximized()
                } else if (mainPage.visibility !== Window.FullScreen) {
                    mainPage.showFullScreen()
                }
            }
        }

        StackLayout {
            id: tabs

            x: currentIndex === 2 && mainPage.isFullScreen ? 0 : leftBar.width - 1
            width: page.width - x
            height: page.height

            Item {
                id: chatTab

                property var content: null

                Component.onCompleted: content = mainPage._tryCreate("VSessionListPage.qml", chatTab)
            }

            Item {
                id: contactTab

                property var content: null

                Component.onCompleted: content = mainPage._tryCreate("VContactsListPage.qml", contactTab)
            }

            Item {
                id: webTab

                property var content: null
                property bool _asked: false

                // The host is looked up once, when the tab is first shown; the look-up
                // probes the listed hosts off this thread and the page loads when it
                // answers. An empty host would make "https://" alone: then nothing loads.
                onVisibleChanged: {
                    if (!visible || _asked)
                        return
                    _asked = true
                    imLoginManager.lookUpCurrentProUrl()
                }

                function load(host) {
                    if (!_asked || content !== null || !host)
                        return
                    content = mainPage._tryCreate("VWebEngineView.qml", webTab)
                    // A host, or (from a test deployment) a whole address.
                    if (content !== null)
                        content.url = host.indexOf("://") > 0 ? host : "https://" + host
                }

                Connections {
                    target: imLoginManager

                    function onCurrentProUrlReady(host) {
                        webTab.load(host)
                    }
                }
            }

            Item {
                id: appsTab

                Column {
                    anchors.centerIn: parent
                    spacing: 20

                    Image {
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: 245
                        height: 200
                        source: "qrc:/images/index_page/function_creating.png"
                    }

                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: VTr.underConstruction
                        color: "#999999"
                        font.pixelSize: 14
                    }
                }
            }
        }

        Rectangle {
            id: leftBar

            width: mainPage.leftBarVisible ? 65 : 5
            height: parent.height
            color: "#333333"
            clip: true

            Behavior on width { NumberAnimation { duration: 500 } }

            MouseArea {
                id: leftBarArea

                anchors.fill: parent
                hoverEnabled: true
                onPressed: mainPage.startSystemMove()
            }

            VMacWindowButtonBar {
                visible: !vGlobal.osIsWindows && mainPage.leftBarVisible
                x: 3
                y: 10
                onClose: {
                    if (mainPage.visibility === Window.FullScreen)
                        mainPage.close()
                    else
                        mainPage.closeToTray()
                }
                onMinimize: mainPage.showMinimized()
                onMaximize: if (mainPage.visibility !== Window.FullScreen) mainPage.showFullScreen()
            }

            VRoundImage {
                id: avatar

                objectName: "ownAvatar"
                x: (65 - width) / 2
                y: vGlobal.osIsWindows ? 30 : 74
                width: 44
                height: 44
                visible: mainPage.leftBarVisible
                source: vConfig.currentUserLogo
                champflag: vConfig.champflag
                opacity: avatarArea.pressed ? 0.5 : (avatarArea.containsMouse ? 1 : 0.9)

                MouseArea {
                    id: avatarArea

                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: mainPage.openSettingsPopup(avatar.mapToGlobal(avatar.width, avatar.height))
                }
            }

            Repeater {
                id: icons

                model: [
                    { "name": "chat", "tip": VTr.chats },
                    { "name": "contact", "tip": VTr.contacts },
                    { "name": "web", "tip": "Tesmo Global" }
                ]

                TabIcon {
                    y: avatar.y + avatar.height + 45 + index * (22 + 45)
                    name: modelData.name
                    tip: modelData.tip
                    tabIndex: index
                }
            }

            TabIcon {
                y: parent.height - 28 - height
                name: "apps"
                tip: VTr.apps
                tabIndex: 3
            }

            Rectangle {
                id: badge

                readonly property string text: mainPage.badgeText(sessionManager.unReadMsgCount)

                objectName: "unreadBadge"
                visible: text !== "" && mainPage.leftBarVisible
                x: (65 + 22) / 2 - 6
                y: avatar.y + avatar.height + 45 - 7
                height: 14
                width: Math.max(14, badgeLabel.implicitWidth + 8)
                radius: 7
                color: "#F7334B"

                Text {
                    id: badgeLabel

                    anchors.centerIn: parent
                    text: badge.text
                    color: "#FFFFFF"
                    font.pixelSize: 10
                }
            }
        }

        // Shows the hidden left bar when the pointer touches the left edge.
        MouseArea {
            width: 6
            height: parent.height
            enabled: mainPage.isFullScreen && tabs.currentIndex === 2
            hoverEnabled: true
            onEntered: {
                mainPage.leftBarVisible = true
                hideTimer.restart()
            }
        }

        VConnectStatusBar {
            anchors.top: parent.top
            anchors.right: parent.right
            width: parent.width - leftBar.width
        }

        Item {
            id: quotesHolder

            function closeAll() {
                var quotes = mainPage._dialogs["VQuotesPopupWindow.qml"]
                if (quotes)
                    quotes.close()
            }
        }

        VWindowButtonBar {
            visible: vGlobal.osIsWindows
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.topMargin: tabs.currentIndex === 2 ? -5 : 13
            anchors.rightMargin: tabs.currentIndex === 2 ? 10 : 5
            onMinimize: mainPage.showMinimized()
            onMaximize: mainPage.visibility === Window.Maximized ? mainPage.showNormal() : mainPage.showMaximized()
            onClose: mainPage.closeToTray()
        }

        // Every mouse event stays here while a dialog shows.
        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            visible: vGlobal.dialogShowing === 1
            color: "#40171616"

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.AllButtons
                onWheel: wheel.accepted = true
            }
        }
    }

    VDragHelper {
        anchors.fill: parent
        mainPage: mainPage
    }

    Timer {
        id: hideTimer

        interval: 3000
        onTriggered: {
            if (tabs.currentIndex !== 2 || !mainPage.isFullScreen)
                return
            if (leftBarArea.containsMouse)
                restart()
            else
                mainPage.leftBarVisible = false
        }
    }

    VAlertWaiting {
        id: alertWaiting
    }

    VAlertMessage {
        id: alertMessage
    }

    VReceiveKickOutPopupWindow {
        id: kickOutDialog
    }

    VSystemTrayIcon {
        id: trayIcon

        objectName: "trayIcon"
        visible: true
        icon: "qrc:/tesmo_chat.ico"
        toolTip: mainPage.title
        menu: VMenu {
            VAction {
                text: VTr.restore
                font.pointSize: 16
                onTriggered: trayIcon.trigger()
            }
            VAction {
                text: VTr.quit
                font.pointSize: 16
                onTriggered: trayIcon.onExit()
            }
        }
        onTrigger: mainPage.reshow()
    }

    // The picture chooser of the profile editor.
    Component {
        id: logoChooserComponent

        FileDialog {
            property var editor: null
            property int editorFlags: 0

            title: VTr.chooseAImage
            nameFilters: [VTr.imageFiles + " (" + vGlobal.supportImageFormat + ")"]
            // Modal for the whole program: the editor it opens over has the keyboard, and
            // when it loses it to a window-modal chooser Qt hands the keyboard on to the
            // main window, not to the chooser.
            modality: Qt.ApplicationModal
            onAccepted: mainPage._logoChooserDone(String(fileUrl))
            onRejected: mainPage._logoChooserDone("")
        }
    }

    Connections {
        target: imLoginManager

        function onRecvKickOut(msg) {
            if (mainPage.__popup !== null)
                mainPage.__popup.close()
            if (!kickOutDialog.visible) {
                mainPage.centreOver(kickOutDialog)
                kickOutDialog.show()
            }
        }
    }

    // The dialogs of the pages, made on the first request and kept.
    Connections {
        target: vGlobal

        function onCreateGroupChat() {
            var made = mainPage.dialog("VGroupMembersManagerPopupWindow.qml")
            if (made !== null)
                made.createGroup("")
        }
        function onAddGroupMembers() {
            var made = mainPage.dialog("VGroupMembersManagerPopupWindow.qml")
            if (made !== null)
                made.addMembers()
        }
        function onDeleteGroupMembers() {
            var made = mainPage.dialog("VGroupMembersManagerPopupWindow.qml")
            if (made !== null)
                made.deleteMembers()
        }
        function onAddMembersForSingleChat() {
            var made = mainPage.dialog("VGroupMembersManagerPopupWindow.qml")
            if (made !== null)
                made.createGroup(sessionManager.currentSessionId)
        }
        function onAddGroupManagers(managersCount) {
            var made = mainPage.dialog("VGroupManagersManagerPopupWindow.qml")
            if (made !== null)
                made.addManagers(managersCount)
        }
        function onDeleteGroupManagers() {
            var made = mainPage.dialog("VGroupManagersManagerPopupWindow.qml")
            if (made !== null)
                made.deleteManagers()
        }
        function onTransferGroup() {
            mainPage.showDialog("VTransferGroupPopupWindow.qml")
        }
        function onOpenSyncToContactsWindow() {
            mainPage.showDialog("VSyncToContactsPopupWindow.qml")
        }
        function onOpenSyncToContactsCheckedConfirmWindow() {
            mainPage.showDialog("VSyncToContactsConfirmPopupWindow.qml")
        }
        function onForwardMessage(id, message, msgtype) {
            var made = mainPage.dialog("VForwardPopupWindow.qml")
            if (made !== null)
                made.open(id, message, msgtype)
        }
        function onShowCodeEnterGroupPopupWindow() {
            mainPage.showDialog("VCodeEnterGroupPopupWindow.qml")
        }
        function onShowSearchAddFriendPopupWindow() {
            mainPage.showDialog("VSearchAddFriendPopupWindow.qml")
        }
        function onShowGroupsInCommon() {
            mainPage.showDialog("VGroupsInCommonPopupWindow.qml")
        }
        function onShowDownloadTesmoChatAppPopupWindow() {
            mainPage.showDialog("VDownloadTesmoChatAppPopupWindow.qml")
        }
    }

    // A message for a chat not on screen: the taskbar entry asks for attention
    // until the window is activated (an active window is not marked).
    Connections {
        target: vGlobal

        function onMessagesReceivedAlert() {
            mainPage.alert(0)
        }
    }

    // The pages' requests to open a conversation.
    Connections {
        target: vGlobal

        function onCreateGroupChatSuccessed(groupid, groupname, parentid) {
            mainPage.selectTab(0)
            if (chatTab.content !== null)
                chatTab.content.afterCreateGroupChatSuccessed(groupid, groupname, parentid)
        }
        function onOpenChat(account, isGroup) {
            mainPage.openChat(account, isGroup)
        }
        function onOpenChatWithNameAndIcon(account, isGroup, name, icon) {
            mainPage.selectTab(0)
            if (chatTab.content !== null)
                chatTab.content.openSessionWithNameAndIcon(account, isGroup, name, icon)
        }
        function onMessageAtMeClicked(account) {
            mainPage.openChat(account, true)
            mainPage.reshow()
        }
        function onShowQuotesPopupWindow(showUrl) {
            mainPage.showQuotes(showUrl)
        }
        function onMacOSDockClicked() {
            mainPage.reshow()
        }
    }

    component TabIcon: Item {
        property string name
        property string tip
        property int tabIndex

        x: (65 - 22) / 2
        width: 22
        height: 22
        visible: mainPage.leftBarVisible

        Image {
            anchors.fill: parent
            source: "qrc:/images/index_page/" + parent.name
                    + (tabs.currentIndex === parent.tabIndex ? "_pressed.png" : "_normal.png")
        }

        MouseArea {
            id: iconArea

            anchors.fill: parent
            anchors.margins: -10
            hoverEnabled: true
            onClicked: mainPage.selectTab(parent.tabIndex)
            onDoubleClicked: if (parent.tabIndex === 0) vGlobal.positionToUnReadSession()
        }

        VToolTip {
            visible: iconArea.containsMouse
            text: parent.tip
        }
    }
}
