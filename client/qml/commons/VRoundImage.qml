import QtQuick 2.12
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

    // The circle: a square of the smaller side, centred.
    Item {
        id: mask

        anchors.centerIn: parent
        width: roundImage._diameter
        height: width
    }

    // The picture inside the circle, its edge smoothed over about a pixel: one pass
    // straight from the picture's texture, where a mask item would cost two more
    // off-screen passes and a handful of items for every avatar.
    ShaderEffect {
        property variant source: picture
        property real edge: width > 0 ? 1 / width : 0

        anchors.fill: mask
        visible: roundImage._ready
        fragmentShader: "
            varying highp vec2 qt_TexCoord0;
            uniform sampler2D source;
            uniform lowp float qt_Opacity;
            uniform highp float edge;
            void main() {
                highp float inside = 1.0 - smoothstep(0.5 - edge, 0.5, distance(qt_TexCoord0, vec2(0.5)));
                gl_FragColor = texture2D(source, qt_TexCoord0) * (inside * qt_Opacity);
            }"
    }

    Image {
        anchors.fill: parent
        source: roundImage.defaultSource
        sourceSize: Qt.size(200, 200)
        asynchronous: true
        visible: !roundImage._ready
    }

    // Badges are rare: made only for an avatar that shows one.
    Item {
        anchors.fill: parent
        anchors.margins: -1
        visible: roundImage.initialMemberBadge

        Loader {
            anchors.fill: parent
            active: parent.visible
            sourceComponent: VOfficialIndicatorInitialMember {}
        }
    }

    Loader {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        active: roundImage.groupMemberBadge
        sourceComponent: VOfficialIndicatorGroupMember {}
    }

    Loader {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        active: roundImage.organizationMemberBadge
        sourceComponent: VOfficialIndicatorOrganizationMember {}
    }
}
