#include "db/TDBSchema.h"

namespace {

const TTableDefinition kTables[] = {
    {"nq_saveinfo",
     "create table nq_saveinfo (Type INTEGER(4) default 0, Key Varchar(128), Content text, "
     "primary key (Type, Key))"},
    {"nq_messagenew",
     "create table nq_messagenew (account varchar(32), accountid integer(20) default 0, "
     "msgid INTEGER(20) default 0, isservice INTEGER(2) default 0, servtype INTEGER(2) default 0, "
     "lastid INTEGER(10) default 0, msgtype INTEGER(10) default 0, content TEXT, "
     "unread INTEGER(10) default 0, deleted integer default 0, crtime Datetime, "
     "primary key (account))"},
    {"nq_message",
     "create table nq_message (id integer PRIMARY KEY autoincrement, msgid integer(10) default 0, "
     "accountid integer(20) default 0, msgtype integer(2), fromuser varchar(64), "
     "fromgroup varchar(64), fromver integer(10), device integer(2), touser varchar(64), "
     "totype integer(2), content text, remark varchar(1024), localpath varchar(512), "
     "fileurl varchar(512), sendflag INTEGER(2) default 0, sendstate INTEGER(2) default 0, "
     "localsend INTEGER(2) default 0, seeflag INTEGER(2) default 0, atflag INTEGER(2) default 0, "
     "cancelflag INTEGER(2) default 0, sendtime Datetime, deleted integer default 0)"},
    {"nq_group",
     "create table nq_group (groupid varchar(128), parentid varchar(128), path varchar(2048), "
     "craccount varchar(64), groupname varchar(128), grouplogo varchar(512), "
     "groupinfo varchar(512), usercount int(4), entrytime Datetime, version int, "
     "userversion int, groupstate INTEGER(2) default 0, type int default 0, "
     "banall int default 0, banurl int default 0, banpic int default 0, banchat int default 0, "
     "banmsg int default 0, banscreenshot int default 0, banuser int default 0, "
     "surl varchar(64), title int default 0, detail varchar(2048), primary key (groupid))"},
    {"nq_groupuser",
     "create table nq_groupuser (groupid varchar(128), account varchar(128), nick varchar(128), "
     "role int(2) default 3, champflag int(2) default 0, entrytime Datetime, msgid int default 0, "
     "msgtime bigint(20) default 0, userversion int default 0)"},
    {"nq_contact",
     "create table nq_contact (userid integer(10), account varchar(128), mobile varchar(64), "
     "email varchar(128), name varchar(64), fullspell varchar(64), initspell varchar(64), "
     "summary varchar(512), logo varchar(512), biglogo varchar(512), isfriend int(2) default 0, "
     "version int(4) default 0, modifytime datetime, champflag int(2) default 0, "
     "primary key (userid))"},
    {"nq_redlist",
     "create table nq_redlist (redkey varchar(128), userid integer(10), "
     "redtype integer(2) default 0, state int(2) default 0, finish int(2) default 0, "
     "reason int(2) default 0, amount varchar(32), crtime Datetime, primary key (redkey))"},
    {"nq_remark",
     "create table nq_remark (account varchar(64), name varchar(128), crtime datetime, "
     "primary key (account))"},
};

// The first five are the historical indexes; the rest serve the message look-ups
// by conversation (one-to-one pages read by fromuser or touser, group pages by
// touser, each filtered on totype and deleted and ordered by sendtime).
const TIndexDefinition kIndexes[] = {
    {"friend_index1", "create index if not exists friend_index1 on  nq_contact(mobile)"},
    {"msg_index1", "create index if not exists msg_index1 on  nq_message(msgid)"},
    {"msg_index3", "create index if not exists msg_index3 on  nq_message(accountid)"},
    {"msg_index4", "create index if not exists msg_index4 on  nq_message(sendtime)"},
    {"msgnew_accountid",
     "create index if not exists msgnew_accountid on  nq_messagenew(accountid)"},
    {"msg_touser",
     "create index if not exists msg_touser on nq_message(touser,totype,deleted,sendtime)"},
    {"msg_fromuser",
     "create index if not exists msg_fromuser on nq_message(fromuser,totype,deleted,sendtime)"},
    {"msgnew_msgid", "create index if not exists msgnew_msgid on nq_messagenew(msgid)"},
};

const TColumnUpgrade kUpgrades[] = {
    {"nq_message", "fwflag", "fwflag integer(2) default 0"},
    {"nq_message", "peerread", "peerread integer(2) default 0"},
    {"nq_message", "revokeflag", "revokeflag integer(2) default 0"},
    {"nq_message", "accountid", "accountid integer(10) default 0"},
    {"nq_messagenew", "accountid", "accountid integer(10) default 0"},
    {"nq_groupuser", "msgid", "msgid integer default 0"},
    {"nq_groupuser", "msgtime", "msgtime bigint(20) default 0"},
    {"nq_group", "banall", "banall integer(2) default 0"},
    {"nq_group", "banuser", "banuser integer(2) default 0"},
    {"nq_group", "detail", "detail varchar(2048)"},
    {"nq_contact", "champflag", "champflag integer(2) default 0"},
    {"nq_groupuser", "champflag", "champflag integer(2) default 0"},
    {"nq_group", "surl", "surl varchar(64)"},
    {"nq_group", "title", "title integer(2) default 0"},
    {"nq_group", "banurl", "banurl integer(2) default 0"},
    {"nq_group", "banpic", "banpic integer(2) default 0"},
    {"nq_group", "banchat", "banchat integer(2) default 0"},
    {"nq_group", "banmsg", "banmsg integer(2) default 0"},
    {"nq_group", "banscreenshot", "banscreenshot integer(2) default 0"},
    {"nq_group", "type", "type integer(2) default 0"},
};

template <typename T, size_t N>
const T* Table(const T (&array)[N], size_t* count) {
  if (count) *count = N;
  return array;
}

}  // namespace

const TTableDefinition* TDBSchema::Tables(size_t* count) { return Table(kTables, count); }
const TIndexDefinition* TDBSchema::Indexes(size_t* count) { return Table(kIndexes, count); }
const TColumnUpgrade* TDBSchema::Upgrades(size_t* count) { return Table(kUpgrades, count); }
