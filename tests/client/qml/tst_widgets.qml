import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.12
import "qrc:/qml/commons"
import "qrc:/qml/translator"

// The shared widgets and their edge cases.
Item {
    id: root

    width: 400
    height: 300

    VDelayTriggeredSwitch {
        id: delayedSwitch

        width: 300
        text: "Message tone"
    }

    SignalSpy { id: switchClicks; target: delayedSwitch; signalName: "clicked" }
    SignalSpy { id: switchTriggers; target: delayedSwitch; signalName: "delayTriggered" }

    Item {
        id: tipHost

        width: 400
        height: 300

        z: -1

        VWarningTip { id: warningTip }
    }

    SignalSpy { id: tipTexts; target: warningTip; signalName: "textChanged" }

    VLoadingMoreButton {
        id: moreButton

        width: 100
        height: 20
        y: 60
    }

    SignalSpy { id: loadRequests; target: moreButton; signalName: "loadMoreMembers" }

    VRoundImage {
        id: avatar

        x: 340
        y: 60
        width: 40
        height: 40
    }

    VTextInput {
        id: input

        width: 200
        height: 30
        y: 100
    }

    SignalSpy { id: tooLong; target: input; signalName: "enteredTooLong" }

    VSearchBar {
        id: searchBar

        y: 140
    }

    SignalSpy { id: developing; target: vGlobal; signalName: "functionIsDeveloping" }

    VPopupWindow {
        id: popup

        width: 100
        height: 100
        closeOnActiveLost: false
    }

    SignalSpy { id: popupOpened; target: popup; signalName: "opened" }
    SignalSpy { id: popupClosed; target: popup; signalName: "closed" }

    VRollingText {
        id: rolling

        y: 230
        width: 60
        height: 20
        interval: 10
    }

    VLoading {
        id: spinner

        x: 250
        y: 140

        running: false
    }

    // A window as the resize handles see it.
    QtObject {
        id: pageStub

        property real x: 100
        property real y: 100
        property real width: 600
        property real height: 400
        property real minimumWidth: 300
        property real minimumHeight: 200
        property int visibility: Window.Windowed
    }

    VDragHelper {
        id: dragHelper

        anchors.fill: undefined
        width: 10
        height: 10
        mainPage: pageStub
    }

    VWindowButtonBar {
        id: buttonBar

        x: 300
        y: 250
    }

    SignalSpy { id: closeClicks; target: buttonBar; signalName: "close" }

    TestCase {
        name: "Widgets"
        when: windowShown

        // Keys go to the test window; a popup window may have taken the activation.
        function activateTestWindow() {
            var window = root.Window.window
            // Active, and delivering focus again.
            tryVerify(function () {
                window.requestActivate()
                input.forceActiveFocus()
                return input.activeFocus
            }, 5000)
        }

        function test_delayedSwitchFiresOnceAfterTheLastClick() {
            switchClicks.clear()
            switchTriggers.clear()
            var before = delayedSwitch.checked
            for (var i = 0; i < 3; ++i)
                mouseClick(delayedSwitch, 10, delayedSwitch.height / 2)
            compare(switchClicks.count, 3)
            compare(delayedSwitch.checked, !before)
            // Nothing until the burst is over, then exactly one trigger.
            compare(switchTriggers.count, 0)
            tryCompare(switchTriggers, "count", 1, 10000)
            wait(1500)
            compare(switchTriggers.count, 1)
        }

        function test_warningTip() {
            warningTip.text = "No network"
            verify(warningTip.visible)
            tryCompare(warningTip, "height", 50, 5000)
            compare(warningTip.width, Math.max(260, Math.min(warningTip.width, tipHost.width - 30)))
            // The same text again changes nothing, so it does not prolong the tip.
            tipTexts.clear()
            warningTip.text = "No network"
            compare(tipTexts.count, 0)
            // It closes by itself, emptied.
            tryCompare(warningTip, "visible", false, 10000)
            compare(warningTip.text, "")
            tryCompare(warningTip, "height", 0, 5000)
            // An empty text closes it at once.
            warningTip.text = "Again"
            verify(warningTip.visible)
            warningTip.text = ""
            verify(!warningTip.visible)
            warningTip.text = "Closed by hand"
            warningTip.closeWarning()
            verify(!warningTip.visible)
            compare(warningTip.text, "")
        }

        function test_loadingMoreButtonSteps() {
            moreButton.allMemberCount = 450
            moreButton.loadFinished = false
            moreButton.collectMoreMembers()
            loadRequests.clear()
            compare(moreButton.text, VTr.loadMore)
            // Pages come first.
            mouseClick(moreButton)
            compare(loadRequests.count, 1)
            compare(moreButton.currentMaxShowCount, 5)
            moreButton.loadFinished = true
            var steps = [200, 400, 450, 5]
            for (var i = 0; i < steps.length; ++i) {
                mouseClick(moreButton)
                compare(moreButton.currentMaxShowCount, steps[i])
            }
            compare(loadRequests.count, 1)
            moreButton.currentMaxShowCount = 450
            compare(moreButton.text, VTr.collectMore)
            moreButton.hasInit = true
            moreButton.reset()
            verify(!moreButton.hasInit)
        }

        function test_badgesByChampflag_data() {
            return [
                { tag: "none", flag: 0, ring: false, group: false, organization: false },
                { tag: "founding", flag: 1, ring: true, group: false, organization: false },
                { tag: "organisation", flag: 2, ring: false, group: false, organization: true },
                { tag: "founding and group", flag: 5, ring: true, group: true, organization: false },
                { tag: "group wins", flag: 6, ring: false, group: true, organization: false },
                { tag: "negative", flag: -1, ring: false, group: false, organization: false }
            ]
        }

        function test_badgesByChampflag(data) {
            avatar.champflag = data.flag
            compare(avatar.initialMemberBadge, data.ring)
            compare(avatar.groupMemberBadge, data.group)
            compare(avatar.organizationMemberBadge, data.organization)
            var shown = []
            for (var i = 0; i < avatar.children.length; ++i) {
                var child = avatar.children[i]
                if (child.visible && child.source === undefined && child.width > 0)
                    shown.push(child)
            }
            compare(shown.length, data.ring ? 1 : 0)
        }

        function test_roundImageFallsBackToTheDefaultPortrait() {
            avatar.source = ""
            compare(avatar.status, Image.Null)
            avatar.source = "qrc:/images/no_such_picture.png"
            tryCompare(avatar, "status", Image.Error, 5000)
            avatar.source = "qrc:/images/default_portrait.png"
            tryCompare(avatar, "status", Image.Ready, 5000)
        }

        function test_textInputLength() {
            input.maximumLength = 10
            input.text = "abcdefghijklmno"
            // Text set without the focus is not cut.
            compare(input.length, 15)
            input.text = ""
            activateTestWindow()
            input.forceActiveFocus()
            tooLong.clear()
            for (var i = 0; i < 10; ++i)
                keyClick(Qt.Key_A)
            compare(input.length, 10)
            keyClick(Qt.Key_B)
            compare(input.length, 10)
            compare(input.text, "aaaaaaaaaa")
            compare(tooLong.signalArguments[tooLong.count - 1][0], true)
            keyClick(Qt.Key_Backspace)
            compare(input.length, 9)
            compare(tooLong.signalArguments[tooLong.count - 1][0], false)
            input.focus = false
        }

        function test_searchBarWhileItsFunctionIsDeveloping() {
            developing.clear()
            searchBar.functionIsDeveloping = true
            mouseClick(searchBar, 60, searchBar.height / 2)
            compare(developing.count, 1)
            searchBar.forceActiveFocus()
            verify(!searchBar.searchInputActiveFocus)
            searchBar.functionIsDeveloping = false
            activateTestWindow()
            searchBar.forceActiveFocus()
            verify(searchBar.searchInputActiveFocus)
            keyClick(Qt.Key_X)
            compare(searchBar.text, "x")
            compare(searchBar.length, 1)
            searchBar.clear()
            compare(searchBar.text, "")
            searchBar.clearFocus()
            compare(developing.count, 1)
        }

        function test_popupStepsAsideForAnAlert() {
            popup.show()
            tryCompare(popup, "visible", true)
            popupOpened.clear()
            popupClosed.clear()
            vGlobal.alertMessageShowing = true
            verify(!popup.visible)
            vGlobal.alertMessageShowing = false
            verify(popup.visible)
            compare(popupOpened.count, 0)
            compare(popupClosed.count, 0)
            popup.close()
            compare(popupClosed.count, 1)
            // Hidden before the alert: it stays hidden afterwards.
            vGlobal.alertMessageShowing = true
            vGlobal.alertMessageShowing = false
            verify(!popup.visible)
        }

        function test_rollingText() {
            rolling.text = "short"
            compare(rolling.textItem.x, 0)
            rolling.text = "a text much wider than the sixty pixels of the item"
            tryVerify(function () { return rolling.textItem.x < -5 }, 5000)
            rolling.running = false
            rolling.visible = false
            compare(rolling.textItem.x, 0)
            rolling.visible = true
        }

        function test_loadingDotsLightThenGoOut() {
            spinner.turn = 0
            spinner.angle = 100
            var lit = []
            for (var i = 0; i < 8; ++i)
                lit.push(spinner.dotLit(i))
            compare(lit, [true, true, true, false, false, false, false, false])
            spinner.angle = 10  // the next turn
            compare(spinner.turn, 1)
            spinner.angle = 100
            verify(!spinner.dotLit(0) && !spinner.dotLit(2) && spinner.dotLit(3) && spinner.dotLit(7))
        }

        function test_dragHelperResizesWithinTheMinimum() {
            verify(dragHelper._resizable)
            compare(dragHelper.borderWidth, 5)
            dragHelper._drag(false, false, true, true, 700, 50)
            compare(pageStub.width, 700)
            compare(pageStub.height, 200)
            // From the left: the size shrinks by the pointer and x follows it.
            dragHelper._drag(true, false, false, false, 100, 0)
            compare(pageStub.width, 600)
            compare(pageStub.x, 200)
            // Outside the window the size grows.
            dragHelper._drag(true, true, false, false, -50, -20)
            compare(pageStub.width, 650)
            compare(pageStub.x, 150)
            compare(pageStub.height, 220)
            compare(pageStub.y, 80)
            // At the minimum the window neither shrinks nor moves.
            pageStub.width = 300
            dragHelper._drag(true, false, false, false, 40, 0)
            compare(pageStub.width, 300)
            compare(pageStub.x, 150)
            pageStub.visibility = Window.Maximized
            verify(!dragHelper._resizable)
            compare(dragHelper.borderWidth, 0)
            pageStub.visibility = Window.Windowed
        }

        function test_windowButtons() {
            closeClicks.clear()
            mouseClick(buttonBar, 62, 12)
            compare(closeClicks.count, 1)
        }
    }
}
