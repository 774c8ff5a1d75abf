import QtQuick 2.12
import "../settings"
import "../translator"
import "VChatLogic.js" as Logic

// The notice left by a recalled message. The user's own recalled text can be put
// back into the input field for a while ("Re-edit"), in the run that recalled it.
Item {
    id: revoke

    // The message view's row that shows this message (set by whoever makes this).
    property var row: null
    // The row's message item; an empty stand-in outside a row.
    property var msg: Logic.rowMessage(row)
    readonly property bool own: msg.sendflag === 1
    readonly property bool editable: own && reeditable(msg.id, msg.sendtime)

    // Whether the recalled text may still be edited; a passed window drops it.
    function reeditable(id, sendtime) {
        if (!VSettings.recallMapContainsKey(id))
            return false
        if (vGlobal.isRecallMessageEditable(sendtime))
            return true
        VSettings.removeFromRecallMap(id)
        return false
    }

    function noticeHtml() {
        if (!own)
            return VSettings.escapeHtml(msg.name + VTr.someoneRecall)
        var html = VSettings.escapeHtml(VTr.youRecall)
        if (editable)
            html += " <a href=\"" + VSettings.recallReeditLink + "\" style=\"color:#3385FF;text-decoration:none\">"
                    + VSettings.escapeHtml(qsTr("Re-edit") + vTranslator.i18n) + "</a>"
        return html
    }

    width: parent ? parent.width : 400
    height: label.height + 10

    Text {
        id: label

        x: 40
        y: 5
        width: revoke.width - 80
        text: revoke.noticeHtml()
        textFormat: Text.StyledText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        font.pixelSize: 12
        color: "#999999"
        // The link is a marker, never opened.
        onLinkActivated: {
            if (link === VSettings.recallReeditLink && revoke.editable)
                vGlobal.reeditRecallMessage(VSettings.getValueFromRecallMap(revoke.msg.id))
        }

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.NoButton
            cursorShape: label.hoveredLink !== "" ? Qt.PointingHandCursor : Qt.ArrowCursor
        }
    }
}
