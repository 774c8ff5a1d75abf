// The URL percent codec, query parameters and the split of URLs.
#include <gtest/gtest.h>

#include <string>

#include "net/TUrlCodec.h"

namespace {

TEST(HttpUrlCodec, EncodeTable) {
  struct Row {
    std::string in, out;
  } rows[] = {
      {"", ""},
      {" ", "%20"},
      {"&", "%26"},
      {"a+b%c!", "a%2bb%25c%21"},
      {"=@", "=@"},
      {"#()*,-./:;=?@_~", "#()*,-./:;=?@_~"},
      {"AZaz09", "AZaz09"},
      {"\xe4\xb8\xad", "%e4%b8%ad"},
      {std::string("a\0b", 3), "a%00b"},
      {"\x7f\x80\xff", "%7f%80%ff"},
      {"[]{}\"'<>|\\^`$", "%5b%5d%7b%7d%22%27%3c%3e%7c%5c%5e%60%24"},
  };
  for (const Row& row : rows) EXPECT_EQ(UrlEncode(row.in), row.out) << row.in;
}

TEST(HttpUrlCodec, DecodeTable) {
  struct Row {
    std::string in, out;
  } rows[] = {
      {"%41%4a", "AJ"}, {"%41%4A", "AJ"},
      {"a+b", "a+b"},   {"%e4%b8%ad", "\xe4\xb8\xad"},
      {"100%", "100%"}, {"%4", "%4"},
      {"%zz", "%zz"},  // not hexadecimal: kept as it is
      {"%%41", "%A"},   {"%00x", std::string("\0x", 2)},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(UrlDecode(row.in), row.out) << row.in;
  // Every byte survives a round trip.
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(UrlDecode(UrlEncode(all)), all);
}

TEST(HttpUrlCodec, GetUrlParamTable) {
  struct Row {
    const char* url;
    const char* name;
    std::string value;
  } rows[] = {
      {"http://h/p?a=1&b=2", "a", "1"},
      {"http://h/p?a=1&b=2", "b", "2"},
      {"http://h/p?a=%41%42&b=2", "a", "AB"},      // decoded: another "&" follows
      {"http://h/p?b=2&a=%41%42", "a", "%41%42"},  // last one comes back as sent
      {"http://h/p?a=1&b=2", "c", ""},
      {"http://h/p?aa=1&a=2&x=3", "a", "2"},
      {"http://h/p?a=&b=2", "a", ""},
      {"http://h/p?redtext=k%2b1&x=1", "redtext", "k+1"},
      {"http://h/p", "a", ""},
      {"", "a", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GetUrlParam(row.url, row.name), row.value) << row.url << " " << row.name;
  }
}

TEST(HttpUrlCodec, SplitUrlTable) {
  struct Row {
    const char* url;
    std::string path;
    std::string host;
    int port;
  } rows[] = {
      {"http://h.example/a/b?c=1", "/a/b?c=1", "h.example", 80},
      {"https://h.example/a", "/a", "h.example", 443},
      {"HTTPS://h.example", "/", "h.example", 443},
      {"http://h.example:8080", "/", "h.example", 8080},
      {"https://h.example:8443/x", "/x", "h.example", 8443},
      {"http://127.0.0.1:1234/p", "/p", "127.0.0.1", 1234},
      {"http://[::1]:8080/p", "/p", "::1", 8080},
      {"http://[::1]/p", "/p", "::1", 80},
      {"http://h.example?x=1", "/?x=1", "h.example", 80},
      {"http://h.example/p#frag", "/p", "h.example", 80},
      {"http://user:pw@h.example:81/p", "/p", "h.example", 81},
      {"//h.example/p", "/p", "h.example", 80},
      // Only the scheme picks the port: "https" elsewhere does not.
      {"http://h.example/https/x?u=https://y", "/https/x?u=https://y", "h.example", 80},
      {"http://https.example/", "/", "https.example", 80},
  };
  for (const Row& row : rows) {
    std::string host = "unset";
    int port = -1;
    EXPECT_EQ(SplitUrl(row.url, host, port), row.path) << row.url;
    EXPECT_EQ(host, row.host) << row.url;
    EXPECT_EQ(port, row.port) << row.url;
  }
  // Unusable URLs: empty path, host and port untouched.
  const char* bad[] = {"/relative/path",        "h.example/p",
                       "ftp://h.example/p",     "http:///p",
                       "http://h.example:0/",   "http://h.example:65536/",
                       "http://h.example:x/",   "http://h.example:/p",
                       "http://[::1/p",         "http://h.example/p\r\nX: 1",
                       "http://h.example/p\nq", ""};
  for (const char* url : bad) {
    std::string host = "unset";
    int port = -1;
    EXPECT_EQ(SplitUrl(url, host, port), "") << url;
    EXPECT_EQ(host, "unset") << url;
    EXPECT_EQ(port, -1) << url;
  }
}

TEST(HttpUrlCodec, SchemeAndLoopback) {
  EXPECT_TRUE(IsHttpsUrl("https://h/"));
  EXPECT_TRUE(IsHttpsUrl("HTTPS://h/"));
  EXPECT_FALSE(IsHttpsUrl("http://h/https"));
  EXPECT_FALSE(IsHttpsUrl("http://https/"));
  EXPECT_FALSE(IsHttpsUrl(" https://h/"));
  struct Row {
    const char* host;
    bool loopback;
  } rows[] = {{"localhost", true},          {"LocalHost", true}, {"127.0.0.1", true},
              {"127.1.2.3", true},          {"::1", true},       {"[::1]", true},
              {"128.0.0.1", false},         {"10.0.0.1", false}, {"::2", false},
              {"localhost.example", false}, {"", false}};
  for (const Row& row : rows) EXPECT_EQ(IsLoopbackHost(row.host), row.loopback) << row.host;
}

}  // namespace
