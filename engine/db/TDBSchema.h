#ifndef TESMO_DB_TDBSCHEMA_H
#define TESMO_DB_TDBSCHEMA_H

#include <cstddef>

// The account database's schema: the eight nq_ tables in the order they are
// checked at open, their indexes, and the column upgrades for files made by
// earlier versions. Table and column names and declared types are a contract with
// the program, which reads the same tables through the SQL exports.
struct TTableDefinition {
  const char* name;
  const char* sql;
};

struct TIndexDefinition {
  const char* name;
  const char* sql;
};

struct TColumnUpgrade {
  const char* table;
  const char* column;
  const char* definition;  // column name, declared type and default
};

class TDBSchema {
 public:
  static const TTableDefinition* Tables(size_t* count);
  static const TIndexDefinition* Indexes(size_t* count);
  static const TColumnUpgrade* Upgrades(size_t* count);
};

#endif
