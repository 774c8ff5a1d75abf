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
    // Rows loaded so far; -1 when every counted row is there to show.
    property int loadedCount: -1

    readonly property int _pageSize: 200
    readonly property int _loaded: loadedCount < 0 ? allMemberCount : loadedCount
    readonly property int _shown: Math.min(currentMaxShowCount, _loaded)
    // More to show: loaded rows still hidden, or pages still to fetch. A page can
    // hold fewer new rows than the grid may show, so the shown count alone does
    // not tell that everyone is there.
    readonly property bool hasMore: _shown < allMemberCount && (_shown < _loaded || !loadFinished)

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

    // A page arrived: the grid shows more, never less.
    function pageArrived() {
        if (currentMaxShowCount === normalShowCount)
            currentMaxShowCount = Math.min(allMemberCount, _pageSize)
        else if (currentMaxShowCount < allMemberCount)
            currentMaxShowCount = Math.min(allMemberCount, currentMaxShowCount + _pageSize)
    }

    text: hasMore ? VTr.loadMore : VTr.collectMore
    textFormat: Text.PlainText
    font.pixelSize: 13
    color: "#03C087"
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (button.hasMore) {
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
