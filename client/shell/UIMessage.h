#ifndef TESMO_CLIENT_SHELL_UIMESSAGE_H
#define TESMO_CLIENT_SHELL_UIMESSAGE_H

#include <QMetaType>
#include <QString>
#include <atomic>

// One engine report, copied out of the engine's callback. The bridge makes one per
// report and frees it once every receiver has seen it; receivers read it during
// their slot call and never keep it.
class UIMessage {
 public:
  UIMessage();
  ~UIMessage();
  UIMessage(const UIMessage&) = delete;
  UIMessage& operator=(const UIMessage&) = delete;

  // Records alive in this process: lets tests prove that none is leaked.
  static int liveCount();

  int m_Method = 0;
  int m_Status = 0;
  int m_DialogID = 0;
  int m_Timer = 0;
  QString m_Arg1;
  QString m_Arg2;
  QString m_Arg3;

 private:
  static std::atomic<int> s_live;
};

Q_DECLARE_METATYPE(const UIMessage*)

#endif
