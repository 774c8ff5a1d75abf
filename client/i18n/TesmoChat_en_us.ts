<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>VTr</name>
    <message>
        <source>New group administrator(s) was added successfully</source>
        <translation>New group administrator(s) was added successfully</translation>
    </message>
    <message>
        <source>Add friend</source>
        <translation>Add friend</translation>
    </message>
    <message>
        <source>Add manager(s)</source>
        <translation>Add manager(s)</translation>
    </message>
    <message>
        <source>Add group managers failed</source>
        <translation>Add group managers failed</translation>
    </message>
    <message>
        <source>Add group members failed</source>
        <translation>Failed to add members</translation>
    </message>
    <message>
        <source>Add Group Chat</source>
        <translation>New group chat</translation>
    </message>
    <message>
        <source>Add members</source>
        <translation>Add members</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>Apps</source>
        <translation>App Center</translation>
    </message>
    <message>
        <source>@ all</source>
        <translation>@ all</translation>
    </message>
    <message>
        <source>@ me</source>
        <translation>@ me</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Auto move to top</source>
        <translation>Auto move to top</translation>
    </message>
    <message>
        <source>Total silence</source>
        <translation>Ban all members</translation>
    </message>
    <message>
        <source>Ban anyone join</source>
        <translation>Ban anyone join</translation>
    </message>
    <message>
        <source>This group has banned sending pictures</source>
        <translation>This group has banned sending pictures</translation>
    </message>
    <message>
        <source>Ban sending pictures</source>
        <translation>Ban sending pictures</translation>
    </message>
    <message>
        <source>Ban sending urls</source>
        <translation>Ban sending urls</translation>
    </message>
    <message>
        <source>Ban members chat separately</source>
        <translation>Ban members chat separately</translation>
    </message>
    <message>
        <source>This group has been set to ban members chat separately</source>
        <translation>This group has been set to ban members chat separately</translation>
    </message>
    <message>
        <source>This group has banned speech</source>
        <translation>This group has banned speech</translation>
    </message>
    <message>
        <source>You have been banned</source>
        <translation>You have been banned</translation>
    </message>
    <message>
        <source>This group has banned sending urls</source>
        <translation>This group has banned sending urls</translation>
    </message>
    <message>
        <source>Block User</source>
        <translation>Block User</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Chats</source>
        <translation>Chats</translation>
    </message>
    <message>
        <source>Please check network connection</source>
        <translation>Please check network connection</translation>
    </message>
    <message>
        <source>Child Group</source>
        <translation>Child Group</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>Please choose a file</translation>
    </message>
    <message>
        <source>Please choose a image</source>
        <translation>Please select an image</translation>
    </message>
    <message>
        <source>Choose File</source>
        <translation>Choose File</translation>
    </message>
    <message>
        <source>Your join request was rejected</source>
        <translation>Your join request was rejected</translation>
    </message>
    <message>
        <source>Code enter group</source>
        <translation>Code enter group</translation>
    </message>
    <message>
        <source>Code error</source>
        <translation>Code error</translation>
    </message>
    <message>
        <source>Code expired</source>
        <translation>Code expired</translation>
    </message>
    <message>
        <source>Invite join only</source>
        <translation>Invite join only</translation>
    </message>
    <message>
        <source>Collect more</source>
        <translation>Collect more</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Group chat create failed</source>
        <translation>Failed to create group chats</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Data editing</source>
        <translation>Information edit</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Delete and exit</source>
        <translation>Delete and exit</translation>
    </message>
    <message>
        <source>Delete manager(s)</source>
        <translation>Delete manager(s)</translation>
    </message>
    <message>
        <source>Delete group managers failed</source>
        <translation>Delete group managers failed</translation>
    </message>
    <message>
        <source>Delete group members failed</source>
        <translation>Failed to delete members</translation>
    </message>
    <message>
        <source>Delete member(s)</source>
        <translation>Delete members</translation>
    </message>
    <message>
        <source>Desktop notification</source>
        <translation>Desktop notification</translation>
    </message>
    <message>
        <source>Disband</source>
        <translation>Disband</translation>
    </message>
    <message>
        <source>Group disbanded</source>
        <translation>Group disbanded</translation>
    </message>
    <message>
        <source>current group had been disbanded by the owner</source>
        <translation>current group had been disbanded by the owner</translation>
    </message>
    <message>
        <source>Disband faild</source>
        <translation>Disband faild</translation>
    </message>
    <message>
        <source>Disband group was Faild</source>
        <translation>Disband group was Faild</translation>
    </message>
    <message>
        <source>Disband group</source>
        <translation>Disband group</translation>
    </message>
    <message>
        <source>Message will no longer be received after disband, and the chat history, pictures, and files of this group will also be deleted</source>
        <translation>Message will no longer be received after disband, and the chat history, pictures, and files of this group will also be deleted</translation>
    </message>
    <message>
        <source>Disband successed</source>
        <translation>Disband successed</translation>
    </message>
    <message>
        <source>Disband group was successfully</source>
        <translation>Disband group was successfully</translation>
    </message>
    <message>
        <source>Don't disturb</source>
        <translation>Mute notifications</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>Download failed</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Downloading...</translation>
    </message>
    <message>
        <source>Download App</source>
        <translation>Download App</translation>
    </message>
    <message>
        <source>Draft</source>
        <translation>Draft</translation>
    </message>
    <message>
        <source>Drop it in this area to paste or send</source>
        <translation>Drop it in this area to paste or send</translation>
    </message>
    <message>
        <source>Drop it in this area to send</source>
        <translation>Drop it in this area to send</translation>
    </message>
    <message>
        <source>Emoticon</source>
        <translation>Sticker</translation>
    </message>
    <message>
        <source>Good afternoon, take a look at the currency dynamics!</source>
        <translation>Good afternoon. Take a nap to the crypto news!</translation>
    </message>
    <message>
        <source>Good evening, get off work and get to know the currency!</source>
        <translation>Good evening. Welcome home and learn about the crypto market!</translation>
    </message>
    <message>
        <source>In the middle of the night, take a good rest and wait for the bull market!</source>
        <translation>Late at night, take a good rest and wait for the bull market!</translation>
    </message>
    <message>
        <source>Good morning, a good day starts at the Tesmo circle!</source>
        <translation>Good morning and start your perfect day in the crypto world!</translation>
    </message>
    <message>
        <source>Enter code to join group chat</source>
        <translation>Enter code to join group chat</translation>
    </message>
    <message>
        <source>You entered is too long</source>
        <translation>You entered is too long</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>Exit Faild</source>
        <translation>Exit Faild</translation>
    </message>
    <message>
        <source>Exit group was Faild</source>
        <translation>Exit group was Faild</translation>
    </message>
    <message>
        <source>Exit group chat</source>
        <translation>Exit group chat</translation>
    </message>
    <message>
        <source>Exit the group chat will no longer receive messages from it</source>
        <translation>Exit the group chat will no longer receive messages from it</translation>
    </message>
    <message>
        <source>Exit Successed</source>
        <translation>Exit Successed</translation>
    </message>
    <message>
        <source>Exit group was successfully</source>
        <translation>Exit group was successfully</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>File save failed</source>
        <translation>File save failed</translation>
    </message>
    <message>
        <source>File save finished</source>
        <translation>File save finished</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Function is developing</source>
        <translation>Function is developing</translation>
    </message>
    <message>
        <source>Function is developing, please try on next version</source>
        <translation>This function will be available soon. Please try in the next version.</translation>
    </message>
    <message>
        <source>The above child groups can see the main group messages</source>
        <translation>The above child groups can see the main group messages</translation>
    </message>
    <message>
        <source>Click Finished to unbind with the main group</source>
        <translation>Click Finished to unbind with the main group</translation>
    </message>
    <message>
        <source>Group code</source>
        <translation>Group code</translation>
    </message>
    <message>
        <source>Group owner</source>
        <translation>Group owner</translation>
    </message>
    <message>
        <source>Groups in Common</source>
        <translation>Groups in Common</translation>
    </message>
    <message>
        <source>Image files</source>
        <translation>Image files</translation>
    </message>
    <message>
        <source>Information modify failed</source>
        <translation>Failed to change user information</translation>
    </message>
    <message>
        <source>Intro</source>
        <translation>Intro</translation>
    </message>
    <message>
        <source>Language and text</source>
        <translation>Language and text</translation>
    </message>
    <message>
        <source>This group manager is lazy and leaves nothing...</source>
        <translation>This group manager is lazy and leaves nothing...</translation>
    </message>
    <message>
        <source>no intro</source>
        <translation>no intro</translation>
    </message>
    <message>
        <source>Load more</source>
        <translation>Load more</translation>
    </message>
    <message>
        <source>Local upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Main group</source>
        <translation>Main group</translation>
    </message>
    <message>
        <source>Managers</source>
        <translation>Administrators</translation>
    </message>
    <message>
        <source>Members</source>
        <translation>Members</translation>
    </message>
    <message>
        <source>members</source>
        <translation>members</translation>
    </message>
    <message>
        <source>Message tone</source>
        <translation>Message tone</translation>
    </message>
    <message>
        <source>Message too long</source>
        <translation>Message too long</translation>
    </message>
    <message>
        <source>The text you entered is too long to send</source>
        <translation>The text you entered can't be sent as it's too long.</translation>
    </message>
    <message>
        <source>Mobile Scan
