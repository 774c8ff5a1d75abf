<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>VTr</name>
    <message>
        <source>New group administrator(s) was added successfully</source>
        <translation>新的群管理员添加成功</translation>
    </message>
    <message>
        <source>Add friend</source>
        <translation>添加好友</translation>
    </message>
    <message>
        <source>Add manager(s)</source>
        <translation>添加管理员</translation>
    </message>
    <message>
        <source>Add group managers failed</source>
        <translation>添加群管理员失败</translation>
    </message>
    <message>
        <source>Add group members failed</source>
        <translation>添加群成员失败</translation>
    </message>
    <message>
        <source>Add Group Chat</source>
        <translation>发起群聊</translation>
    </message>
    <message>
        <source>Add members</source>
        <translation>添加成员</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>所有文件</translation>
    </message>
    <message>
        <source>Apps</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>@ all</source>
        <translation>@ 所有人</translation>
    </message>
    <message>
        <source>@ me</source>
        <translation>@ 我</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>语音</translation>
    </message>
    <message>
        <source>Auto move to top</source>
        <translation>自动置顶</translation>
    </message>
    <message>
        <source>Total silence</source>
        <translation>全员禁言</translation>
    </message>
    <message>
        <source>Ban anyone join</source>
        <translation>禁止任何人加入</translation>
    </message>
    <message>
        <source>This group has banned sending pictures</source>
        <translation>本群已禁止发送图片</translation>
    </message>
    <message>
        <source>Ban sending pictures</source>
        <translation>禁止发送图片</translation>
    </message>
    <message>
        <source>Ban sending urls</source>
        <translation>禁止发送链接</translation>
    </message>
    <message>
        <source>Ban members chat separately</source>
        <translation>禁止成员私聊</translation>
    </message>
    <message>
        <source>This group has been set to ban members chat separately</source>
        <translation>本群已设置禁止成员私聊</translation>
    </message>
    <message>
        <source>This group has banned speech</source>
        <translation>本群已全员禁言</translation>
    </message>
    <message>
        <source>You have been banned</source>
        <translation>你已被禁言</translation>
    </message>
    <message>
        <source>This group has banned sending urls</source>
        <translation>本群已禁止发送链接</translation>
    </message>
    <message>
        <source>Block User</source>
        <translation>加入黑名单</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Chats</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>Please check network connection</source>
        <translation>请检查网络连接</translation>
    </message>
    <message>
        <source>Child Group</source>
        <translation>子群</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>请选择一个文件</translation>
    </message>
    <message>
        <source>Please choose a image</source>
        <translation>请选择一张图片</translation>
    </message>
    <message>
        <source>Choose File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Your join request was rejected</source>
        <translation>你的入群申请被拒绝</translation>
    </message>
    <message>
        <source>Code enter group</source>
        <translation>口令入群</translation>
    </message>
    <message>
        <source>Code error</source>
        <translation>口令错误</translation>
    </message>
    <message>
        <source>Code expired</source>
        <translation>口令已过期</translation>
    </message>
    <message>
        <source>Invite join only</source>
        <translation>仅限邀请加入</translation>
    </message>
    <message>
        <source>Collect more</source>
        <translation>收起</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>通讯录</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Group chat create failed</source>
        <translation>群聊创建失败</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Data editing</source>
        <translation>资料编辑</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Delete and exit</source>
        <translation>删除并退出</translation>
    </message>
    <message>
        <source>Delete manager(s)</source>
        <translation>删除管理员</translation>
    </message>
    <message>
        <source>Delete group managers failed</source>
        <translation>删除群管理员失败</translation>
    </message>
    <message>
        <source>Delete group members failed</source>
        <translation>删除群成员失败</translation>
    </message>
    <message>
        <source>Delete member(s)</source>
        <translation>删除成员</translation>
    </message>
    <message>
        <source>Desktop notification</source>
        <translation>桌面通知</translation>
    </message>
    <message>
        <source>Disband</source>
        <translation>解散</translation>
    </message>
    <message>
        <source>Group disbanded</source>
        <translation>群已解散</translation>
    </message>
    <message>
        <source>current group had been disbanded by the owner</source>
        <translation>当前群已被群主解散</translation>
    </message>
    <message>
        <source>Disband faild</source>
        <translation>解散失败</translation>
    </message>
    <message>
        <source>Disband group was Faild</source>
        <translation>解散群失败</translation>
    </message>
    <message>
        <source>Disband group</source>
        <translation>解散群</translation>
    </message>
    <message>
        <source>Message will no longer be received after disband, and the chat history, pictures, and files of this group will also be deleted</source>
        <translation>解散后将不再接收此群消息，本群的聊天记录、图片和文件也将被删除</translation>
    </message>
    <message>
        <source>Disband successed</source>
        <translation>解散成功</translation>
    </message>
    <message>
        <source>Disband group was successfully</source>
        <translation>解散群成功</translation>
    </message>
    <message>
        <source>Don't disturb</source>
        <translation>消息免打扰</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>下载失败</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>下载中...</translation>
    </message>
    <message>
        <source>Download App</source>
        <translation>下载App</translation>
    </message>
    <message>
        <source>Draft</source>
        <translation>草稿</translation>
    </message>
    <message>
        <source>Drop it in this area to paste or send</source>
        <translation>拖放到此区域以粘贴或发送</translation>
    </message>
    <message>
        <source>Drop it in this area to send</source>
        <translation>拖放到此区域以发送</translation>
    </message>
    <message>
        <source>Emoticon</source>
        <translation>表情</translation>
    </message>
    <message>
        <source>Good afternoon, take a look at the currency dynamics!</source>
        <translation>下午好，来看看币圈动态吧！</translation>
    </message>
    <message>
        <source>Good evening, get off work and get to know the currency!</source>
        <translation>晚上好，下班了来了解一下币圈吧！</translation>
    </message>
    <message>
        <source>In the middle of the night, take a good rest and wait for the bull market!</source>
        <translation>夜深了，好好休息，等待牛市吧！</translation>
    </message>
    <message>
        <source>Good morning, a good day starts at the Tesmo circle!</source>
        <translation>早上好，美好的一天从Tesmo圈开始！</translation>
    </message>
    <message>
        <source>Enter code to join group chat</source>
        <translation>输入口令进入群聊</translation>
    </message>
    <message>
        <source>You entered is too long</source>
        <translation>你输入的内容过长</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Exit Faild</source>
        <translation>退出失败</translation>
    </message>
    <message>
        <source>Exit group was Faild</source>
        <translation>退出群失败</translation>
    </message>
    <message>
        <source>Exit group chat</source>
        <translation>退出群聊</translation>
    </message>
    <message>
        <source>Exit the group chat will no longer receive messages from it</source>
        <translation>退出群聊后将不再接收此群的消息</translation>
    </message>
    <message>
        <source>Exit Successed</source>
        <translation>退出成功</translation>
    </message>
    <message>
        <source>Exit group was successfully</source>
        <translation>退出群成功</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>File save failed</source>
        <translation>文件保存失败</translation>
    </message>
    <message>
        <source>File save finished</source>
        <translation>文件保存完成</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>完 成</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>转发</translation>
    </message>
    <message>
        <source>Function is developing</source>
        <translation>功能开发中</translation>
    </message>
    <message>
        <source>Function is developing, please try on next version</source>
        <translation>功能开发中，请在下个版本中体验</translation>
    </message>
    <message>
        <source>The above child groups can see the main group messages</source>
        <translation>以上子群可以看到主群消息</translation>
    </message>
    <message>
        <source>Click Finished to unbind with the main group</source>
        <translation>点击完成与主群解除绑定</translation>
    </message>
    <message>
        <source>Group code</source>
        <translation>群口令</translation>
    </message>
    <message>
        <source>Group owner</source>
        <translation>群主</translation>
    </message>
    <message>
        <source>Groups in Common</source>
        <translation>共同群聊</translation>
    </message>
    <message>
        <source>Image files</source>
        <translation>图片文件</translation>
    </message>
    <message>
        <source>Information modify failed</source>
        <translation>资料修改失败</translation>
    </message>
    <message>
        <source>Intro</source>
        <translation>简介</translation>
    </message>
    <message>
        <source>Language and text</source>
        <translation>语言与文字</translation>
    </message>
    <message>
        <source>This group manager is lazy and leaves nothing...</source>
        <translation>群主很懒，什么都没有留下...</translation>
    </message>
    <message>
        <source>no intro</source>
        <translation>暂无简介</translation>
    </message>
    <message>
        <source>Load more</source>
        <translation>加载更多</translation>
    </message>
    <message>
        <source>Local upload</source>
        <translation>本地上传</translation>
    </message>
    <message>
        <source>Main group</source>
        <translation>主群</translation>
    </message>
    <message>
        <source>Managers</source>
        <translation>管理员</translation>
    </message>
    <message>
        <source>Members</source>
        <translation>成员</translation>
    </message>
    <message>
        <source>members</source>
        <translation>人</translation>
    </message>
    <message>
        <source>Message tone</source>
        <translation>消息提示音</translation>
    </message>
    <message>
        <source>Message too long</source>
        <translation>消息过长</translation>
    </message>
    <message>
        <source>The text you entered is too long to send</source>
        <translation>你输入的内容过长，无法发送</translation>
    </message>
    <message>
        <source>Mobile Scan
