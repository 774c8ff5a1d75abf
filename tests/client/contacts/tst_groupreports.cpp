// Group reports: command replies (200301) through the engine test double, group
// notifications (100009) against a group list loaded from a temporary database,
// and the reply to a mute request.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "app/ImManagerLinks.h"
#include "contacts/GroupTestSupport.h"
#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupChildManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImSearchUserManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "support/ClientTestMain.h"

namespace {
using Operation = std::function<void(ImGroupManager*)>;

const QMap<QString, Operation>& Operations() {
  static const QMap<QString, Operation> operations{
      {"create", [](ImGroupManager* m) { m->createGroup("", "N", "0", {"u1"}); }},
      {"setcode", [](ImGroupManager* m) { m->setGroupPassword("g1@group", "1234"); }},
      {"getbycode", [](ImGroupManager* m) { m->getGroupByPassword("1234"); }},
      {"leave", [](ImGroupManager* m) { m->leaveGroup("g1@group"); }},
      {"remove", [](ImGroupManager* m) { m->deleteGroupMember("g1@group", {"u1"}); }},
      {"adduser", [](ImGroupManager* m) { m->addGroupMembers("g1@group", {"u1"}); }},
      {"banuser", [](ImGroupManager* m) { m->banChat("g1@group", "1"); }},
      {"getinfo", [](ImGroupManager* m) { m->getGroupInfo("g1@group"); }},
      {"getversion", [](ImGroupManager* m) { m->getGroupVersion("g1@group"); }},
      {"getuser", [](ImGroupManager* m) { m->loadMoreMembers("g1@group", 0); }},
      {"search", [](ImGroupManager* m) { m->searchMembers("g1@group", "a", 0); }},
      {"picker search", [](ImGroupManager* m) { m->searchPickerMembers("g1@group", "a", 0); }},
      {"set", [](ImGroupManager* m) { m->setGroupInfo("g1@group", "N"); }},
      {"grantuser", [](ImGroupManager* m) { m->setGrantInfo("g1@group", {"u1"}); }},
      {"join", [](ImGroupManager* m) { m->joinGroup("g1@group", "Ann"); }},
      {"getchild", [](ImGroupManager* m) { m->getChildGroups("g1@group", 0); }},
      {"release", [](ImGroupManager* m) { m->releaseGroup("g1@group", "p", {"c"}); }},
      {"destroy", [](ImGroupManager* m) { m->destroyGroup("g1@group"); }},
  };
  return operations;
}

// Records the result signals of the group list, in emission order.
class Results : public QObject {
 public:
  explicit Results(ImGroupManager* groups) {
    const QMetaObject* meta = groups->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
      const QMetaMethod method = meta->method(i);
      if (method.methodType() != QMetaMethod::Signal) continue;
      auto* spy = new QSignalSpy(groups, ("2" + method.methodSignature()).constData());
      m_spies.append({QString::fromLatin1(method.name()), spy});
    }
  }
  ~Results() override {
    for (auto& entry : m_spies) delete entry.second;
  }
  // Every emission of the signal so far.
  QList<QVariantList> of(const QString& name) const {
    for (const auto& entry : m_spies)
      if (entry.first == name) return *entry.second;
    return {};
  }

 private:
  QList<QPair<QString, QSignalSpy*>> m_spies;
};

const char kOk[] = "ok";
}  // namespace

class TestGroupReports : public QObject {
  Q_OBJECT

  ImGroupManager* groups() { return ImGroupManager::instance(); }

  void deliver(int method, int status, int did, const QString& text) {
    GroupTest::Deliver(groups(), method, status, did, text);
  }

 private slots:
  void initTestCase() {
    ImUiInterface::instance()->initInterface();
    // Group notices reach the conversation list through the program's links.
    ImManagerLinks::wire();
  }

  void init() {
    GroupTest::Settle();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", "me");
    ImGroupAdminManager::instance()->wipeData();
    ImGroupMemberManager::instance()->wipeData();
    ImSearchUserManager::instance()->wipeData();
    ImSearchUserManager::pickerInstance()->wipeData();
    ImGroupChildManager::instance()->wipeData();
  }

