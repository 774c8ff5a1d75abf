import QtQuick 2.12
import "../translator"

// A search field. While functionIsDeveloping is set it only reports clicks to
// vGlobal.functionIsDeveloping; pages whose search works clear it.
Rectangle {
    id: searchBar

    property alias text: input.text
    readonly property alias length: input.length
    property string placeholderText: VTr.search
    property alias validator: input.validator
    readonly property alias searchInputActiveFocus: input.activeFocus
    property bool functionIsDeveloping: true

    signal editingFinished()

    function clear() { input.clear() }
    function clearFocus() { input.focus = false }
    // forceActiveFocus() (of the item) focuses the input only when the search works.
    function _passFocus() {
        if (activeFocus && !functionIsDeveloping)
            input.forceActiveFocus()
    }

    onActiveFocusChanged: _passFocus()
    onFunctionIsDevelopingChanged: _passFocus()

    width: 174
    height: 33
    radius: 5
    color: "#F5F6F7"

    Image {
        id: searchIcon

        anchors.left: parent.left
        anchors.leftMargin: 11
        anchors.verticalCenter: parent.verticalCenter
        width: 13
        height: 13
        source: "qrc:/images/search_country_code.png"
    }

    VTextInput {
        id: input

        anchors.left: searchIcon.right
        anchors.leftMargin: 8
        anchors.right: clearIcon.left
        anchors.rightMargin: 6
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        font.pixelSize: 13
        maximumLength: 100
        placeholderText: searchBar.placeholderText
        onEditingFinished: searchBar.editingFinished()
    }

    MouseArea {
        anchors.fill: input
        enabled: searchBar.functionIsDeveloping
        visible: enabled
        onClicked: vGlobal.functionIsDeveloping()
    }

    Image {
        id: clearIcon

        anchors.right: parent.right
        anchors.rightMargin: 15
        anchors.verticalCenter: parent.verticalCenter
        width: 14
        height: 14
        source: "qrc:/images/search_bar_clear.png"
        visible: input.text !== ""

        VHoveredMouseArea {
            anchors.fill: parent
            onClicked: input.clear()
        }
    }
}