QR code download</source>
        <translation>手机扫描
二维码下载</translation>
    </message>
    <message>
        <source> (Myself)</source>
        <translation> (我)</translation>
    </message>
    <message>
        <source>Nick</source>
        <translation>昵称</translation>
    </message>
    <message>
        <source>My nick in group</source>
        <translation>我在本群的昵称</translation>
    </message>
    <message>
        <source>No more messages</source>
        <translation>没有更多消息了</translation>
    </message>
    <message>
        <source>No search result</source>
        <translation>无搜索结果</translation>
    </message>
    <message>
        <source>Not group member</source>
        <translation>非群成员</translation>
    </message>
    <message>
        <source>The group has disbanded, or you have been removed from the group</source>
        <translation>该群已解散，或你已被移出该群</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Open failed</source>
        <translation>打开失败</translation>
    </message>
    <message>
        <source>File is not exists</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>打开文件夹</translation>
    </message>
    <message>
        <source>Failed to open group Settings, please try again later</source>
        <translation>打开群设置失败，请稍后再试</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Phone screenshot prompt</source>
        <translation>手机截屏提示</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Quick to invite</source>
        <translation>一键邀请</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>价格</translation>
    </message>
    <message>
        <source>High</source>
        <translation>高</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>低</translation>
    </message>
    <message>
        <source>Vol</source>
        <translation>量</translation>
    </message>
    <message>
        <source>Quotes</source>
        <translation>行情</translation>
    </message>
    <message>
        <source>More</source>
        <translation>更多</translation>
    </message>
    <message>
        <source>Select up to %1 contacts and groups</source>
        <translation>最多选择%1个联系人和群</translation>
    </message>
    <message>
        <source>Reach the upper limit</source>
        <translation>已达上限</translation>
    </message>
    <message>
        <source>Recall</source>
        <translation>撤回</translation>
    </message>
    <message>
        <source>Receive main group message</source>
        <translation>接收主群消息</translation>
    </message>
    <message>
        <source>Tesmo Chat red envelope</source>
        <translation>TesmoChat红包</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Refresh retry</source>
        <translation>刷新重试</translation>
    </message>
    <message>
        <source>Unbind faild</source>
        <translation>解绑失败</translation>
    </message>
    <message>
        <source>Unbind to the main group failed</source>
        <translation>与主群解除绑定失败</translation>
    </message>
    <message>
        <source>Unbind successed</source>
        <translation>解绑成功</translation>
    </message>
    <message>
        <source>Unbind to the main group successed</source>
        <translation>与主群解除绑定成功</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>The group administrator(s) was removed successfully</source>
        <translation>群管理员移除成功</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Retry download</source>
        <translation>重新下载</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Search phone number or Tesmo Chat ID</source>
        <translation>搜索手机号或TesmoChat号</translation>
    </message>
    <message>
        <source>s</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Send File(s)</source>
        <translation>发送文件</translation>
    </message>
    <message>
        <source>Send message</source>
        <translation>发消息</translation>
    </message>
    <message>
        <source>%1 to send, %2 to wrap.</source>
        <translation>%1 发送，%2 换行</translation>
    </message>
    <message>
        <source>Setting Successed</source>
        <translation>设置成功</translation>
    </message>
    <message>
        <source>Setting failed</source>
        <translation>设置失败</translation>
    </message>
    <message>
        <source>Someone @ me</source>
        <translation>有人@我</translation>
    </message>
    <message>
        <source> has recall a message</source>
        <translation> 撤回了一条消息</translation>
    </message>
    <message>
        <source>Start download</source>
        <translation>开始下载</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Switch language</source>
        <translation>切换语言</translation>
    </message>
    <message>
        <source>Sync to</source>
        <translation>同步到</translation>
    </message>
    <message>
        <source>System Settings</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Tesmo Chat</source>
        <translation>TesmoChat</translation>
    </message>
    <message>
        <source>Tesmo Chat Contacts</source>
        <translation>TesmoChat联系人</translation>
    </message>
    <message>
        <source>Tesmo Chat Groups</source>
        <translation>我的群组</translation>
    </message>
    <message>
        <source>Time left</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>It's too deserted, so invite your friends to be noisy!</source>
        <translation>这里太冷清了，快邀请好友来热闹一下吧！</translation>
    </message>
    <message>
        <source>Transfer group</source>
        <translation>转让群</translation>
    </message>
    <message>
        <source>Transfer group failed</source>
        <translation>转让群失败</translation>
    </message>
    <message>
        <source>Transfer Successed</source>
        <translation>转让成功</translation>
    </message>
    <message>
        <source>Transfer group was successfully</source>
        <translation>转让群成功</translation>
    </message>
    <message>
        <source>Translate</source>
        <translation>翻译</translation>
    </message>
    <message>
        <source>Tesmo Chat ID: </source>
        <translation>TesmoChat号: </translation>
    </message>
    <message>
        <source>Unable to transfer</source>
        <translation>无法转让</translation>
    </message>
    <message>
        <source>No contact is available for transfer</source>
        <translation>没有可转让的联系人</translation>
    </message>
    <message>
        <source>Unbind</source>
        <translation>解 绑</translation>
    </message>
    <message>
        <source>Under construction, please look forward to...</source>
        <translation>建设中，敬请期待...</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Update successed</source>
        <translation>更新成功</translation>
    </message>
    <message>
        <source>user information update successed</source>
        <translation>用户资料更新成功</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
    <message>
        <source>Without the permission</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>You have not opened this permission</source>
        <translation>你尚未开通此权限</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>昨天</translation>
    </message>
    <message>
        <source>You have recall a message</source>
        <translation>你撤回了一条消息</translation>
    </message>
    <message>
        <source>Select up to %1 managers this time</source>
        <translation>本次最多选择%1个管理员</translation>
    </message>
    <message>
        <source>Members: %1</source>
        <translation>成员：%1</translation>
    </message>
    <message>
        <source>Disband: %1</source>
        <translation>解散：%1</translation>
    </message>
    <message>
        <source>%1 member(s) select</source>
        <translation>已选择%1个成员</translation>
    </message>
