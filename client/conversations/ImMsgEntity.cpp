#include "conversations/ImMsgEntity.h"


namespace {
// Stores the value and signals only when it differs from what the map holds; a
// missing key reads as the type's empty value, so setting that value writes nothing.
template <typename T>
bool StoreIfChanged(QVariantMap& data, const char* key, const T& value) {
  const QString name = QLatin1String(key);
  if (data.value(name).template value<T>() == value) return false;
  data.insert(name, QVariant::fromValue(value));
  return true;
}
}  // namespace

const char* const ImMsgEntity::kPropertyNames[kPropertyCount] = {
    "id",
    "msgid",
    "msgtype",
    "fromuser",
    "fromgroup",
    "fromver",
    "device",
    "touser",
    "totype",
    "content",
    "remark",
    "localpath",
    "fileurl",
    "sendflag",
    "sendstate",
    "localsend",
    "seeflag",
    "atflag",
    "cancelflag",
    "sendtime",
    "deleted",
    "name",
    "icon",
    "account",
    "unReadMsgCount",
    "downloadState",
    "audioText",
    "playflag",
    "seconds",
    "progress",
    "width",
    "height",
    "fileName",
    "fileSize",
    "showTime",
    "translation",
    "title",
    "revokeflag",
    "fromName",
    "parentName",
    "groupstate",
    "isMute",
    "coin",
    "coinImg",
    "amount",
    "high",
    "low",
    "close",
    "champflag",
};

ImMsgEntity::ImMsgEntity(const QVariantMap& data, QObject* parent) : QObject(parent), m_data(data) {}

// Views may keep a row for reuse after its item went: they drop the item first.
ImMsgEntity::~ImMsgEntity() { emit goingAway(); }

QVariantMap ImMsgEntity::getData() const { return m_data; }

void ImMsgEntity::setData(const QVariantMap& data) {
  m_data = data;
  emit idChanged();
  emit msgidChanged();
  emit msgtypeChanged();
  emit fromuserChanged();
  emit fromgroupChanged();
  emit fromverChanged();
  emit deviceChanged();
  emit touserChanged();
  emit totypeChanged();
  emit contentChanged();
  emit remarkChanged();
  emit localpathChanged();
  emit fileurlChanged();
  emit sendflagChanged();
  emit sendstateChanged();
  emit localsendChanged();
  emit seeflagChanged();
  emit atflagChanged();
  emit cancelflagChanged();
  emit sendtimeChanged();
  emit deletedChanged();
  emit nameChanged();
  emit iconChanged();
  emit accountChanged();
  emit unReadMsgCountChanged();
  emit downloadStateChanged();
  emit audioTextChanged();
  emit playflagChanged();
  emit secondsChanged();
  emit progressChanged();
  emit widthChanged();
  emit heightChanged();
  emit fileNameChanged();
  emit fileSizeChanged();
  emit showTimeChanged();
  emit translationChanged();
  emit titleChanged();
  emit revokeflagChanged();
  emit fromNameChanged();
  emit parentNameChanged();
  emit groupstateChanged();
  emit isMuteChanged();
  emit coinChanged();
  emit coinImgChanged();
  emit amountChanged();
  emit highChanged();
  emit lowChanged();
  emit closeChanged();
  emit champflagChanged();
}

int ImMsgEntity::id() const { return m_data.value(QStringLiteral("id")).toInt(); }

int ImMsgEntity::msgid() const { return m_data.value(QStringLiteral("msgid")).toInt(); }

int ImMsgEntity::msgtype() const { return m_data.value(QStringLiteral("msgtype")).toInt(); }

QString ImMsgEntity::fromuser() const {
  return m_data.value(QStringLiteral("fromuser")).toString();
}

QString ImMsgEntity::fromgroup() const {
  return m_data.value(QStringLiteral("fromgroup")).toString();
}

QString ImMsgEntity::fromver() const { return m_data.value(QStringLiteral("fromver")).toString(); }

int ImMsgEntity::device() const { return m_data.value(QStringLiteral("device")).toInt(); }

QString ImMsgEntity::touser() const { return m_data.value(QStringLiteral("touser")).toString(); }