QR code download</source>
        <translation>Mobile Scan
QR code download</translation>
    </message>
    <message>
        <source> (Myself)</source>
        <translation> (Myself)</translation>
    </message>
    <message>
        <source>Nick</source>
        <translation>Nick</translation>
    </message>
    <message>
        <source>My nick in group</source>
        <translation>My nickname in group</translation>
    </message>
    <message>
        <source>No more messages</source>
        <translation>No more messages</translation>
    </message>
    <message>
        <source>No search result</source>
        <translation>No search result</translation>
    </message>
    <message>
        <source>Not group member</source>
        <translation>Not group member</translation>
    </message>
    <message>
        <source>The group has disbanded, or you have been removed from the group</source>
        <translation>The group has disbanded, or you have been removed from the group</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notification</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Open failed</source>
        <translation>Failed to open</translation>
    </message>
    <message>
        <source>File is not exists</source>
        <translation>File is not exists</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Failed to open group Settings, please try again later</source>
        <translation>Failed to enter group settings. Please try again later.</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Phone screenshot prompt</source>
        <translation>Phone screenshot prompt</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Quick to invite</source>
        <translation>Quick to invite</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>High</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Vol</source>
        <translation>Vol</translation>
    </message>
    <message>
        <source>Quotes</source>
        <translation>Quotes</translation>
    </message>
    <message>
        <source>More</source>
        <translation>More</translation>
    </message>
    <message>
        <source>Select up to %1 contacts and groups</source>
        <translation>Select up to %1 contacts and groups</translation>
    </message>
    <message>
        <source>Reach the upper limit</source>
        <translation>Reach the upper limit</translation>
    </message>
    <message>
        <source>Recall</source>
        <translation>Recall</translation>
    </message>
    <message>
        <source>Receive main group message</source>
        <translation>Receive main group message</translation>
    </message>
    <message>
        <source>Tesmo Chat red envelope</source>
        <translation>Tesmo Chat red envelope</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Refresh retry</source>
        <translation>Refresh retry</translation>
    </message>
    <message>
        <source>Unbind faild</source>
        <translation>Unbind faild</translation>
    </message>
    <message>
        <source>Unbind to the main group failed</source>
        <translation>Unbind to the main group failed</translation>
    </message>
    <message>
        <source>Unbind successed</source>
        <translation>Unbind successed</translation>
    </message>
    <message>
        <source>Unbind to the main group successed</source>
        <translation>Unbind to the main group successed</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>The group administrator(s) was removed successfully</source>
        <translation>The group administrator(s) was removed successfully</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Retry download</source>
        <translation>Retry download</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Search phone number or Tesmo Chat ID</source>
        <translation>Search phone number or Tesmo Chat ID</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Send File(s)</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>Send message</source>
        <translation>Send message</translation>
    </message>
    <message>
        <source>%1 to send, %2 to wrap.</source>
        <translation>%1 Send,%2 Newline</translation>
    </message>
    <message>
        <source>Setting Successed</source>
        <translation>Setting Successed</translation>
    </message>
    <message>
        <source>Setting failed</source>
        <translation>Setting failed</translation>
    </message>
    <message>
        <source>Someone @ me</source>
        <translation>Someone @ me</translation>
    </message>
    <message>
        <source> has recall a message</source>
        <translation> has recall a message</translation>
    </message>
    <message>
        <source>Start download</source>
        <translation>Start download</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Switch language</source>
        <translation>Switch language</translation>
    </message>
    <message>
        <source>Sync to</source>
        <translation>Sync to</translation>
    </message>
    <message>
        <source>System Settings</source>
        <translation>System Settings</translation>
    </message>
    <message>
        <source>Tesmo Chat</source>
        <translation>Tesmo Chat</translation>
    </message>
    <message>
        <source>Tesmo Chat Contacts</source>
        <translation>Tesmo Chat Contacts</translation>
    </message>
    <message>
        <source>Tesmo Chat Groups</source>
        <translation>Tesmo Chat Groups</translation>
    </message>
    <message>
        <source>Time left</source>
        <translation>Time left</translation>
    </message>
    <message>
        <source>It's too deserted, so invite your friends to be noisy!</source>
        <translation>It's too quiet here. Invite your friends immediately. Let's chitchatting!</translation>
    </message>
    <message>
        <source>Transfer group</source>
        <translation>Transfer group</translation>
    </message>
    <message>
        <source>Transfer group failed</source>
        <translation>Transfer group failed</translation>
    </message>
    <message>
        <source>Transfer Successed</source>
        <translation>Transfer Successed</translation>
    </message>
    <message>
        <source>Transfer group was successfully</source>
        <translation>Transfer group was successfully</translation>
    </message>
    <message>
        <source>Translate</source>
        <translation>Translate</translation>
    </message>
    <message>
        <source>Tesmo Chat ID: </source>
        <translation>Tesmo Chat ID: </translation>
    </message>
    <message>
        <source>Unable to transfer</source>
        <translation>Unable to transfer</translation>
    </message>
    <message>
        <source>No contact is available for transfer</source>
        <translation>No contact is available for transfer</translation>
    </message>
    <message>
        <source>Unbind</source>
        <translation>Unbind</translation>
    </message>
    <message>
        <source>Under construction, please look forward to...</source>
        <translation>In construction. Coming soon.…</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Update successed</source>
        <translation>Updated successfully</translation>
    </message>
    <message>
        <source>user information update successed</source>
        <translation>User information updated successfully</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version update</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Without the permission</source>
        <translation>Without the permission</translation>
    </message>
    <message>
        <source>You have not opened this permission</source>
        <translation>You have not opened this permission</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Yesterday</translation>
    </message>
    <message>
        <source>You have recall a message</source>
        <translation>You have recall a message</translation>
    </message>
    <message>
        <source>Select up to %1 managers this time</source>
        <translation>Select up to %1 managers this time</translation>
    </message>
    <message>
        <source>Members: %1</source>
        <translation>Members: %1</translation>
    </message>
    <message>
        <source>Disband: %1</source>
        <translation>Disband: %1</translation>
    </message>
    <message>
        <source>%1 member(s) select</source>
        <translation>%1 Contacts selected</translation>
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
        <translation>Bermuda Islands</translation>
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
        <translation>Burkina Faso</translation>
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
        <translation>Cayman Islands</translation>
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
        <translation>Cook Islands</translation>
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
        <translation>Czech</translation>
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
        <translation>Dominican Republic</translation>
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
        <translation>Hongkong China</translation>
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
        <translation>Ivory Coast</translation>
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
        <translation>Kampuchea</translation>
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
        <translation>Macao China</translation>
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
        <translation>Mariana Islands</translation>
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
        <translation>Moldova</translation>
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
        <translation>Montserrat</translation>
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
        <translation>The Netherlands Antilles</translation>
    </message>
    <message>
        <source>Netheriands</source>
        <translation>Netheriands</translation>
    </message>
    <message>
        <source>NewZealand</source>
        <translation>New Zealand</translation>
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
        <translation>French Polynesia</translation>
    </message>
    <message>
        <source>Portugal</source>
        <translation>Portugal</translation>
    </message>
    <message>
        <source>PuertoRico</source>
        <translation>Puerto Rico</translation>
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
        <translation>Saint Lueia</translation>
    </message>
    <message>
        <source>Saint Vincent</source>
        <translation>Saint Vincent</translation>
    </message>
    <message>
        <source>Samoa Eastern</source>
        <translation>Eastern Samoa(American)</translation>
    </message>
    <message>
        <source>Samoa Western</source>
        <translation>Western Samoa</translation>
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
        <translation>Solomon Islands</translation>
    </message>
    <message>
        <source>Somali</source>
        <translation>Somalia</translation>
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
        <translation>Taiwan China</translation>
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
        <translation>United Kingdom</translation>
    </message>
    <message>
        <source>United States of America</source>
        <translation>United States</translation>
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
        <translation>beating</translation>
    </message>
    <message>
        <source>Arrogance</source>
        <translation>Arrogance</translation>
    </message>
    <message>
        <source>despise</source>
        <translation>despise</translation>
    </message>
    <message>
        <source>ShutUp</source>
        <translation>ShutUp</translation>
    </message>
    <message>
        <source>avarice</source>
        <translation>avarice</translation>
    </message>
    <message>
        <source>WipePerspiration</source>
        <translation>WipePerspiration</translation>
    </message>
    <message>
        <source>BigRedLip</source>
        <translation>BigRedLip</translation>
    </message>
    <message>
        <source>BigLaugh</source>
        <translation>BigLaugh</translation>
    </message>
    <message>
        <source>Proud</source>
        <translation>Proud</translation>
    </message>
    <message>
        <source>daze</source>
        <translation>daze</translation>
    </message>
    <message>
        <source>ThrowKiss</source>
        <translation>ThrowKiss</translation>
    </message>
    <message>
        <source>Struggle</source>
        <translation>Struggle</translation>
    </message>
    <message>
        <source>Anger</source>
        <translation>Anger</translation>
    </message>
    <message>
        <source>embarrassed</source>
        <translation>embarrassed</translation>
    </message>
    <message>
        <source>Shy</source>
        <translation>Shy</translation>
    </message>
    <message>
        <source>ASERE</source>
        <translation>ASERE</translation>
    </message>
    <message>
        <source>smirk</source>
        <translation>smirk</translation>
    </message>
    <message>
        <source>false</source>
        <translation>false</translation>
    </message>
    <message>
        <source>Hunger</source>
        <translation>Hunger</translation>
    </message>
    <message>
        <source>Panic</source>
        <translation>Panic</translation>
    </message>
    <message>
        <source>Frightened</source>
        <translation>Frightened</translation>
    </message>
    <message>
        <source>wit</source>
        <translation>wit</translation>
    </message>
    <message>
        <source>happy</source>
        <translation>happy</translation>
    </message>
    <message>
        <source>nose-picking</source>
        <translation>nose-picking</translation>
    </message>
    <message>
        <source>Cry</source>
        <translation>Cry</translation>
    </message>
    <message>
        <source>Skeleton</source>
        <translation>Skeleton</translation>
    </message>
    <message>
        <source>Trapped</source>
        <translation>Trapped</translation>
    </message>
    <message>
        <source>ColdSweat</source>
        <translation>ColdSweat</translation>
    </message>
    <message>
        <source>Blush</source>
        <translation>Blush</translation>
    </message>
    <message>
        <source>Sweat</source>
        <translation>Sweat</translation>
    </message>
    <message>
        <source>ActingCute</source>
        <translation>ActingCute</translation>
    </message>
    <message>
        <source>Abuse</source>
        <translation>Abuse</translation>
    </message>
    <message>
        <source>BeGrieved</source>
        <translation>BeGrieved</translation>
    </message>
    <message>
        <source>Vomiting</source>
        <translation>Vomiting</translation>
    </message>
    <message>
        <source>Knock</source>
        <translation>Knock</translation>
    </message>
    <message>
        <source>Kiss</source>
        <translation>Kiss</translation>
    </message>
    <message>
        <source>Embarrassing</source>
        <translation>Embarrassing</translation>
    </message>
    <message>
        <source>Saucy</source>
        <translation>Saucy</translation>
    </message>
    <message>
        <source>SpecialVexed</source>
        <translation>SpecialVexed</translation>
    </message>
    <message>
        <source>Angry</source>
        <translation>Angry</translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation>Sleep</translation>
    </message>
    <message>
        <source>sorry</source>
        <translation>sorry</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Failure</translation>
    </message>
    <message>
        <source>mischief</source>
        <translation>mischief</translation>
    </message>
    <message>
        <source>Naughty</source>
        <translation>Naughty</translation>
    </message>
    <message>
        <source>surrender</source>
        <translation>surrender</translation>
    </message>
    <message>
        <source>SecretlyLaugh</source>
        <translation>SecretlyLaugh</translation>
    </message>
    <message>
        <source>VomitingBlood</source>
        <translation>VomitingBlood</translation>
    </message>
    <message>
        <source>Injustice</source>
        <translation>Injustice</translation>
    </message>
    <message>
        <source>Smile</source>
        <translation>Smile</translation>
    </message>
    <message>
        <source>facepalm</source>
        <translation>facepalm</translation>
    </message>
    <message>
        <source>boring</source>
        <translation>boring</translation>
    </message>
    <message>
        <source>speechless</source>
        <translation>speechless</translation>
    </message>
    <message>
        <source>Laugh</source>
        <translation>Laugh</translation>
    </message>
    <message>
        <source>SHH</source>
        <translation>SHH</translation>
    </message>
    <message>
        <source>Insidious</source>
        <translation>Insidious</translation>
    </message>
    <message>
        <source>Doubt</source>
        <translation>Doubt</translation>
    </message>
    <message>
        <source>Dizzy</source>
        <translation>Dizzy</translation>
    </message>
    <message>
        <source>Goodbye</source>
        <translation>Goodbye</translation>
    </message>
    <message>
        <source>frown</source>
        <translation>frown</translation>
    </message>