</context>
<context>
    <name>VCountriesAndRegionsModel</name>
    <message>
        <source>Angola</source>
        <translation>Angola</translation>
    </message>
    <message>
        <source>Afghanistan</source>
        <translation>Afghanistan</translation>
    </message>
    <message>
        <source>Albania</source>
        <translation>Albania</translation>
    </message>
    <message>
        <source>Algeria</source>
        <translation>Algeria</translation>
    </message>
    <message>
        <source>Andorra</source>
        <translation>Andorra</translation>
    </message>
    <message>
        <source>Anguilla</source>
        <translation>Anguilla</translation>
    </message>
    <message>
        <source>Antigua and Barbuda</source>
        <translation>Antigua and Barbuda</translation>
    </message>
    <message>
        <source>Argentina</source>
        <translation>Argentina</translation>
    </message>
    <message>
        <source>Armenia</source>
        <translation>Armenia</translation>
    </message>
    <message>
        <source>Ascension</source>
        <translation>Ascension</translation>
    </message>
    <message>
        <source>Australia</source>
        <translation>Australia</translation>
    </message>
    <message>
        <source>Austria</source>
        <translation>Austria</translation>
    </message>
    <message>
        <source>Azerbaijan</source>
        <translation>Azerbaijan</translation>
    </message>
    <message>
        <source>Bahamas</source>
        <translation>Bahamas</translation>
    </message>
    <message>
        <source>Bahrain</source>
        <translation>Bahrain</translation>
    </message>
    <message>
        <source>Bangladesh</source>
        <translation>Bangladesh</translation>
    </message>
    <message>
        <source>Barbados</source>
        <translation>Barbados</translation>
    </message>
    <message>
        <source>Belarus</source>
        <translation>Belarus</translation>
    </message>
    <message>
        <source>Belgium</source>
        <translation>Belgium</translation>
    </message>
    <message>
        <source>Belize</source>
        <translation>Belize</translation>
    </message>
    <message>
        <source>Benin</source>
        <translation>Benin</translation>
    </message>
    <message>
        <source>Bermuda Is.</source>
        <translation>Bermuda Is.</translation>
    </message>
    <message>
        <source>Bolivia</source>
        <translation>Bolivia</translation>
    </message>
    <message>
        <source>Botswana</source>
        <translation>Botswana</translation>
    </message>
    <message>
        <source>Brazil</source>
        <translation>Brazil</translation>
    </message>
    <message>
        <source>Brunei</source>
        <translation>Brunei</translation>
    </message>
    <message>
        <source>Bulgaria</source>
        <translation>Bulgaria</translation>
    </message>
    <message>
        <source>Burkina-faso</source>
        <translation>Burkina-faso</translation>
    </message>
    <message>
        <source>Burma</source>
        <translation>Burma</translation>
    </message>
    <message>
        <source>Burundi</source>
        <translation>Burundi</translation>
    </message>
    <message>
        <source>Cameroon</source>
        <translation>Cameroon</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>Canada</translation>
    </message>
    <message>
        <source>Cayman Is.</source>
        <translation>Cayman Is.</translation>
    </message>
    <message>
        <source>Central African Republic</source>
        <translation>Central African Republic</translation>
    </message>
    <message>
        <source>Chad</source>
        <translation>Chad</translation>
    </message>
    <message>
        <source>Chile</source>
        <translation>Chile</translation>
    </message>
    <message>
        <source>China</source>
        <translation>China</translation>
    </message>
    <message>
        <source>Colombia</source>
        <translation>Colombia</translation>
    </message>
    <message>
        <source>Congo</source>
        <translation>Congo</translation>
    </message>
    <message>
        <source>Cook Is.</source>
        <translation>Cook Is.</translation>
    </message>
    <message>
        <source>Costa Rica</source>
        <translation>Costa Rica</translation>
    </message>
    <message>
        <source>Cuba</source>
        <translation>Cuba</translation>
    </message>
    <message>
        <source>Cyprus</source>
        <translation>Cyprus</translation>
    </message>
    <message>
        <source>Czech Republic</source>
        <translation>Czech Republic</translation>
    </message>
    <message>
        <source>Denmark</source>
        <translation>Denmark</translation>
    </message>
    <message>
        <source>Djibouti</source>
        <translation>Djibouti</translation>
    </message>
    <message>
        <source>Dominica Rep.</source>
        <translation>Dominica Rep.</translation>
    </message>
    <message>
        <source>Ecuador</source>
        <translation>Ecuador</translation>
    </message>
    <message>
        <source>Egypt</source>
        <translation>Egypt</translation>
    </message>
    <message>
        <source>EISalvador</source>
        <translation>EISalvador</translation>
    </message>
    <message>
        <source>Estonia</source>
        <translation>Estonia</translation>
    </message>
    <message>
        <source>Ethiopia</source>
        <translation>Ethiopia</translation>
    </message>
    <message>
        <source>Fiji</source>
        <translation>Fiji</translation>
    </message>
    <message>
        <source>Finland</source>
        <translation>Finland</translation>
    </message>
    <message>
        <source>France</source>
        <translation>France</translation>
    </message>
    <message>
        <source>French Guiana</source>
        <translation>French Guiana</translation>
    </message>
    <message>
        <source>Gabon</source>
        <translation>Gabon</translation>
    </message>
    <message>
        <source>Gambia</source>
        <translation>Gambia</translation>
    </message>
    <message>
        <source>Georgia</source>
        <translation>Georgia</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>Germany</translation>
    </message>
    <message>
        <source>Ghana</source>
        <translation>Ghana</translation>
    </message>
    <message>
        <source>Gibraltar</source>
        <translation>Gibraltar</translation>
    </message>
    <message>
        <source>Greece</source>
        <translation>Greece</translation>
    </message>
    <message>
        <source>Grenada</source>
        <translation>Grenada</translation>
    </message>
    <message>
        <source>Guam</source>
        <translation>Guam</translation>
    </message>
    <message>
        <source>Guatemala</source>
        <translation>Guatemala</translation>
    </message>
    <message>
        <source>Guinea</source>
        <translation>Guinea</translation>
    </message>
    <message>
        <source>Guyana</source>
        <translation>Guyana</translation>
    </message>
    <message>
        <source>Haiti</source>
        <translation>Haiti</translation>
    </message>
    <message>
        <source>Honduras</source>
        <translation>Honduras</translation>
    </message>
    <message>
        <source>Hongkong, China</source>
        <translation>Hongkong, China</translation>
    </message>
    <message>
        <source>Hungary</source>
        <translation>Hungary</translation>
    </message>
    <message>
        <source>Iceland</source>
        <translation>Iceland</translation>
    </message>
    <message>
        <source>India</source>
        <translation>India</translation>
    </message>
    <message>
        <source>Indonesia</source>
        <translation>Indonesia</translation>
    </message>
    <message>
        <source>Iran</source>
        <translation>Iran</translation>
    </message>
    <message>
        <source>Iraq</source>
        <translation>Iraq</translation>
    </message>
    <message>
        <source>Ireland</source>
        <translation>Ireland</translation>
    </message>
    <message>
        <source>Israel</source>
        <translation>Israel</translation>
    </message>
    <message>
        <source>Italy</source>
        <translation>Italy</translation>
    </message>
    <message>
        <source>IvoryCoast</source>
        <translation>IvoryCoast</translation>
    </message>
    <message>
        <source>Jamaica</source>
        <translation>Jamaica</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>Japan</translation>
    </message>
    <message>
        <source>Jordan</source>
        <translation>Jordan</translation>
    </message>
    <message>
        <source>Kampuchea(Cambodia)</source>
        <translation>Kampuchea(Cambodia)</translation>
    </message>
    <message>
        <source>Kazakstan</source>
        <translation>Kazakstan</translation>
    </message>
    <message>
        <source>Kenya</source>
        <translation>Kenya</translation>
    </message>
    <message>
        <source>Korea</source>
        <translation>Korea</translation>
    </message>
    <message>
        <source>Kuwait</source>
        <translation>Kuwait</translation>
    </message>
    <message>
        <source>Kyrgyzstan</source>
        <translation>Kyrgyzstan</translation>
    </message>
    <message>
        <source>Laos</source>
        <translation>Laos</translation>
    </message>
    <message>
        <source>Latvia</source>
        <translation>Latvia</translation>
    </message>
    <message>
        <source>Lebanon</source>
        <translation>Lebanon</translation>
    </message>
    <message>
        <source>Lesotho</source>
        <translation>Lesotho</translation>
    </message>
    <message>
        <source>Liberia</source>
        <translation>Liberia</translation>
    </message>
    <message>
        <source>Libya</source>
        <translation>Libya</translation>
    </message>
    <message>
        <source>Liechtenstein</source>
        <translation>Liechtenstein</translation>
    </message>
    <message>
        <source>Lithuania</source>
        <translation>Lithuania</translation>
    </message>
    <message>
        <source>Luxembourg</source>
        <translation>Luxembourg</translation>
    </message>
    <message>
        <source>Macao, China</source>
        <translation>Macao, China</translation>
    </message>
    <message>
        <source>Madagascar</source>
        <translation>Madagascar</translation>
    </message>
    <message>
        <source>Malawi</source>
        <translation>Malawi</translation>
    </message>
    <message>
        <source>Malaysia</source>
        <translation>Malaysia</translation>
    </message>
    <message>
        <source>Maldives</source>
        <translation>Maldives</translation>
    </message>
    <message>
        <source>Mali</source>
        <translation>Mali</translation>
    </message>
    <message>
        <source>Malta</source>
        <translation>Malta</translation>
    </message>
    <message>
        <source>Mariana Is.</source>
        <translation>Mariana Is.</translation>
    </message>
    <message>
        <source>Martinique</source>
        <translation>Martinique</translation>
    </message>
    <message>
        <source>Mauritius</source>
        <translation>Mauritius</translation>
    </message>
    <message>
        <source>Mexico</source>
        <translation>Mexico</translation>
    </message>
    <message>
        <source>Moldova, Republic of</source>
        <translation>Moldova, Republic of</translation>
    </message>
    <message>
        <source>Monaco</source>
        <translation>Monaco</translation>
    </message>
    <message>
        <source>Mongolia</source>
        <translation>Mongolia</translation>
    </message>
    <message>
        <source>Montserrat Is.</source>
        <translation>Montserrat Is.</translation>
    </message>
    <message>
        <source>Morocco</source>
        <translation>Morocco</translation>
    </message>
    <message>
        <source>Mozambique</source>
        <translation>Mozambique</translation>
    </message>
    <message>
        <source>Namibia</source>
        <translation>Namibia</translation>
    </message>
    <message>
        <source>Nauru</source>
        <translation>Nauru</translation>
    </message>
    <message>
        <source>Nepal</source>
        <translation>Nepal</translation>
    </message>
    <message>
        <source>Netheriands Antilles</source>
        <translation>Netheriands Antilles</translation>
    </message>
    <message>
        <source>Netheriands</source>
        <translation>Netheriands</translation>
    </message>
    <message>
        <source>NewZealand</source>
        <translation>NewZealand</translation>
    </message>
    <message>
        <source>Nicaragua</source>
        <translation>Nicaragua</translation>
    </message>
    <message>
        <source>Niger</source>
        <translation>Niger</translation>
    </message>
    <message>
        <source>Nigeria</source>
        <translation>Nigeria</translation>
    </message>
    <message>
        <source>North Korea</source>
        <translation>North Korea</translation>
    </message>
    <message>
        <source>Norway</source>
        <translation>Norway</translation>
    </message>
    <message>
        <source>Oman</source>
        <translation>Oman</translation>
    </message>
    <message>
        <source>Pakistan</source>
        <translation>Pakistan</translation>
    </message>
    <message>
        <source>Panama</source>
        <translation>Panama</translation>
    </message>
    <message>
        <source>Papua New Cuinea</source>
        <translation>Papua New Cuinea</translation>
    </message>
    <message>
        <source>Paraguay</source>
        <translation>Paraguay</translation>
    </message>
    <message>
        <source>Peru</source>
        <translation>Peru</translation>
    </message>
    <message>
        <source>Philippines</source>
        <translation>Philippines</translation>
    </message>
    <message>
        <source>Poland</source>
        <translation>Poland</translation>
    </message>
    <message>
        <source>Polynesia, French</source>
        <translation>Polynesia, French</translation>
    </message>
    <message>
        <source>Portugal</source>
        <translation>Portugal</translation>
    </message>
    <message>
        <source>PuertoRico</source>
        <translation>PuertoRico</translation>
    </message>
    <message>
        <source>Qatar</source>
        <translation>Qatar</translation>
    </message>
    <message>
        <source>Reunion</source>
        <translation>Reunion</translation>
    </message>
    <message>
        <source>Romania</source>
        <translation>Romania</translation>
    </message>
    <message>
        <source>Russia</source>
        <translation>Russia</translation>
    </message>
    <message>
        <source>Saint Lueia</source>
        <translation>Saint Luei</translation>
    </message>
    <message>
        <source>Saint Vincent</source>
        <translation>Saint Vincent</translation>
    </message>
    <message>
        <source>Samoa Eastern</source>
        <translation>Samoa Eastern</translation>
    </message>
    <message>
        <source>Samoa Western</source>
        <translation>Samoa Western</translation>
    </message>
    <message>
        <source>San Marino</source>
        <translation>San Marino</translation>
    </message>
    <message>
        <source>Sao Tome and Principe</source>
        <translation>Sao Tome and Principe</translation>
    </message>
    <message>
        <source>Saudi Arabia</source>
        <translation>Saudi Arabia</translation>
    </message>
    <message>
        <source>Senegal</source>
        <translation>Senegal</translation>
    </message>
    <message>
        <source>Seychelles</source>
        <translation>Seychelles</translation>
    </message>
    <message>
        <source>Sierra Leone</source>
        <translation>Sierra Leone</translation>
    </message>
    <message>
        <source>Singapore</source>
        <translation>Singapore</translation>
    </message>
    <message>
        <source>Slovakia</source>
        <translation>Slovakia</translation>
    </message>
    <message>
        <source>Slovenia</source>
        <translation>Slovenia</translation>
    </message>
    <message>
        <source>Solomon Is.</source>
        <translation>Solomon Is.</translation>
    </message>
    <message>
        <source>Somali</source>
        <translation>Somali</translation>
    </message>
    <message>
        <source>South Africa</source>
        <translation>South Africa</translation>
    </message>
    <message>
        <source>Spain</source>
        <translation>Spain</translation>
    </message>
    <message>
        <source>Sri Lanka</source>
        <translation>Sri Lanka</translation>
    </message>
    <message>
        <source>Sudan</source>
        <translation>Sudan</translation>
    </message>
    <message>
        <source>Suriname</source>
        <translation>Suriname</translation>
    </message>
    <message>
        <source>Swaziland</source>
        <translation>Swaziland</translation>
    </message>
    <message>
        <source>Sweden</source>
        <translation>Sweden</translation>
    </message>
    <message>
        <source>Switzerland</source>
        <translation>Switzerland</translation>
    </message>
    <message>
        <source>Syria</source>
        <translation>Syria</translation>
    </message>
    <message>
        <source>Taiwan, China</source>
        <translation>Taiwan, China</translation>
    </message>
    <message>
        <source>Tajikstan</source>
        <translation>Tajikstan</translation>
    </message>
    <message>
        <source>Tanzania</source>
        <translation>Tanzania</translation>
    </message>
    <message>
        <source>Thailand</source>
        <translation>Thailand</translation>
    </message>
    <message>
        <source>Togo</source>
        <translation>Togo</translation>
    </message>
    <message>
        <source>Tonga</source>
        <translation>Tonga</translation>
    </message>
    <message>
        <source>Trinidad and Tobago</source>
        <translation>Trinidad and Tobago</translation>
    </message>
    <message>
        <source>Tunisia</source>
        <translation>Tunisia</translation>
    </message>
    <message>
        <source>Turkey</source>
        <translation>Turkey</translation>
    </message>
    <message>
        <source>Turkmenistan</source>
        <translation>Turkmenistan</translation>
    </message>
    <message>
        <source>Uganda</source>
        <translation>Uganda</translation>
    </message>
    <message>
        <source>Ukraine</source>
        <translation>Ukraine</translation>
    </message>
    <message>
        <source>United Arab Emirates</source>
        <translation>United Arab Emirates</translation>
    </message>
    <message>
        <source>United Kiongdom</source>
        <translation>United Kiongdom</translation>
    </message>
    <message>
        <source>United States of America</source>
        <translation>United States of America</translation>
    </message>
    <message>
        <source>Uruguay</source>
        <translation>Uruguay</translation>
    </message>
    <message>
        <source>Uzbekistan</source>
        <translation>Uzbekistan</translation>
    </message>
    <message>
        <source>Venezuela</source>
        <translation>Venezuela</translation>
    </message>
    <message>
        <source>Vietnam</source>
        <translation>Vietnam</translation>
    </message>
    <message>
        <source>Yemen</source>
        <translation>Yemen</translation>
    </message>
    <message>
        <source>Yugoslavia</source>
        <translation>Yugoslavia</translation>
    </message>
    <message>
        <source>Zimbabwe</source>
        <translation>Zimbabwe</translation>
    </message>
    <message>
        <source>Zaire</source>
        <translation>Zaire</translation>
    </message>
    <message>
        <source>Zambia</source>
        <translation>Zambia</translation>
    </message>
