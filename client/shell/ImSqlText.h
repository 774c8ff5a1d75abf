#ifndef TESMO_CLIENT_SHELL_IMSQLTEXT_H
#define TESMO_CLIENT_SHELL_IMSQLTEXT_H

#include <QString>

// Texts for the statements the managers hand to the engine's database calls,
// which take whole statements and no bound values.
class ImSqlText {
 public:
  // The value as an SQL text literal, quotes doubled.
  static QString quoted(const QString& value);
};

#endif
