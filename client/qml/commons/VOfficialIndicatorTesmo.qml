import QtQuick 2.12

// The corner badge of an avatar: official group.
Image {
    width: 15
    height: 15
    source: "qrc:/images/session_page/official_indicator_tesmo.png"
}
