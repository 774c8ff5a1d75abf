import QtQuick 2.12

// A short notice of a change that went through, for 3 s at the drawer's foot,
// clear of the chat's title and the group's own.
Rectangle {
    id: tip

    property string text: ""

    onTextChanged: {
        visible = text !== ""
        if (visible)
            tipTimer.restart()
    }

    x: 15
    y: (parent ? parent.height : 0) - height - 20
    width: (parent ? parent.width : 0) - 30
    height: tipRow.height + 24
    visible: false
    radius: 5
    color: "#CC333333"
    z: 10

    Timer {
        id: tipTimer

        interval: 3000
        onTriggered: tip.text = ""
    }

    Row {
        id: tipRow

        anchors.centerIn: parent
        spacing: 10

        Image {
            objectName: "successIcon"
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            source: "qrc:/images/index_page/selected.png"
        }

        Text {
            objectName: "successText"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, tip.width - 60)
            text: tip.text
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 14
            color: "white"
        }
    }
}
