// JSON texts built by hand: request bodies and argument texts are joined from fields,
// each "key": value followed by a comma, and closed into an object at the end.
#ifndef TESMO_UTIL_TJSONTEXT_H
#define TESMO_UTIL_TJSONTEXT_H

#include <cstdint>
#include <string>

// "key": (the key is written as it is, not escaped).
std::string JsonTextKey(const std::string& key);
// "key": 123,
std::string JsonTextIntField(const std::string& key, int64_t value);
// "key": "escaped text",
std::string JsonTextStringField(const std::string& key, const std::string& text);
// The text as a quoted JSON string: '"', '\\' and bytes below 0x20 escaped, every other
// byte (UTF-8 or not) kept, so that it reads back as exactly the same bytes.
std::string JsonQuote(const std::string& text);
// "" for ""; the text unchanged when it begins with "{"; otherwise the fields without a
// trailing comma, between braces.
std::string JsonTextCloseObject(const std::string& fields);
// The trimmed text without its outer braces when it has both; "" for "".
std::string JsonTextStripBraces(const std::string& text);

#endif
