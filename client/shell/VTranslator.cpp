#include "shell/VTranslator.h"

#include <QDebug>

#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {
int g_language = VTranslator::ZH_CN;
}  // namespace

VTranslator::VTranslator(QObject* parent) : QObject(parent) {}

VTranslator* VTranslator::instance() {
  static VTranslator* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VTranslator; });
}

void VTranslator::setCurrentLanguage(VLanguage language) {
  if (language < EN_US || language > KO_KR) return;
  qDebug() << Q_FUNC_INFO << language;
  g_language = language;
  VConfig::instance()->setValue(QStringLiteral("CurrentLanguage"), static_cast<int>(language));
  emit currentLanguageChanged();
}

VTranslator::VLanguage VTranslator::language() const { return static_cast<VLanguage>(g_language); }

QString VTranslator::getString(const QString& key) const {
  struct Hint {
    const char* key;
    const char* english;
    const char* chinese;
  };
  static const Hint kHints[] = {
      {"hint_sdhbqzsjsck", "[Tesmo Chat red envelope]", "[TesmoChat红包]"},
      {"hint_wzlxxx", "[Unknown type message]", "[未知类型消息]"},
      {"hint_chlytxx", "'ve recalled a message", " 撤回了一条消息"},
      {"hint_nchlytxx", "You have recalled a message", "你撤回了一条消息"},
  };
  QString text;
  for (const Hint& hint : kHints) {
    if (key != QLatin1String(hint.key)) continue;
    if (g_language == ZH_CN)
      text = QString::fromUtf8(hint.chinese);
    else if (g_language != ZH_TW && g_language != KO_KR)
      text = QString::fromUtf8(hint.english);
  }
  qDebug() << Q_FUNC_INFO << text;
  return text;
}