</context>
<context>
    <name>VEmojiListModel</name>
    <message>
        <source>beating</source>
        <translation>挨打</translation>
    </message>
    <message>
        <source>Arrogance</source>
        <translation>傲慢</translation>
    </message>
    <message>
        <source>despise</source>
        <translation>鄙视</translation>
    </message>
    <message>
        <source>ShutUp</source>
        <translation>闭嘴</translation>
    </message>
    <message>
        <source>avarice</source>
        <translation>财迷</translation>
    </message>
    <message>
        <source>WipePerspiration</source>
        <translation>擦汗</translation>
    </message>
    <message>
        <source>BigRedLip</source>
        <translation>大红唇</translation>
    </message>
    <message>
        <source>BigLaugh</source>
        <translation>大笑</translation>
    </message>
    <message>
        <source>Proud</source>
        <translation>得意</translation>
    </message>
    <message>
        <source>daze</source>
        <translation>发呆</translation>
    </message>
    <message>
        <source>ThrowKiss</source>
        <translation>飞吻</translation>
    </message>
    <message>
        <source>Struggle</source>
        <translation>奋斗</translation>
    </message>
    <message>
        <source>Anger</source>
        <translation>愤怒</translation>
    </message>
    <message>
        <source>embarrassed</source>
        <translation>尴尬</translation>
    </message>
    <message>
        <source>Shy</source>
        <translation>害羞</translation>
    </message>
    <message>
        <source>ASERE</source>
        <translation>嘿哈</translation>
    </message>
    <message>
        <source>smirk</source>
        <translation>奸笑</translation>
    </message>
    <message>
        <source>false</source>
        <translation>奸诈</translation>
    </message>
    <message>
        <source>Hunger</source>
        <translation>饥饿</translation>
    </message>
    <message>
        <source>Panic</source>
        <translation>惊恐</translation>
    </message>
    <message>
        <source>Frightened</source>
        <translation>惊吓</translation>
    </message>
    <message>
        <source>wit</source>
        <translation>机智</translation>
    </message>
    <message>
        <source>happy</source>
        <translation>开心</translation>
    </message>
    <message>
        <source>nose-picking</source>
        <translation>抠鼻子</translation>
    </message>
    <message>
        <source>Cry</source>
        <translation>哭</translation>
    </message>
    <message>
        <source>Skeleton</source>
        <translation>骷髅</translation>
    </message>
    <message>
        <source>Trapped</source>
        <translation>困</translation>
    </message>
    <message>
        <source>ColdSweat</source>
        <translation>冷汗</translation>
    </message>
    <message>
        <source>Blush</source>
        <translation>脸红</translation>
    </message>
    <message>
        <source>Sweat</source>
        <translation>流汗</translation>
    </message>
    <message>
        <source>ActingCute</source>
        <translation>卖萌</translation>
    </message>
    <message>
        <source>Abuse</source>
        <translation>谩骂</translation>
    </message>
    <message>
        <source>BeGrieved</source>
        <translation>难过</translation>
    </message>
    <message>
        <source>Vomiting</source>
        <translation>呕吐</translation>
    </message>
    <message>
        <source>Knock</source>
        <translation>敲打</translation>
    </message>
    <message>
        <source>Kiss</source>
        <translation>亲亲</translation>
    </message>
    <message>
        <source>Embarrassing</source>
        <translation>糗大了</translation>
    </message>
    <message>
        <source>Saucy</source>
        <translation>色</translation>
    </message>
    <message>
        <source>SpecialVexed</source>
        <translation>神烦狗</translation>
    </message>
    <message>
        <source>Angry</source>
        <translation>生气</translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation>睡觉</translation>
    </message>
    <message>
        <source>sorry</source>
        <translation>sorry</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>衰</translation>
    </message>
    <message>
        <source>mischief</source>
        <translation>淘气</translation>
    </message>
    <message>
        <source>Naughty</source>
        <translation>调皮</translation>
    </message>
    <message>
        <source>surrender</source>
        <translation>投降</translation>
    </message>
    <message>
        <source>SecretlyLaugh</source>
        <translation>偷笑</translation>
    </message>
    <message>
        <source>VomitingBlood</source>
        <translation>吐血</translation>
    </message>
    <message>
        <source>Injustice</source>
        <translation>委屈</translation>
    </message>
    <message>
        <source>Smile</source>
        <translation>微笑</translation>
    </message>
    <message>
        <source>facepalm</source>
        <translation>捂脸</translation>
    </message>
    <message>
        <source>boring</source>
        <translation>无聊</translation>
    </message>
    <message>
        <source>speechless</source>
        <translation>无语</translation>
    </message>
    <message>
        <source>Laugh</source>
        <translation>笑</translation>
    </message>
    <message>
        <source>SHH</source>
        <translation>小声点</translation>
    </message>
    <message>
        <source>Insidious</source>
        <translation>阴险</translation>
    </message>
    <message>
        <source>Doubt</source>
        <translation>疑问</translation>
    </message>
    <message>
        <source>Dizzy</source>
        <translation>晕</translation>
    </message>
    <message>
        <source>Goodbye</source>
        <translation>再见</translation>
    </message>
    <message>
        <source>frown</source>
        <translation>皱眉</translation>
    </message>
