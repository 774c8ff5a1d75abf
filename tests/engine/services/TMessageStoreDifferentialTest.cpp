// Random message inserts, deletions, seen marks and conversation updates applied
// to the store and to a small in-memory model, compared after every step, with the
// database closed and re-opened along the way.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/db/StoreTestSupport.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"

using storetest::FacadeTest;

namespace {

struct Msg {
  std::string from, to;
  int totype = 0;
  int type = 0;
  std::string content, time;
  int deleted = 0;
  int seen = 0;
};

struct Conv {
  int msgid = 0;
  int type = 0;
  std::string content, crtime;
};

class Model {
 public:
  void Insert(int id, const Msg& m) { msgs[id] = m; }

  void Upsert(const std::string& key, int id, int type, const std::string& content,
              const std::string& time) {
    auto it = convs.find(key);
    if (it != convs.end()) {
      const Conv& c = it->second;
      if (c.crtime > time || (c.crtime == time && c.msgid >= id)) return;
    }
    convs[key] = Conv{id, type, content, time};
  }

  int Delete(int id) {
    auto mit = msgs.find(id);
    if (mit == msgs.end()) return 0;
    mit->second.deleted = 1;
    int totype = mit->second.totype;
    std::vector<std::string> keys;
    for (auto& kv : convs) {
      if (kv.second.msgid == id) keys.push_back(kv.first);
    }
    for (const std::string& key : keys) {
      int best = 0;
      for (auto& kv : msgs) {
        const Msg& m = kv.second;
        if ((m.from == key || m.to == key) && m.totype == totype && !m.deleted) best = kv.first;
      }
      if (best) {
        const Msg& m = msgs[best];
        convs[key] = Conv{best, m.type, m.content, m.time};
      } else {
        convs.erase(key);
      }
    }
    return 1;
  }

  void Seen(const std::string& peer, int upTo) {
    for (auto& kv : msgs) {
      Msg& m = kv.second;
      bool match =
          IsGroupTarget(peer) ? m.to == peer : ((m.from == peer || m.to == peer) && m.totype == 0);
      if (match && (upTo == 0 || kv.first <= upTo)) m.seen = 1;
    }
  }

  std::map<int, Msg> msgs;
  std::map<std::string, Conv> convs;
};

std::string TimeText(int t) {
  char buf[32];
  snprintf(buf, sizeof(buf), "2024-01-01 %02d:%02d:%02d", 10 + t / 3600, (t / 60) % 60, t % 60);
  return buf;
}

}  // namespace

class MessageStoreDifferentialTest : public FacadeTest,
                                     public ::testing::WithParamInterface<unsigned> {
 protected:
  void Compare(int step) {
    SCOPED_TRACE("step " + std::to_string(step));
    std::vector<std::vector<std::string>> want;
    for (auto& kv : model.convs) {
      want.push_back({kv.first, std::to_string(kv.second.msgid), std::to_string(kv.second.type),
                      kv.second.content, kv.second.crtime, "0"});
    }
    ASSERT_EQ(Select("select account,msgid,msgtype,content,crtime,deleted from nq_messagenew "
                     "order by account"),
              want);
    std::vector<std::vector<std::string>> wantMsgs;
    for (auto& kv : model.msgs) {
      wantMsgs.push_back({std::to_string(kv.first), std::to_string(kv.second.deleted),
                          std::to_string(kv.second.seen)});
    }
    ASSERT_EQ(Select("select id,deleted,seeflag from nq_message order by id"), wantMsgs);
  }

  Model model;
};

TEST_P(MessageStoreDifferentialTest, MatchesModel) {
  std::mt19937 rng(GetParam());
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::string me = "1@tesmo.x";
  const std::vector<std::string> users = {"2@tesmo.x", "3@tesmo.x", "4'x@tesmo.x"};
  const std::vector<std::string> groups = {"9@group.tesmo.x", "8@group.tesmo.x"};
  const std::vector<std::string> texts = {"hi", "it's", "'); drop table nq_message; --", "ok"};
  std::string other = dir.File("other.db");
  int clock = 0;

  for (int step = 0; step < 300; ++step) {
    int op = pick(10);
    if (op < 5) {
      // A message arrives or is sent; times have one-second resolution and may
      // arrive out of order.
      clock += pick(4) == 0 ? -pick(3) : pick(2);
      if (clock < 0) clock = 0;
      Msg m;
      m.type = pick(3) == 0 ? 2 : 0;
      m.content = texts[static_cast<size_t>(pick(static_cast<int>(texts.size())))] + "#" +
                  std::to_string(step);
      m.time = TimeText(clock);
      std::string key;
      if (pick(3) == 0) {
        key = groups[static_cast<size_t>(pick(2))];
        m.from = pick(2) ? me : users[static_cast<size_t>(pick(3))];
        m.to = key;
        m.totype = 1;
      } else {
        key = users[static_cast<size_t>(pick(3))];
        bool sent = pick(2) == 0;
        m.from = sent ? me : key;
        m.to = sent ? key : me;
      }
      int id = InsertMessage(m.from, m.to, m.totype, m.content, m.time, m.type);
      model.Insert(id, m);
      ASSERT_EQ(TMessageStore::UpsertConversation(key, id, m.type, m.content, m.time), 1);
      model.Upsert(key, id, m.type, m.content, m.time);
    } else if (op < 7) {
      int maxId = model.msgs.empty() ? 1 : model.msgs.rbegin()->first + 1;
      int id = 1 + pick(maxId);
      ASSERT_EQ(api->DeleteMessage(id), model.Delete(id)) << "delete " << id;
    } else if (op < 9) {
      std::string peer =
          pick(3) == 0 ? groups[static_cast<size_t>(pick(2))] : users[static_cast<size_t>(pick(3))];
      int upTo = pick(2) == 0 || model.msgs.empty() ? 0 : 1 + pick(model.msgs.rbegin()->first);
      ASSERT_EQ(TMessageStore::MarkConversationSeen(peer, upTo), 1);
      model.Seen(peer, upTo);
    } else {
      // Close and re-open: everything must come back as it was.
      ASSERT_EQ(api->SetDatabase(other.c_str()), 2);
      ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 2);
    }
    Compare(step);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MessageStoreDifferentialTest, ::testing::Values(1u, 7u, 2024u));
