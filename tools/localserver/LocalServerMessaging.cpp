// Sending through the local server: who may send what, where a message goes, and the
// scripted peers' replies.
#include <algorithm>
#include <cstdio>

#include "LocalServer.h"

namespace {

bool IsGroup(const std::string& target) { return target.find("group.") != std::string::npos; }

FakeImHttpPaths::Script Refusal(int code) { return {FakeImHttpPaths::Answer::kCode, code}; }

}  // namespace

FakeImHttpPaths::Script LocalServer::CheckSend(const FakeImHttpPaths::Message& m,
                                               const FakeRequest& r) {
  const std::string sender = AccountOf(r);
  if (sender.empty()) return Refusal(-1);  // no session
  if (IsGroup(m.touser)) {
    const std::vector<std::string> members = MembersOf(m.touser);
    if (members.empty()) return Refusal(-2);
    if (std::find(members.begin(), members.end(), sender) == members.end()) return Refusal(-3);
  } else if (!m_world.FindAccount(m.touser)) {
    return Refusal(-2);
  }
  return {FakeImHttpPaths::Answer::kAccept, 0};
}

void LocalServer::Deliver(const FakeImHttpPaths::Message& m, const FakeRequest& r) {
  LocalMessage message;
  message.msgid = m.answeredMsgid;
  message.from = AccountOf(r);
  message.to = m.touser;
  message.fromGroup = IsGroup(m.touser) ? m.touser : "";
  message.type = m.type;
  message.content = m.content;
  message.remark = m.remark;
  message.time = m.answeredTime;
  message.device = m.device < 0 ? 1 : static_cast<int>(m.device);
  NoteMsgid(message.msgid);
  // A recall is kept like any message: history serves it with the message it takes
  // back, so a later login shows that message recalled.
  m_store.AddMessage(message);
  Relay(message);
  if (message.type == "revoke") return;

  const LocalAccount* peer = m_world.FindAccount(message.to);
  if (!peer || !peer->scripted || message.type != "msg") return;
  LocalMessage reply;
  reply.from = peer->account;
  reply.to = message.from;
  reply.type = "msg";
  reply.content = peer->reply;
  for (size_t at = reply.content.find("{text}"); at != std::string::npos;
       at = reply.content.find("{text}", at + message.content.size()))
    reply.content.replace(at, 6, message.content);
  m_scheduler.After(m_world.ReplyDelayMs(), [this, reply]() mutable {
    reply.msgid = TakeMsgid();
    reply.time = Now();
    m_store.AddMessage(reply);
    Relay(reply);
  });
}

std::vector<LocalMessage> LocalServer::Messages() const {
  std::vector<LocalMessage> out = m_world.History();
  for (LocalMessage& m : out) {
    m.content = Fill(m.content);
    m.remark = Fill(m.remark);
  }
  const std::vector<LocalMessage> sent = m_store.Messages();
  out.insert(out.end(), sent.begin(), sent.end());
  return out;
}

std::string LocalServer::CheckPushParties(const std::string& to, const std::string& from) {
  if (!m_world.FindAccount(from)) return "unknown account " + from + "\n";
  if (IsGroup(to) ? MembersOf(to).empty() : !m_world.FindAccount(to))
    return "unknown target " + to + "\n";
  return "";
}

void LocalServer::Relay(const LocalMessage& message, bool toSender) {
  const LocalAccount* sender = m_world.FindAccount(message.from);
  const FakeIMServer::Params params = {
      {"id", std::to_string(message.msgid)},
      {"fromgroup", message.fromGroup},
      {"fromdev", std::to_string(message.device)},
      {"fromversion", std::to_string(sender ? sender->userVersion : 1)},
      {"content", message.content},
      {"remark", message.remark},
      {"curtime", message.time},
  };
  const std::string text = FakeIMServer::ChatPacket(message.from, message.to, message.type, params);
  if (!IsGroup(message.to)) {
    PushTo(message.to, text);
    return;
  }
  for (const std::string& account : MembersOf(message.to)) {
    if (toSender || account != message.from) PushTo(account, text);
  }
}
