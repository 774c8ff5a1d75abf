import QtQuick 2.12

// The founding-member ring framing an avatar, its crown at the top right.
Item {
    Image {
        anchors.fill: parent
        source: "qrc:/images/session_page/founding_member.png"
    }

    Image {
        anchors.right: parent.right
        anchors.top: parent.top
        width: parent.width * 70 / 146
        height: width * 86 / 70
        anchors.rightMargin: -width / 4
        anchors.topMargin: -height / 3
        source: "qrc:/images/session_page/founding_member_head.png"
    }
}
