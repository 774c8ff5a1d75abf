#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "util/TTextUtil.h"

namespace {

TEST(TTextUtilTest, SplitStringTable) {
  struct Row {
    const char* text;
    std::vector<std::string> pieces;
  } rows[] = {
      {"", {}},      {"a,b", {"a", "b"}}, {",a", {"", "a"}}, {"a,,b", {"a", "", "b"}},
      {"a,", {"a"}}, {",", {""}},         {"abc", {"abc"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::vector<std::string> out{"kept"};
    SplitString(r.text, ',', out);
    std::vector<std::string> expected{"kept"};
    expected.insert(expected.end(), r.pieces.begin(), r.pieces.end());
    EXPECT_EQ(out, expected);
  }
}

TEST(TTextUtilTest, TrimTable) {
  struct Row {
    std::string in, out;
  } rows[] = {
      {"", ""},
      {"  \t\r\nab c\x01 ", "ab c"},
      {"\x7f x \x7f", "\x7f x \x7f"},
      {std::string("a\0", 2), std::string("a\0", 2)},  // zero is not trimmed
      {"\xe4\xbd\xa0 ", "\xe4\xbd\xa0"},               // bytes past 127 are kept
      {"   ", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Trim(r.in), r.out);
    if (r.in.find('\0') == std::string::npos) {
      std::vector<char> buf(r.in.begin(), r.in.end());
      buf.push_back('\0');
      TrimInPlace(buf.data());
      EXPECT_STREQ(buf.data(), r.out.c_str());
    }
  }
  TrimInPlace(nullptr);
  char empty[1] = "";
  TrimInPlace(empty);
  EXPECT_STREQ(empty, "");
}

TEST(TTextUtilTest, SplitHostPortTable) {
  struct Row {
    const char* text;
    int result;
    const char* host;
    int port;
  } rows[] = {
      {"example.test:8080", 1, "example.test", 8080},
      {"127.0.0.1", 0, "127.0.0.1", 0},
      {"h:", 1, "h", 0},
      {":80", 1, "", 80},
      {"h:1:2", 1, "h", 1},
      {"h:abc", 1, "h", 0},
      {"h:99999999999999999999", 1, "h", INT_MAX},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::string host = "old";
    int port = -1;
    EXPECT_EQ(SplitHostPort(r.text, host, port), r.result);
    EXPECT_EQ(host, r.host);
    EXPECT_EQ(port, r.port);
  }
  EXPECT_EQ(IntToString(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToText(17), "17");
}

}  // namespace
