// The control commands, read from standard input or the control port.
#include <sstream>

#include "LocalFileRemark.h"
#include "LocalServer.h"

namespace {

const char* kHelp =
    "accounts                        accounts, their login and whether they are online\n"
    "status                          pushes sent to clients and those still unanswered\n"
    "push TO FROM TEXT               a text message from FROM to TO (an account or group)\n"
    "pushfile TO FROM KIND PATH      stores the file PATH (read by the server) in the file\n"
    "                                store and pushes it from FROM to TO as a message of\n"
    "                                KIND pic, file, audio (voice) or video, its remark\n"
    "                                naming the file (filename, filesize; width and height\n"
    "                                of a PNG, GIF or JPEG picture; seconds of a WAV voice)\n"
    "groupnotify GROUP TEXT          a group notification to the group's members (kept in\n"
    "                                its history for those who are not online)\n"
    "revoke TO FROM MSGID            recalls the message MSGID that FROM sent to TO (kept\n"
    "                                and served in history with the message)\n"
    "repeat MSGID                    pushes a kept message again under a new packet id\n"
    "sys ACCOUNT KIND [CONTENT]      a system push: jlhb, syskickout, updatedetail or\n"
    "                                updatefriend (CONTENT: the notice, the profile JSON)\n"
    "kickout ACCOUNT [REASON]        ends the account's session\n"
    "qr confirm [ACCOUNT]            confirms the newest QR code (as ACCOUNT)\n"
    "qr auto on|off                  confirms QR codes by itself, or not\n"
    "quit                            stops the server\n";

std::string Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  const size_t start = rest.find_first_not_of(' ');
  return start == std::string::npos ? std::string() : rest.substr(start);
}

}  // namespace

std::string LocalServer::Command(const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  if (verb.empty()) return "";
  if (verb == "help") return kHelp;
  if (verb == "accounts") {
    std::ostringstream out;
    for (const LocalAccount& a : m_world.Accounts()) {
      out << a.account << "  " << a.name;
      if (!a.mobile.empty())
        out << "  login: " << a.nationCode << " " << a.mobile << " code " << a.verifyCode;
      if (a.scripted) out << "  (scripted)";
      if (const auto online = m_sessions.Find(a.account))
        out << (online->heard ? "  online" : "  online before the restart, not heard from since");
      out << "\n";
    }
    return out.str();
  }
  if (verb == "status") {
    size_t pushes = 0;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      pushes = m_pushes;
    }
    return "pushes: " + std::to_string(pushes) + " sent, " +
           std::to_string(m_im->Server().UnackedCount()) + " unanswered\n";
  }
  if (verb == "push") {
    std::string to, from;
    in >> to >> from;
    const std::string text = Rest(in);
    if (to.empty() || from.empty() || text.empty()) return "usage: push TO FROM TEXT\n";
    const std::string wrong = CheckPushParties(to, from);
    if (!wrong.empty()) return wrong;
    const bool group = to.find("group.") != std::string::npos;
    LocalMessage message;
    message.msgid = TakeMsgid();
    message.from = from;
    message.to = to;
    message.fromGroup = group ? to : "";
    message.type = "msg";
    message.content = text;
    message.time = Now();
    m_store.AddMessage(message);
    Relay(message);
    return "pushed " + std::to_string(message.msgid) + "\n";
  }
  if (verb == "pushfile") {
    std::string to, from, type;
    in >> to >> from >> type;
    const std::string path = Rest(in);
    if (to.empty() || from.empty() || !LocalFileRemark::IsFileType(type) || path.empty())
      return "usage: pushfile TO FROM pic|file|audio|video PATH\n";
    return PushFile(to, from, type, path);
  }
  if (verb == "revoke") {
    std::string to, from, msgid;
    in >> to >> from >> msgid;
    if (to.empty() || from.empty() || msgid.empty()) return "usage: revoke TO FROM MSGID\n";
    LocalMessage message;
    message.msgid = TakeMsgid();
    message.from = from;
    message.to = to;
    message.fromGroup = to.find("group.") != std::string::npos ? to : "";
    message.type = "revoke";
    message.content = msgid;
    message.time = Now();
    m_store.AddMessage(message);
    Relay(message);
    return "revoked " + msgid + "\n";
  }
  if (verb == "repeat") {
    long long msgid = 0;
    in >> msgid;
    for (const LocalMessage& m : m_store.Messages()) {
      if (m.msgid != msgid) continue;
      // As a server repeats a push it saw no answer to: same message, new packet.
      Relay(m);
      return "repeated " + std::to_string(msgid) + "\n";
    }
    return "no kept message " + std::to_string(msgid) + "\n";
  }
  if (verb == "sys") {
    std::string account, kind;
    in >> account >> kind;
    const std::string content = Rest(in);
    if (kind != "jlhb" && kind != "syskickout" && kind != "updatedetail" && kind != "updatefriend")
      return "usage: sys ACCOUNT jlhb|syskickout|updatedetail|updatefriend [CONTENT]\n";
    if (!PushTo(account, FakeIMServer::SysPacket(account, kind, {{"content", content}})))
      return "not online: " + account + "\n";
    return "pushed " + kind + "\n";
  }
  if (verb == "groupnotify") {
    std::string group;
    in >> group;
    const std::string text = Rest(in);
    const std::vector<std::string> members = MembersOf(group);
    if (members.empty() || text.empty()) return "usage: groupnotify GROUP TEXT (a known group)\n";
    LocalMessage message;
    message.msgid = TakeMsgid();
    // From the owner when the world names one.
    message.from = members.front();
    if (const LocalGroup* g = m_world.FindGroup(group)) {
      for (const LocalGroupMember& m : g->members) {
        if (m.role == 1) message.from = m.account;
      }
    }
    message.to = group;
    message.fromGroup = group;
    message.type = "groupnotify";
    message.content = text;
    message.time = Now();
    // Kept in the group's history for members who are not online; it reaches the
    // owner as well.
    m_store.AddMessage(message);
    Relay(message, true);
    return "notified\n";
  }
  if (verb == "kickout") {
    std::string account;
    in >> account;
    std::string reason = Rest(in);
    if (reason.empty()) reason = "Your account logged in elsewhere.";
    const auto online = m_sessions.Find(account);
    if (!online) return "not online: " + account + "\n";
    PushTo(account,
           FakeIMServer::SysPacket(account, "kickout",
                                   {{"reason", reason}, {"regsterid", online->registration}}));
    m_sessions.End(account);
    return "kicked out " + account + "\n";
  }
  if (verb == "qr") {
    std::string what, arg;
    in >> what >> arg;
    if (what == "auto" && (arg == "on" || arg == "off")) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_qrAuto = arg == "on";
      return std::string("QR auto-confirm ") + arg + "\n";
    }
    if (what == "confirm") {
      const std::string account = arg.empty() ? m_world.QRAccount() : arg;
      if (!m_world.FindAccount(account)) return "unknown account " + account + "\n";
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_lastQRKey.empty()) return "no QR code was polled yet\n";
      ConfirmQR(m_lastQRKey, account);
      return "QR code confirmed as " + account + "\n";
    }
    return "usage: qr confirm [ACCOUNT] | qr auto on|off\n";
  }
  return "unknown command (help lists them)\n";
}