int ImMsgEntity::totype() const { return m_data.value(QStringLiteral("totype")).toInt(); }

QString ImMsgEntity::content() const { return m_data.value(QStringLiteral("content")).toString(); }

QString ImMsgEntity::remark() const { return m_data.value(QStringLiteral("remark")).toString(); }

QString ImMsgEntity::localpath() const {
  return m_data.value(QStringLiteral("localpath")).toString();
}

QString ImMsgEntity::fileurl() const { return m_data.value(QStringLiteral("fileurl")).toString(); }

int ImMsgEntity::sendflag() const { return m_data.value(QStringLiteral("sendflag")).toInt(); }

int ImMsgEntity::sendstate() const { return m_data.value(QStringLiteral("sendstate")).toInt(); }

int ImMsgEntity::localsend() const { return m_data.value(QStringLiteral("localsend")).toInt(); }

int ImMsgEntity::seeflag() const { return m_data.value(QStringLiteral("seeflag")).toInt(); }

int ImMsgEntity::atflag() const { return m_data.value(QStringLiteral("atflag")).toInt(); }

int ImMsgEntity::cancelflag() const { return m_data.value(QStringLiteral("cancelflag")).toInt(); }

QString ImMsgEntity::sendtime() const {
  return m_data.value(QStringLiteral("sendtime")).toString();
}

int ImMsgEntity::deleted() const { return m_data.value(QStringLiteral("deleted")).toInt(); }

QString ImMsgEntity::name() const { return m_data.value(QStringLiteral("name")).toString(); }

QString ImMsgEntity::icon() const { return m_data.value(QStringLiteral("icon")).toString(); }

QString ImMsgEntity::account() const { return m_data.value(QStringLiteral("account")).toString(); }

int ImMsgEntity::unReadMsgCount() const {
  return m_data.value(QStringLiteral("unReadMsgCount")).toInt();
}

int ImMsgEntity::downloadState() const {
  return m_data.value(QStringLiteral("downloadState")).toInt();
}

QString ImMsgEntity::audioText() const {
  return m_data.value(QStringLiteral("audiotext")).toString();
}

int ImMsgEntity::playflag() const { return m_data.value(QStringLiteral("playflag")).toInt(); }

int ImMsgEntity::seconds() const { return m_data.value(QStringLiteral("seconds")).toInt(); }

int ImMsgEntity::progress() const { return m_data.value(QStringLiteral("progress")).toInt(); }

int ImMsgEntity::width() const { return m_data.value(QStringLiteral("width")).toInt(); }

int ImMsgEntity::height() const { return m_data.value(QStringLiteral("height")).toInt(); }

QString ImMsgEntity::fileName() const {
  return m_data.value(QStringLiteral("fileName")).toString();
}

QString ImMsgEntity::fileSize() const {
  return m_data.value(QStringLiteral("fileSize")).toString();
}

bool ImMsgEntity::showTime() const {
  const QString key = QStringLiteral("showTime");
  return m_data.contains(key) ? m_data.value(key).toBool() : false;
}

QString ImMsgEntity::translation() const {
  return m_data.value(QStringLiteral("translation")).toString();
}

int ImMsgEntity::title() const { return m_data.value(QStringLiteral("title")).toInt(); }

int ImMsgEntity::revokeflag() const { return m_data.value(QStringLiteral("revokeflag")).toInt(); }

QString ImMsgEntity::fromName() const {
  return m_data.value(QStringLiteral("fromName")).toString();
}

QString ImMsgEntity::parentName() const {
  return m_data.value(QStringLiteral("parentName")).toString();
}

int ImMsgEntity::groupstate() const { return m_data.value(QStringLiteral("groupstate")).toInt(); }

bool ImMsgEntity::isMute() const {
  const QString key = QStringLiteral("isMute");
  return m_data.contains(key) ? m_data.value(key).toBool() : false;
}

QString ImMsgEntity::coin() const { return m_data.value(QStringLiteral("coin")).toString(); }

QString ImMsgEntity::coinImg() const { return m_data.value(QStringLiteral("coinImg")).toString(); }

float ImMsgEntity::amount() const { return m_data.value(QStringLiteral("amount")).toFloat(); }

