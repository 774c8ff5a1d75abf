import QtQuick 2.12

// The corner badge of an avatar: corporate group user.
Image {
    width: 15
    height: 15
    source: "qrc:/images/session_page/official_indicator_media.png"
}
