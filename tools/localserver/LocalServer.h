// The local server: every server the system talks to, on 127.0.0.1, from one world.
//
//   entry (server key LOGIN, the address TESMO_SERVER names): registration by code,
//       by an earlier QR scan, the verification code, the QR poll, the configuration
//       file "/bit/app.cfg", the download page "/down/" and the web page "/";
//   USERSERVER: the login and the QR poll by key; GROUPSERVER; IMSERVER: sending;
//   PUBSERVER: the coin list and dump reports; SPEECHSERVER: a translation that
//   only marks the text with the language asked for; all over HTTPS;
//   the download server (plain HTTP) for uploaded and world files; the file store's
//   tracker and storage node; the UDP IM server.
// The login replies name all of them, so a client finds everything from the entry.
//
// Path handlers of other servers plug in through LocalPathPlugins() (LocalPlugins.cpp):
// each plug-in gets this object and registers routes on Http(key), reading the world
// (World().Root() holds the whole file) and the sessions (AccountOf).
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALSERVER_H
#define TESMO_TOOLS_LOCALSERVER_LOCALSERVER_H

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "LocalPorts.h"
#include "LocalScheduler.h"
#include "LocalSessions.h"
#include "LocalStore.h"
#include "LocalWorld.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeIMSessionServer.h"
#include "fakes/FakeImHttpPaths.h"
#include "fakes/FakeLoginServer.h"
#include "fakes/TestCertificates.h"

class LocalServer {
 public:
  struct Options {
    std::string stateDir;  // "" keeps nothing after the run
    int entryPort = 0;     // 0: the port kept in the state folder, else any free one
  };
  // Message ids the server gives start here: within 32 bits, above the world's
  // history (which counts from 1000000001).
  static constexpr int64_t kFirstMsgid = 1100000001;
  // The HTTPS servers by server key, entry first.
  static const std::vector<std::string>& HttpKeys();

  LocalServer(const LocalWorld& world, const Options& options);
  ~LocalServer();
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  bool Start(std::string* error);
  void Stop();

  // "key URL" lines of every server, then TESMO_SERVER= and TESMO_CA_FILE= lines.
  std::string Describe() const;
  std::string EntryAddress() const;  // "127.0.0.1:port"
  std::string CaFile() const { return m_certs.caFile; }
  // The port kept for a server of the state folder (0: none yet), and keeping one
  // (for the control port, which main opens).
  int KeptPort(const std::string& key) const { return m_ports.Get(key); }
  void KeepPort(const std::string& key, int port) { m_ports.Keep(m_store, key, port); }
  std::string PortsFile() const;

  // One control command line; the answer text (one or more lines).
  std::string Command(const std::string& line);

  // For path plug-ins.
  const LocalWorld& World() const { return m_world; }
  FakeHttpServer& Http(const std::string& key);  // a key of HttpKeys()
  std::string Address(const std::string& key);   // "127.0.0.1:port" of a server key
  // The account whose session token the request carries ("" when none).
  std::string AccountOf(const FakeRequest& request);
  // Sends an IM packet text to the account's client when it is online.
  bool PushTo(const std::string& account, const std::string& text);
  // Replaces ${ENTRY}, ${DOWN} and the other server names in a world text (once the
  // servers are started: before, their ports are not known).
  std::string Fill(const std::string& text) const;
  // The other way round, for texts kept across runs, whose ports change.
  std::string Unfill(const std::string& text) const;
  // Runs step once the servers listen, before Start returns (for a plug-in that fills
  // world texts with the addresses).
  void AfterStart(std::function<void()> step);
  LocalStore& Store() { return m_store; }
  // Every message the server knows, oldest first: the world's history (addresses
  // filled in), then what was sent through it (kept across runs with --state).
  std::vector<LocalMessage> Messages() const;
  // The accounts of a group ("" when there is no such group): the world's groups by
  // default; a plug-in that makes groups answers for its own.
  using GroupMembers = std::function<std::vector<std::string>(const std::string& groupId)>;
  void SetGroupMembers(GroupMembers members);
  std::vector<std::string> MembersOf(const std::string& groupId);
  void Keep(std::shared_ptr<void> object);
  // A message id for something pushed, from the run of the ids of sent messages.
  int64_t TakeMsgid();
  // Adjusts what an account's logins say of it (its profile as changed since, the
  // version of its friend list) over what the world says.
  using LoginProfile = std::function<void(const std::string& account, FakeLoginServer::Profile*)>;
  void SetLoginProfile(LoginProfile adjust);
  // The login replies also name the server of key under name (a user domain).
  void NameServer(const std::string& name, const std::string& key);
  static std::string Now();