</context>
<context>
    <name>VTranslationSwitchPopupWindow</name>
    <message>
        <source>Chinese simplified</source>
        <translation>Chinese simplified</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Korean</translation>
    </message>
    <message>
        <source>Chinese traditional</source>
        <translation>Chinese traditional</translation>
    </message>
    <message>
        <source>French</source>
        <translation>French</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanish</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thai</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabic</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russian</translation>
    </message>
    <message>
        <source>Portuguese</source>
        <translation>Portuguese</translation>
    </message>
    <message>
        <source>German</source>
        <translation>German</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italian</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Greek</translation>
    </message>
    <message>
        <source>Dutch</source>
        <translation>Dutch</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Polish</translation>
    </message>
    <message>
        <source>Bulgarian</source>
        <translation>Bulgarian</translation>
    </message>
    <message>
        <source>Danish</source>
        <translation>Danish</translation>
    </message>
    <message>
        <source>Finnish</source>
        <translation>Finnish</translation>
    </message>
    <message>
        <source>Estonian</source>
        <translation>Estonian</translation>
    </message>
    <message>
        <source>Czech</source>
        <translation>Czech</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Romanian</translation>
    </message>
    <message>
        <source>Swedish</source>
        <translation>Swedish</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamese</translation>
    </message>
    <message>
        <source>Hungarian</source>
        <translation>Hungarian</translation>
    </message>
    <message>
        <source>Slovenian</source>
        <translation>Slovenian</translation>
    </message>
