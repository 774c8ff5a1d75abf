// The reply parser: status line, header lines, body, look-up, reason phrases.
#include <gtest/gtest.h>

#include <string>

#include "net/THttpResponse.h"

namespace {

TEST(HttpResponseParse, StatusLineTable) {
  struct Row {
    std::string text;
    int result;
    int status;
  } rows[] = {
      {"HTTP/1.1 200 OK\r\n\r\n", 0, 200},
      {"HTTP/1.0 404 Not Found\r\n\r\n", 0, 404},
      {"HTTP/1.1 302\r\n\r\n", 0, 302},   // no reason phrase
      {"HTTP/1.2 200 OK\r\n\r\n", 0, 0},  // parses, status not kept
      {"HTTP/2 200 OK\r\n\r\n", -1, 0},
      {"HTTP/2.0 200 OK\r\n\r\n", -1, 0},
      {"HTTP/1.1 0 Zero\r\n\r\n", -1, 0},
      {"HTTP/1.1 -5 Bad\r\n\r\n", -1, 0},
      {"HTTP/1.1 OK\r\n\r\n", -1, 0},
      {"HTTP/1.1\r\n\r\n", -1, 0},
      {"HTTP/1. 200 OK\r\n\r\n", -1, 0},
      {"HTTP/1.x 200 OK\r\n\r\n", -1, 0},
      {"ICY 200 OK\r\n\r\n", -1, 0},
      {"HTTP/1.1 99999999999 Big\r\n\r\n", -1, 0},
      {"HTTP/1.1 200 OK\r"
       "Content-Length: 0\r\n\r\n",
       -1, 0},                           // CR without LF
      {"HTTP/1.1 200 OK\n\r\n", -1, 0},  // LF without CR
      {"HTTP/1.1 200 OK", -1, 0},        // no line end at all
      {"HTTP/1.1 200 " + std::string(1100, 'x') + "\r\n\r\n", -1, 0},
      {"", -1, 0},
  };
  for (const Row& row : rows) {
    THttpResponse r;
    EXPECT_EQ(r.Parse(row.text.c_str(), static_cast<int>(row.text.size())), row.result)
        << row.text.substr(0, 40);
    EXPECT_EQ(r.GetStatus(), row.status) << row.text.substr(0, 40);
  }
  THttpResponse r;
  EXPECT_EQ(r.Parse(nullptr), -1);
  ASSERT_EQ(r.Parse("HTTP/1.0 200 OK\r\n\r\n"), 0);
  EXPECT_EQ(r.GetMinorVersion(), 0);
}

TEST(HttpResponseParse, HeaderLinesTable) {
  struct Row {
    std::string text;
    int result;
    const char* name;
    const char* value;  // nullptr: absent
  } rows[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n", 0, "content-length", "12"},
      {"HTTP/1.1 200 OK\r\ncontent-length: 12\r\n\r\n", 0, "CONTENT-LENGTH", "12"},
      {"HTTP/1.1 200 OK\r\nX-A:   padded  \t\r\n\r\n", 0, "X-A", "padded"},
      {"HTTP/1.1 200 OK\r\nX-A:\r\n\r\n", 0, "X-A", ""},
      {"HTTP/1.1 200 OK\r\nLocation: http://h:1/p\r\n\r\n", 0, "Location", "http://h:1/p"},
      {"HTTP/1.1 200 OK\r\nX-Long: a\r\n\tb\r\n c\r\n\r\n", 0, "X-Long", "a\tb c"},
      {"HTTP/1.1 200 OK\r\nX-A: 1\r\nX-A: 2\r\n\r\n", 0, "x-a", "1"},
      {"HTTP/1.1 200 OK\r\nX-A: 1\r\n\r\n", 0, "X-B", nullptr},
      // Same byte sum as "ab" but a different name: the hash alone must not match.
      {"HTTP/1.1 200 OK\r\nba: 1\r\n\r\n", 0, "ab", nullptr},
      {"HTTP/1.1 200 OK\r\nNoColonHere\r\n\r\n", -1, "NoColonHere", nullptr},
      {"HTTP/1.1 200 OK\r\nX-A: 1\r\nX-B: 2", -1, "X-A", "1"},  // cut mid-line
      {"HTTP/1.1 200 OK\r\nX-A: 1\rX-B: 2\r\n\r\n", -1, "X-A", nullptr},
      {"HTTP/1.1 200 OK\r\nX-A: 1\nX-B: 2\r\n\r\n", -1, "X-A", nullptr},  // bare LF
      {"HTTP/1.1 200 OK\r\nX-A: " + std::string(5000, 'v') + "\r\n\r\n", -1, "X-A", nullptr},
      {"HTTP/1.1 200 OK\r\nX-A: 1\r\n", 0, "X-A", "1"},  // block handed over without its end
  };
  for (const Row& row : rows) {
    THttpResponse r;
    EXPECT_EQ(r.Parse(row.text.c_str(), static_cast<int>(row.text.size())), row.result)
        << row.text.substr(0, 60);
    if (row.result != 0) continue;
    const char* got = r.GetHeader(row.name);
    if (!row.value) {
      EXPECT_EQ(got, nullptr) << row.text;
    } else {
      ASSERT_NE(got, nullptr) << row.text;
      EXPECT_STREQ(got, row.value) << row.text;
    }
  }
}

TEST(HttpResponseParse, BodyAndReparse) {
  using namespace std::string_literals;
  const std::string text = "HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\n\r\nhello\0world"s;
  THttpResponse r;
  ASSERT_EQ(r.Parse(text.c_str(), static_cast<int>(text.size())), 0);
  EXPECT_EQ(r.GetHeaderCount(), 2);
  EXPECT_EQ(r.GetBodyLength(), 11);
  EXPECT_EQ(std::string(r.GetBody(), 11), std::string("hello\0world", 11));
  // Length 0 reads up to the terminating zero.
  ASSERT_EQ(r.Parse(text.c_str()), 0);
  EXPECT_EQ(r.GetBodyLength(), 5);
  EXPECT_STREQ(r.GetBody(), "hello");
  // A new parse forgets everything of the last one.
  ASSERT_EQ(r.Parse("HTTP/1.1 204 No Content\r\n\r\n"), 0);
  EXPECT_EQ(r.GetStatus(), 204);
  EXPECT_EQ(r.GetHeaderCount(), 0);
  EXPECT_EQ(r.GetBodyLength(), -1);
  EXPECT_EQ(r.GetBody(), nullptr);
  EXPECT_EQ(r.GetHeader("A"), nullptr);
}

TEST(HttpResponseParse, ReasonPhrases) {
  struct Row {
    int code;
    const char* text;
  } rows[] = {{100, "Continue"},
              {200, "OK"},
              {203, "Non-Authoritative Information"},
              {302, "Found"},
              {307, "Temporary Redirect"},
              {404, "Not Found"},
              {414, "Request-URI Too Long"},
              {416, "Requested Range Not Satisfiable"},
              {505, "HTTP Version Not Supported"},
              {306, ""},
              {999, ""},
              {0, ""}};
  for (const Row& row : rows) EXPECT_STREQ(THttpResponse::GetReasonPhrase(row.code), row.text);
}

}  // namespace
