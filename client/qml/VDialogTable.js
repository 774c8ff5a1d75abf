.pragma library

// The tab pages and dialogs the main window makes on demand: file name ->
// resource path. The QML load test loads every entry, so a moved or renamed file
// fails a test instead of leaving a dialog that never opens.
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
    "VWebEngineView.qml": "qrc:/qml/VWebEngineView.qml"
}
