import QtQuick 2.12
import "../translator"

// The line under a member grid: loads the next page of members, then expands the
// grid by 200 at a time, and collapses it when everything shows.
Text {
    id: button

    property int normalShowCount: 5
    property int allMemberCount: 0
    property int currentMaxShowCount: normalShowCount
    property string fromid: ""
    property bool loadFinished: false
    property bool hasInit: false

    readonly property int _pageSize: 200

    signal loadMoreMembers()

    function reset() { hasInit = false }

    function collectMoreMembers() { currentMaxShowCount = normalShowCount }

    function seeMoreOrLess() {
        if (currentMaxShowCount === normalShowCount)
            currentMaxShowCount = Math.min(allMemberCount, _pageSize)
        else if (currentMaxShowCount >= allMemberCount)
            currentMaxShowCount = normalShowCount
        else
            currentMaxShowCount = Math.min(allMemberCount, currentMaxShowCount + _pageSize)
    }

    text: allMemberCount > currentMaxShowCount ? VTr.loadMore : VTr.collectMore
    textFormat: Text.PlainText
    font.pixelSize: 13
    color: "#03C087"
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (button.allMemberCount > button.currentMaxShowCount) {
                if (!button.loadFinished)
                    button.loadMoreMembers()
                else
                    button.seeMoreOrLess()
            } else {
                button.collectMoreMembers()
            }
        }
    }
}
