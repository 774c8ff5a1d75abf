// Returned texts: the per-thread ring and the per-method buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "core/TStringQueue.h"

TEST(ResultRing, KeepsTheLast32AndFreesTheOldest) {
  TStringQueue ring(32);
  std::vector<char*> texts;
  for (int i = 0; i < 33; ++i) texts.push_back(ring.Push("text" + std::to_string(i)));
  EXPECT_EQ(ring.Count(), 32u);
  // The first is gone (LeakSanitizer and ASan watch the frees); the other 32 are
  // intact.
  for (int i = 1; i < 33; ++i) EXPECT_STREQ(texts[i], ("text" + std::to_string(i)).c_str());
}

TEST(ResultRing, EmptyTextIsTheStaticOneAndNotStored) {
  TStringQueue ring(2);
  char* a = ring.Push("");
  char* b = ring.Push(std::string());
  char* c = ring.Push(static_cast<const char*>(nullptr));
  EXPECT_EQ(a, TStringQueue::EmptyText());
  EXPECT_EQ(b, a);
  EXPECT_EQ(c, a);
  EXPECT_STREQ(a, "");
  EXPECT_EQ(ring.Count(), 0u);
}

TEST(ResultRing, AnotherThreadsResultsDoNotInvalidateMine) {
  TAPIInterface api;
  char* mine = api.PushResult("mine");
  std::thread other([&] {
    for (int i = 0; i < 500; ++i) api.PushResult("other" + std::to_string(i));
  });
  other.join();
  EXPECT_STREQ(mine, "mine");  // ASan would report a use after free here
}

TEST(ResultRing, PerMethodBufferCutsToItsSize) {
  char buf[8];
  EXPECT_STREQ(FillResultBuffer(buf, sizeof(buf), "0123456789"), "0123456");
  EXPECT_STREQ(FillResultBuffer(buf, sizeof(buf), ""), "");
  EXPECT_STREQ(FillResultBuffer(buf, sizeof(buf), std::string("ab\0cd", 5)), "ab");
}

TEST(ResultRing, GettersWithoutCoreReturnTheEmptyText) {
  TAPIInterface api;
  EXPECT_STREQ(api.GetMyAccount(), "");
  EXPECT_STREQ(api.GetMyUserID(), "");
  EXPECT_STREQ(api.GetToken(), "");
  EXPECT_EQ(api.GetChampFlag(), 0);
  EXPECT_EQ(api.SetDeviceType(2), 0);
  EXPECT_STREQ(api.RemoveNationPrefix("+8613800000000"), "+8613800000000");
  api.Init();
  EXPECT_STREQ(api.GetMyUserID(), "0");
  EXPECT_EQ(api.SetDeviceType(2), 1);
  api.Release();
}
