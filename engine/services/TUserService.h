// The engine's side of everything about people: the own profile (request 200302),
// contact details, friends, remarks, the black list, red packets, searches and
// recommendations. A context object built for one call on the thread that runs the
// exchange; it holds nothing between calls.
//
// Most of these requests are plain GETs and POSTs of the program: the request
// service hands every successful reply to RouteReply, which picks a handler by the
// URL, and asks InterceptDetailList before every exchange.
#ifndef TESMO_SERVICES_TUSERSERVICE_H
#define TESMO_SERVICES_TUSERSERVICE_H

#include <string>

class TAPIPacket;
class THttpRequestService;

// Results of the profile command beside exchange results and server codes.
constexpr int kUserCommandUploadFailed = 11;
constexpr int kUserCommandUnknown = 12;
constexpr int kUserCommandBadReply = 4;
// The server answered "code" 0, which passed through would read as success.
constexpr int kUserCommandCodeZero = 14;

// The reply handlers that RouteReply chooses from.
enum class TUserRoute {
  kNone,
  kCheckAccount,
  kCheckMobile,
  kDetail,
  kFriendList,
  kRemoveFriend,
  kMyServices,
  kRedPacketCreated,
  kRedPacketGrad,
  kRecommend,
  kSetRemark,
  kSetBlack,
  kSearchAccount,
};

class TUserService {
 public:
  explicit TUserService(THttpRequestService& service);

  // Request 200302: "cmd" "modify" changes the own profile; anything else is 12.
  int OnUserCommand(TAPIPacket* packet);
  int ModifyProfile(TAPIPacket* packet);

  // After a successful asynchronous GET or POST: the handler chosen by the URL.
  void RouteReply(TAPIPacket* packet, const std::string& url, const std::string& reply);
  // The handler for a URL: the first of the route table's texts that the URL contains.
  static TUserRoute RouteOf(const std::string& url);
  // Before an asynchronous GET or POST: takes over the detail-list requests. Returns
  // 1 with *handled = 0 when not taken; 0 with *handled = 1 when taken.
  int InterceptDetailList(TAPIPacket* packet, const std::string& url, const std::string& body,
                          int* handled);
  void OnMyServices(TAPIPacket* packet, const std::string& reply);

  // Fetches the details of the accounts (joined with ",") from each domain's user
  // server, one exchange per domain, stores them, and writes the combined reply into
  // packet->s4 when any account had a domain. 1 when no exchange failed (also for an
  // empty or unusable list), 0 when one failed.
  int GetDetailList(TAPIPacket* packet, const std::string& accounts, int isfriend);
  // Stores the users of one detail-list reply; appends each entry's text to *entries
  // (comma-separated) and counts them into *count.
  void StoreDetailList(TAPIPacket* packet, const std::string& reply, int isfriend,
                       std::string* entries, int* count);
  // A detail-list request of the program, run here instead of an exchange. Always 0.
  int RunDetailListRequest(TAPIPacket* packet, const std::string& url, const std::string& body);
  // Stores the one user of a getdetail.do reply.
  void StoreDetail(const std::string& reply);

  void OnCheckAccount(TAPIPacket* packet, const std::string& reply);
  void OnCheckMobile(TAPIPacket* packet, const std::string& reply);
  void OnFriendList(TAPIPacket* packet, const std::string& reply);
  void OnRemoveFriend(TAPIPacket* packet, const std::string& reply);
  void OnSetRemark(TAPIPacket* packet, const std::string& reply);
  void OnSetBlack(TAPIPacket* packet, const std::string& reply);

  void OnRedPacketCreated(TAPIPacket* packet, const std::string& reply);
  void OnRedPacketGrad(TAPIPacket* packet, const std::string& reply);
  void OnSearchAccount(TAPIPacket* packet, const std::string& reply);
  void OnRecommend(TAPIPacket* packet, const std::string& reply);

  // Request 101 (after a one-to-one message, s1 the sender, s2 the target): once the
  // conversation runs both ways the peer becomes a friend and a local notice says
  // so (event 100008). 0 when the notice was stored, else 1.
  int OnPeerMessage(TAPIPacket* packet);

  // True when account is one whole entry of the black-list text (entries joined
  // with ","); a part of a longer entry does not count.
  static bool InBlackList(const std::string& blackList, const std::string& account);

 private:
  // The friends found by a check: asks the server to add them, fetches their
  // details into the reply and tells the program.
  void AddCheckedFriends(TAPIPacket* packet, const std::string& friends);

  THttpRequestService& m_service;
};

#endif
