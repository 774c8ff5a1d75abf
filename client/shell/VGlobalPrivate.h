#ifndef TESMO_CLIENT_SHELL_VGLOBALPRIVATE_H
#define TESMO_CLIENT_SHELL_VGLOBALPRIVATE_H

#include <QImageReader>
#include <QMimeDatabase>
#include <QTimer>

class QNetworkConfigurationManager;
class VCheckNetworkConnectionThread;
class VSoundPlayThread;

// The private part of VGlobal; its Qt members are children of the VGlobal.
class VGlobalPrivate {
 public:
  QNetworkConfigurationManager* networkWatch = nullptr;
  VCheckNetworkConnectionThread* checkThread = nullptr;
  QTimer* reconnectTimer = nullptr;
  QTimer* hardCheckTimer = nullptr;
  bool online = false;
  // The start asked the check thread for a probe that has not answered yet.
  bool startProbePending = false;
  VSoundPlayThread* soundThread = nullptr;
  bool animationEnabled = true;
  bool dialogShowing = false;
  // Shared by the file helpers (main thread only).
  QImageReader imageReader;
  QMimeDatabase mimeDatabase;
};

#endif
