import QtQuick 2.12
import QtTest 1.12
import VTranslator 1.0
import "qrc:/qml/translator"

// A person changes the own picture against the local server: the avatar, its
// settings popup, the profile editor, "Local upload", a picture in the chooser
// and "Finished"; the main window's avatar then shows the new picture. The steps
// run in order and build on each other.
Item {
    id: root

    width: 200
    height: 100

    readonly property string me: "210001@people.test"
    readonly property color chosenColour: Qt.rgba(200 / 255, 30 / 255, 160 / 255, 1)
    property var main: null
    property var editor: null
    property string picturePath: ""
    property string logoBefore: ""

    TestCase {
        name: "ShellOnScreen"
        when: windowShown

        // A window shown lays out its content a moment later; clicks wait for it.
        function laidOut(window) {
            tryVerify(function() { return window.visible && window.contentItem.height === window.height })
            wait(50)
        }

        function initTestCase() {
            vTranslator.setCurrentLanguage(VLanguage.EN_US)
            verify(e2e.serverStarted())
            verify(e2e.login("13900000101", "101010"))
            compare(vConfig.currentAccount, root.me)
            root.logoBefore = vConfig.currentUserLogo
            var component = Qt.createComponent("qrc:/qml/VIndexPage.qml")
            compare(component.status, Component.Ready, component.errorString())
            root.main = component.createObject(null)
            verify(root.main !== null)
            root.main.x = 100
            root.main.y = 50
            root.main.show()
            laidOut(root.main)
        }

        function cleanupTestCase() {
            if (root.main !== null)
                root.main.destroy()
        }

        function test_1_settingsPopupFromTheAvatar() {
            var avatar = findChild(root.main.contentItem, "ownAvatar")
            verify(avatar !== null)
            mouseClick(avatar)
            var popup = root.main.__popup
            verify(popup !== null)
            laidOut(popup)
            verify(e2e.shot("01-settings-popup"))
            mouseClick(findChild(popup.contentItem, "editUserInfo"))
            root.editor = root.main._dialogs["VUserInfoEditPopupWindow.qml"]
            verify(root.editor !== undefined)
            laidOut(root.editor)
            verify(!popup.visible)
            compare(root.editor.logoPath, "")
            verify(e2e.shot("02-profile-editor"))
        }

        function test_2_localUploadOpensTheChooser() {
            root.picturePath = e2e.picture("my new picture.png", root.chosenColour)
            verify(root.picturePath !== "")
            mouseClick(findChild(root.editor.contentItem, "localUpload"))
            tryVerify(function() { return e2e.chooser().exposed === true }, 10000, "the chooser's window shows")
            var chooser = e2e.chooser()
            compare(chooser.title, VTr.chooseAImage)
            compare(chooser.folder, e2e.picturesFolder())
            compare(chooser.filters, [VTr.imageFiles + " (*.png *.jpeg *.jpg *.bmp *.gif)"])
            wait(300)
            verify(e2e.shot("03-file-chooser"))
        }

        // Each time the chooser opens it stands above the editor, also without a
        // window manager to raise it.
        function test_2b_chooserStaysOnTopEveryTime() {
            verify(e2e.chooserAbove(root.editor), "the chooser is above the editor the first time")
            for (var time = 2; time <= 3; ++time) {
                verify(e2e.cancelChooser())
                tryVerify(function() { return e2e.chooser().exposed !== true }, 10000, "the chooser closed")
                tryVerify(function() { return root.editor.visible }, 5000)
                mouseClick(findChild(root.editor.contentItem, "localUpload"))
                tryVerify(function() { return e2e.chooser().exposed === true }, 10000, "the chooser shows again")
                tryVerify(function() { return e2e.chooserAbove(root.editor) }, 5000,
                          "the chooser is above the editor, time " + time)
            }
            verify(e2e.shot("03b-file-chooser-again"))
        }

        function test_3_choosingAPicture() {
            verify(e2e.choose(root.picturePath))
            tryVerify(function() { return root.editor.logoPath !== "" }, 5000)
            compare(decodeURIComponent(root.editor.logoPath), "file://" + root.picturePath)
            verify(root.editor.visible)
            wait(300)
            verify(e2e.shot("04-picture-chosen"))
        }

        function test_4_finishedChangesTheAvatar() {
            mouseClick(findChild(root.editor.contentItem, "finishButton"))
            tryVerify(function() { return vConfig.currentUserLogo !== root.logoBefore }, 30000,
                      "the new picture is stored")
            verify(String(vConfig.currentUserLogo).indexOf("http://127.0.0.1:") === 0, vConfig.currentUserLogo)
            tryVerify(function() { return !root.editor.visible }, 5000)
            var avatar = findChild(root.main.contentItem, "ownAvatar")
            compare(String(avatar.source), vConfig.currentUserLogo)
            tryCompare(avatar, "status", Image.Ready, 10000)
            verify(root.main.alertMessage.visible)
            wait(600)
            verify(e2e.shot("05-update-successed"))
            root.main.alertMessage.close()
            tryCompare(root.main.alertMessage, "visible", false)
            wait(600)
            verify(e2e.shot("06-new-avatar"))
            if (!e2e.onScreen())
                return
            // The avatar stands a little see-through on the left bar ("#333333").
            // The screen follows the loaded picture a few frames later.
            var centre = avatar.mapToGlobal(avatar.width / 2, avatar.height / 2)
            var seen = function(part) { return avatar.opacity * part + (1 - avatar.opacity) * 0x33 / 255 }
            tryVerify(function() {
                var shown = e2e.screenColour(Math.round(centre.x), Math.round(centre.y))
                return Math.abs(shown.r - seen(root.chosenColour.r)) < 0.03
                        && Math.abs(shown.g - seen(root.chosenColour.g)) < 0.03
                        && Math.abs(shown.b - seen(root.chosenColour.b)) < 0.03
            }, 10000, "the avatar shows the chosen picture")
        }
    }
}