</context>
<context>
    <name>VTranslationSwitchPopupWindow</name>
    <message>
        <source>Chinese simplified</source>
        <translation>中文简体</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英语</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>日语</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>韩语</translation>
    </message>
    <message>
        <source>Chinese traditional</source>
        <translation>中文繁体</translation>
    </message>
    <message>
        <source>French</source>
        <translation>法语</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>西班牙语</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>泰语</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>阿拉伯语</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>俄语</translation>
    </message>
    <message>
        <source>Portuguese</source>
        <translation>葡萄牙语</translation>
    </message>
    <message>
        <source>German</source>
        <translation>德语</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>意大利语</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>希腊语</translation>
    </message>
    <message>
        <source>Dutch</source>
        <translation>荷兰语</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>波兰语</translation>
    </message>
    <message>
        <source>Bulgarian</source>
        <translation>保加利亚语</translation>
    </message>
    <message>
        <source>Danish</source>
        <translation>丹麦语</translation>
    </message>
    <message>
        <source>Finnish</source>
        <translation>芬兰语</translation>
    </message>
    <message>
        <source>Estonian</source>
        <translation>爱沙尼亚语</translation>
    </message>
    <message>
        <source>Czech</source>
        <translation>捷克语</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>罗马尼亚语</translation>
    </message>
    <message>
        <source>Swedish</source>
        <translation>瑞典语</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>越南语</translation>
    </message>
    <message>
        <source>Hungarian</source>
        <translation>匈牙利语</translation>
    </message>
    <message>
        <source>Slovenian</source>
        <translation>斯洛文尼亚语</translation>
    </message>
