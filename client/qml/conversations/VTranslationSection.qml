import QtQuick 2.12

// Under a text or a recognised voice text: a divider, the translation, the switch to
// another language at its top right and the translation's label. Made only once
// the message has a translation: most never get one.
Loader {
    id: section

    property var bubble: null
    property string translation: ""
    // The text a new translation starts from.
    property string toTr: ""
    property int modelId: -1
    property real viewWidth: 800
    property string labelText: ""

    active: translation !== ""
    visible: active
    sourceComponent: Column {
        id: content

        spacing: 6

        function openSwitch() {
            var view = section.bubble ? section.bubble.view : null
            if (!view || typeof view.showTranslationSwitchMenu !== "function")
                return
            var place = switchIcon.mapToItem(view, 0, switchIcon.height)
            // The 400-wide popup ends at the icon beside a sent bubble.
            var x = section.bubble.isSend ? place.x + switchIcon.width - 400 : place.x
            view.showTranslationSwitchMenu(x, place.y, section.toTr, section.modelId)
        }

        Rectangle {
            width: Math.max(translated.width, label.width + 20)
            height: 1
            color: section.bubble && section.bubble.isSend ? "#55FFFFFF" : "#E5E5E5"
        }

        Item {
            width: translated.width + switchIcon.width + 4
            height: translated.height

            VMessageTextContent {
                id: translated

                plainText: section.translation
                isSend: section.bubble ? section.bubble.isSend : false
                selectionKey: section.modelId + "TRANSLATION"
                viewWidth: section.viewWidth - switchIcon.width
                onContextRequested: {
                    if (section.bubble) {
                        var point = translated.mapToItem(section.bubble, x, y)
                        section.bubble.emitTranslationRightClicked(point.x, point.y, copyText)
                    }
                }
            }

            Image {
                id: switchIcon

                anchors.right: parent.right
                anchors.top: parent.top
                width: 14
                height: 14
                source: section.bubble && section.bubble.isSend
                        ? "qrc:/images/session_page/translation_switch_send.png"
                        : "qrc:/images/session_page/translation_switch_receive.png"

                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -4
                    cursorShape: Qt.PointingHandCursor
                    onClicked: content.openSwitch()
                }
            }
        }

        Row {
            id: label

            spacing: 4

            Image {
                width: 12
                height: 12
                anchors.verticalCenter: parent.verticalCenter
                source: "qrc:/images/session_page/translate_icon.png"
            }
            Text {
                text: section.labelText
                textFormat: Text.PlainText
                font.pixelSize: 10
                color: section.bubble && section.bubble.isSend ? "#AAAAAA" : "#999999"
            }
        }
    }
}