</context>
<context>
    <name>VLoginPage</name>
    <message>
        <source>Welcome to</source>
        <translation>Welcome to</translation>
    </message>
    <message>
        <source>Start your digital life here</source>
        <translation>Start your digital life from here</translation>
    </message>
    <message>
        <source>Mobile Scan
QR code login</source>
        <translation>Mobile Scan QR code login</translation>
    </message>
    <message>
        <source>Desktop Tesmo Chat needs to be used with your mobile phone to log in</source>
        <translation>Desktop Tesmo Chat needs to be used with your mobile phone to log in</translation>
    </message>
    <message>
        <source>登录认证中...</source>
        <translation>Verifying your identity...</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>Mobile number</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>请输入手机号码</source>
        <translation>Please enter your mobile number</translation>
    </message>
    <message>
        <source>SMS verification code</source>
        <translation>SMS code</translation>
    </message>
    <message>
        <source>请输入验证码</source>
        <translation>Please enter the verification code</translation>
    </message>
    <message>
        <source>Phone format Incorrect, please re-enter</source>
        <translation>Incorrect format of phone number. Please re-enter.</translation>
    </message>
    <message>
        <source>登  录</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>验证码错误，请重新输入</source>
        <translation>Wrong code. Please re-enter.</translation>
    </message>
    <message>
        <source>Login means read and agree </source>
        <translation>Log-in means you have read and agreed to </translation>
    </message>
    <message>
        <source>the terms</source>
        <translation>Terms of Service</translation>
    </message>
    <message>
        <source>Please agree the terms</source>
        <translation>Please agree to the Terms of Use first</translation>
    </message>
