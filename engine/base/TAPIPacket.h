// The words the engine and its caller share: the export mark, the callback type, the
// event and request codes and the packet that carries one request or event.
// Standard headers only, so every engine folder and every caller may include it.
#ifndef TESMO_BASE_TAPIPACKET_H
#define TESMO_BASE_TAPIPACKET_H

#include <string>

#if defined(__GNUC__)
#define TAPI_EXPORT __attribute__((visibility("default")))
#else
#define TAPI_EXPORT
#endif

// Reports reach the caller through this one function: (code, result, dialog id,
// extra number, text). The text is valid only during the call.
typedef void (*TAPICallBack)(int method, int status, int dialogID, int timer, const char* arg1);

enum TAPIEventCode {
  _EVENT_REPORT_RUN = 100001,
  _EVENT_REPORT_SENDFILEPROGRESS = 100002,
  _EVENT_REPORT_GETFILEPROGRESS = 100003,
  _EVENT_LOGIN_SUCCESS = 100004,
  _EVENT_LOGIN_FAIL = 100005,
  _EVENT_RELOGIN_SUCCESS = 100006,
  _EVENT_REPORT_OFFLINE = 100007,
  _EVENT_COME_IMMESSAGE = 100008,
  _EVENT_COME_GROUPNOTIFY = 100009,
  _EVENT_REPORT_FRIENDNOTIFY = 100010,
  _EVENT_COME_HISTORYIM = 100011,
  _EVENT_RECV_KICKOUT = 100012,
  _EVENT_COME_FINISHIMHISTORY = 100013,
  _EVENT_REPORT_QRLOGIN = 100015,
  _EVENT_REPORT_GROUPUPDATE = 100016,
  _EVENT_REPORT_GROUPMSGID = 100017,
  _EVENT_COME_JLHB = 100018,
  _EVENT_REPORT_SYSKICKOUT = 100019,
  _EVENT_REPORT_FIRSTGROUPUPDATE = 100020,
  _EVENT_REPORT_UPDATEDETAIL = 100021
};

enum TAPIRequestCode {
  _REQUEST_HTTP_SENDGET = 200101,
  _REQUEST_HTTP_SENDPOST = 200102,
  _REQUEST_HTTP_UPLOADFILE = 200103,
  _REQUEST_HTTP_DOWNFILE = 200104,
  _REQUEST_HTTP_UPLOADDUMP = 200105,
  _REQUEST_HTTP_SENDMSGIM = 200201,
  _REQUEST_HTTP_SENDMSGFILE = 200202,
  _REQUEST_HTTP_REVOKEMSG = 200204,
  _REQUEST_HTTP_READMSGIM = 200205,
  _REQUEST_HTTP_GETHISTORYMSG = 200206,
  _REQUEST_HTTP_GROUPCOMMAND = 200301,
  _REQUEST_HTTP_USERCOMMAND = 200302
};

// One request or event. Built with new by whoever raises it; deleted by the engine
// after the callback returns.
class TAPI_EXPORT TAPIPacket {
 public:
  TAPIPacket();
  ~TAPIPacket();

  int code;   // request or event code; below 1000 for the engine's internal work
  int id;     // dialog id, or the local message id of a message request
  int a;      // result or status (0 = success for replies)
  int b;      // further number: elapsed ms for 200101/200102
  int state;  // client slot of the worker thread that runs the packet (0-4)
  std::string s1;
  std::string s2;
  std::string s3;
  std::string s4;  // the report text handed to the callback
};

#endif