  // One command, one scripted reply: the result signal and its values.
  void commandReplies_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QVariantList>("values");
    const int refused = ImGroupManager::kRefused;
    const int notSent = ImGroupManager::kNotSent;
    const QString garbage = "<html>502</html>";
    const QString no = R"({"code":-3,"result":{"groupid":"n1@group","nick":"x","endid":9}})";
    // The group server's other refusal: "code" 1 with an error word for "cmd".
    const QString word =
        R"({"code":1,"result":{"cmd":"GROUP_ERR_RESOURCE","groupid":"n1@group","endid":9}})";
    auto row = [](const QString& name, const QString& op, int status, const QString& text,
                  const char* signal, const QVariantList& values) {
      QTest::newRow(qPrintable(op + " " + name))
          << op << status << text << QString(signal) << values;
    };
    for (const char* op : {"setcode", "leave", "remove", "adduser", "banuser", "getversion",
                           "grantuser", "join", "getinfo"}) {
      const char* signal =
          QMap<QString, const char*>{
              {"setcode", "setGroupPasswordResult"}, {"leave", "leaveGroupResult"},
              {"remove", "delGroupMemResult"},       {"adduser", "addGroupMemResult"},
              {"banuser", "banuserResult"},          {"getversion", "getGroupVersionResult"},
              {"grantuser", "setGrantInfoResult"},   {"join", "joinGroupResult"},
              {"getinfo", "getGroupInfoResult"}}
              .value(op);
      row(kOk, op, 0, R"({"code":1,"result":{}})", signal, {0});
      row("status", op, 5, R"({"code":1})", signal, {5});
      row("not JSON", op, 0, garbage, signal, {0});
      row("refused", op, 0, no, signal, {refused});
      row("error word", op, 0, word, signal, {refused});
    }
    row("set ok", "set", 0, R"({"code":1,"result":{"groupid":"g1@group"}})", "setGroupInfoResult",
        {0});
    row("set status", "set", 7, "", "setGroupInfoResult", {7});
    row("set refused", "set", 0, no, "setGroupInfoResult", {refused});
    row(kOk, "create", 0,
        R"({"code":1,"result":{"groupid":"n1@group","groupname":"N","parentid":"p"}})",
        "createGroupResult", {0, "n1@group", "N", "p"});
    row("status", "create", 5, "", "createGroupResult", {5, "", "", ""});
    row("not JSON: no group id", "create", 0, garbage, "createGroupResult", {refused, "", "", ""});
    row("refused", "create", 0, no, "createGroupResult", {refused, "", "", ""});
    row("error word", "create", 0, word, "createGroupResult", {refused, "", "", ""});
    row(kOk, "getbycode", 0, R"({"code":1,"result":{"groupid":"g7@group"}})",
        "getGroupByPasswordResult", {1, "g7@group"});
    row("status", "getbycode", 5, "", "getGroupByPasswordResult", {notSent, ""});
    row("wrong code", "getbycode", 0, R"({"code":-14})", "getGroupByPasswordResult", {-14, ""});
    // Joined only with a group to open: anything else is a failure, the group
    // server's error words of the join codes with their numbers.
    row("not JSON", "getbycode", 0, garbage, "getGroupByPasswordResult", {refused, ""});
    row("no group id", "getbycode", 0, R"({"code":1,"result":{}})", "getGroupByPasswordResult",
        {refused, ""});
    const struct {
      const char* word;
      int code;
    } words[] = {{"GROUP_ERR_EXPIRED", -13},
                 {"GROUP_ERR_CODE", -14},
                 {"GROUP_ERR_INVITEONLY", -19},
                 {"GROUP_ERR_DENY", -20},
                 {"GROUP_ERR_RESOURCE", refused}};
    for (const auto& w : words)
      row(w.word, "getbycode", 0,
          QString(R"({"code":1,"result":{"cmd":"%1","groupid":"g7@group"}})").arg(w.word),
          "getGroupByPasswordResult", {w.code, ""});
    for (const char* op : {"release", "destroy"}) {
      const char* signal = QString(op) == "release" ? "releaseResult" : "destroyResult";
      row(kOk, op, 0, R"({"code":1})", signal, {1});
      row("status", op, 5, R"({"code":1})", signal, {notSent});
      row("not JSON", op, 0, garbage, signal, {0});
      row("refused", op, 0, R"({"code":-3})", signal, {-3});
      row("error word", op, 0, word, signal, {refused});
    }
    for (const char* op : {"getuser", "search", "picker search", "getchild"}) {
      const char* signal =
          QMap<QString, const char*>{{"getuser", "loadMoreMembersResult"},
                                     {"search", "searchMembersResult"},
                                     {"picker search", "searchPickerMembersResult"},
                                     {"getchild", "getChildGroupsResult"}}
              .value(op);
      row(kOk, op, 0, R"({"code":1,"result":{"endid":30}})", signal, {0, 30});
      row("last page", op, 0, R"({"code":1,"result":{}})", signal, {0, 0});
      row("status", op, 5, "", signal, {5, -1});
      row("not JSON", op, 0, garbage, signal, {0, 0});
      row("refused", op, 0, no, signal, {refused, -1});
      row("error word", op, 0, word, signal, {refused, -1});
    }
  }

  void commandReplies() {
    QFETCH(QString, operation);
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(QString, signal);
    QFETCH(QVariantList, values);
    Results results(groups());
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, status, text.toStdString());
    Operations().value(operation)(groups());
    GroupTest::Settle();
    const QList<QVariantList> seen = results.of(signal);
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().size(), values.size());
    for (int i = 0; i < values.size(); ++i)
      QCOMPARE(seen.first().at(i).toString(), values.at(i).toString());
  }

  // A reply to a request that a later one of the same kind replaced is dropped;
  // changes of a group's settings are each answered.
  void staleRepliesAreDropped() {
    for (const QString& operation : Operations().keys()) {
      EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, R"({"code":1})");
      Results results(groups());
      Operations().value(operation)(groups());
      Operations().value(operation)(groups());
      GroupTest::Settle();
      int answered = 0;
      for (const char* signal :
           {"createGroupResult", "setGroupPasswordResult", "getGroupByPasswordResult",
            "leaveGroupResult", "delGroupMemResult", "addGroupMemResult", "banuserResult",
            "getGroupInfoResult", "getGroupVersionResult", "loadMoreMembersResult",
            "searchMembersResult", "searchPickerMembersResult", "setGroupInfoResult",
            "setGrantInfoResult", "joinGroupResult", "releaseResult", "destroyResult"})
        answered += results.of(signal).size();
      // Group information starts a child-group request of its own, answered once.
      const bool change =
          operation == QLatin1String("banuser") || operation == QLatin1String("set");
      if (operation != QLatin1String("getchild"))
        QVERIFY2(answered == (change ? 2 : 1), qPrintable(operation));
      QCOMPARE(
          results.of("getChildGroupsResult").size(),
          operation == QLatin1String("getinfo") || operation == QLatin1String("getchild") ? 1 : 0);
    }
    // Unknown ids and id 0 (nothing outstanding) find nothing.
    Results results(groups());
    deliver(_REQUEST_HTTP_GROUPCOMMAND, 0, 0, R"({"code":1})");
    deliver(_REQUEST_HTTP_GROUPCOMMAND, 0, 999999, R"({"code":1})");
    deliver(_REQUEST_HTTP_SENDPOST, 0, 0, R"({"code":1})");
    QCOMPARE(results.of("leaveGroupResult").size() + results.of("createGroupResult").size() +
                 results.of("muteResult").size(),
             0);
  }

  void groupInformation() {
    groups()->setOwner("old-owner");
    ImGroupMemberManager::instance()->addData(QJsonArray{QJsonObject{{"account", "m0"}}});
    const QString info = R"({"code":1,"result":{"groupid":"g1@group",
        "owner":[{"account":"o1"},{"account":"o2"}],
        "admin":[{"account":"a1"},{"account":"a2"}],
        "member":[{"account":"m1"},{"account":"m2"}],
        "groupname":"Team","info":"notice","membercount":12,"logo":"l.png",
        "nick":"me-nick","code":"4321","countdown":60,"parentname":"Parent"}})";
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, info.toStdString());
    groups()->getGroupInfo("g1@group");
    GroupTest::Settle();
    QCOMPARE(groups()->owner(), QStringLiteral("o1"));
    ImGroupAdminManager* admins = ImGroupAdminManager::instance();
    QStringList heads;
    for (int row = 0; row < admins->rowCount(); ++row)
      heads << admins->get(row)->property("account").toString();
    QCOMPARE(heads, (QStringList{"o1", "a1", "a2"}));
    QCOMPARE(ImGroupMemberManager::instance()->getMemberCount(), 2);  // the old page went
    QCOMPARE(groups()->groupname(), QStringLiteral("Team"));
    QCOMPARE(groups()->info(), QStringLiteral("notice"));
    QCOMPARE(groups()->memberCount(), 12);
    QCOMPARE(groups()->groupIcon(), QStringLiteral("l.png"));
    QCOMPARE(groups()->nick(), QStringLiteral("me-nick"));
    QCOMPARE(groups()->code(), QStringLiteral("4321"));
    QCOMPARE(groups()->countdown(), 60);
    QCOMPARE(groups()->parentName(), QStringLiteral("Parent"));
    // Every information reply asks for the child groups of its group.
    const QStringList sent = GroupTest::CallsOf("GroupCommand");
    QCOMPARE(sent.size(), 2);
    QCOMPARE(GroupTest::Body(sent.last()).value("cmd").toString(), QStringLiteral("getchild"));
    QCOMPARE(GroupTest::Body(sent.last()).value("groupid").toString(), QStringLiteral("g1@group"));

    // Without owner and member: the owner is cleared, the members stay.
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"g2@group"}})");
    groups()->getGroupInfo("g2@group");
    GroupTest::Settle();
    QCOMPARE(groups()->owner(), QString());
    QVERIFY(!admins->isOwner("o1"));
    QCOMPARE(admins->rowCount(), 0);
    QCOMPARE(ImGroupMemberManager::instance()->getMemberCount(), 2);
    QCOMPARE(groups()->groupname(), QStringLiteral("Team"));

    // A refused one changes nothing.
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":-3,"result":{"groupid":"g3@group","groupname":"X"}})");
    groups()->getGroupInfo("g3@group");
    GroupTest::Settle();
    QCOMPARE(groups()->groupname(), QStringLiteral("Team"));
  }

  // The information of another group leaves nothing of the previous one: the engine
  // leaves out a nickname, a join code's time and a main group the group lacks.
  void informationOfAnotherGroupKeepsNothingOfTheLast() {
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"g1@group","groupname":"Team",
                           "info":"notice","nick":"me-nick","code":"4321","countdown":60,
                           "parentname":"Parent","membercount":3}})");
    groups()->getGroupInfo("g1@group");
    GroupTest::Settle();
    QCOMPARE(groups()->nick(), QStringLiteral("me-nick"));
    QSignalSpy nickChanged(groups(), &ImGroupManager::nickChanged);
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"g2@group","groupname":"Other",
                           "info":"","code":"","membercount":2}})");
    groups()->getGroupInfo("g2@group");
    GroupTest::Settle();
    QCOMPARE(groups()->groupname(), QStringLiteral("Other"));
    QCOMPARE(groups()->memberCount(), 2);
    QCOMPARE(groups()->info(), QString());
    QCOMPARE(groups()->nick(), QString());
    QCOMPARE(groups()->code(), QString());
    QCOMPARE(groups()->countdown(), 0);
    QCOMPARE(groups()->parentName(), QString());
    QCOMPARE(nickChanged.count(), 1);
  }

  // A new group's chat opens right after its creation: its name and member count
  // are asked for at once, since the creation stores one member.
  void aNewGroupAsksForItsInformation() {
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"n1@group","groupname":"Group",)"
                           R"("parentid":"","membercount":3}})");
    Results results(groups());
    groups()->createGroup("", "Group", "0", {"u1", "u2"});
    GroupTest::Settle();
    QCOMPARE(results.of("createGroupResult").size(), 1);
    QStringList commands;
    for (const QString& call : GroupTest::CallsOf("GroupCommand")) {
      const QJsonObject body = GroupTest::Body(call);
      commands << body.value("cmd").toString() + " " + body.value("groupid").toString();
    }
    QCOMPARE(commands.mid(0, 2), (QStringList{"create ", "getinfo n1@group"}));
    QCOMPARE(results.of("getGroupInfoResult").size(), 1);
    QCOMPARE(groups()->memberCount(), 3);
    QCOMPARE(groups()->groupname(), QStringLiteral("Group"));
    // A refused creation asks for nothing more.
    EngineDouble::Reset();
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, R"({"code":-3})");
    groups()->createGroup("", "Group", "0", {"u1"});
    GroupTest::Settle();
    QCOMPARE(GroupTest::CallsOf("GroupCommand").size(), 1);
  }

  // An introduction sent and accepted is the current one; a change of something
  // else leaves the current one as it was.
  void anAcceptedIntroductionIsTheCurrentOne() {
    ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("g1@group"));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"g1@group","info":"old"}})");
    groups()->getGroupInfo("g1@group");
    GroupTest::Settle();
    QCOMPARE(groups()->info(), QStringLiteral("old"));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"groupid":"g1@group"}})");
    groups()->setGroupInfo("g1@group", "", "", "new");
    GroupTest::Settle();
    QCOMPARE(groups()->info(), QStringLiteral("new"));
    groups()->setGroupInfo("g1@group", "Renamed");
    GroupTest::Settle();
    QCOMPARE(groups()->info(), QStringLiteral("new"));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, R"({"code":-3})");
    groups()->setGroupInfo("g1@group", "", "", "refused");
    GroupTest::Settle();
    QCOMPARE(groups()->info(), QStringLiteral("new"));
    ImSessionManager::instance()->setProperty("currentSessionId", QString());
  }

  // Two changes of one kind out at once: each answer goes to its own request,
  // whichever comes first, and what an accepted one changed is applied.
  void everyChangeGetsItsOwnAnswer_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("firstReply");
    QTest::addColumn<int>("firstResult");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("secondReply");
    QTest::addColumn<int>("secondResult");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QString>("name");
    const int refused = ImGroupManager::kRefused;
    const QString no = R"({"code":-3})";
    const QString ok = R"({"code":1,"result":{}})";
    const QString renamed = R"({"code":1,"result":{"groupid":"g1@group","groupname":"Renamed"}})";
    QTest::newRow("two switches refused")
        << "chat" << no << refused << "screenshot" << no << refused << "banuserResult"
        << "Team";
    QTest::newRow("one switch refused, one taken")
        << "chat" << no << refused << "screenshot" << ok << 0 << "banuserResult"
        << "Team";
    QTest::newRow("rename taken, join switch after it")
        << "rename" << renamed << 0 << "join type" << ok << 0 << "setGroupInfoResult"
        << "Renamed";
    QTest::newRow("rename refused, join switch taken")
        << "rename" << no << refused << "join type" << ok << 0 << "setGroupInfoResult"
        << "Team";
    QTest::newRow("two mutes") << "mute on"
                               << R"({"code":-2})" << -2 << "mute off"
                               << R"({"code":1})" << 1 << "muteResult"
                               << "Team";
  }

  void everyChangeGetsItsOwnAnswer() {
    QFETCH(QString, first);
    QFETCH(QString, firstReply);
    QFETCH(int, firstResult);
    QFETCH(QString, second);
    QFETCH(QString, secondReply);
    QFETCH(int, secondResult);
    QFETCH(QString, signal);
    QFETCH(QString, name);
    const QMap<QString, std::function<int(ImGroupManager*)>> changes{
        {"chat", [](ImGroupManager* m) { return m->banChat("g1@group", "1"); }},
        {"screenshot", [](ImGroupManager* m) { return m->banScreenshot("g1@group", "1"); }},
        {"rename", [](ImGroupManager* m) { return m->setGroupInfo("g1@group", "Renamed"); }},
        {"join type", [](ImGroupManager* m) { return m->setGroupInfo("g1@group", "", "", "", 1); }},
        {"mute on", [](ImGroupManager* m) { return m->muteNotifications("g1@group", true); }},
        {"mute off", [](ImGroupManager* m) { return m->muteNotifications("g1@group", false); }}};
    ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("g1@group"));
    groups()->setGroupname("Team");
    Results results(groups());
    // The double answers each request with the reply scripted when it was sent.
    auto send = [&](const QString& change, const QString& reply) {
      const int code =
          change.startsWith("mute") ? _REQUEST_HTTP_SENDPOST : _REQUEST_HTTP_GROUPCOMMAND;
      EngineDouble::SetReply(code, 0, reply.toStdString());
      return changes.value(change)(groups());
    };
    const int firstDid = send(first, firstReply);
    const int secondDid = send(second, secondReply);
    QVERIFY(firstDid > 0 && secondDid > 0 && firstDid != secondDid);
    GroupTest::Settle();
    QMap<int, int> answered;
    for (const QVariantList& answer : results.of("changeAnswered"))
      answered.insert(answer.at(0).toInt(), answer.at(1).toInt());
    QCOMPARE(answered, (QMap<int, int>{{firstDid, firstResult}, {secondDid, secondResult}}));
    QList<int> values;
    for (const QVariantList& answer : results.of(signal)) values << answer.first().toInt();
    std::sort(values.begin(), values.end());
    QList<int> expected{firstResult, secondResult};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(values, expected);
    QCOMPARE(groups()->groupname(), name);
    ImSessionManager::instance()->setProperty("currentSessionId", QString());
  }

  // The @-mention search and the pickers' search each fill their own list; a late
  // answer of one never reaches the other.
  void eachSearchFillsItsOwnList() {
    Results results(groups());
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"user":[{"account":"p1"}],"endid":4}})");
    groups()->searchPickerMembers("g1@group", "p", 0);
    GroupTest::Settle();
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"user":[{"account":"a1"},{"account":"a2"}]}})");
    groups()->searchMembers("g1@group", "", 0);
    GroupTest::Settle();
    QCOMPARE(ImSearchUserManager::pickerInstance()->getMemberCount(), 1);
    QVERIFY(ImSearchUserManager::pickerInstance()->item("p1"));
    QCOMPARE(ImSearchUserManager::instance()->getMemberCount(), 2);
    QCOMPARE(results.of("searchPickerMembersResult").size(), 1);
    QCOMPARE(results.of("searchPickerMembersResult").first().at(1).toInt(), 4);
    QCOMPARE(results.of("searchMembersResult").size(), 1);
    // Both out at once: each answer lands in its own list.
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"user":[{"account":"b1"}]}})");
    groups()->searchPickerMembers("g1@group", "b", 0);
    groups()->searchMembers("g1@group", "b", 0);
    GroupTest::Settle();
    QCOMPARE(ImSearchUserManager::pickerInstance()->getMemberCount(), 1);
    QCOMPARE(ImSearchUserManager::instance()->getMemberCount(), 1);
    QCOMPARE(results.of("searchPickerMembersResult").size(), 2);
    QCOMPARE(results.of("searchMembersResult").size(), 2);
  }

  void pagesFillTheirLists() {
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"member":[{"account":"m1"}],)"
                           R"("user":[{"account":"s1"},{"account":"me"}],)"
                           R"("child":[{"groupid":"c1@group"}],"endid":5}})");
    groups()->loadMoreMembers("g1@group", 0);
    groups()->searchMembers("g1@group", "s", 0);
    groups()->getChildGroups("g1@group", 0);
    GroupTest::Settle();
    QCOMPARE(ImGroupMemberManager::instance()->getMemberCount(), 1);
    QCOMPARE(ImSearchUserManager::instance()->getMemberCount(), 1);
    QCOMPARE(ImGroupChildManager::instance()->getMemberCount(), 1);
    // A failed page changes no list.
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 3,
                           R"({"code":1,"result":{"member":[{"account":"m2"}]}})");
    groups()->loadMoreMembers("g1@group", 5);
    GroupTest::Settle();
    QCOMPARE(ImGroupMemberManager::instance()->getMemberCount(), 1);
  }

  void muteReplies() {
    Results results(groups());
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, R"({"code":1})");
    groups()->muteNotifications("g1@group", true);
    GroupTest::Settle();
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, "");
    groups()->muteNotifications("g1@group", false);
    GroupTest::Settle();
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 9, R"({"code":-2})");
    groups()->muteNotifications("g1@group", false);
    GroupTest::Settle();
    const QList<QVariantList> seen = results.of("muteResult");
    // A request that failed without an answer is a refusal: the switch goes back.
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].first().toInt(), 1);
    QCOMPARE(seen[1].first().toInt(), ImGroupManager::kRefused);
    QCOMPARE(seen[2].first().toInt(), -2);
    // A group notification is never a mute reply.
    deliver(_EVENT_COME_GROUPNOTIFY, 0, 0, R"({"notify":"ban","groupid":"g1@group"})");
    QCOMPARE(results.of("muteResult").size(), 3);
  }
};

TESMO_CLIENT_TEST_MAIN(TestGroupReports)
#include "tst_groupreports.moc"
