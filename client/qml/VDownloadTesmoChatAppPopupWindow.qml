import QtQuick 2.12
import "commons"
import "translator"

// The QR picture that leads to the mobile app's download page.
VDialog {
    width: 290
    height: 410
    windowTitle: VTr.downloadTesmoChatApp

    Image {
        parent: contentArea
        anchors.fill: parent
        source: "qrc:/images/login_page/login_backgroud.png"

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 60
            width: 170
            height: 170
            source: "qrc:/images/erweima.png"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 60 + 170 + 20
            horizontalAlignment: Text.AlignHCenter
            text: VTr.mobileScanQRCodeDownload
            color: "#666666"
            font.pixelSize: 14
        }
    }
}