</context>
<context>
    <name>VLoginPage</name>
    <message>
        <source>Welcome to</source>
        <translation>欢迎来到</translation>
    </message>
    <message>
        <source>Start your digital life here</source>
        <translation>从这里开启你的数字生活</translation>
    </message>
    <message>
        <source>Mobile Scan
QR code login</source>
        <translation>手机扫描
二维码登录</translation>
    </message>
    <message>
        <source>Desktop Tesmo Chat needs to be used with your mobile phone to log in</source>
        <translation>桌面版TesmoChat需配合手机使用登录</translation>
    </message>
    <message>
        <source>登录认证中...</source>
        <translation>登录认证中...</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>Mobile number</source>
        <translation>手机号码</translation>
    </message>
    <message>
        <source>请输入手机号码</source>
        <translation>请输入手机号码</translation>
    </message>
    <message>
        <source>SMS verification code</source>
        <translation>短信验证码</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>请输入验证码</translation>
    </message>
    <message>
        <source>Phone format Incorrect, please re-enter</source>
        <translation>手机号格式不正确，请重新输入</translation>
    </message>
    <message>
        <source>登  录</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>验证码错误，请重新输入</source>
        <translation>验证码错误，请重新输入</translation>
    </message>
    <message>
        <source>Login means read and agree </source>
        <translation>登录即代表阅读并同意</translation>
    </message>
    <message>
        <source>the terms</source>
        <translation>使用条款</translation>
    </message>
    <message>
        <source>Please agree the terms</source>
        <translation>请先同意使用条款</translation>
    </message>
