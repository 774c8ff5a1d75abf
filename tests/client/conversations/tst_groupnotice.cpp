// Group notice lines: every notice word, in English (words spaced) and in simplified
// Chinese (fragments joined as they are), and whether the notice has a line at all.
#include <QJsonDocument>
#include <QtTest>

#include "conversations/ImSessionManager.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"

namespace {
const QString kMe = QStringLiteral("1000@tesmo.x");

QString Notice(const char* json) { return QString::fromUtf8(json); }
}  // namespace

class TestGroupNotice : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ImSessionManager::instance()->setMyAccount(kMe); }

  void lines_data() {
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    auto row = [](const char* name, const char* json, const char* en, const char* zh) {
      QTest::newRow(name) << Notice(json) << QString::fromUtf8(en) << QString::fromUtf8(zh);
    };
    row("create", R"({"notify":"create","nick":"N"})", "N Start a group chat", u8"N发起了群聊");
    row("set", R"({"notify":"set","nick":"N","groupname":"G"})", "N Modify the group name to G",
        u8"N修改群昵称为G");
    row("set, no new name", R"({"notify":"set","nick":"N","info":"I","type":1})", "", "");
    row("join, me", R"({"notify":"join","nick":"N","groupname":"G","userid":"1000@tesmo.x"})",
        "You joined G group", u8"你加入了G群");
    row("join, other", R"({"notify":"join","nick":"N","groupname":"G","userid":"2@x"})",
        "N Join the group", u8"N加入该群");
    row("nick", R"({"notify":"nick","nick":"N"})", "N Modify nickname", u8"N修改了昵称");
    row("leave", R"({"notify":"leave","nick":"N"})", "N Left the group", u8"N离开了该群");
    row("destroy", R"({"notify":"destroy","nick":"N"})", "N Disbanded the group", u8"N解散了该群");
    row("code", R"({"notify":"code","nick":"N","code":"C"})",
        "N group password has been updated,your friends can join group C Join group",
        u8"N更新了群口令，朋友可以通过C加入该群");
    row("grantowner", R"({"notify":"grantowner"})", "You have become the new founder",
        u8"你已成为新的创始人");
    row("changeowner", R"({"notify":"changeowner","members":[{"nick":"O"},{"nick":"P"}]})",
        "O The owner has changed", u8"O已成为新创始人");
    row("changeowner, nobody", R"({"notify":"changeowner","members":[]})", "The owner has changed",
        u8"已成为新创始人");
    row("grantadmin", R"({"notify":"grantadmin"})", "You become an administrator",
        u8"你成为了管理员");
    row("changeadmin", R"({"notify":"changeadmin"})", "Administrator has changed",
        u8"管理员已变更");
    row("grantmember", R"({"notify":"grantmember"})", "You have become a member of the group",
        u8"你已成为群成员");
    row("changemember", R"({"notify":"changemember"})", "group member has changed", u8"成员已变更");
    row("banall", R"({"notify":"banall"})", "From now on, no permission to speak",
        u8"已开启全员禁言");
    row("allowall", R"({"notify":"allowall"})", "From now on, you can talk", u8"已关闭全员禁言");
    row("ban", R"({"notify":"ban","nick":"N"})", "You have been N Not allowed to speak",
        u8"你已被N禁言");
    row("allow", R"({"notify":"allow","nick":"N"})", "Not allowed to speak N Allow to speak",
        u8"禁言N解除禁言");
    row("banuser, 3", R"({"notify":"banuser","nick":"N","members":"M","count":3})",
        "M etc. 3 Member has been N Not allowed to speak", u8"M等3人已被N禁言");
    row("banuser, 2", R"({"notify":"banuser","nick":"N","members":"M","count":2})",
        "M has been N Not allowed to speak", u8"M已被N禁言");
    row("allowuser, 4", R"({"notify":"allowuser","nick":"N","members":"M","count":4})",
        "M etc. 4 Member has been N allowed to speak", u8"M等4人已被N取消禁言");
    row("allowuser, no count", R"({"notify":"allowuser","nick":"N","members":"M"})",
        "M has been N allowed to speak", u8"M已被N取消禁言");
    row("add", R"({"notify":"add","groupname":"G"})", "You joined G", u8"你加入了G");
    row("addeduser, 3", R"({"notify":"addeduser","nick":"N","members":"M","count":3})",
        "M etc. 3 member N Join the group", u8"M等3人已被N加入群");
    row("addeduser, 2", R"({"notify":"addeduser","nick":"N","members":"M","count":2})",
        "M has been N Join the group", u8"M已被N加入群");
    row("removeuser, 12", R"({"notify":"removeuser","nick":"N","members":"M","count":12})",
        "M etc. 12 member has been N removed from the group", u8"M等12人已被N移除该群");
    row("removeuser, 1", R"({"notify":"removeuser","nick":"N","members":"M","count":1})",
        "M has been N removed from the group", u8"M已被N移除该群");
    row("removeuser, listed",
        R"({"notify":"removeuser","nick":"N","count":2,"members":)"
        R"([{"id":"a@x","nick":"A"},{"id":"b@x"}]})",
        "A, b@x has been N removed from the group", u8"A, b@x已被N移除该群");
    row("banuser, listed", R"({"notify":"banuser","nick":"N","count":1,"members":[{"nick":"A"}]})",
        "A has been N Not allowed to speak", u8"A已被N禁言");
    row("invite", R"({"notify":"invite","nick":"N"})", "", "");
    row("remove", R"({"notify":"remove","nick":"N"})", "You have been N Removed the group",
        u8"你已被N移除了群组");
    row("addchild", R"({"notify":"addchild","childname":"K"})",
        "Subgroup K You can see all the information of the main group.",
        u8"子群K可以看到主群所有信息");
    row("groupban, banall off", R"({"notify":"groupban","nick":"N","banall":0})",
        "From now on, you can talk", u8"已关闭全员禁言");
    row("groupban, banall on", R"({"notify":"groupban","nick":"N","banall":1})",
        "From now on, no permission to speak", u8"已开启全员禁言");
    row("groupban, banurl off", R"({"notify":"groupban","nick":"N","banurl":0})",
        "N closed the entire staff to prohibit sending links.", u8"N关闭了全员禁止发送链接");
    row("groupban, banurl before banpic",
        R"({"notify":"groupban","nick":"N","banurl":1,"banpic":0})",
        "N opened the whole staff to prohibit sending links.", u8"N开启了全员禁止发送链接");
    row("groupban, banpic off", R"({"notify":"groupban","nick":"N","banpic":0})",
        "N closed the entire staff to prohibit sending pictures.", u8"N关闭了全员禁止发送图片");
    row("groupban, banpic on", R"({"notify":"groupban","nick":"N","banpic":2})",
        "N opened the whole staff to prohibit sending pictures.", u8"N开启了全员禁止发送图片");
    row("groupban, screenshots off", R"({"notify":"groupban","nick":"N","banscreenshot":0})",
        "N disable screenshot forbidden.", u8"N关闭了全员截屏提示");
    row("groupban, screenshots on", R"({"notify":"groupban","nick":"N","banscreenshot":1})",
        "N enable screenshot forbidden.", u8"N开启了全员截屏提示");
    row("groupban, no switch", R"({"notify":"groupban","nick":"N"})", "", "");
    row("screenshot", R"({"notify":"screenshot","nick":"N"})", "N using screenshots",
        u8"N使用了截屏");
    row("unknown word", R"({"notify":"teleport","nick":"N"})", "This type of is not available.",
        u8"不支持该类型");
    row("case matters", R"({"notify":"Create","nick":"N"})", "This type of is not available.",
        u8"不支持该类型");
    row("not JSON", "create", "This type of is not available.", u8"不支持该类型");
    row("missing names", R"({"notify":"ban"})", "You have been Not allowed to speak",
        u8"你已被禁言");
  }

  void lines() {
    QFETCH(QString, notice);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    ImSessionManager* manager = ImSessionManager::instance();
    VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US);
    QCOMPARE(manager->getGroupNotifyContent(notice), english);
    VTranslator::instance()->setCurrentLanguage(VTranslator::ZH_CN);
    QCOMPARE(manager->getGroupNotifyContent(notice), chinese);
    // The counters worker judges notices by this alone: it must agree with the line.
    QCOMPARE(ImSessionManager::noticeHasLine(notice), !english.isEmpty());
  }
};

TESMO_CLIENT_TEST_MAIN(TestGroupNotice)
#include "tst_groupnotice.moc"
