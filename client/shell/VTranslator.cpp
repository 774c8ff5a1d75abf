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