</context>
<context>
    <name>VOneKeyToInviteContentCom</name>
    <message>
        <source>Only supports VCF formats</source>
        <translation>Only supports VCF formats</translation>
    </message>
    <message>
        <source>Download template</source>
        <translation>Download template</translation>
    </message>
    <message>
        <source>Open template folder</source>
        <translation>Open template folder</translation>
    </message>
    <message>
        <source>Save template file</source>
        <translation>Save template file</translation>
    </message>
    <message>
        <source>contacts%1</source>
        <translation>contacts%1</translation>
    </message>
    <message>
        <source>Template download succeeded</source>
        <translation>Template download succeeded</translation>
    </message>
    <message>
        <source>Template download failed</source>
        <translation>Template download failed</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Select file</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>Please choose a file</translation>
    </message>
    <message>
        <source>Start to invite</source>
        <translation>Start to invite</translation>
    </message>
    <message>
        <source>Inviting...</source>
        <translation>Inviting...</translation>
    </message>
    <message>
        <source>Invitation success</source>
        <translation>Invitation success</translation>
    </message>
    <message>
        <source>Invitation failed</source>
        <translation>Invitation failed</translation>
    </message>
</context>
<context>
    <name>VCheckUpdatePopupWindow</name>
    <message>
        <source>Version Update</source>
        <translation>Version update</translation>
    </message>
    <message>
        <source>Discover new version</source>
        <translation>New version is detected.</translation>
    </message>
    <message>
        <source>Version：%1</source>
        <translation>Version：%1</translation>
    </message>
    <message>
        <source>Size：%1</source>
        <translation>Size：%1</translation>
    </message>
    <message>
        <source>Update log：</source>
        <translation>New version features：</translation>
    </message>
    <message>
        <source>Update now</source>
        <translation>Update now</translation>
    </message>
