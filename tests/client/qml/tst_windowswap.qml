import QtQuick 2.12
import QtTest 1.12

// The splash window swaps login window -> main window -> kick-out -> login
// window, releasing each old window with its tray icon once.
Item {
    id: root

    // Object properties forget an object once it is destroyed.
    QtObject {
        id: held

        property QtObject login
        property QtObject main
        property QtObject tray
        property QtObject dialog
    }

    SignalSpy { id: loginPages; target: vGlobal; signalName: "showLoginPage" }

    TestCase {
        name: "WindowSwap"
        when: windowShown

        function findChild(item, name) {
            if (item.objectName === name)
                return item
            var kids = item.children || []
            for (var i = 0; i < kids.length; ++i) {
                var found = findChild(kids[i], name)
                if (found)
                    return found
            }
            return null
        }

        function test_loginMainKickOutLogin() {
            classManager.createPostClass()
            var component = Qt.createComponent("qrc:/qml/VSplashPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            var splash = component.createObject(null)
            verify(!splash.visible)

            var login = splash.currentWindow
            verify(login !== null)
            verify(login.hasOwnProperty("qrcodeLoginOnly"))
            verify(login.visible)
            compare(login.transientParent, null)

            vGlobal.showIndexPage()
            var main = splash.currentWindow
            verify(main !== login)
            verify(main.hasOwnProperty("leftBarVisible"))
            verify(main.visible)
            compare(main.transientParent, null)
            held.login = login
            tryVerify(function() { return held.login === null }, 5000, "the login window is released")
            var tray = main.trayIcon
            verify(tray !== null)

            held.main = main
            held.tray = tray
            held.dialog = main.kickOutDialog
            loginPages.clear()
            imLoginManager.recvKickOut("elsewhere")
            var dialog = main.kickOutDialog
            verify(dialog.visible)
            // A second kick-out while the dialog shows changes nothing.
            imLoginManager.recvKickOut("elsewhere")
            verify(dialog.visible)
            dialog.close()
            compare(loginPages.count, 1)
            var again = splash.currentWindow
            verify(again.hasOwnProperty("qrcodeLoginOnly"))
            verify(again.visible)
            tryVerify(function() { return held.main === null && held.tray === null && held.dialog === null },
                      5000, "the main window goes with its tray icon and dialogs")
            compare(loginPages.count, 1)
            again.destroy()
            splash.destroy()
        }

        // An alert open at a kick-out goes with its window: the next session starts
        // with no alert showing, so its dialogs dim the window again.
        function test_kickOutWithAnAlertShowing() {
            classManager.createPostClass()
            var component = Qt.createComponent("qrc:/qml/VSplashPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            var splash = component.createObject(null)
            vGlobal.showIndexPage()
            var main = splash.currentWindow
            verify(main.hasOwnProperty("leftBarVisible"))
            vGlobal.functionIsDeveloping()
            verify(main.alertMessage.visible)
            verify(vGlobal.alertMessageShowing)
            held.main = main
            imLoginManager.recvKickOut("elsewhere")
            main.kickOutDialog.close()
            tryVerify(function() { return held.main === null }, 5000, "the main window is released")
            compare(vGlobal.alertMessageShowing, false)
            vGlobal.setDialogShowing(true)
            compare(vGlobal.dialogShowing, 1)
            vGlobal.setDialogShowing(false)
            splash.currentWindow.destroy()
            splash.destroy()
        }

        function test_badgeText_data() {
            return [
                { tag: "none", count: 0, text: "" },
                { tag: "negative", count: -1, text: "" },
                { tag: "one", count: 1, text: "1" },
                { tag: "fifteen", count: 15, text: "15" },
                { tag: "99", count: 99, text: "99" },
                { tag: "100", count: 100, text: "99+" },
            ]
        }

        function test_badgeText(data) {
            classManager.createPostClass()
            var component = Qt.createComponent("qrc:/qml/VIndexPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            var main = component.createObject(null, { visible: false })
            compare(main.badgeText(data.count), data.text)
            sessionManager.unReadMsgCount = data.count
            var badge = findChild(main.contentItem, "unreadBadge")
            compare(badge.visible, data.text !== "")
            compare(badge.text, data.text)
            sessionManager.unReadMsgCount = 0
            main.destroy()
        }
    }
}
