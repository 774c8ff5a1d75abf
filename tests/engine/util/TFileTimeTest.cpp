#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "util/Plugin.h"
#include "util/TFileUtil.h"
#include "util/TTimeUtil.h"

namespace {

TEST(TFileUtilTest, SizesAndOpensUtf8Paths) {
  char dir[] = "/tmp/tesmo-fileXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/\xe6\x96\x87\xe4\xbb\xb6 name.bin";
  FILE* f = FOpenUtf8(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::string data(70000, 'x');
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
  EXPECT_EQ(GetFileSize(path.c_str()), 70000);
  EXPECT_EQ(GetFileSize((std::string(dir) + "/missing").c_str()), 0);
  EXPECT_EQ(GetFileSize(nullptr), 0);
  EXPECT_EQ(FOpenUtf8(nullptr, "rb"), nullptr);
  EXPECT_EQ(FOpenUtf8((std::string(dir) + "/missing").c_str(), "rb"), nullptr);
  unlink(path.c_str());
  rmdir(dir);
}

TEST(TTimeUtilTest, WallClockTexts) {
  int64_t before = static_cast<int64_t>(time(nullptr)) * 1000;
  int64_t ms = GetTimeMillis();
  EXPECT_GE(ms, before);
  EXPECT_LT(ms, before + 60000);
  std::string t = GetLocalTimeString();
  ASSERT_EQ(t.size(), 19u);
  EXPECT_EQ(t[4], '-');
  EXPECT_EQ(t[10], ' ');
  EXPECT_EQ(t[16], ':');
  SleepSeconds(0);
  Plugin a, b(a);
  a = b;
  a = Plugin();
}

}  // namespace
