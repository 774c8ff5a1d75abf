// Sending and recalling chat messages (requests 200201, 200202 and 200204) on a
// worker of the request service. A context object: built for one request, it holds
// nothing between calls.
#ifndef TESMO_SERVICES_TMESSAGESERVICE_H
#define TESMO_SERVICES_TMESSAGESERVICE_H

#include <functional>
#include <string>

class TAPIPacket;
class TArgList;
class TIMPacket;
class TIMSession;
class THttpRequestService;

class TMessageService {
 public:
  // One POST of a JSON body; 0 with the reply in packet->s4, else the exchange's
  // failure code.
  using PostFunction =
      std::function<int(TAPIPacket* packet, const std::string& url, const std::string& body)>;

  TMessageService(THttpRequestService& service, PostFunction post);

  // Requests 200201/200202: uploads the file when there is one, posts the message
  // and marks its row. Returns the request's result (TSendResult, a server code or an
  // exchange code); the row's send state always agrees with it.
  int SendMessage(TAPIPacket* packet);
  // Request 200204: recalls the message whose local id is the packet's id. On
  // success the row is flagged revoked and a revoke notice row is stored.
  int RevokeMessage(TAPIPacket* packet);

  // The IM session's handler of "im" pushes (installed when the library loads): a
  // group notification raises 100009, then every packet is a chat message whose
  // stored row raises 100008 once.
  static void OnImPush(TIMSession& session, const TIMPacket& packet);

  // A pushed chat message (an "im" packet, group notices included): filtered,
  // stored and described. Returns the local id of the stored row with its event
  // text in *json, or 0 when nothing was stored (blocked sender, echo of this
  // device, duplicate, unknown revoked message, no server id, store failure).
  int OnChatMessage(const TIMPacket& packet, std::string* json);
  // Asks for the peer's details when the contact cache lacks them or holds an older
  // version than the message names; the fetch runs on a request worker, so the push
  // goes on at once (TSenderDetails). 1 when the peer was added to the fetches, else
  // 0 (also while its fetch is wanted or under way, or after a failed one).
  int RefreshSenderDetail(const std::string& peer, int version);
  // The run of fetches (internal request kInternalSenderDetail): asks the user
  // server for each wanted sender in turn and stores what it answers.
  void FetchSenderDetail(TAPIPacket* packet);
  // Tells a blocked sender that the message was refused.
  void SendRefusalNotice(const std::string& peer);

  // Seconds the synchronous exchanges of the push path may wait for a server: the
  // refusal notice runs on the IM dispatch thread, which also carries the
  // keep-alive, and a sender's details hold a request worker.
  static constexpr int kPushExchangeSeconds = 3;

  // The remark of a forwarded copy: the "from" entry names the own user and the
  // "to" entry the new target as the local contact or group table knows it.
  static std::string AddForwardInfo(const std::string& remark, const std::string& target);

  // The text of a stored message as events carry it (100008): the row's fields in a
  // fixed order, "accountid" worked out from the sender, target and group.
  static std::string BuildMessageJson(int localId, long long msgid, int msgtype,
                                      const std::string& fromuser, const std::string& fromgroup,
                                      int fromver, int device, const std::string& touser,
                                      int totype, const std::string& content,
                                      const std::string& remark, int sendflag, int atflag,
                                      const std::string& sendtime);

  // The content to store for a group notice message (type 6) as the own account
  // sees it: rewritten when it concerns the own account, "" when it is not to be
  // stored (an approval request for a plain member), else unchanged. Sets *lostGroup
  // to 1 when the own account has lost the group; leaves it alone otherwise.
  static std::string RewriteGroupNotice(const std::string& fromgroup, const std::string& touser,
                                        const std::string& content, int* lostGroup);

 private:
  int Send(TAPIPacket* packet, const TArgList& args, int id);

  THttpRequestService& m_service;
  PostFunction m_post;
};

#endif
