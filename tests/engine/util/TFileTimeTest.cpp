#include <gtest/gtest.h>
#include <sys/stat.h>
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

// The files the engine writes hold an account's messages and pictures: a new one is
// the user's alone whatever the umask; reading, appending and replacing still work.
TEST(TFileUtilTest, NewFilesAreOwnerOnly) {
  char dir[] = "/tmp/tesmo-fileXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const mode_t previous = umask(022);
  const std::string base = std::string(dir) + "/";
  for (const char* mode : {"wb", "wbx", "ab", "w+b"}) {
    const std::string path = base + "made-" + mode;
    UniqueFile file(FOpenUtf8(path.c_str(), mode));
    ASSERT_NE(file, nullptr) << mode;
    EXPECT_EQ(fputs("one", file.get()), 1) << mode;
    file.reset();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0) << mode;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << mode;
    EXPECT_EQ(GetFileSize(path.c_str()), 3) << mode;
  }
  const std::string made = base + "made-wb";
  // "x" refuses an existing file; "a" appends; "w" replaces.
  EXPECT_EQ(FOpenUtf8(made.c_str(), "wbx"), nullptr);
  UniqueFile(FOpenUtf8(made.c_str(), "ab")).reset();
  {
    UniqueFile more(FOpenUtf8(made.c_str(), "ab"));
    fputs("two", more.get());
  }
  EXPECT_EQ(GetFileSize(made.c_str()), 6);
  {
    UniqueFile again(FOpenUtf8(made.c_str(), "wb"));
    fputs("x", again.get());
  }
  EXPECT_EQ(GetFileSize(made.c_str()), 1);
  {
    UniqueFile read(FOpenUtf8(made.c_str(), "rb"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(fgetc(read.get()), 'x');
  }
  // An existing file keeps its rights.
  chmod(made.c_str(), 0644);
  UniqueFile(FOpenUtf8(made.c_str(), "wb")).reset();
  struct stat st {};
  ASSERT_EQ(stat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  umask(previous);
  for (const char* mode : {"wb", "wbx", "ab", "w+b"}) unlink((base + "made-" + mode).c_str());
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
