import QtQuick 2.12
import "../translator"
import "VChatLogic.js" as Logic

// A price quote of a coin; a click opens the quote page.
VMessageBubble {
    id: quotes

    readonly property int padding: 10

    width: Math.max(228, Math.max(top.implicitWidth, values.implicitWidth) + 2 * padding)
    height: column.height + 2 * padding

    Column {
        id: column

        x: quotes.padding
        y: quotes.padding
        width: quotes.width - 2 * quotes.padding
        spacing: 8

        Item {
            id: top

            implicitWidth: coinRow.width + more.width + 20
            width: parent.width
            height: 18

            Row {
                id: coinRow

                spacing: 6

                Image {
                    width: 18
                    height: 18
                    source: quotes.msg.coinImg
                    sourceSize: Qt.size(36, 36)
                    asynchronous: true
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: quotes.msg.coin + "/USDT"
                    textFormat: Text.PlainText
                    font.pixelSize: 14
                    font.bold: true
                    color: quotes.textColor
                }
            }

            Row {
                id: more

                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4

                Text {
                    text: VTr.quotesTime
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    color: "#999999"
                }
                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    source: "qrc:/images/session_page/time_quotes_indicator.png"
                }
            }
        }

        Grid {
            id: values

            columns: 2
            columnSpacing: 24
            rowSpacing: 4

            Repeater {
                model: [
                    [VTr.quitesFinalPrice, quotes.msg.close], [VTr.quitesHighPrice, quotes.msg.high],
                    [VTr.quitesVolume, quotes.msg.amount], [VTr.quitesLowPrice, quotes.msg.low]
                ]

                Text {
                    text: modelData[0] + " " + Logic.roundTwo(modelData[1])
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    color: quotes.textColor
                }
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (mouse.button === Qt.RightButton)
                quotes.emitRightClicked(mouse.x, mouse.y, quotes.msg.content)
            else
                vGlobal.showQuotesPopupWindow(quotes.msg.content)
        }
    }
}
