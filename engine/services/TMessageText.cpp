#include "services/TMessageText.h"

#include <json/json.h>

#include <memory>
#include <utility>
#include <vector>

#include "net/THttpRequestService.h"
#include "services/TMessageType.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TPasswordHash.h"
#include "util/TReplyRecord.h"
#include "util/TTextUtil.h"

namespace {

constexpr size_t kMaxIdDigits = 19;  // every 19-digit number below 9223372036854775808 fits

// Strict JSON (no comments, no trailing commas, no duplicate keys, nothing after the
// value): what every reader of a stored remark accepts.
bool IsStrictJsonObject(const std::string& text) {
  try {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    return reader->parse(text.data(), text.data() + text.size(), &root, &errors) && root.isObject();
  } catch (...) {
    return false;
  }
}

// Compact JSON with UTF-8 kept as it is.
std::string WriteCompact(const Json::Value& value) {
  try {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
  } catch (...) {
    return std::string();
  }
}

std::string DropTrailingCommas(std::string text) {
  while (!text.empty() && (text.back() == ',' || static_cast<unsigned char>(text.back()) <= 32))
    text.pop_back();
  return text;
}

Json::Value Person(const std::string& logo, const std::string& nick) {
  Json::Value person(Json::objectValue);
  person["logo"] = logo;
  person["nick"] = nick;
  return person;
}

std::string EntryText(const std::string& key, bool present, const std::string& logo,
                      const std::string& nick) {
  std::string fields = present
                           ? JsonTextStringField("logo", logo) + JsonTextStringField("nick", nick)
                           : std::string();
  return JsonTextKey(key) + "{" + DropTrailingCommas(fields) + "}";
}

// The range from the opening quote of "key" through the first "}" after it.
bool FindEntry(const std::string& text, const std::string& key, size_t* begin, size_t* end) {
  size_t at = text.find("\"" + key + "\"");
  if (at == std::string::npos) return false;
  size_t brace = text.find('}', at);
  if (brace == std::string::npos) return false;
  *begin = at;
  *end = brace + 1;
  return true;
}

// For remarks that are not JSON: the entries are found as text and replaced in place.
std::string ReplaceEntriesAsText(const std::string& remark, const std::string& fromEntry,
                                 const std::string& toEntry) {
  struct Cut {
    size_t begin, end;
    const std::string* entry;
  };
  std::vector<Cut> cuts;
  size_t b = 0, e = 0;
  if (FindEntry(remark, "from", &b, &e)) cuts.push_back({b, e, &fromEntry});
  if (FindEntry(remark, "to", &b, &e)) {
    // An overlapping "to" lies inside the "from" entry: not an entry of its own.
    if (cuts.empty() || e <= cuts[0].begin || b >= cuts[0].end) cuts.push_back({b, e, &toEntry});
  }
  if (cuts.size() == 2 && cuts[1].begin < cuts[0].begin) std::swap(cuts[0], cuts[1]);
  std::string out = remark;
  for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
    out.replace(it->begin, it->end - it->begin, *it->entry);
  return out;
}

}  // namespace

std::string ExtractFileName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RebuildFileRemark(const std::string& remark, const std::string& path, int64_t size) {
  const std::string fields = DropTrailingCommas(
      JsonTextStringField("filename", ExtractFileName(path)) + JsonTextIntField("filesize", size));
  // The caller's text is kept as written when the two fields can simply be appended.
  std::string inner = DropTrailingCommas(Trim(JsonTextStripBraces(remark)));
  std::string appended = "{" + (inner.empty() ? fields : inner + "," + fields) + "}";
  if (IsStrictJsonObject(appended)) return appended;

  // Otherwise (the fields are there already, or the text is no object): rewrite.
  Json::Value root = TJsonHelper::Parse(remark);
  if (!root.isObject()) root = Json::Value(Json::objectValue);
  root["filename"] = ExtractFileName(path);
  root["filesize"] = static_cast<Json::Int64>(size);
  return WriteCompact(root);
}

std::string ReplaceForwardEntries(const std::string& remark, const std::string& ownLogo,
                                  const std::string& ownNick, bool targetKnown,
                                  const std::string& targetLogo, const std::string& targetNick) {
  if (remark.empty()) return remark;
  Json::Value root = TJsonHelper::Parse(remark);
  if (root.isObject()) {
    const bool hasFrom = root.isMember("from");
    const bool hasTo = root.isMember("to");
    if (!hasFrom && !hasTo) return remark;
    if (hasFrom) root["from"] = Person(ownLogo, ownNick);
    if (hasTo)
      root["to"] = targetKnown ? Person(targetLogo, targetNick) : Json::Value(Json::objectValue);
    return WriteCompact(root);
  }
  return ReplaceEntriesAsText(remark, EntryText("from", true, ownLogo, ownNick),
                              EntryText("to", targetKnown, targetLogo, targetNick));
}

std::string BuildSendArguments(int localId, const std::string& touser, int msgtype,
                               const std::string& bodyKey, const std::string& bodyValue,
                               const std::string& remark) {
  return JsonTextCloseObject(
      MakeStringArgument("id", std::to_string(localId)) + MakeStringArgument("touser", touser) +
      MakeIntArgument("msgtype", msgtype) + MakeStringArgument(bodyKey, bodyValue) +
      MakeStringArgument("remark", remark));
}

std::string BuildSendBody(int msgtype, const std::string& touser, const std::string& content,
                          const std::string& remark) {
  return JsonTextCloseObject(
      AddClientFields() + JsonTextStringField("type", MessageTypeName(msgtype)) +
      JsonTextStringField("touser", touser) + JsonTextStringField("content", content) +
      JsonTextStringField("remark", remark) +
      JsonTextStringField("finger", HashPassword(touser, "", 0)));
}

std::string SendPath(const std::string& touser) {
  return IsGroupTarget(touser) ? "/im/message/group/send.do" : "/im/message/user/send.do";
}

int64_t ParseServerMessageId(const std::string& text) {
  if (text.empty() || text.size() > kMaxIdDigits) return 0;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > static_cast<uint64_t>(INT64_MAX)) return 0;
  return static_cast<int64_t>(value);
}

TSendReply ReadSendReply(const std::string& reply) {
  TSendReply out;
  if (!TJsonHelper::Parse(reply).isObject()) return out;
  TReplyRecord record(reply);
  if (record.code != 1) {
    out.result = record.code == 0 ? kSendCodeZero : record.code;
    return out;
  }
  out.msgid = ParseServerMessageId(record.GetString("msgid"));
  out.time = record.GetString("time");
  if (out.msgid > 0 && !Trim(out.time).empty()) out.result = kSendOk;
  return out;
}