</context>
<context>
    <name>VSyncToContactsPopupWindow</name>
    <message>
        <source>Sync to contacts</source>
        <translation>Sync to contacts</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Groups</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VForwardPopupWindow</name>
    <message>
        <source>Forward to</source>
        <translation>Forward to</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Groups</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VSyncToContactsConfirmPopupWindow</name>
    <message>
        <source>Sync to</source>
        <translation>Sync to</translation>
    </message>
    <message>
        <source>To use the message sync function, you need to &quot;check and sync&quot;. Do you want to &quot;check&quot; it?</source>
        <translation>To use the message sync function, you need to &quot;check and sync&quot;. Do you want to &quot;check&quot; it?</translation>
    </message>
    <message>
        <source>No more prompts next time</source>
        <translation>No more prompts next time</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VReceiveKickOutPopupWindow</name>
    <message>
        <source>Tips</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>Your account is logged in on another device at %1. This client has logged out. If that is not you, please change your login password in time.</source>
        <translation>Your account is logged in on another device at %1. This client has logged out. If that is not you, please change your login password in time.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VConnectStatusBar</name>
    <message>
        <source>Current network is not available, please check your network</source>
        <translation>No availalbe nerwork. Please check your network.</translation>
    </message>
    <message>
        <source>Network is connecting...</source>
        <translation>Connecting...</translation>
    </message>