 private:
  struct QRPoll {
    std::chrono::steady_clock::time_point first;
    std::string device;
    std::string confirmedAs;
  };

  void RegisterPaths();
  FakeReply Register(const FakeRequest& request);
  FakeReply AccountInfo(const FakeRequest& request);
  FakeReply Login(const FakeRequest& request);
  FakeReply CheckCode(const FakeRequest& request);
  FakeReply QR(const std::string& key, const std::string& device);
  FakeReply AppConfig();
  FakeReply Download(const FakeRequest& request);
  FakeReply Coins();
  // A registration reply for the account; remembers the token its login will carry.
  FakeReply Registered(const LocalAccount& account);
  FakeLoginServer::Profile ProfileOf(const LocalAccount& account);
  std::string ImLogin(const FakeIMServer::Record& login);
  void ImText(const FakeIMServer::Record& text);
  FakeImHttpPaths::Script CheckSend(const FakeImHttpPaths::Message& m, const FakeRequest& r);
  void Deliver(const FakeImHttpPaths::Message& m, const FakeRequest& r);
  // "" when FROM is a world account and TO one or a known group, else what is wrong.
  std::string CheckPushParties(const std::string& to, const std::string& from);
  // Stores the file at path in the file store and pushes a message of type (pic,
  // file, audio, video) with its URL and remark from FROM to TO; the answer line.
  std::string PushFile(const std::string& to, const std::string& from, const std::string& type,
                       const std::string& path);
  // Pushes a message to the target's online clients (a group's members but the
  // sender, unless toSender).
  void Relay(const LocalMessage& message, bool toSender = false);
  void SaveUpload(const FakeFileStore::Upload& upload);
  std::string ConfirmQR(const std::string& key, const std::string& account);
  // Ids given out are kept as a mark a block ahead, so a restart never gives one
  // again (pushes of the server are not all kept as messages).
  void NoteMsgid(int64_t msgid);
  // Opens the servers on their kept ports; false with *error naming a taken one.
  bool Listen(std::string* error);

  const LocalWorld& m_world;
  const Options m_options;
  TestCertificates m_certs;
  std::string m_tempDir;  // the run's own folder when no state folder was given
  LocalStore m_store;
  LocalPorts m_ports;
  LocalSessions m_sessions;

  // Declared before the servers, so that no server thread outlives what it uses.
  std::mutex m_mutex;                                      // guards everything below
  std::map<std::string, std::string> m_loginTokens;        // login header -> account
  std::map<std::string, std::string> m_accountInfoTokens;  // accountinfo header -> account
  std::map<std::string, QRPoll> m_qrPolls;
  std::string m_lastQRKey;
  bool m_qrAuto = true;
  bool m_started = false;
  size_t m_pushes = 0;
  GroupMembers m_groupMembers;
  std::vector<std::pair<std::string, std::string>> m_serverNames;  // name, server key
  LoginProfile m_loginProfile;
  std::vector<std::function<void()>> m_afterStart;
  std::mutex m_msgidMutex;
  int64_t m_msgidMark = 0;  // ids below it are covered by the kept mark

  std::unique_ptr<FakeImHttpPaths> m_send;
  std::map<std::string, std::unique_ptr<FakeHttpServer>> m_http;
  FakeHttpServer m_down;
  // Made by Start, on the ports kept: they listen from construction on.
  std::unique_ptr<FakeFileStore> m_files;
  std::unique_ptr<FakeIMSessionServer> m_im;
  LocalScheduler m_scheduler;
  std::vector<std::shared_ptr<void>> m_kept;
};

#endif
