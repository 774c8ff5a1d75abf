import QtQuick 2.12

// The corner badge of an avatar: organisation user.
Image {
    width: 15
    height: 15
    source: "qrc:/images/session_page/personal_indicatori.png"
}
