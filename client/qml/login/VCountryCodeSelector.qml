import QtQuick 2.12
import "../VDialogTable.js" as DialogTable

// The dialling code of the phone form; a click opens the country list.
Item {
    id: selector

    property string countryCodeText: "+86"
    property string searchInputHolderPlaceText: qsTr("Search") + vTranslator.i18n
    property var popup: null

    function togglePopup() {
        if (popup !== null) {
            popup.close()
            popup.destroy()
            popup = null
        }
        var component = Qt.createComponent(DialogTable.url("VCountryCodeSelectorPopupWindow.qml"))
        if (component.status !== Component.Ready) {
            console.error("cannot load VCountryCodeSelectorPopupWindow.qml:", component.errorString().trim())
            return
        }
        var place = mapToGlobal(0, height)
        popup = component.createObject(selector, {
            x: place.x, y: place.y, searchInputHolderPlaceText: searchInputHolderPlaceText
        })
        popup.currentCodeChanged.connect(function() {
            selector.countryCodeText = "+" + popup.currentCode
            popup.close()
        })
        popup.show()
        popup.requestActivate()
    }

    width: label.implicitWidth + 16
    height: 30

    Text {
        id: label

        anchors.verticalCenter: parent.verticalCenter
        text: selector.countryCodeText
        font.pixelSize: 13
        color: "#333333"
    }

    Image {
        anchors.left: label.right
        anchors.leftMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        width: 8
        height: 5
        source: "qrc:/images/down_arrow.png"
    }

    MouseArea {
        anchors.fill: parent
        onClicked: selector.togglePopup()
    }
}