</context>
<context>
    <name>VMessageRedEnvelope</name>
    <message>
        <source>[You sent a Tesmo Chat red envelope]</source>
        <translation>[You sent a Tesmo Chat red envelope]</translation>
    </message>
    <message>
        <source>[You receive a Tesmo Chat red envelope, please check it on your phone]</source>
        <translation>[You receive a Tesmo Chat red envelope, please check it on your phone]</translation>
    </message>
</context>
<context>
    <name>VScreenshotMenu</name>
    <message>
        <source>Screenshot%1</source>
        <translation>Screenshot%1</translation>
    </message>
    <message>
        <source>Hide Tesmo Chat screenshot</source>
        <translation>Hide Tesmo Chat screenshot</translation>
    </message>
</context>
<context>
    <name>VSendFileMsgCom</name>
    <message>
        <source>Sending...</source>
        <translation>Sending...</translation>
    </message>
    <message>
        <source>Send failed</source>
        <translation>Send failed</translation>
    </message>
</context>
<context>
    <name>VSendVerificationCode</name>
    <message>
        <source>获取验证码</source>
        <translation>Generate code</translation>
    </message>
    <message>
        <source>重新获取</source>
        <translation>Resend</translation>
    </message>
</context>
<context>
    <name>VUsingTermsContent</name>
    <message>
        <source>使用条款</source>
        <translation>Terms of Use</translation>
    </message>
    <message>
        <source>1. Registration. To use Tesmo Chat you register an account with your mobile phone number and the verification code sent to it. The information you give must be true and your own.
