import QtQuick 2.12
import "../commons"
import "../translator"

// Joins a group by its four-digit code. A wrong code empties the boxes for a new
// attempt and says why under them.
VDialog {
    id: dialog

    property var digits: ["", "", "", ""]
    readonly property string code: digits.join("")
    property bool isLoading: false
    property int resultValue: -1
    property bool networkWarning: false
    readonly property var boxes: [box0, box1, box2, box3]

    function errorText(result) {
        switch (result) {
        case -14: return VTr.codeError
        case -13: return VTr.codeExpired
        case -19: return VTr.codeInviteonly
        case -20: return VTr.codeDeny
        }
        return ""
    }

    function setDigit(position, digit) {
        var list = digits.slice()
        list[position] = digit
        digits = list
    }

    function entered(position) {
        setDigit(position, boxes[position].text)
        networkWarning = false
        for (var next = position + 1; next < 4; ++next) {
            if (digits[next] === "") {
                boxes[next].takeFocus(true)
                break
            }
        }
        if (code.length === 4)
            submit()
    }

    function submit() {
        // Nothing goes out without a connection; the code is asked for again.
        if (!vGlobal.serverReachable()) {
            networkWarning = true
            emptyBoxes()
            return
        }
        isLoading = true
        resultValue = -1
        groupManager.getGroupByPassword(code)
    }

    function emptyBoxes() {
        for (var i = 0; i < 4; ++i)
            boxes[i].clear()
        digits = ["", "", "", ""]
        box0.takeFocus(true)
    }

    width: 430
    height: 270
    windowTitleVisible: false

    onOpened: box0.takeFocus(true)
    onClosed: {
        resultValue = -1
        isLoading = false
        networkWarning = false
        emptyBoxes()
    }

    Connections {
        target: groupManager

        function onGetGroupByPasswordResult(result, groupid) {
            if (!dialog.isLoading)
                return
            dialog.isLoading = false
            dialog.resultValue = result
            // Joined only with the group to open.
            if (result === 1 && groupid !== "") {
                vGlobal.openChat(groupid, true)
                dialog.close()
            } else {
                dialog.emptyBoxes()
            }
        }
    }

    Item {
        parent: dialog.contentArea
        anchors.fill: parent

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 30
            text: VTr.enterCodeJoinGroup
            textFormat: Text.PlainText
            font.pixelSize: 16
            color: "#333333"
        }

        Row {
            id: boxRow

            anchors.horizontalCenter: parent.horizontalCenter
            y: 80
            spacing: 20
            visible: !dialog.isLoading

            VJoinGroupCodeTextInput {
                id: box0

                objectName: "codeBox0"
                onEnterFinished: dialog.entered(0)
                onToDelNext: box1.takeFocus(true)
                onTextChanged: dialog.setDigit(0, text)
            }
            VJoinGroupCodeTextInput {
                id: box1

                objectName: "codeBox1"
                onEnterFinished: dialog.entered(1)
                onToDelPrevious: box0.takeFocus(false)
                onToDelNext: box2.takeFocus(true)
                onTextChanged: dialog.setDigit(1, text)
            }
            VJoinGroupCodeTextInput {
                id: box2

                objectName: "codeBox2"
                onEnterFinished: dialog.entered(2)
                onToDelPrevious: box1.takeFocus(false)
                onToDelNext: box3.takeFocus(true)
                onTextChanged: dialog.setDigit(2, text)
            }
            VJoinGroupCodeTextInput {
                id: box3

                objectName: "codeBox3"
                onEnterFinished: dialog.entered(3)
                onToDelPrevious: box2.takeFocus(false)
                onTextChanged: dialog.setDigit(3, text)
            }
        }

        VLoadingGif {
            objectName: "codeLoading"
            anchors.centerIn: boxRow
            width: 50
            height: 50
            visible: dialog.isLoading
        }

        Row {
            objectName: "codeErrorLine"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: boxRow.bottom
            anchors.topMargin: 15
            spacing: 6
            visible: errorLabel.text !== ""

            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                source: "qrc:/images/session_page/code_error.png"
            }

            Text {
                id: errorLabel

                objectName: "codeErrorText"
                text: dialog.networkWarning ? VTr.checkNetworkConnection : dialog.errorText(dialog.resultValue)
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: "#F7334B"
            }
        }

        Rectangle {
            objectName: "cancelButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 25
            width: 120
            height: 34
            radius: 5
            color: cancelArea.containsMouse ? "#E5E5E5" : "#EEEEEE"

            Text {
                anchors.centerIn: parent
                text: VTr.cancel
                textFormat: Text.PlainText
                font.pixelSize: 14
                color: "#333333"
            }

            MouseArea {
                id: cancelArea

                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    dialog.isLoading = false
                    dialog.close()
                }
            }
        }
    }
}