float ImMsgEntity::high() const { return m_data.value(QStringLiteral("high")).toFloat(); }

float ImMsgEntity::low() const { return m_data.value(QStringLiteral("low")).toFloat(); }

float ImMsgEntity::close() const { return m_data.value(QStringLiteral("close")).toFloat(); }

int ImMsgEntity::champflag() const { return m_data.value(QStringLiteral("champflag")).toInt(); }

int ImMsgEntity::setId(const int& value) {
  if (StoreIfChanged(m_data, "id", value)) emit idChanged();
  return value;
}

int ImMsgEntity::setMsgid(const int& value) {
  if (StoreIfChanged(m_data, "msgid", value)) emit msgidChanged();
  return value;
}

int ImMsgEntity::setMsgtype(const int& value) {
  if (StoreIfChanged(m_data, "msgtype", value)) emit msgtypeChanged();
  return value;
}

QString ImMsgEntity::setFromuser(const QString& value) {
  if (StoreIfChanged(m_data, "fromuser", value)) emit fromuserChanged();
  return value;
}

QString ImMsgEntity::setFromgroup(const QString& value) {
  if (StoreIfChanged(m_data, "fromgroup", value)) emit fromgroupChanged();
  return value;
}

QString ImMsgEntity::setFromver(const QString& value) {
  if (StoreIfChanged(m_data, "fromver", value)) emit fromverChanged();
  return value;
}

int ImMsgEntity::setDevice(const int& value) {
  if (StoreIfChanged(m_data, "device", value)) emit deviceChanged();
  return value;
}

QString ImMsgEntity::setTouser(const QString& value) {
  if (StoreIfChanged(m_data, "touser", value)) emit touserChanged();
  return value;
}

int ImMsgEntity::setTotype(const int& value) {
  if (StoreIfChanged(m_data, "totype", value)) emit totypeChanged();
  return value;
}

QString ImMsgEntity::setContent(const QString& value) {
  if (StoreIfChanged(m_data, "content", value)) emit contentChanged();
  return value;
}

QString ImMsgEntity::setRemark(const QString& value) {
  if (StoreIfChanged(m_data, "remark", value)) emit remarkChanged();
  return value;
}

QString ImMsgEntity::setLocalpath(const QString& value) {
  if (StoreIfChanged(m_data, "localpath", value)) emit localpathChanged();
  return value;
}

QString ImMsgEntity::setFileurl(const QString& value) {
  if (StoreIfChanged(m_data, "fileurl", value)) emit fileurlChanged();
  return value;
}

int ImMsgEntity::setSendflag(const int& value) {
  if (StoreIfChanged(m_data, "sendflag", value)) emit sendflagChanged();
  return value;
}

int ImMsgEntity::setSendstate(const int& value) {
  if (StoreIfChanged(m_data, "sendstate", value)) emit sendstateChanged();
  return value;
}

int ImMsgEntity::setLocalsend(const int& value) {
  if (StoreIfChanged(m_data, "localsend", value)) emit localsendChanged();
  return value;
}

int ImMsgEntity::setSeeflag(const int& value) {
  if (StoreIfChanged(m_data, "seeflag", value)) emit seeflagChanged();
  return value;
}

int ImMsgEntity::setAtflag(const int& value) {
  if (StoreIfChanged(m_data, "atflag", value)) emit atflagChanged();
  return value;
}

int ImMsgEntity::setCancelflag(const int& value) {
  if (StoreIfChanged(m_data, "cancelflag", value)) emit cancelflagChanged();
  return value;
}

QString ImMsgEntity::setSendtime(const QString& value) {
  if (StoreIfChanged(m_data, "sendtime", value)) emit sendtimeChanged();
  return value;
}

int ImMsgEntity::setDeleted(const int& value) {
  if (StoreIfChanged(m_data, "deleted", value)) emit deletedChanged();
  return value;
}

QString ImMsgEntity::setName(const QString& value) {
  if (StoreIfChanged(m_data, "name", value)) emit nameChanged();
  return value;
}

QString ImMsgEntity::setIcon(const QString& value) {
  if (StoreIfChanged(m_data, "icon", value)) emit iconChanged();
  return value;
}

