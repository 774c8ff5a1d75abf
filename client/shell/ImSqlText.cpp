#include "shell/ImSqlText.h"

QString ImSqlText::quoted(const QString& value) {
  QString text = value;
  text.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + text + QLatin1Char('\'');
}
