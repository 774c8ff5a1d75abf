import QtQuick 2.12
import QtQuick.Window 2.12

// The reference: a bare ListView over a ListModel of plain-text rows, following
// its end as rows are appended.
Window {
    property alias view: view

    function add(text) {
        rows.append({"text": text})
        view.positionViewAtEnd()
    }

    width: 1366
    height: 768
    visible: true

    ListModel {
        id: rows
    }

    ListView {
        id: view

        anchors.fill: parent
        model: rows
        delegate: Text {
            width: view.width
            padding: 8
            text: model.text
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }
    }
}
