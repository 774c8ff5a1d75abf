import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../settings"

// The emoji picker: numbered emoji, named emoji, stickers and (not yet in service)
// favourites, chosen by the icons along the bottom. A choice closes it.
VPopupWindow {
    id: emojiPopup

    property alias currentTab: tabs.currentIndex

    // The user is done with the picker (a pick or Escape): the keyboard goes back to
    // where the user was typing. Not on losing the keyboard to another window.
    signal done()

    // Emits the choice of a cell of the given tab and closes.
    function choose(tab, index) {
        if (tab === 0)
            vGlobal.emojiClicked("[q_" + VSettings.threeDigitsPadZero(index) + "]")
        else if (tab === 1)
            vGlobal.emojiClicked(VSettings.emojiListModel.get(index).translator.split("&&")[1])
        else if (tab === 2)
            vGlobal.emojiGifClicked("emotion_gif_" + VSettings.threeDigitsPadZero(index + 1))
        close()
        done()
    }

    function dismiss() {
        close()
        done()
    }

    function emojiSource(tab, index) {
        if (tab === 0)
            return VSettings.emojiListModel.numberedPrefix + VSettings.threeDigitsPadZero(index) + ".png"
        if (tab === 1)
            return VSettings.emojiListModel.get(index).emoji
        return VSettings.emojiListModel.stickerPrefix + VSettings.threeDigitsPadZero(index + 1) + ".png"
    }

    width: 400
    height: 350
    minimumWidth: 400
    maximumWidth: 400
    minimumHeight: 350
    maximumHeight: 350

    // The picker has the keyboard while it shows: the main window's Escape does not
    // reach it.
    Shortcut {
        sequence: "Esc"
        onActivated: emojiPopup.dismiss()
    }

    Rectangle {
        anchors.fill: parent
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"
        clip: true

        SwipeView {
            id: tabs

            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: bar.top
            anchors.margins: 5
            interactive: false
            clip: true
            currentIndex: 0

            VEmojiGrid {
                cellWidth: 45
                cellHeight: 45
                pictureSize: 28
                model: VSettings.emojiListModel.numberedCount
                pictureSource: function (index) { return emojiPopup.emojiSource(0, index) }
                onChosen: emojiPopup.choose(0, index)
            }
            VEmojiGrid {
                cellWidth: 45
                cellHeight: 45
                pictureSize: 32
                model: VSettings.emojiListModel.count
                pictureSource: function (index) { return emojiPopup.emojiSource(1, index) }
                onChosen: emojiPopup.choose(1, index)
            }
            VEmojiGrid {
                cellWidth: 72
                cellHeight: 72
                pictureSize: 64
                model: VSettings.emojiListModel.stickerCount
                pictureSource: function (index) { return emojiPopup.emojiSource(2, index) }
                onChosen: emojiPopup.choose(2, index)
            }

            Item {
                Text {
                    anchors.centerIn: parent
                    width: parent.width - 40
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: qsTr("Function is developing, please try on next version") + vTranslator.i18n
                    textFormat: Text.PlainText
                    font.pixelSize: 14
                    color: "#999999"
                }
            }
        }

        Rectangle {
            id: bar

            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: 40
            color: "#F5F5F5"

            Row {
                x: 5
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4

                Repeater {
                    model: ["qrc:/images/session_page/emoji00.png", "qrc:/images/session_page/emoji01.png",
                            "qrc:/images/session_page/emoji02.png",
                            "qrc:/images/session_page/emoji_my_favorite.png"]

                    Rectangle {
                        width: 40
                        height: 32
                        radius: 3
                        color: tabs.currentIndex === index ? "#FFFFFF" : "transparent"

                        Image {
                            anchors.centerIn: parent
                            width: 24
                            height: 24
                            source: modelData
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: tabs.currentIndex = index
                        }
                    }
                }
            }

            Image {
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                source: "qrc:/images/session_page/emoji_add.png"

                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: {
                        emojiPopup.close()
                        vGlobal.functionIsDeveloping()
                    }
                }
            }
        }
    }
}
