import QtQuick 2.12

// A red envelope: only announced here; it is opened on the phone.
VMessageFixedText {
    id: envelope

    fixedText: (isSend ? qsTr("[You sent a Tesmo Chat red envelope]")
                       : qsTr("[You receive a Tesmo Chat red envelope, please check it on your phone]"))
               + vTranslator.i18n

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onClicked: envelope.emitRightClicked(mouse.x, mouse.y, "")
    }
}
