import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/commons"
import "qrc:/qml/screenshot"

// On a real X server without a window manager nobody hands the keyboard on when a
// window goes: the window a closed popup, capture or dialog belongs to takes it back,
// with the focus where it was (the message input); a dialog takes the keyboard when
// it opens, with the focus in its first field.
Item {
    width: 100
    height: 100

    Window {
        id: owner

        x: 40
        y: 40
        width: 300
        height: 200
        visible: true
        color: "#2E8B57"

        TextInput {
            id: input

            anchors.fill: parent
            focus: true
        }

        VPopupWindow {
            id: popup

            x: 380
            y: 40
            width: 120
            height: 80
        }

        VDialog {
            id: dialog

            x: 380
            y: 160
            width: 240
            height: 180

            Item {
                parent: dialog.contentArea
                anchors.fill: parent

                Text {
                    text: "Fields"
                }
                TextInput {
                    y: 20
                    width: 100
                    height: 20
                    readOnly: true
                    text: "read only"
                }
                VSearchBar {
                    y: 45
                }
                VTextInput {
                    id: firstField

                    objectName: "firstField"
                    y: 85
                    width: 100
                    height: 20
                }
                VTextInput {
                    y: 110
                    width: 100
                    height: 20
                }
            }
        }

        VScreenshot {
            id: shot
        }
    }

    TestCase {
        name: "KeyboardReturn"
        when: windowShown

        function ownerHasTheKeyboard() {
            owner.requestActivate()
            input.forceActiveFocus()
            tryCompare(input, "activeFocus", true, 10000)
        }

        function test_closedPopupGivesTheKeyboardBack() {
            ownerHasTheKeyboard()
            popup.show()
            tryCompare(popup.contentItem, "activeFocus", true, 10000)
            verify(!input.activeFocus)
            // As the emoji picker closes itself after a pick.
            popup.close()
            tryCompare(input, "activeFocus", true, 10000)
        }

        function test_dialogTakesTheKeyboardAndGivesItBack() {
            ownerHasTheKeyboard()
            dialog.show()
            // The first field that takes typing: not the read-only one, not the search
            // bar whose search does not work.
            tryCompare(firstField, "activeFocus", true, 10000)
            dialog.close()
            tryCompare(input, "activeFocus", true, 10000)
        }

        function test_closedCaptureGivesTheKeyboardBack() {
            ownerHasTheKeyboard()
            shot.openAndPostion(owner.x + 10, owner.y + 10)
            tryCompare(shot, "visible", true, 10000)
            tryCompare(shot.contentItem, "activeFocus", true, 10000)
            shot.cancel()
            tryCompare(input, "activeFocus", true, 10000)
        }
    }
}
