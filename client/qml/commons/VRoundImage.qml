import QtQuick 2.12
import QtGraphicalEffects 1.0
import "../settings"

// A circular avatar. The default portrait stands in while the picture is missing
// or loading; badges follow the user's champflag bits.
Item {
    id: roundImage

    property alias source: picture.source
    property url defaultSource: "qrc:/images/default_portrait.png"
    readonly property alias imageItem: picture
    property alias sourceSize: picture.sourceSize
    property alias asynchronous: picture.asynchronous
    property alias autoTransform: picture.autoTransform
    property alias cache: picture.cache
    readonly property alias status: picture.status
    property int champflag: 0

    readonly property bool _ready: String(picture.source) !== "" && picture.status === Image.Ready
    readonly property real _diameter: _ready ? Math.min(width, height) : 0
    readonly property bool initialMemberBadge: champflag > 0 && (champflag & VSettings.initialMember) !== 0
    readonly property bool groupMemberBadge: champflag > 0 && (champflag & VSettings.groupMember) !== 0
    readonly property bool organizationMemberBadge: champflag > 0 && !groupMemberBadge
                                                    && (champflag & VSettings.organizationMember) !== 0

    width: 200
    height: 200

    Image {
        id: picture

        anchors.fill: parent
        sourceSize: Qt.size(200, 200)
        asynchronous: true
        autoTransform: false
        cache: true
        fillMode: Image.PreserveAspectCrop
        visible: false
    }

    Rectangle {
        id: mask

        anchors.centerIn: parent
        width: roundImage._diameter
        height: width
        radius: width / 2
        visible: false
    }

    OpacityMask {
        anchors.fill: mask
        source: picture
        maskSource: mask
        visible: roundImage._ready
    }

    Image {
        anchors.fill: parent
        source: roundImage.defaultSource
        sourceSize: Qt.size(200, 200)
        asynchronous: true
        visible: !roundImage._ready
    }

    VOfficialIndicatorInitialMember {
        anchors.fill: parent
        anchors.margins: -1
        visible: roundImage.initialMemberBadge
    }

    VOfficialIndicatorGroupMember {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: roundImage.groupMemberBadge
    }

    VOfficialIndicatorOrganizationMember {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: roundImage.organizationMemberBadge
    }
}
