#ifndef TESMO_CLIENT_SHELL_VTRANSLATOR_H
#define TESMO_CLIENT_SHELL_VTRANSLATOR_H

#include <QObject>
#include <QScopedPointer>
#include <QString>

class VTranslatorPrivate;

// Switches the interface language ("vTranslator") and holds the language enum and
// the texts the managers compose themselves (the hint tables).
class VTranslator : public QObject {
  Q_OBJECT
  Q_PROPERTY(VLanguage language READ language NOTIFY currentLanguageChanged)
  Q_PROPERTY(QString i18n READ i18n NOTIFY currentLanguageChanged)

 public:
  enum VLanguage { EN_US = 0, ZH_CN = 1, ZH_TW = 2, KO_KR = 3 };
  Q_ENUM(VLanguage)

  // Public for the QML type registration; the program uses instance().
  explicit VTranslator(QObject* parent = nullptr);
  ~VTranslator() override;
  static VTranslator* instance();

  // The process-wide language, readable without an instance.
  static VLanguage currentLanguage();
  // Whether a stored value names one of the four languages.
  static bool isLanguage(int value);

  Q_INVOKABLE void setCurrentLanguage(VLanguage language);
  VLanguage language() const;
  // Always empty: translated QML texts append it to be re-evaluated on a switch.
  QString i18n() const { return QString(); }
  // The hint text of the current language; empty when the key or table has none.
  QString getString(const QString& key) const;

 signals:
  void currentLanguageChanged();

 private:
  QScopedPointer<VTranslatorPrivate> d;
};

#endif
