import QtQuick 2.12
import QtQuick.Controls 2.12
import "../commons"
import "../translator"

// The add button's menu: find a friend, join a group by code, start a group chat.
Menu {
    id: addMenu

    // Every entry shows. Their "visible" cannot tell: it reads false until the menu
    // is open, which would leave the menu at 56 with its texts cut.
    function fitWidth() {
        var widest = 56
        for (var i = 0; i < count; ++i) {
            var entry = itemAt(i)
            if (entry && entry.textPaintedWidth !== undefined)
                widest = Math.max(widest, entry.textPaintedWidth)
        }
        width = widest
    }

    topPadding: 8
    bottomPadding: 8
    implicitWidth: 56
    implicitHeight: topPadding + bottomPadding + 3 * 40
    width: 56
    onAboutToShow: fitWidth()

    background: VMenuBackgroundCom {}

    VMenuIconItem {
        text: VTr.addFriend
        iconSource: "qrc:/images/session_page/add_friend.png"
        onTriggered: vGlobal.showSearchAddFriendPopupWindow()
    }
    VMenuIconItem {
        text: VTr.codeEnterGroup
        iconSource: "qrc:/images/session_page/code_enter_group.png"
        onTriggered: vGlobal.showCodeEnterGroupPopupWindow()
    }
    VMenuIconItem {
        text: VTr.addGroupTip
        iconSource: "qrc:/images/session_page/add_group.png"
        onTriggered: vGlobal.createGroupChat()
    }
}
