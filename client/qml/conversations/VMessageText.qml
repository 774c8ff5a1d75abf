import QtQuick 2.12

// A text message: the text and, once translated, its translation.
VMessageBubble {
    id: textBubble

    readonly property int padding: 10

    width: Math.max(body.width, section.visible ? section.width : 0) + 2 * padding
    height: column.height + 2 * padding

    Column {
        id: column

        x: textBubble.padding
        y: textBubble.padding
        spacing: 6

        VMessageTextContent {

            menu: textBubble.row ? textBubble.row.menu : null
            id: body

            plainText: textBubble.msg.content
            isSend: textBubble.isSend
            selectionKey: textBubble.msg.id + "NONE"
            viewWidth: textBubble.viewWidth
            screenWidth: textBubble.screenWidth
            onContextRequested: {
                var point = body.mapToItem(textBubble, x, y)
                textBubble.emitRightClicked(point.x, point.y, copyText)
            }
        }

        VTranslationSection {
            id: section

            bubble: textBubble
            translation: textBubble.msg.translation
            toTr: textBubble.msg.content
            modelId: textBubble.msg.id
            viewWidth: textBubble.viewWidth
            labelText: qsTr("Tesmo Chat translate") + vTranslator.i18n
        }
    }
}
