import QtQuick 2.12
import "../commons"
import "../translator"

// The @-mention picker: a transparent layer over the chat column (a click on it
// closes the picker) with a list of the group's members whose lower left corner
// stands at the point given to show. Owners and managers may mention everybody
// ("All") while no search text is typed.
Item {
    id: picker

    property bool canAtAll: false
    property bool atAllEnabled: true
    readonly property bool allShown: canAtAll && atAllEnabled
    // -1 is the "All" row.
    property int currentIndex: 0
    // The members found by the search (the input area passes the search's model).
    property var members: null
    readonly property int memberCount: members ? members.itemCount : 0
    // Whether accepting would mention someone: the highlighted row exists.
    readonly property bool hasChoice: currentIndex === -1 ? allShown : currentIndex >= 0 && currentIndex < memberCount

    signal acceptCurrentIndex()

    function show(posX, posY) {
        if (canAtAll)
            atAllEnabled = true
        box.x = posX
        box.y = posY - box.height
        _resetIndex()
        visible = true
    }

    function close() {
        visible = false
    }

    function indexUp() {
        if (currentIndex > (allShown ? -1 : 0))
            --currentIndex
        _keepInView()
    }

    function indexDown() {
        if (currentIndex < memberCount - 1)
            ++currentIndex
        _keepInView()
    }

    function _resetIndex() {
        currentIndex = canAtAll && atAllEnabled ? -1 : 0
    }

    function _keepInView() {
        if (currentIndex >= 0)
            list.positionViewAtIndex(currentIndex, ListView.Contain)
        else
            list.positionViewAtBeginning()
    }

    // Mentions the highlighted row; an index without a row does nothing.
    function accept(index) {
        if (index === -1 && allShown) {
            vGlobal.atSomebody(vGlobal.atAllMembers, "")
        } else if (index >= 0 && index < memberCount) {
            var member = members.get(index)
            if (member)
                vGlobal.atSomebody(member.account, member.name)
        } else {
            return
        }
        close()
    }

    anchors.fill: parent
    visible: false
    onCanAtAllChanged: _resetIndex()
    onAtAllEnabledChanged: _resetIndex()
    onAcceptCurrentIndex: accept(currentIndex)

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onPressed: picker.close()
    }

    Rectangle {
        id: box

        width: 150
        height: 200
        radius: 5
        color: "#FFFFFF"
        border.color: "#E5E5E5"
        clip: true

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        ListView {
            id: list

            anchors.fill: parent
            anchors.margins: 1
            model: picker.members
            boundsBehavior: Flickable.StopAtBounds
            header: Item {
                width: list.width
                height: picker.allShown ? 35 : 0
                visible: picker.allShown

                VAtSomebodyRow {
                    anchors.fill: parent
                    highlighted: picker.currentIndex === -1
                    logo: "qrc:/images/session_page/at_all_members.png"
                    name: VTr.all
                    onHovered: picker.currentIndex = -1
                    onClicked: picker.accept(-1)
                }
            }
            delegate: VAtSomebodyRow {
                width: list.width
                height: 35
                highlighted: picker.currentIndex === index
                logo: model.object ? model.object.logo : ""
                champflag: model.object ? model.object.champflag : 0
                name: model.object ? model.object.name : ""
                onHovered: picker.currentIndex = index
                onClicked: picker.accept(index)
            }
        }
    }
}