</context>
<context>
    <name>VOneKeyToInviteContentCom</name>
    <message>
        <source>Only supports VCF formats</source>
        <translation>仅支持VCF格式</translation>
    </message>
    <message>
        <source>Download template</source>
        <translation>下载模板</translation>
    </message>
    <message>
        <source>Open template folder</source>
        <translation>打开模板所在文件夹</translation>
    </message>
    <message>
        <source>Save template file</source>
        <translation>保存模板文件</translation>
    </message>
    <message>
        <source>contacts%1</source>
        <translation>通讯录%1</translation>
    </message>
    <message>
        <source>Template download succeeded</source>
        <translation>模板下载成功</translation>
    </message>
    <message>
        <source>Template download failed</source>
        <translation>模板下载失败</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>请选择一个文件</translation>
    </message>
    <message>
        <source>Start to invite</source>
        <translation>开始邀请</translation>
    </message>
    <message>
        <source>Inviting...</source>
        <translation>邀请中...</translation>
    </message>
    <message>
        <source>Invitation success</source>
        <translation>邀请成功</translation>
    </message>
    <message>
        <source>Invitation failed</source>
        <translation>邀请失败</translation>
    </message>
</context>
<context>
    <name>VCheckUpdatePopupWindow</name>
    <message>
        <source>Version Update</source>
        <translation>版本更新</translation>
    </message>
    <message>
        <source>Discover new version</source>
        <translation>发现新版本</translation>
    </message>
    <message>
        <source>Version：%1</source>
        <translation>版本：%1</translation>
    </message>
    <message>
        <source>Size：%1</source>
        <translation>大小：%1</translation>
    </message>
    <message>
        <source>Update log：</source>
        <translation>更新日志：</translation>
    </message>
    <message>
        <source>Update now</source>
        <translation>立即更新</translation>
    </message>
