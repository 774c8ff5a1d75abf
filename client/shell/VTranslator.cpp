#include "shell/VTranslator.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QLibraryInfo>
#include <QTranslator>

#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VProcessValues.h"

namespace {
int g_language = VTranslator::ZH_CN;

const char* const kFileNames[] = {"TesmoChat_en_us.qm", "TesmoChat_zh_cn.qm", "TesmoChat_zh_tw.qm",
                                  "TesmoChat_ko_kr.qm"};
const char kTranslationFolder[] = ":/i18n";
// Qt's own texts (file dialogs, standard buttons), from the system's Qt translations;
// English needs none.
const char* const kQtFileNames[] = {nullptr, "qt_zh_CN", "qt_zh_TW", "qt_ko"};

struct HintRow {
  const char* key;
  const char* english;
  const char* simplifiedChinese;
};

// Fragments the managers glue into conversation-list and group-notice texts;
// leading and trailing spaces belong to the texts.
const HintRow kHints[] = {
    {"hint_cjqtz", "Start a group chat", "发起了群聊"},
    {"hint_qcsgxtz", "Modify the group name to", "修改群昵称为"},
    {"hint_rqtz1", "You joined", "你加入了"},
    {"hint_rqtz2", "group", "群"},
    {"hint_rqtz3", "Join the group", "加入该群"},
    {"hint_ncxgtz", "Modify nickname", "修改了昵称"},
    {"hint_lqtz", "Left the group", "离开了该群"},
    {"hint_qjstz", "Disbanded the group", "解散了该群"},
    {"hint_klbg1", "group password has been updated,your friends can join group",
     "更新了群口令，朋友可以通过"},
    {"hint_klbg2", "Join group", "加入该群"},
    {"hint_bfyqz", "You have become the new founder", "你已成为新的创始人"},
    {"hint_qzbg", "The owner has changed", "已成为新创始人"},
    {"hint_bfygly", "You become an administrator", "你成为了管理员"},
    {"hint_glygg", "Administrator has changed", "管理员已变更"},
    {"hint_bfycy", "You have become a member of the group", "你已成为群成员"},
    {"hint_cybg", "group member has changed", "成员已变更"},
    {"hint_qyjygz", "From now on, no permission to speak", "已开启全员禁言"},
    {"hint_qyjcjygz", "From now on, you can talk", "已关闭全员禁言"},
    {"hint_bjygz1", "You have been", "你已被"},
    {"hint_bjygz2", "Not allowed to speak", "禁言"},
    {"hint_jcjygz1", "Not allowed to speak", "禁言"},
    {"hint_jcjygz2", "Allow to speak", "解除禁言"},
    {"hint_ygbjygz1", "etc.", "等"},
    {"hint_ygbjygz2", "Member has been", "人已被"},
    {"hint_ygbjygz3", "Not allowed to speak", "禁言"},
    {"hint_ygbjygz4", "has been", "已被"},
    {"hint_ygbjygz5", "Not allowed to speak", "禁言"},
    {"hint_yhjcjytz1", "etc.", "等"},
    {"hint_yhjcjytz2", "Member has been", "人已被"},
    {"hint_yhjcjytz3", "allowed to speak", "取消禁言"},
    {"hint_yhjcjytz4", "has been", "已被"},
    {"hint_yhjcjytz5", "allowed to speak", "取消禁言"},
    {"hint_bjrq", "You joined", "你加入了"},
    {"hint_yhbjrq1", "etc.", "等"},
    {"hint_yhbjrq2", "member", "人已被"},
    {"hint_yhbjrq3", "Join the group", "加入群"},
    {"hint_yhbjrq4", "has been", "已被"},
    {"hint_yhbjrq5", "Join the group", "加入群"},
    {"hint_cybsctz1", "etc.", "等"},
    {"hint_cybsctz2", "member has been", "人已被"},
    {"hint_cybsctz3", "removed from the group", "移除该群"},
    {"hint_cybsctz4", "has been", "已被"},
    {"hint_cybsctz5", "removed from the group", "移除该群"},
    {"hint_cybsc1", "You have been", "你已被"},
    {"hint_cybsc2", "Removed the group", "移除了群组"},
    {"hint_cybsc3", "This type of notification is not available.", "不支持该类型通知"},
    {"hint_bzcglx", "This type of is not available.", "不支持该类型"},
    {"hint_sdhbqzsjsck", "[Tesmo Chat red envelope]", "[TesmoChat红包]"},
    {"hint_wzlxxx", "[Unknown type message]", "[未知类型消息]"},
    {"hint_czzqtz1", "Subgroup", "子群"},
    {"hint_czzqtz2", "You can see all the information of the main group.", "可以看到主群所有信息"},
    {"hint_gblqyjzfslj", " closed the entire staff to prohibit sending links.",
     "关闭了全员禁止发送链接"},
    {"hint_kqlqyjzfslj", " opened the whole staff to prohibit sending links.",
     "开启了全员禁止发送链接"},
    {"hint_gblqyjzfstp", " closed the entire staff to prohibit sending pictures.",
     "关闭了全员禁止发送图片"},
    {"hint_kqlqyjzfstp", " opened the whole staff to prohibit sending pictures.",
     "开启了全员禁止发送图片"},
    {"hint_gblqyjzjp", " disable screenshot forbidden.", "关闭了全员截屏提示"},
    {"hint_kqlqyjzjp", " enable screenshot forbidden.", "开启了全员截屏提示"},
    {"hint_syljp", " using screenshots", "使用了截屏"},
    {"hint_chlytxx", "'ve recalled a message", " 撤回了一条消息"},
    {"hint_nchlytxx", "You have recalled a message", "你撤回了一条消息"},
};
}  // namespace

