.pragma library

// The pages, dialogs, popups and parts that the program makes on demand: file
// name -> resource path. The QML load test loads every entry, so a moved or renamed
// file fails a test instead of leaving a dialog that never opens.
var paths = {
    "VCheckUpdatePopupWindow.qml": "qrc:/qml/popups/VCheckUpdatePopupWindow.qml",
    "VContactsListPage.qml": "qrc:/qml/VContactsListPage.qml",
    "VCodeEnterGroupPopupWindow.qml": "qrc:/qml/contacts/VCodeEnterGroupPopupWindow.qml",
    "VDownloadTesmoChatAppPopupWindow.qml": "qrc:/qml/VDownloadTesmoChatAppPopupWindow.qml",
    "VForwardPopupWindow.qml": "qrc:/qml/conversations/VForwardPopupWindow.qml",
    "VGroupManagersManagerPopupWindow.qml": "qrc:/qml/contacts/VGroupManagersManagerPopupWindow.qml",
    "VGroupMembersManagerPopupWindow.qml": "qrc:/qml/contacts/VGroupMembersManagerPopupWindow.qml",
    "VQuotesPopupWindow.qml": "qrc:/qml/conversations/VQuotesPopupWindow.qml",
    "VSessionListPage.qml": "qrc:/qml/conversations/VSessionListPage.qml",
    "VSearchAddFriendPopupWindow.qml": "qrc:/qml/contacts/VSearchAddFriendPopupWindow.qml",
    "VSyncToContactsConfirmPopupWindow.qml": "qrc:/qml/contacts/VSyncToContactsConfirmPopupWindow.qml",
    "VSyncToContactsPopupWindow.qml": "qrc:/qml/contacts/VSyncToContactsPopupWindow.qml",
    "VSystemSettingsPopupWindow.qml": "qrc:/qml/popups/VSystemSettingsPopupWindow.qml",
    "VTransferGroupPopupWindow.qml": "qrc:/qml/contacts/VTransferGroupPopupWindow.qml",
    "VUserInfoEditPopupWindow.qml": "qrc:/qml/VUserInfoEditPopupWindow.qml",
    "VWebEngineView.qml": "qrc:/qml/VWebEngineView.qml",

    // Windows and menus opened from the pages.
    "VAddButtonMenu.qml": "qrc:/qml/popups/VAddButtonMenu.qml",
    "VContactInfoPopupWindow.qml": "qrc:/qml/contacts/VContactInfoPopupWindow.qml",
    "VCountryCodeSelectorPopupWindow.qml": "qrc:/qml/login/VCountryCodeSelectorPopupWindow.qml",
    "VInputAreaMenu.qml": "qrc:/qml/popups/VInputAreaMenu.qml",
    "VSettingsPopupWindow.qml": "qrc:/qml/popups/VSettingsPopupWindow.qml",
    "VUsingTermsContent.qml": "qrc:/qml/VUsingTermsContent.qml",

    // The chat page's popups, drawers and parts.
    "VAlertSomeoneAtMe.qml": "qrc:/qml/conversations/VAlertSomeoneAtMe.qml",
    "VAtSomebodyPopupWindow.qml": "qrc:/qml/conversations/VAtSomebodyPopupWindow.qml",
    "VChatItemMenu.qml": "qrc:/qml/conversations/VChatItemMenu.qml",
    "VEmojiPopupWindow.qml": "qrc:/qml/conversations/VEmojiPopupWindow.qml",
    "VFileOpenOptionsMenu.qml": "qrc:/qml/conversations/VFileOpenOptionsMenu.qml",
    "VGroupSettingsDrawer.qml": "qrc:/qml/contacts/VGroupSettingsDrawer.qml",
    "VScreenshot.qml": "qrc:/qml/screenshot/VScreenshot.qml",
    "VSingleChatDrawer.qml": "qrc:/qml/contacts/VSingleChatDrawer.qml",
    "VTextArea.qml": "qrc:/qml/conversations/VTextArea.qml",
    "VTimeMsgCom.qml": "qrc:/qml/conversations/VTimeMsgCom.qml",
    "VTranslationSwitchPopupWindow.qml": "qrc:/qml/conversations/VTranslationSwitchPopupWindow.qml",

    // The message components of the chat view's rows.
    "VGroupNotifyMsgCom.qml": "qrc:/qml/conversations/VGroupNotifyMsgCom.qml",
    "VNotSupportCom.qml": "qrc:/qml/conversations/VNotSupportCom.qml",
    "VNotSupportSelfCom.qml": "qrc:/qml/conversations/VNotSupportSelfCom.qml",
    "VReceiveAudioMsgCom.qml": "qrc:/qml/conversations/VReceiveAudioMsgCom.qml",
    "VReceiveFileMsgCom.qml": "qrc:/qml/conversations/VReceiveFileMsgCom.qml",
    "VReceiveGifMsgCom.qml": "qrc:/qml/conversations/VReceiveGifMsgCom.qml",
    "VReceiveImageMsgCom.qml": "qrc:/qml/conversations/VReceiveImageMsgCom.qml",
    "VReceiveQuitesMsgCom.qml": "qrc:/qml/conversations/VReceiveQuitesMsgCom.qml",
    "VReceiveRedEnvelopeNotifyMsgCom.qml": "qrc:/qml/conversations/VReceiveRedEnvelopeNotifyMsgCom.qml",
    "VReceiveTextMsgCom.qml": "qrc:/qml/conversations/VReceiveTextMsgCom.qml",
    "VRevokeNotifyMsgCom.qml": "qrc:/qml/conversations/VRevokeNotifyMsgCom.qml",
    "VSendAudioMsgCom.qml": "qrc:/qml/conversations/VSendAudioMsgCom.qml",
    "VSendFileMsgCom.qml": "qrc:/qml/conversations/VSendFileMsgCom.qml",
    "VSendGifMsgCom.qml": "qrc:/qml/conversations/VSendGifMsgCom.qml",
    "VSendImageMsgCom.qml": "qrc:/qml/conversations/VSendImageMsgCom.qml",
    "VSendQuitesMsgCom.qml": "qrc:/qml/conversations/VSendQuitesMsgCom.qml",
    "VSendRedEnvelopeNotifyMsgCom.qml": "qrc:/qml/conversations/VSendRedEnvelopeNotifyMsgCom.qml",
    "VSendTextMsgCom.qml": "qrc:/qml/conversations/VSendTextMsgCom.qml"
}

// The resource path of a file of the table. A name the table lacks is an error
// (the QML load test fails on any), never a silently empty place.
function url(file) {
    var path = paths[file]
    if (path === undefined) {
        console.error("not in the dialog table:", file)
        return ""
    }
    return path
}