2. Your account. The account is for your personal use only. Keep your phone and your codes safe; you are responsible for everything done with your account. Tell us at once if it is used without your permission.
3. Use of the service. Do not use the service to send unlawful, fraudulent, abusive or infringing content, to spread spam or malicious software, or to disturb other users or the service itself.
4. Content. You keep the rights to what you send. Messages, pictures and files are stored on your devices and on our servers only as far as the service needs them.
5. Digital assets. Price charts, quotes and red envelopes are shown for information only and are no investment advice.
6. Changes and termination. We may change or end the service, or suspend accounts that break these terms. The terms in force are those shown in the latest version of the program.</source>
        <translation>1. Registration. To use Tesmo Chat you register an account with your mobile phone number and the verification code sent to it. The information you give must be true and your own.
2. Your account. The account is for your personal use only. Keep your phone and your codes safe; you are responsible for everything done with your account. Tell us at once if it is used without your permission.
3. Use of the service. Do not use the service to send unlawful, fraudulent, abusive or infringing content, to spread spam or malicious software, or to disturb other users or the service itself.
4. Content. You keep the rights to what you send. Messages, pictures and files are stored on your devices and on our servers only as far as the service needs them.
5. Digital assets. Price charts, quotes and red envelopes are shown for information only and are no investment advice.
6. Changes and termination. We may change or end the service, or suspend accounts that break these terms. The terms in force are those shown in the latest version of the program.</translation>
    </message>
</context>
<context>
    <name>VContactInfoPopupWindow</name>
    <message>
        <source>Summary:%1</source>
        <translation>Signature: %1</translation>
    </message>
</context>
<context>
    <name>VCountryCodeSelector</name>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
</context>
<context>
    <name>VEmojiPopupWindow</name>
    <message>
        <source>Function is developing, please try on next version</source>
        <translation>This function will be available soon. Please try in the next version.</translation>
    </message>
</context>
<context>
    <name>VGroupsListCom</name>
    <message>
        <source> members</source>
        <translation> members</translation>
    </message>
</context>
<context>
    <name>VMessageAudio</name>
    <message>
        <source>Tesmo Chat translate</source>
        <translation>Tesmo Chat translate</translation>
    </message>
</context>
<context>
    <name>VMessageNotSupport</name>
    <message>
        <source>[The message is not supported in this version, please check it on your phone]</source>
        <translation>[The message is not supported in this version, please check it on your phone]</translation>
    </message>
</context>
<context>
    <name>VMessageText</name>
    <message>
        <source>Tesmo Chat translate</source>
        <translation>Tesmo Chat translate</translation>
    </message>
</context>
<context>
    <name>VRevokeNotifyMsgCom</name>
    <message>
        <source>Re-edit</source>
        <translation>Re-edit</translation>
    </message>
</context>
<context>
    <name>VScreenshot</name>
    <message>
        <source>Save as</source>
        <translation>Save as</translation>
    </message>
</context>
<context>
    <name>VSessionListMenu</name>
    <message>
        <source>Delete chat</source>
        <translation>Delete chat</translation>
    </message>
</context>
<context>
    <name>VTimeMsgCom</name>
    <message>
        <source>Yesterday</source>
        <translation>Yesterday</translation>
    </message>
</context>
</TS>
