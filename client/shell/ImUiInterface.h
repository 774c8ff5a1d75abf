#ifndef TESMO_CLIENT_SHELL_IMUIINTERFACE_H
#define TESMO_CLIENT_SHELL_IMUIINTERFACE_H

#include <QMap>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include "TAPIInterface.h"

class ImNotifyManager;
class UIMessage;

// The engine's callback: turns every report except 100001 into a UIMessage.
void ui_CallBack(int method, int status, int dialogID, int timer, const char* arg1);

// The program's one engine facade: starts the engine with the built-in settings,
// maps request paths to server kinds and hands engine reports to the managers.
// Never deleted: engine threads may still hold it until releaseInterface.
class ImUiInterface : public TAPIInterface {
 public:
  static constexpr int kDefaultPort = 443;

  static ImUiInterface* instance();

  // Starts the engine once; later calls do nothing.
  void initInterface();
  // Stops the engine's threads and frees the reports not yet delivered. After it
  // returns no report arrives any more.
  void releaseInterface();

  QString getUrl(const QString& path);
  ImNotifyManager* notifyManager() const { return m_notifyManager; }
  void notify(const UIMessage* msg);
  const char* GetIPAddress(int type) override;

  QString serverHost() const { return m_host; }
  int serverPort() const { return m_port; }
  // Whether TESMO_SERVER named the server: then every host of the deployment (web
  // host, download page, configuration store, probe) is that server, so nothing
  // leaves it.
  bool serverOverridden() const { return m_overridden; }
  // The deployment's host for a built-in name: "host:port" of TESMO_SERVER when it
  // is set, else the name.
  QString deploymentHost(const QString& builtIn) const;

  // "host:port" or "host" (port 443); false leaves host and port untouched.
  static bool parseServer(const QString& text, QString* host, int* port);
  // A relative path such as "./http.log" taken beside the running program.
  static QString besideProgram(const QString& path);

  // Shared helpers of the managers; none keeps state, all are thread-safe.
  QVariantMap convJsonToVariantMap(const QString& json);
  bool dbExecSql(const QString& sql);
  int getDataCount(const QString& sql);
  QString distinct(const QString& path);
  QString getSizeStr(qint64 size);
  QString getPeerAccount(const QString& fromuser, const QString& touser);
  QSize getImageSize(const QString& path);
  QString getFileName(const QString& path);
  qint64 getFileSize(const QString& path);
  bool checkFileExists(const QString& path);
  bool removeFile(const QString& path);
  QString removeFilePrefix(const QString& path);
  QString convertFilePath(const QString& path, const QString& suffix);
  bool makePath(const QString& path);
  QString getCurrentTime();
  QString getCurrentMSecs();

 private:
  ImUiInterface();
  ~ImUiInterface() override;

  QString m_host;
  int m_port;
  ImNotifyManager* m_notifyManager;
  QMap<QString, QString> m_urlTable;
  bool m_started = false;
  bool m_overridden = false;
};

#endif
