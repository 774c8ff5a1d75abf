#ifndef TESMO_CLIENT_SHELL_VFILESAVEDIALOG_H
#define TESMO_CLIENT_SHELL_VFILESAVEDIALOG_H

#include <QPointer>
#include <QQuickItem>
#include <QStringList>
#include <QUrl>

class QFileDialog;

// The save-file dialog, declared in QML, and the three kinds of saving that follow
// a choice: a received file copied elsewhere, the last screen capture written as a
// picture, and the contacts template for the batch invitation. The dialog is Qt's
// file dialog, which uses the desktop's own where the platform offers one.
class VFileSaveDialog : public QQuickItem {
  Q_OBJECT
  Q_PROPERTY(bool valid READ valid NOTIFY validChanged)
  Q_PROPERTY(QUrl fileUrl READ fileUrl NOTIFY fileUrlChanged)
  Q_PROPERTY(QString filename READ filename WRITE setFilename NOTIFY filenameChanged)
  Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
  Q_PROPERTY(
      QStringList nameFilters READ nameFilters WRITE setNameFilters NOTIFY nameFiltersChanged)

 public:
  explicit VFileSaveDialog(QQuickItem* parent = nullptr);
  ~VFileSaveDialog() override;

  bool valid() const;
  QUrl fileUrl() const { return m_fileUrl; }
  QString filename() const { return m_filename; }
  void setFilename(const QString& filename);
  QString title() const { return m_title; }
  void setTitle(const QString& title);
  QStringList nameFilters() const { return m_nameFilters; }
  void setNameFilters(const QStringList& nameFilters);

  Q_INVOKABLE void open();
  Q_INVOKABLE void close();
  Q_INVOKABLE void saveVCardFile(const QString& savePath);
  Q_INVOKABLE bool saveAs(const QString& sourcePath, const QString& targetPath);
  Q_INVOKABLE void saveAsScreenCapture(const QString& targetPath);

  // The suffix a filter such as "PNG(*.png)" or "JPEG(*.jpg;*.jpeg)" names first
  // ("png", "jpg"); empty for one without a plain suffix ("*").
  static QString suffixOfFilter(const QString& filter);
  // Every plain suffix of a filter, in its order ("jpg", "jpeg").
  static QStringList suffixesOfFilter(const QString& filter);
  // The chosen local file with the filter's first suffix added when its name does
  // not end in one of the filter's suffixes (any case).
  static QUrl withFilterSuffix(const QUrl& chosen, const QString& filter);

  // The resource the batch invitation's template is copied from.
  static QString vCardTemplatePath() { return QStringLiteral(":/res/vCard/contacts.vcf"); }

 signals:
  void validChanged();
  void fileUrlChanged();
  void filenameChanged();
  void titleChanged();
  void nameFiltersChanged();
  void accepted();
  void rejected();
  void aboutToOpen();
  void aboutToClose();
  void saveVCardFileResult(bool successed);
  void saveAsResult(bool successed);
  void saveAsScreenCaptureResult(bool successed);

 public slots:
  virtual void accept();
  virtual void reject();

 protected:
  // The files the user chose; the dialog's own selection (tests replace it).
  virtual QList<QUrl> selectedUrls() const;
  // The filter the user chose in the dialog.
  virtual QString selectedNameFilter() const;

 private:
  static QString toPath(const QString& pathOrUrl);

  QUrl m_fileUrl;
  QString m_filename;
  QString m_title;
  QStringList m_nameFilters;
  QPointer<QFileDialog> m_dialog;
  bool m_visible = false;
};

#endif
