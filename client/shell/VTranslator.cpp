#include "shell/VTranslator.h"

#include <QDebug>

#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {
int g_language = VTranslator::ZH_CN;

// The hint texts the managers glue into display lines: key, English, simplified
// Chinese. Leading and trailing spaces belong to the texts.
struct HintText {
  const char* key;
  const char* english;
  const char* chinese;
};

const HintText kHints[] = {
    {"hint_cjqtz", "Start a group chat", u8"发起了群聊"},
    {"hint_qcsgxtz", "Modify the group name to", u8"修改群昵称为"},
    {"hint_rqtz1", "You joined", u8"你加入了"},
    {"hint_rqtz2", "group", u8"群"},
    {"hint_rqtz3", "Join the group", u8"加入该群"},
    {"hint_ncxgtz", "Modify nickname", u8"修改了昵称"},
    {"hint_lqtz", "Left the group", u8"离开了该群"},
    {"hint_qjstz", "Disbanded the group", u8"解散了该群"},
    {"hint_klbg1", "group password has been updated,your friends can join group",
     u8"更新了群口令，朋友可以通过"},
    {"hint_klbg2", "Join group", u8"加入该群"},
    {"hint_bfyqz", "You have become the new founder", u8"你已成为新的创始人"},
    {"hint_qzbg", "The owner has changed", u8"已成为新创始人"},
    {"hint_bfygly", "You become an administrator", u8"你成为了管理员"},
    {"hint_glygg", "Administrator has changed", u8"管理员已变更"},
    {"hint_bfycy", "You have become a member of the group", u8"你已成为群成员"},
    {"hint_cybg", "group member has changed", u8"成员已变更"},
    {"hint_qyjygz", "From now on, no permission to speak", u8"已开启全员禁言"},
    {"hint_qyjcjygz", "From now on, you can talk", u8"已关闭全员禁言"},
    {"hint_bjygz1", "You have been", u8"你已被"},
    {"hint_bjygz2", "Not allowed to speak", u8"禁言"},
    {"hint_jcjygz1", "Not allowed to speak", u8"禁言"},
    {"hint_jcjygz2", "Allow to speak", u8"解除禁言"},
    {"hint_ygbjygz1", "etc.", u8"等"},
    {"hint_ygbjygz2", "Member has been", u8"人已被"},
    {"hint_ygbjygz3", "Not allowed to speak", u8"禁言"},
    {"hint_ygbjygz4", "has been", u8"已被"},
    {"hint_ygbjygz5", "Not allowed to speak", u8"禁言"},
    {"hint_yhjcjytz1", "etc.", u8"等"},
    {"hint_yhjcjytz2", "Member has been", u8"人已被"},
    {"hint_yhjcjytz3", "allowed to speak", u8"取消禁言"},
    {"hint_yhjcjytz4", "has been", u8"已被"},
    {"hint_yhjcjytz5", "allowed to speak", u8"取消禁言"},
    {"hint_bjrq", "You joined", u8"你加入了"},
    {"hint_yhbjrq1", "etc.", u8"等"},
    {"hint_yhbjrq2", "member", u8"人已被"},
    {"hint_yhbjrq3", "Join the group", u8"加入群"},
    {"hint_yhbjrq4", "has been", u8"已被"},
    {"hint_yhbjrq5", "Join the group", u8"加入群"},
    {"hint_cybsctz1", "etc.", u8"等"},
    {"hint_cybsctz2", "member has been", u8"人已被"},
    {"hint_cybsctz3", "removed from the group", u8"移除该群"},
    {"hint_cybsctz4", "has been", u8"已被"},
    {"hint_cybsctz5", "removed from the group", u8"移除该群"},
    {"hint_cybsc1", "You have been", u8"你已被"},
    {"hint_cybsc2", "Removed the group", u8"移除了群组"},
    {"hint_cybsc3", "This type of notification is not available.", u8"不支持该类型通知"},
    {"hint_bzcglx", "This type of is not available.", u8"不支持该类型"},
    {"hint_sdhbqzsjsck", "[Tesmo Chat red envelope]", u8"[TesmoChat红包]"},
    {"hint_wzlxxx", "[Unknown type message]", u8"[未知类型消息]"},
    {"hint_czzqtz1", "Subgroup", u8"子群"},
    {"hint_czzqtz2", "You can see all the information of the main group.",
     u8"可以看到主群所有信息"},
    {"hint_gblqyjzfslj", " closed the entire staff to prohibit sending links.",
     u8"关闭了全员禁止发送链接"},
    {"hint_kqlqyjzfslj", " opened the whole staff to prohibit sending links.",
     u8"开启了全员禁止发送链接"},
    {"hint_gblqyjzfstp", " closed the entire staff to prohibit sending pictures.",
     u8"关闭了全员禁止发送图片"},
    {"hint_kqlqyjzfstp", " opened the whole staff to prohibit sending pictures.",
     u8"开启了全员禁止发送图片"},
    {"hint_gblqyjzjp", " disable screenshot forbidden.", u8"关闭了全员截屏提示"},
    {"hint_kqlqyjzjp", " enable screenshot forbidden.", u8"开启了全员截屏提示"},
    {"hint_syljp", " using screenshots", u8"使用了截屏"},
    {"hint_chlytxx", "'ve recalled a message", u8" 撤回了一条消息"},
    {"hint_nchlytxx", "You have recalled a message", u8"你撤回了一条消息"},
};
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
  QString text;
  for (const HintText& hint : kHints) {
    if (key != QLatin1String(hint.key)) continue;
    if (g_language == ZH_CN) {
      text = QString::fromUtf8(hint.chinese);
    } else if (g_language == EN_US) {
      text = QString::fromUtf8(hint.english);
    }
    break;
  }
  qDebug() << Q_FUNC_INFO << key << text;
  return text;
}
