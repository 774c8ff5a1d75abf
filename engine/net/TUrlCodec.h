// URL helpers of the HTTP clients: the percent codec, query parameters and the split of
// a URL into host, port and path.
#ifndef TESMO_NET_TURLCODEC_H
#define TESMO_NET_TURLCODEC_H

#include <string>

// Percent-encodes every byte outside the URL keep set ("#()*,-./:;=?@_~", digits and
// letters) as "%" and two lower-case hexadecimal digits.
std::string UrlEncode(const std::string& text);
// Turns "%" and two hexadecimal digits into that byte; anything else, "+" and a "%"
// without two hexadecimal digits behind it included, is copied unchanged.
std::string UrlDecode(const std::string& text);
// The value of query parameter name ("?name=" or "&name="), or "". A value followed by
// another "&" is percent-decoded; a value that runs to the end of the URL is returned
// as sent (stored red-packet keys depend on it).
std::string GetUrlParam(const std::string& url, const std::string& name);

// True when the URL's scheme is "https" (case-insensitive). Only the scheme counts: an
// "https" further on (a query value, a path) does not make a URL secure.
bool IsHttpsUrl(const std::string& url);
// Splits scheme://host[:port]/path into host and port and returns the path ("/" when
// the URL has none, query included, fragment dropped). The port defaults to 443 for an
// https URL, else 80. A URL without "//", with an empty host, a bad port, or with CR,
// LF or NUL in it, yields an empty path and leaves host and port untouched. An IPv6
// host is written in brackets and returned without them.
std::string SplitUrl(const std::string& url, std::string& host, int& port);
// True for hosts that never leave the machine: "localhost", 127.0.0.0/8 and ::1.
bool IsLoopbackHost(const std::string& host);

#endif
