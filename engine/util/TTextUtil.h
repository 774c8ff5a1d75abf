// Small text helpers: splitting, trimming, integer formatting and host:port texts.
#ifndef TESMO_UTIL_TTEXTUTIL_H
#define TESMO_UTIL_TTEXTUTIL_H

#include <string>
#include <vector>

// Appends the pieces of text between separators to out. A leading separator gives an
// empty first piece, two in a row an empty piece between them; a trailing separator
// gives no empty last piece, and an empty text gives nothing.
void SplitString(const std::string& text, char separator, std::vector<std::string>& out);
// The text without leading and trailing bytes of code 1-32.
std::string Trim(const std::string& text);
// Trims a zero-terminated buffer in place; nothing for null or "".
void TrimInPlace(char* text);
std::string IntToString(int value);
std::string IntToText(int value);
// Splits "host:port" at the first ':' (port = atoi of the rest) and returns 1; without
// a ':' the host is the whole text, the port 0, and the result 0.
int SplitHostPort(const std::string& text, std::string& host, int& port);

#endif
