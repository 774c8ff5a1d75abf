// The contact cache: keys with and without the "@" part, friends, loading from a
// database, switching accounts, and the facade's user look-ups.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "services/TContactCache.h"

using storetest::TempDir;

TEST(ContactCacheTest, KeysFriendsAndCopies) {
  TContactCache cache;
  cache.Set("12@tesmo.x", "Ann", "hi", "l", "bl", 0, 3, 1);
  auto a = cache.Find("12");
  auto b = cache.Find("12@other.domain");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->name, "Ann");
  EXPECT_EQ(b->account, "12@tesmo.x");
  EXPECT_FALSE(cache.Find("123"));
  EXPECT_FALSE(cache.Find("1"));
  // A known non-friend is found, but not as a friend.
  EXPECT_FALSE(cache.FindFriend("12"));
  cache.Set("12", "Ann B", "", "", "", 1, 4, 0);
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_TRUE(cache.FindFriend("12@tesmo.x"));
  EXPECT_EQ(cache.Find("12")->account, "12");  // all fields overwritten
  cache.ClearFriend("12@x");
  EXPECT_FALSE(cache.FindFriend("12"));
  EXPECT_TRUE(cache.Find("12"));
  cache.ClearFriend("77");  // unknown: creates nothing
  EXPECT_EQ(cache.Size(), 1u);
  // A returned record is a copy: later writes do not change it.
  auto copy = cache.Find("12");
  cache.Set("12", "Changed", "", "", "", 1, 5, 0);
  EXPECT_EQ(copy->name, "Ann B");
}

TEST(ContactCacheTest, LoadKeepsOthersReloadReplaces) {
  TempDir dir;
  TDBManager db;
  ASSERT_EQ(db.Open(dir.File("c.db")), 1);
  TContactCache cache;
  cache.Set("5@x", "Kept", "", "", "", 1, 0, 0);
  EXPECT_EQ(cache.LoadFromDatabase(&db), 0);  // empty table leaves the cache as it was
  EXPECT_EQ(cache.Size(), 1u);
  ASSERT_EQ(db.Exec("insert into nq_contact(userid,account,name,summary,logo,biglogo,isfriend,"
                    "version,champflag) values(6,'6@x','Bo''b','s','l','b',1,9,2)"),
            1);
  EXPECT_EQ(cache.LoadFromDatabase(&db), 1);
  EXPECT_EQ(cache.Size(), 2u);
  auto bob = cache.Find("6");
  ASSERT_TRUE(bob);
  EXPECT_EQ(bob->name, "Bo'b");
  EXPECT_EQ(bob->version, 9);
  EXPECT_EQ(bob->champflag, 2);
  EXPECT_EQ(cache.ReloadFromDatabase(&db), 1);
  EXPECT_FALSE(cache.Find("5"));
  EXPECT_TRUE(cache.Find("6"));
  EXPECT_EQ(cache.LoadFromDatabase(nullptr), -1);
}

TEST(ContactCacheTest, ReadersAndWritersRunTogether) {
  TContactCache cache;
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int w = 0; w < 2; ++w) {
    threads.emplace_back([&, w] {
      for (int i = 0; i < 3000; ++i) {
        cache.Set(std::to_string(i % 50), std::string(20 + i % 30, 'a' + w), "summary", "", "",
                  i % 2, i, 0);
      }
    });
  }
  std::atomic<size_t> seen{0};
  for (int r = 0; r < 2; ++r) {
    threads.emplace_back([&] {
      while (!stop) {
        for (int k = 0; k < 50; ++k) {
          if (auto rec = cache.Find(std::to_string(k))) seen += rec->name.size() > 0;
        }
      }
    });
  }
  threads[0].join();
  threads[1].join();
  stop = true;
  for (size_t i = 2; i < threads.size(); ++i) threads[i].join();
  EXPECT_EQ(cache.Size(), 50u);
}

class ContactSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override { api.Init(); }
  void TearDown() override { api.Release(); }
  std::string MakeAccountDb(const std::string& name, int userid, const std::string& who) {
    std::string path = dir.File(name);
    TDBManager db;
    EXPECT_EQ(db.Open(path), 1);
    EXPECT_EQ(db.Exec("insert into nq_contact(userid,account,name,summary,logo,biglogo,isfriend,"
                      "version,champflag) values(" +
                      std::to_string(userid) + ",'" + std::to_string(userid) + "@tesmo.x','" + who +
                      "','about " + who + "','logo-" + who + "','big-" + who + "',1,1,3)"),
              1);
    return path;
  }
  TempDir dir;
  TAPIInterface api;
};

TEST_F(ContactSwitchTest, EachDatabaseShowsOnlyItsOwnContacts) {
  std::string a = MakeAccountDb("a.db", 11, "Ann");
  std::string b = MakeAccountDb("b.db", 22, "Bob");
  ASSERT_EQ(api.SetDatabase(a.c_str()), 2);
  EXPECT_EQ(api.ExistUser("11@tesmo.x"), 1);
  EXPECT_EQ(api.ExistUser("11"), 1);
  EXPECT_EQ(api.ExistUser("22@tesmo.x"), 0);
  struct Row {
    int field;
    const char* value;
  } rows[] = {{0, "Ann"}, {1, "about Ann"}, {2, "logo-Ann"}, {3, "big-Ann"},
              {4, "3"},   {5, ""},          {-1, ""}};
  for (const Row& r : rows)
    EXPECT_STREQ(api.GetUserInfo("11@tesmo.x", r.field), r.value) << r.field;
  EXPECT_STREQ(api.GetUserInfo("99@tesmo.x", 0), "");

  // Contacts learnt while the account was open go with it too.
  TEngineCore::Instance()->GetContactCache()->Set("33@tesmo.x", "Cy", "", "", "", 1, 1, 0);
  ASSERT_EQ(api.SetDatabase(b.c_str()), 2);
  EXPECT_EQ(api.ExistUser("11@tesmo.x"), 0);
  EXPECT_EQ(api.ExistUser("33@tesmo.x"), 0);
  EXPECT_EQ(api.ExistUser("22@tesmo.x"), 1);
  EXPECT_STREQ(api.GetUserInfo("22", 0), "Bob");
  EXPECT_STREQ(api.GetUserInfo("11", 0), "");

  ASSERT_EQ(api.SetDatabase(a.c_str()), 2);
  EXPECT_STREQ(api.GetUserInfo("11", 0), "Ann");
  EXPECT_EQ(api.ExistUser("22"), 0);
}

TEST(ContactFacadeWithoutCore, AnswersEmpty) {
  TAPIInterface api;
  EXPECT_EQ(api.ExistUser("1"), 0);
  EXPECT_STREQ(api.GetUserInfo("1", 0), "");
}
