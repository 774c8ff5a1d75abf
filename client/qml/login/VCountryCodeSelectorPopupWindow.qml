import QtQuick 2.12
import "../commons"

// The country list under the selector, with its search field.
VPopupWindow {
    id: countryPopup

    property int currentCode: -1
    property string searchInputHolderPlaceText: ""
    readonly property alias model: countries

    width: 190
    height: 240

    Rectangle {
        anchors.fill: parent
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"

        VTextInput {
            id: search

            objectName: "countrySearch"
            x: 15
            y: 5
            width: 160
            height: 30
            maximumLength: 30
            verticalAlignment: TextInput.AlignVCenter
            placeholderText: countryPopup.searchInputHolderPlaceText
            focus: true
            onTextChanged: countries.reshow(text.trim())
            KeyNavigation.tab: list
            KeyNavigation.down: list
        }

        ListView {
            id: list

            property int lastShown: 0

            // The next shown row in a direction, or -1.
            function nextShown(from, step) {
                for (var i = from + step; i >= 0 && i < countries.count; i += step)
                    if (countries.get(i).show)
                        return i
                return -1
            }

            function move(step) {
                var next = nextShown(currentIndex, step)
                currentIndex = next >= 0 ? next : lastShown
                lastShown = currentIndex
            }

            x: 5
            y: 40
            width: parent.width - 10
            height: parent.height - y - 5
            clip: true
            model: VCountriesAndRegionsModel { id: countries }
            highlight: Rectangle { color: "#ECECEC" }
            highlightFollowsCurrentItem: true
            Keys.onUpPressed: move(-1)
            Keys.onDownPressed: move(1)
            Keys.onReturnPressed: if (currentIndex >= 0) countryPopup.currentCode = Number(countries.get(currentIndex).code)

            delegate: Item {
                width: list.width
                height: show ? 25 : 0
                visible: show

                Text {
                    x: 8
                    width: parent.width - 70
                    anchors.verticalCenter: parent.verticalCenter
                    text: translator.split("&&")[Math.min(1, vTranslator.language)]
                    elide: Text.ElideRight
                    font.pixelSize: 12
                    color: "#333333"
                }

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: "+" + code
                    font.pixelSize: 12
                    color: "#8E8E93"
                }

                MouseArea {
                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: {
                        list.currentIndex = index
                        list.lastShown = index
                    }
                    onClicked: countryPopup.currentCode = Number(code)
                }
            }
        }
    }
}
