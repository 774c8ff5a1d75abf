#ifndef TESMO_DB_SQLTEXT_H
#define TESMO_DB_SQLTEXT_H

#include <string>

// A copy of text with every single quote doubled, for values placed inside a
// quoted SQL literal. The text ends at its first zero byte, as a C text would, so
// nothing after it can reach the statement.
std::string SqlEscapeQuotes(const std::string& text);
std::string SqlEscapeQuotes(const char* text);

// The text as a complete SQL literal: quote, escaped text, quote.
std::string SqlQuoted(const std::string& text);

// The leading decimal number of a text (an optional sign, then digits; leading
// blanks skipped), 0 when there is none; clamped to the 64-bit range. Ids that go
// into a statement unquoted pass through here, so only digits ever reach SQL.
long long SqlLeadingNumber(const std::string& text);
long long SqlLeadingNumber(const char* text);

// True for a text of 1 to 19 decimal digits and nothing else: the only form of id
// that a statement may hold without quotes.
bool SqlIsDecimalId(const std::string& text);

#endif
