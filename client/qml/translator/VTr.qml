pragma Singleton
import QtQuick 2.12

// The texts shared by several screens. Each is looked up by its English source text;
// the second argument of qsTr holds the Chinese wording. Appending vTranslator.i18n
// (always empty) makes every binding follow a language switch.
QtObject {
    readonly property string addAdminSuccessed: qsTr("New group administrator(s) was added successfully", "新的群管理员添加成功") + vTranslator.i18n
    readonly property string addFriend: qsTr("Add friend", "添加好友") + vTranslator.i18n
    readonly property string addGroupManagers: qsTr("Add manager(s)", "添加管理员") + vTranslator.i18n
    readonly property string addGroupManagersFailed: qsTr("Add group managers failed", "添加群管理员失败") + vTranslator.i18n
    readonly property string addGroupMembersFailed: qsTr("Add group members failed", "添加群成员失败") + vTranslator.i18n
    readonly property string addGroupTip: qsTr("Add Group Chat", "发起群聊") + vTranslator.i18n
    readonly property string addMembers: qsTr("Add members", "添加成员") + vTranslator.i18n
    readonly property string all: qsTr("All", "全部") + vTranslator.i18n
    readonly property string allFiles: qsTr("All files", "所有文件") + vTranslator.i18n
    readonly property string apps: qsTr("Apps", "应用") + vTranslator.i18n
    readonly property string atAll: qsTr("@ all", "@ 所有人") + vTranslator.i18n
    readonly property string atMe: qsTr("@ me", "@ 我") + vTranslator.i18n
    readonly property string audio: qsTr("Audio", "语音") + vTranslator.i18n
    readonly property string autoMoveToTop: qsTr("Auto move to top", "自动置顶") + vTranslator.i18n
    readonly property string bannedAll: qsTr("Total silence", "全员禁言") + vTranslator.i18n
    readonly property string bannedJoin: qsTr("Ban anyone join", "禁止任何人加入") + vTranslator.i18n
    readonly property string bannedPictures: qsTr("This group has banned sending pictures", "本群已禁止发送图片") + vTranslator.i18n
    readonly property string bannedSendPictures: qsTr("Ban sending pictures", "禁止发送图片") + vTranslator.i18n
    readonly property string bannedSendUrls: qsTr("Ban sending urls", "禁止发送链接") + vTranslator.i18n
    readonly property string bannedSingleChat: qsTr("Ban members chat separately", "禁止成员私聊") + vTranslator.i18n
    readonly property string bannedSingleChatTip: qsTr("This group has been set to ban members chat separately", "本群已设置禁止成员私聊") + vTranslator.i18n
    readonly property string bannedSpeechAll: qsTr("This group has banned speech", "本群已全员禁言") + vTranslator.i18n
    readonly property string bannedSpeechYourself: qsTr("You have been banned", "你已被禁言") + vTranslator.i18n
    readonly property string bannedUrls: qsTr("This group has banned sending urls", "本群已禁止发送链接") + vTranslator.i18n
    readonly property string blockUser: qsTr("Block User", "加入黑名单") + vTranslator.i18n
    readonly property string cancel: qsTr("Cancel", "取消") + vTranslator.i18n
    readonly property string chats: qsTr("Chats", "聊天") + vTranslator.i18n
    readonly property string checkNetworkConnection: qsTr("Please check network connection", "请检查网络连接") + vTranslator.i18n
    readonly property string childGroup: qsTr("Child Group", "子群") + vTranslator.i18n
    readonly property string chooseAFile: qsTr("Please choose a file", "请选择一个文件") + vTranslator.i18n
    readonly property string chooseAImage: qsTr("Please choose a image", "请选择一张图片") + vTranslator.i18n
    readonly property string chooseFile: qsTr("Choose File", "选择文件") + vTranslator.i18n
    readonly property string codeDeny: qsTr("Your join request was rejected", "你的入群申请被拒绝") + vTranslator.i18n
    readonly property string codeEnterGroup: qsTr("Code enter group", "口令入群") + vTranslator.i18n
    readonly property string codeError: qsTr("Code error", "口令错误") + vTranslator.i18n
    readonly property string codeExpired: qsTr("Code expired", "口令已过期") + vTranslator.i18n
    readonly property string codeInviteonly: qsTr("Invite join only", "仅限邀请加入") + vTranslator.i18n
    readonly property string collectMore: qsTr("Collect more", "收起") + vTranslator.i18n
    readonly property string contacts: qsTr("Contacts", "通讯录") + vTranslator.i18n
    readonly property string copy: qsTr("Copy", "复制") + vTranslator.i18n
    readonly property string createGroupFailed: qsTr("Group chat create failed", "群聊创建失败") + vTranslator.i18n
    readonly property string cut: qsTr("Cut", "剪切") + vTranslator.i18n
    readonly property string dataEditing: qsTr("Data editing", "资料编辑") + vTranslator.i18n
    readonly property string del: qsTr("Delete", "删除") + vTranslator.i18n
    readonly property string delAndExit: qsTr("Delete and exit", "删除并退出") + vTranslator.i18n
    readonly property string delGroupManagers: qsTr("Delete manager(s)", "删除管理员") + vTranslator.i18n
    readonly property string delGroupManagersFailed: qsTr("Delete group managers failed", "删除群管理员失败") + vTranslator.i18n
    readonly property string delGroupMembersFailed: qsTr("Delete group members failed", "删除群成员失败") + vTranslator.i18n
    readonly property string delMembers: qsTr("Delete member(s)", "删除成员") + vTranslator.i18n
    readonly property string desktopNotification: qsTr("Desktop notification", "桌面通知") + vTranslator.i18n
    readonly property string disband: qsTr("Disband", "解散") + vTranslator.i18n
    readonly property string disbanded: qsTr("Group disbanded", "群已解散") + vTranslator.i18n
    readonly property string disbandedTip: qsTr("current group had been disbanded by the owner", "当前群已被群主解散") + vTranslator.i18n
    readonly property string disbandFaild: qsTr("Disband faild", "解散失败") + vTranslator.i18n
    readonly property string disbandFaildTip: qsTr("Disband group was Faild", "解散群失败") + vTranslator.i18n
    readonly property string disbandGroup: qsTr("Disband group", "解散群") + vTranslator.i18n
    readonly property string disbandGroupTip: qsTr("Message will no longer be received after disband, and the chat history, pictures, and files of this group will also be deleted", "解散后将不再接收此群消息，本群的聊天记录、图片和文件也将被删除") + vTranslator.i18n
    readonly property string disbandSuccessed: qsTr("Disband successed", "解散成功") + vTranslator.i18n
    readonly property string disbandSuccessedTip: qsTr("Disband group was successfully", "解散群成功") + vTranslator.i18n
    readonly property string donotDisturb: qsTr("Don't disturb", "消息免打扰") + vTranslator.i18n
    readonly property string download: qsTr("Download", "下载") + vTranslator.i18n
    readonly property string downloadFailed: qsTr("Download failed", "下载失败") + vTranslator.i18n
    readonly property string downloading: qsTr("Downloading...", "下载中...") + vTranslator.i18n
    readonly property string downloadTesmoChatApp: qsTr("Download App", "下载App") + vTranslator.i18n
    readonly property string draft: qsTr("Draft", "草稿") + vTranslator.i18n
    readonly property string dropToPasteOrSend: qsTr("Drop it in this area to paste or send", "拖放到此区域以粘贴或发送") + vTranslator.i18n
    readonly property string dropToSend: qsTr("Drop it in this area to send", "拖放到此区域以发送") + vTranslator.i18n
    readonly property string emoticon: qsTr("Emoticon", "表情") + vTranslator.i18n
    readonly property string emptyTipAfternoon: qsTr("Good afternoon, take a look at the currency dynamics!", "下午好，来看看币圈动态吧！") + vTranslator.i18n
    readonly property string emptyTipEvening: qsTr("Good evening, get off work and get to know the currency!", "晚上好，下班了来了解一下币圈吧！") + vTranslator.i18n
    readonly property string emptyTipMiddleNight: qsTr("In the middle of the night, take a good rest and wait for the bull market!", "夜深了，好好休息，等待牛市吧！") + vTranslator.i18n
    readonly property string emptyTipMorning: qsTr("Good morning, a good day starts at the Tesmo circle!", "早上好，美好的一天从Tesmo圈开始！") + vTranslator.i18n
    readonly property string enterCodeJoinGroup: qsTr("Enter code to join group chat", "输入口令加入群聊") + vTranslator.i18n
    readonly property string enteredTooLong: qsTr("You entered is too long", "你输入的内容过长") + vTranslator.i18n
    readonly property string exit: qsTr("Exit", "退出") + vTranslator.i18n
    readonly property string exitFaild: qsTr("Exit Faild", "退出失败") + vTranslator.i18n
    readonly property string exitFaildTip: qsTr("Exit group was Faild", "退出群失败") + vTranslator.i18n
    readonly property string exitGroup: qsTr("Exit group chat", "退出群聊") + vTranslator.i18n
    readonly property string exitGroupTip: qsTr("Exit the group chat will no longer receive messages from it", "退出群聊后将不再接收此群的消息") + vTranslator.i18n
    readonly property string exitSuccessed: qsTr("Exit Successed", "退出成功") + vTranslator.i18n
    readonly property string exitSuccessedTip: qsTr("Exit group was successfully", "退出群成功") + vTranslator.i18n
    readonly property string file: qsTr("File", "文件") + vTranslator.i18n
    readonly property string fileSaveFailed: qsTr("File save failed", "文件保存失败") + vTranslator.i18n
    readonly property string fileSaveFinished: qsTr("File save finished", "文件保存完成") + vTranslator.i18n
    readonly property string finished: qsTr("Finished", "完  成") + vTranslator.i18n
    readonly property string forward: qsTr("Forward", "转发") + vTranslator.i18n
    readonly property string functionDeveloping: qsTr("Function is developing", "功能开发中") + vTranslator.i18n
    readonly property string functionDevelopingTip: qsTr("Function is developing, please try on next version", "功能开发中，请在下个版本中体验") + vTranslator.i18n
    readonly property string groupChildRemoveTip0: qsTr("The above child groups can see the main group messages", "以上子群可以看到主群消息") + vTranslator.i18n
    readonly property string groupChildRemoveTip1: qsTr("Click Finished to unbind with the main group", "点击完成与主群解除绑定") + vTranslator.i18n
    readonly property string groupCode: qsTr("Group code", "群口令") + vTranslator.i18n
    readonly property string groupOwner: qsTr("Group owner", "群主") + vTranslator.i18n
    readonly property string groupsInCommon: qsTr("Groups in Common", "共同群聊") + vTranslator.i18n
    readonly property string imageFiles: qsTr("Image files", "图片文件") + vTranslator.i18n
    readonly property string informationModifyFailed: qsTr("Information modify failed", "资料修改失败") + vTranslator.i18n
    readonly property string introduction: qsTr("Intro", "简介") + vTranslator.i18n
    readonly property string languageAndText: qsTr("Language and text", "语言与文字") + vTranslator.i18n
    readonly property string lazyGroupManager: qsTr("This group manager is lazy and leaves nothing...", "群主很懒，什么都没有留下...") + vTranslator.i18n
    readonly property string lazyUser: qsTr("no intro", "暂无简介") + vTranslator.i18n
    readonly property string loadMore: qsTr("Load more", "加载更多") + vTranslator.i18n
    readonly property string localUpload: qsTr("Local upload", "本地上传") + vTranslator.i18n
    readonly property string mainGroup: qsTr("Main group", "主群") + vTranslator.i18n
    readonly property string managers: qsTr("Managers", "管理员") + vTranslator.i18n
    readonly property string members: qsTr("Members", "成员") + vTranslator.i18n
    readonly property string membersUnit: qsTr("members", "人") + vTranslator.i18n
    readonly property string messageTone: qsTr("Message tone", "消息提示音") + vTranslator.i18n
    readonly property string messageTooLong: qsTr("Message too long", "消息过长") + vTranslator.i18n
    readonly property string messageTooLongTip: qsTr("The text you entered is too long to send", "你输入的内容过长，无法发送") + vTranslator.i18n
    readonly property string mobileScanQRCodeDownload: qsTr("Mobile Scan\nQR code download", "手机扫描\n二维码下载") + vTranslator.i18n
    readonly property string myself: qsTr(" (Myself)", " (我)") + vTranslator.i18n
    readonly property string nick: qsTr("Nick", "昵称") + vTranslator.i18n
    readonly property string nickInGroup: qsTr("My nick in group", "我在本群的昵称") + vTranslator.i18n
    readonly property string nomoreMessages: qsTr("No more messages", "没有更多消息了") + vTranslator.i18n
    readonly property string noSearchResult: qsTr("No search result", "无搜索结果") + vTranslator.i18n
    readonly property string notGroupMember: qsTr("Not group member", "非群成员") + vTranslator.i18n
    readonly property string notGroupMemberTip: qsTr("The group has disbanded, or you have been removed from the group", "该群已解散，或你已被移出该群") + vTranslator.i18n
    readonly property string notification: qsTr("Notification", "通知") + vTranslator.i18n
    readonly property string ok: qsTr("OK", "确定") + vTranslator.i18n
    readonly property string open: qsTr("Open", "打开") + vTranslator.i18n
    readonly property string openFailed: qsTr("Open failed", "打开失败") + vTranslator.i18n
    readonly property string openFileFailedTip: qsTr("File is not exists", "文件不存在") + vTranslator.i18n
    readonly property string openFolder: qsTr("Open folder", "打开文件夹") + vTranslator.i18n
    readonly property string openGroupSettingsFailed: qsTr("Failed to open group Settings, please try again later", "打开群设置失败，请稍后再试") + vTranslator.i18n
    readonly property string paste: qsTr("Paste", "粘贴") + vTranslator.i18n
    readonly property string pause: qsTr("Pause", "暂停") + vTranslator.i18n
    readonly property string phoneScreenShotTip: qsTr("Phone screenshot prompt", "手机截屏提示") + vTranslator.i18n
    readonly property string picture: qsTr("Picture", "图片") + vTranslator.i18n
    readonly property string play: qsTr("Play", "播放") + vTranslator.i18n
    readonly property string quickInvite: qsTr("Quick to invite", "一键邀请") + vTranslator.i18n
    readonly property string quit: qsTr("Quit", "退出") + vTranslator.i18n
    readonly property string quitesFinalPrice: qsTr("Price", "价格") + vTranslator.i18n
    readonly property string quitesHighPrice: qsTr("High", "高") + vTranslator.i18n
    readonly property string quitesLowPrice: qsTr("Low", "低") + vTranslator.i18n
    readonly property string quitesVolume: qsTr("Vol", "量") + vTranslator.i18n
    readonly property string quotes: qsTr("Quotes", "行情") + vTranslator.i18n
    readonly property string quotesTime: qsTr("More", "更多") + vTranslator.i18n
    readonly property string reachContactsUpperLimitTip: qsTr("Select up to %1 contacts and groups", "最多选择%1个联系人和群") + vTranslator.i18n
    readonly property string reachUpperLimit: qsTr("Reach the upper limit", "已达上限") + vTranslator.i18n
    readonly property string recall: qsTr("Recall", "撤回") + vTranslator.i18n
    readonly property string receiveMainGroupMessage: qsTr("Receive main group message", "接收主群消息") + vTranslator.i18n
    readonly property string redEnvelope: qsTr("Tesmo Chat red envelope", "TesmoChat红包") + vTranslator.i18n
    readonly property string redo: qsTr("Redo", "重做") + vTranslator.i18n
    readonly property string refreshRetry: qsTr("Refresh retry", "刷新重试") + vTranslator.i18n
    readonly property string releaseChildGroupFaild: qsTr("Unbind faild", "解绑失败") + vTranslator.i18n
    readonly property string releaseChildGroupFaildTip: qsTr("Unbind to the main group failed", "与主群解除绑定失败") + vTranslator.i18n
    readonly property string releaseChildGroupSuccessed: qsTr("Unbind successed", "解绑成功") + vTranslator.i18n
    readonly property string releaseChildGroupSuccessedTip: qsTr("Unbind to the main group successed", "与主群解除绑定成功") + vTranslator.i18n
    readonly property string remark: qsTr("Remark", "备注") + vTranslator.i18n
    readonly property string removeAdminSuccessed: qsTr("The group administrator(s) was removed successfully", "群管理员移除成功") + vTranslator.i18n
    readonly property string restore: qsTr("Restore", "恢复") + vTranslator.i18n
    readonly property string retryDownload: qsTr("Retry download", "重新下载") + vTranslator.i18n
    readonly property string saveAs: qsTr("Save as...", "另存为...") + vTranslator.i18n
    readonly property string search: qsTr("Search", "搜索") + vTranslator.i18n
    readonly property string searchFriends: qsTr("Search phone number or Tesmo Chat ID", "搜索手机号或TesmoChat号") + vTranslator.i18n
    readonly property string secondUnit: qsTr("s", "秒") + vTranslator.i18n
    readonly property string selectAll: qsTr("Select All", "全选") + vTranslator.i18n
    readonly property string send: qsTr("Send", "发送") + vTranslator.i18n
    readonly property string sendFileTip: qsTr("Send File(s)", "发送文件") + vTranslator.i18n
    readonly property string sendMessage: qsTr("Send message", "发消息") + vTranslator.i18n
    readonly property string sendTip: qsTr("%1 to send, %2 to wrap.", "%1 发送，%2 换行") + vTranslator.i18n
    readonly property string settingSuccessed: qsTr("Setting Successed", "设置成功") + vTranslator.i18n
    readonly property string settingFailed: qsTr("Setting failed", "设置失败") + vTranslator.i18n
    readonly property string someoneAtMe: qsTr("Someone @ me", "有人@我") + vTranslator.i18n
    readonly property string someoneRecall: qsTr(" has recall a message", " 撤回了一条消息") + vTranslator.i18n
    readonly property string startDownload: qsTr("Start download", "开始下载") + vTranslator.i18n
    readonly property string stop: qsTr("Stop", "停止") + vTranslator.i18n
    readonly property string switchLanguage: qsTr("Switch language", "切换语言") + vTranslator.i18n
    readonly property string syncTo: qsTr("Sync to", "同步到") + vTranslator.i18n
    readonly property string systemSettings: qsTr("System Settings", "系统设置") + vTranslator.i18n
    readonly property string tesmoChat: qsTr("Tesmo Chat", "TesmoChat") + vTranslator.i18n
    readonly property string tesmoChatContacts: qsTr("Tesmo Chat Contacts", "TesmoChat联系人") + vTranslator.i18n
    readonly property string tesmoChatGroups: qsTr("Tesmo Chat Groups", "TesmoChat群组") + vTranslator.i18n
    readonly property string timeLeft: qsTr("Time left", "剩余时间") + vTranslator.i18n
    readonly property string tooDeserted: qsTr("It's too deserted, so invite your friends to be noisy!", "这里太冷清了，快邀请好友来热闹一下吧！") + vTranslator.i18n
    readonly property string transferGroup: qsTr("Transfer group", "转让群") + vTranslator.i18n
    readonly property string transferGroupFailed: qsTr("Transfer group failed", "转让群失败") + vTranslator.i18n
    readonly property string transferGroupSuccessed: qsTr("Transfer Successed", "转让成功") + vTranslator.i18n
    readonly property string transferGroupSuccessedTip: qsTr("Transfer group was successfully", "转让群成功") + vTranslator.i18n
    readonly property string translate: qsTr("Translate", "翻译") + vTranslator.i18n
    readonly property string uid: qsTr("Tesmo Chat ID: ", "TesmoChat号: ") + vTranslator.i18n
    readonly property string unableTransfer: qsTr("Unable to transfer", "无法转让") + vTranslator.i18n
    readonly property string unableTransferTip: qsTr("No contact is available for transfer", "没有可转让的联系人") + vTranslator.i18n
    readonly property string unbind: qsTr("Unbind", "解  绑") + vTranslator.i18n
    readonly property string underConstruction: qsTr("Under construction, please look forward to...", "建设中，敬请期待...") + vTranslator.i18n
    readonly property string undo: qsTr("Undo", "撤销") + vTranslator.i18n
    readonly property string updateSuccessed: qsTr("Update successed", "更新成功") + vTranslator.i18n
    readonly property string updateSuccessedTip: qsTr("user information update successed", "用户资料更新成功") + vTranslator.i18n
    readonly property string version: qsTr("Version", "版本") + vTranslator.i18n
    readonly property string video: qsTr("Video", "视频") + vTranslator.i18n
    readonly property string withoutPermission: qsTr("Without the permission", "没有权限") + vTranslator.i18n
    readonly property string withoutPermissionTip: qsTr("You have not opened this permission", "你尚未开通此权限") + vTranslator.i18n
    readonly property string yesterday: qsTr("Yesterday", "昨天") + vTranslator.i18n
    readonly property string youRecall: qsTr("You have recall a message", "你撤回了一条消息") + vTranslator.i18n

    // Placeholders are filled after translation, so they keep their place in every language.
    function reachManagersUpperLimit(upperLimit) {
        return qsTr("Select up to %1 managers this time", "本次最多选择%1个管理员").arg(upperLimit) + vTranslator.i18n
    }
    function membersCount(count) {
        return qsTr("Members: %1", "成员：%1").arg(count) + vTranslator.i18n
    }
    function disbandTargetGroup(groupName) {
        return qsTr("Disband: %1", "解散：%1").arg(groupName) + vTranslator.i18n
    }
    function selectedMembersCount(count) {
        return qsTr("%1 member(s) select", "已选择%1个成员").arg(count) + vTranslator.i18n
    }

    // Only the label is translated.
    function introductionString(intro) {
        return introduction + ": " + intro
    }
}
