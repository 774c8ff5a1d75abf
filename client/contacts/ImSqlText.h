#ifndef TESMO_CLIENT_CONTACTS_IMSQLTEXT_H
#define TESMO_CLIENT_CONTACTS_IMSQLTEXT_H

#include <QString>

// A value as an SQL text literal: quotes inside it are doubled, so an account or
// group id can never end the literal early.
inline QString ImSqlText(const QString& value) {
  QString quoted = value;
  quoted.replace(QLatin1Char('\''), QLatin1String("''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

#endif
