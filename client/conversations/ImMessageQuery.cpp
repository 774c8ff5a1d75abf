#include "conversations/ImMessageQuery.h"

#include <QStringList>

const char ImMessageQuery::kColumns[] =
    "id,msgid,msgtype,fromuser,fromgroup,fromver,device,touser,totype,content,remark,localpath,"
    "fileurl,sendflag,sendstate,localsend,seeflag,atflag,cancelflag,sendtime,deleted,revokeflag";

namespace {

const QString kNewestFirst = QStringLiteral(" ORDER BY sendtime DESC, id DESC");

// Rows before the key's second, and the rows of that second not read yet;
// "sendtime <=" lets the index bound the range.
QString Before(const ImPageKey& key) {
  if (!key.isValid()) return QString();
  const QString time = ImMessageQuery::quoted(key.sendtime);
  QStringList read;
  read.reserve(key.ids.size());
  for (int id : key.ids) read << QString::number(id);
  // One pass over both values, so a "%" in the time text is not taken for a marker.
  return QStringLiteral(" and sendtime<=%1 and (sendtime<%1 or id not in (%2))")
      .arg(time, read.join(QLatin1Char(',')));
}

QString Select(const QString& where) {
  return QStringLiteral("SELECT ") + QLatin1String(ImMessageQuery::kColumns) +
         QStringLiteral(" FROM nq_message WHERE ") + where;
}

// A one-to-one conversation: rows the peer sent and rows sent to the peer, each
// read along its own index; with the compound's ORDER BY, SQLite merges the two
// index-ordered halves and stops at the LIMIT. A row the peer sent to itself
// belongs to the first half only.
QString PersonHalves(const QString& a, const QString& condition) {
  return Select(QStringLiteral("fromuser=%1 and totype=0 and deleted=0").arg(a) + condition) +
         QStringLiteral(" UNION ALL ") +
         Select(
             QStringLiteral("touser=%1 and totype=0 and deleted=0 and fromuser IS NOT %1").arg(a) +
             condition);
}

QString GroupRows(const QString& a, const QString& condition) {
  return Select(QStringLiteral("touser=%1 and totype=1 and deleted=0 and fromgroup=%1").arg(a) +
                condition);
}

}  // namespace

QString ImMessageQuery::quoted(const QString& value) {
  QString text = value;
  text.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString ImMessageQuery::page(const QString& account, int type, const ImPageKey& before,
                             int pageSize) {
  const QString a = quoted(account);
  const QString limit = QStringLiteral(" LIMIT %1").arg(pageSize);
  if (type == 0) return PersonHalves(a, Before(before)) + kNewestFirst + limit;
  if (type == 1) return GroupRows(a, Before(before)) + kNewestFirst + limit;
  return QString();
}

QString ImMessageQuery::pageAt(const QString& account, int type, int offset, int pageSize) {
  const QString a = quoted(account);
  const QString limit = QStringLiteral(" LIMIT %1,%2").arg(offset).arg(pageSize);
  if (type == 0) return PersonHalves(a, QString()) + kNewestFirst + limit;
  if (type == 1) return GroupRows(a, QString()) + kNewestFirst + limit;
  return QString();
}

QString ImMessageQuery::fromTime(const QString& account, int type, const QString& sendtime) {
  const QString a = quoted(account);
  const QString since = QStringLiteral(" and sendtime>=") + quoted(sendtime);
  if (type == 0) return PersonHalves(a, since) + kNewestFirst;
  if (type == 1) {
    return Select(QStringLiteral("touser=%1 and totype=1 and deleted=0").arg(a) + since) +
           kNewestFirst;
  }
  return QString();
}

QString ImMessageQuery::markRead(const QString& account, int type, int after) {
  const QString a = quoted(account);
  // Only rows not yet seen are written (a NULL flag counts as unseen): the mark runs
  // for every message read, and rewriting a long conversation each time is slow.
  if (after > 0) {
    // Only rows newer than a mark can be unread: the "+" keeps SQLite on the id
    // range instead of walking the whole conversation in its index.
    const QString newer = QStringLiteral(" and id>%1 and seeflag is not 1").arg(after);
    if (type == 0) {
      return QStringLiteral(
                 "UPDATE nq_message SET seeflag=1 WHERE (+fromuser=%1 or +touser=%1) and "
                 "+totype=0 and +deleted=0")
                 .arg(a) +
             newer;
    }
    if (type == 1) {
      return QStringLiteral(
                 "UPDATE nq_message SET seeflag=1 WHERE (+touser=%1) and +totype=1 and +deleted=0")
                 .arg(a) +
             newer;
    }
    return QString();
  }
  if (type == 0) {
    return QStringLiteral(
               "UPDATE nq_message SET seeflag=1 WHERE (fromuser=%1 or touser=%1) and totype=0 "
               "and deleted=0 and seeflag is not 1")
        .arg(a);
  }
  if (type == 1) {
    return QStringLiteral(
               "UPDATE nq_message SET seeflag=1 WHERE (touser=%1) and totype=1 and deleted=0 "
               "and seeflag is not 1")
        .arg(a);
  }
  return QString();
}