class VTranslatorPrivate {
 public:
  // One table per language in enum order.
  QHash<QString, QString> tables[4];
  // The installed translation; replaced only by one that loaded.
  QTranslator* installed = nullptr;
  // Qt's own texts in the same language, when the system has them.
  QTranslator* qtInstalled = nullptr;

  void replaceQtTranslation(int language) {
    if (qtInstalled) {
      QCoreApplication::removeTranslator(qtInstalled);
      delete qtInstalled;
      qtInstalled = nullptr;
    }
    if (!kQtFileNames[language]) return;
    auto* loaded = new QTranslator;
    if (!loaded->load(QString::fromLatin1(kQtFileNames[language]),
                      QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
      // Without the package Qt's dialogs stay in English; the program's texts do not.
      qWarning() << "no Qt translation" << kQtFileNames[language] << "in"
                 << QLibraryInfo::location(QLibraryInfo::TranslationsPath);
      delete loaded;
      return;
    }
    qtInstalled = loaded;
    QCoreApplication::installTranslator(loaded);
  }
};

VTranslator::VTranslator(QObject* parent) : QObject(parent), d(new VTranslatorPrivate) {
  for (const HintRow& row : kHints) {
    d->tables[EN_US].insert(QString::fromUtf8(row.key), QString::fromUtf8(row.english));
    d->tables[ZH_CN].insert(QString::fromUtf8(row.key), QString::fromUtf8(row.simplifiedChinese));
  }
  // Traditional Chinese and Korean have no wording of their own: like the interface
  // texts of their translation files, they read the simplified Chinese. Empty tables
  // would leave recall notices and group notices without their verbs.
  d->tables[ZH_TW] = d->tables[ZH_CN];
  d->tables[KO_KR] = d->tables[ZH_CN];
}

VTranslator::~VTranslator() {
  if (d->installed) QCoreApplication::removeTranslator(d->installed);
  delete d->installed;
  if (d->qtInstalled) QCoreApplication::removeTranslator(d->qtInstalled);
  delete d->qtInstalled;
}

VTranslator* VTranslator::instance() {
  static VTranslator* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VTranslator; });
}

VTranslator::VLanguage VTranslator::currentLanguage() { return static_cast<VLanguage>(g_language); }

bool VTranslator::isLanguage(int value) { return value >= EN_US && value <= KO_KR; }

void VTranslator::setCurrentLanguage(VLanguage language) {
  qDebug() << Q_FUNC_INFO << language;
  if (!isLanguage(language)) return;
  const QString fileName = QString::fromLatin1(kFileNames[language]);
  // A failed load empties a translator, so the new file goes into a fresh one and
  // the installed translation stays until the new one is ready.
  QTranslator* loaded = new QTranslator;
  if (!loaded->load(fileName, QString::fromLatin1(kTranslationFolder), QString(), QString())) {
    qWarning() << Q_FUNC_INFO << "cannot load" << fileName;
    delete loaded;
    return;
  }
  qDebug() << Q_FUNC_INFO << "fileName = " << fileName;
  // Installing the same translator again would stack it; one language at a time.
  if (d->installed) {
    QCoreApplication::removeTranslator(d->installed);
    delete d->installed;
  }
  d->installed = loaded;
  QCoreApplication::installTranslator(loaded);
  d->replaceQtTranslation(language);
  g_language = language;
  VConfig::instance()->setValue(VProcessValues::languageKey(), static_cast<int>(language));
  emit currentLanguageChanged();
}

VTranslator::VLanguage VTranslator::language() const { return currentLanguage(); }

QString VTranslator::getString(const QString& key) const {
  const int language = isLanguage(g_language) ? g_language : EN_US;
  const QString text = d->tables[language].value(key);
  qDebug() << Q_FUNC_INFO << key << text;
  return text;
}
