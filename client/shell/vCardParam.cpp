#include "shell/vCardParam.h"

#include <QStringList>

QList<vCardParam> vCardParam::fromByteArray(const QByteArray& data) {
  QList<vCardParam> params;
  const QStringList pieces = QString::fromUtf8(data.simplified()).split(QLatin1Char(';'));
  for (const QString& piece : pieces) {
    if (piece.startsWith(QLatin1String("TYPE"))) {
      // "TYPE=" then a list of values.
      for (const QString& value : piece.mid(5).split(QLatin1Char(',')))
        params.append(vCardParam(Type, value));
    } else if (piece.startsWith(QLatin1String("ENCODING"))) {
      params.append(vCardParam(Encoding, piece.mid(9)));
    } else if (piece.startsWith(QLatin1String("CHARSET"))) {
      params.append(vCardParam(Charset, piece.mid(8)));
    } else {
      params.append(vCardParam(Other, piece));
    }
  }
  return params;
}
