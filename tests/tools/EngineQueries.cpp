#include "tools/EngineQueries.h"

int QueryInt(TAPIInterface& api, const std::string& sql) {
  const long set = api.DBSelectSql(sql.c_str());
  const int value = set && api.DBGetRecordCount(set) > 0 ? api.DBGetIntValue(set, 0, 0) : -1;
  api.DBRelease(set);
  return value;
}

std::string QueryText(TAPIInterface& api, const std::string& sql) {
  const long set = api.DBSelectSql(sql.c_str());
  const char* value = set && api.DBGetRecordCount(set) > 0 ? api.DBGetStrValue(set, 0, 0) : nullptr;
  const std::string out = value ? value : "";
  api.DBRelease(set);
  return out;
}

std::vector<std::string> QueryRows(TAPIInterface& api, const std::string& sql) {
  std::vector<std::string> rows;
  const long set = api.DBSelectSql(sql.c_str());
  if (!set) return rows;
  for (int r = 0; r < api.DBGetRecordCount(set); ++r) {
    std::string row;
    for (int c = 0; c < api.DBGetFieldCount(set); ++c) {
      const char* v = api.DBGetStrValue(set, r, c);
      row += (c ? "|" : "") + std::string(v ? v : "");
    }
    rows.push_back(row);
  }
  api.DBRelease(set);
  return rows;
}