QString ImMsgEntity::setAccount(const QString& value) {
  if (StoreIfChanged(m_data, "account", value)) emit accountChanged();
  return value;
}

int ImMsgEntity::setUnReadMsgCount(const int& value) {
  if (StoreIfChanged(m_data, "unReadMsgCount", value)) emit unReadMsgCountChanged();
  return value;
}

int ImMsgEntity::setDownloadState(const int& value) {
  if (StoreIfChanged(m_data, "downloadState", value)) emit downloadStateChanged();
  return value;
}

QString ImMsgEntity::setAudioText(const QString& value) {
  if (StoreIfChanged(m_data, "audiotext", value)) emit audioTextChanged();
  return value;
}

int ImMsgEntity::setPlayflag(const int& value) {
  if (StoreIfChanged(m_data, "playflag", value)) emit playflagChanged();
  return value;
}

int ImMsgEntity::setSeconds(const int& value) {
  if (StoreIfChanged(m_data, "seconds", value)) emit secondsChanged();
  return value;
}

int ImMsgEntity::setProgress(const int& value) {
  if (StoreIfChanged(m_data, "progress", value)) emit progressChanged();
  return value;
}

int ImMsgEntity::setWidth(const int& value) {
  if (StoreIfChanged(m_data, "width", value)) emit widthChanged();
  return value;
}

int ImMsgEntity::setHeight(const int& value) {
  if (StoreIfChanged(m_data, "height", value)) emit heightChanged();
  return value;
}

QString ImMsgEntity::setFileName(const QString& value) {
  if (StoreIfChanged(m_data, "fileName", value)) emit fileNameChanged();
  return value;
}

QString ImMsgEntity::setFileSize(const QString& value) {
  if (StoreIfChanged(m_data, "fileSize", value)) emit fileSizeChanged();
  return value;
}

bool ImMsgEntity::setShowTime(const bool& value) {
  if (StoreIfChanged(m_data, "showTime", value)) emit showTimeChanged();
  return value;
}

QString ImMsgEntity::setTranslation(const QString& value) {
  if (StoreIfChanged(m_data, "translation", value)) emit translationChanged();
  return value;
}

int ImMsgEntity::setTitle(const int& value) {
  if (StoreIfChanged(m_data, "title", value)) emit titleChanged();
  return value;
}

int ImMsgEntity::setRevokeflag(const int& value) {
  if (StoreIfChanged(m_data, "revokeflag", value)) emit revokeflagChanged();
  return value;
}

QString ImMsgEntity::setFromName(const QString& value) {
  if (StoreIfChanged(m_data, "fromName", value)) emit fromNameChanged();
  return value;
}

QString ImMsgEntity::setParentName(const QString& value) {
  if (StoreIfChanged(m_data, "parentName", value)) emit parentNameChanged();
  return value;
}

int ImMsgEntity::setGroupstate(const int& value) {
  if (StoreIfChanged(m_data, "groupstate", value)) emit groupstateChanged();
  return value;
}

bool ImMsgEntity::setIsMute(const bool& value) {
  if (StoreIfChanged(m_data, "isMute", value)) emit isMuteChanged();
  return value;
}

QString ImMsgEntity::setCoin(const QString& value) {
  if (StoreIfChanged(m_data, "coin", value)) emit coinChanged();
  return value;
}

QString ImMsgEntity::setCoinImg(const QString& value) {
  if (StoreIfChanged(m_data, "coinImg", value)) emit coinImgChanged();
  return value;
}

float ImMsgEntity::setAmount(const float& value) {
  if (StoreIfChanged(m_data, "amount", value)) emit amountChanged();
  return value;
}

float ImMsgEntity::setHigh(const float& value) {
  if (StoreIfChanged(m_data, "high", value)) emit highChanged();
  return value;
}

float ImMsgEntity::setLow(const float& value) {
  if (StoreIfChanged(m_data, "low", value)) emit lowChanged();
  return value;
}

float ImMsgEntity::setClose(const float& value) {
  if (StoreIfChanged(m_data, "close", value)) emit closeChanged();
  return value;
}

int ImMsgEntity::setChampflag(const int& value) {
  if (StoreIfChanged(m_data, "champflag", value)) emit champflagChanged();
  return value;
}
