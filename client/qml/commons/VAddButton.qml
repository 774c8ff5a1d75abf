import QtQuick 2.12
import "VOwnedPopup.js" as OwnedPopup
import "../VDialogTable.js" as DialogTable

// The add button of the list pages' title area; opens the add menu below itself.
Image {
    id: addButton

    property var _menu: null

    // Opens the add menu just below the button.
    function openMenu() {
        if (!_menu)
            _menu = OwnedPopup.create(addButton, DialogTable.url("VAddButtonMenu.qml"))
        if (_menu)
            _menu.popup(0, height)
    }

    objectName: "addButton"

    width: 27
    height: 22
    source: "qrc:/images/session_page/add_session.png"
    opacity: area.pressed ? 0.5 : (area.containsMouse ? 0.9 : 1)

    MouseArea {
        id: area

        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: addButton.openMenu()
    }
}
