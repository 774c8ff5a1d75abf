import QtQuick 2.12
import QtQuick.Controls 2.12

// What the login window draws at its first frame, with none of its workings: the
// same window type and style, frame, pictures, texts and sizes, a still QR code.
// Shown by startup_look, it tells what the look alone costs to start.
ApplicationWindow {
    width: 617
    height: 434
    flags: Qt.Window | Qt.FramelessWindowHint
    color: "transparent"
    visible: true
    title: "Tesmo Chat"

    Rectangle {
        anchors.fill: parent
        anchors.margins: 2
        radius: 5
        color: "#FFFFFF"
        clip: true

        Item {
            width: 293
            height: 430

            Image {
                anchors.fill: parent
                source: "login_bg_00.png"
            }

            Column {
                x: 30
                y: 50
                spacing: 10

                Text { text: "欢迎来到"; color: "#FFFFFF"; font.pixelSize: 18 }
                Text { text: "Tesmo Chat"; color: "#FFFFFF"; font.pixelSize: 30; font.bold: true }
                Text { text: "从这里开启你的数字生活"; color: "#FFFFFF"; font.pixelSize: 14 }
            }
        }

        Image {
            x: 293
            width: 320
            height: 430
            source: "login_backgroud.png"

            Image {
                x: (parent.width - width) / 2
                y: 102
                width: 170
                height: 170
                sourceSize: Qt.size(340, 340)
                smooth: true
                source: "login_look_qr.png"

                Image {
                    anchors.centerIn: parent
                    width: 36
                    height: 36
                    source: "qrcode_logo.png"
                }
            }

            Column {
                anchors.horizontalCenter: parent.horizontalCenter
                y: 102 + 170 + 20
                spacing: 8

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    horizontalAlignment: Text.AlignHCenter
                    font.pixelSize: 16
                    color: "#333333"
                    text: "手机扫描\n二维码登录"
                }
                Text {
                    width: 260
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    font.pixelSize: 12
                    color: "#999999"
                    text: "桌面版TesmoChat需配合手机使用登录"
                }
            }
        }

        Image {
            x: 14
            y: 14
            width: 12
            height: 12
            source: "mac_close_normal.png"
        }
    }
}