</context>
<context>
    <name>VSyncToContactsPopupWindow</name>
    <message>
        <source>Sync to contacts</source>
        <translation>同步到联系人</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>联系人</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>群组</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>VForwardPopupWindow</name>
    <message>
        <source>Forward to</source>
        <translation>转发给</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>联系人</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>群组</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>VSyncToContactsConfirmPopupWindow</name>
    <message>
        <source>Sync to</source>
        <translation>同步到</translation>
    </message>
    <message>
        <source>To use the message sync function, you need to &quot;check and sync&quot;. Do you want to &quot;check&quot; it?</source>
        <translation>使用消息同步功能需要“勾选同步”，是否现在“勾选”？</translation>
    </message>
    <message>
        <source>No more prompts next time</source>
        <translation>下次不再提示</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>VReceiveKickOutPopupWindow</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Your account is logged in on another device at %1. This client has logged out. If that is not you, please change your login password in time.</source>
        <translation>您的账号于%1在其他设备上登录，此客户端已退出。如非本人操作，请及时修改登录密码。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>VConnectStatusBar</name>
    <message>
        <source>Current network is not available, please check your network</source>
        <translation>当前网络不可用，请检查你的网络</translation>
    </message>
    <message>
        <source>Network is connecting...</source>
        <translation>网络连接中...</translation>
    </message>
</context>
<context>
    <name>VMessageRedEnvelope</name>
    <message>
        <source>[You sent a Tesmo Chat red envelope]</source>
        <translation>[你发了一个TesmoChat红包]</translation>
    </message>
    <message>
        <source>[You receive a Tesmo Chat red envelope, please check it on your phone]</source>
        <translation>[你收到一个TesmoChat红包，请在手机上查看]</translation>
    </message>
</context>
<context>
    <name>VScreenshotMenu</name>
    <message>
        <source>Screenshot%1</source>
        <translation>截图%1</translation>
    </message>
    <message>
        <source>Hide Tesmo Chat screenshot</source>
        <translation>截图时隐藏TesmoChat</translation>
    </message>
</context>
<context>
    <name>VSendFileMsgCom</name>
    <message>
        <source>Sending...</source>
        <translation>发送中...</translation>
    </message>
    <message>
        <source>Send failed</source>
        <translation>发送失败</translation>
    </message>
</context>
<context>
    <name>VSendVerificationCode</name>
    <message>
        <source>获取验证码</source>
        <translation>获取验证码</translation>
    </message>
    <message>
        <source>重新获取</source>
        <translation>重新获取</translation>
    </message>
</context>
<context>
    <name>VUsingTermsContent</name>
    <message>
        <source>使用条款</source>
        <translation>使用条款</translation>
    </message>
    <message>
        <source>1. Registration. To use Tesmo Chat you register an account with your mobile phone number and the verification code sent to it. The information you give must be true and your own.
2. Your account. The account is for your personal use only. Keep your phone and your codes safe; you are responsible for everything done with your account. Tell us at once if it is used without your permission.
3. Use of the service. Do not use the service to send unlawful, fraudulent, abusive or infringing content, to spread spam or malicious software, or to disturb other users or the service itself.
4. Content. You keep the rights to what you send. Messages, pictures and files are stored on your devices and on our servers only as far as the service needs them.
5. Digital assets. Price charts, quotes and red envelopes are shown for information only and are no investment advice.
6. Changes and termination. We may change or end the service, or suspend accounts that break these terms. The terms in force are those shown in the latest version of the program.</source>
        <translation>1. 注册。使用TesmoChat须以您的手机号码及发送至该号码的验证码注册账号。您提供的信息须真实且属于您本人。
2. 账号。账号仅供您本人使用。请妥善保管您的手机和验证码；您对使用您账号进行的一切行为负责。如发现账号被盗用，请立即告知我们。
3. 服务的使用。不得利用本服务发送违法、欺诈、辱骂或侵权的内容，不得传播垃圾信息或恶意软件，不得干扰其他用户或本服务。
4. 内容。您对所发送的内容保留权利。消息、图片和文件仅在服务所需的范围内保存在您的设备和我们的服务器上。
5. 数字资产。行情图、报价和红包仅供参考，不构成任何投资建议。
6. 变更与终止。我们可能变更或终止本服务，或暂停违反本条款的账号。有效条款以本程序最新版本中显示的为准。</translation>
    </message>
</context>
<context>
    <name>VContactInfoPopupWindow</name>
    <message>
        <source>Summary:%1</source>
        <translation>简介：%1</translation>
    </message>
</context>
<context>
    <name>VCountryCodeSelector</name>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
</context>
<context>
    <name>VEmojiPopupWindow</name>
    <message>
        <source>Function is developing, please try on next version</source>
        <translation>功能开发中，请在下个版本中体验</translation>
    </message>
</context>
<context>
    <name>VGroupsListCom</name>
    <message>
        <source> members</source>
        <translation> 人</translation>
    </message>
</context>
<context>
    <name>VMessageAudio</name>
    <message>
        <source>Tesmo Chat translate</source>
        <translation>TesmoChat翻译</translation>
    </message>
</context>
<context>
    <name>VMessageNotSupport</name>
    <message>
        <source>[The message is not supported in this version, please check it on your phone]</source>
        <translation>[当前版本不支持此消息，请在手机上查看]</translation>
    </message>
</context>
<context>
    <name>VMessageText</name>
    <message>
        <source>Tesmo Chat translate</source>
        <translation>TesmoChat翻译</translation>
    </message>
</context>
<context>
    <name>VRevokeNotifyMsgCom</name>
    <message>
        <source>Re-edit</source>
        <translation>重新编辑</translation>
    </message>
</context>
<context>
    <name>VScreenshot</name>
    <message>
        <source>Save as</source>
        <translation>另存为</translation>
    </message>
</context>
<context>
    <name>VSessionListMenu</name>
    <message>
        <source>Delete chat</source>
        <translation>删除聊天</translation>
    </message>
</context>
<context>
    <name>VTimeMsgCom</name>
    <message>
        <source>Yesterday</source>
        <translation>昨天</translation>
    </message>
</context>
</TS>
