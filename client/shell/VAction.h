#ifndef TESMO_CLIENT_SHELL_VACTION_H
#define TESMO_CLIENT_SHELL_VACTION_H

#include <QAction>
#include <QUrl>

// One entry of a VMenu.
class VAction : public QAction {
  Q_OBJECT
  Q_PROPERTY(QUrl icon READ iconUrl WRITE setIcon NOTIFY iconChanged)

 public:
  explicit VAction(QObject* parent = nullptr);

  QUrl iconUrl() const { return m_icon; }

 signals:
  void iconChanged();

 public slots:
  void setIcon(const QUrl& icon);

 private:
  QUrl m_icon;
};

#endif
