// Random digit texts and the "transid" of server requests.
#ifndef TESMO_UTIL_TTRANSID_H
#define TESMO_UTIL_TTRANSID_H

#include <string>

// A text of exactly length decimal digits ("" for length <= 0).
std::string RandomDigits(int length);
// Two lowercase hexadecimal check characters (from the MD5 of the text and a salt)
// followed by the text; an empty text is replaced by 32 random digits.
std::string MakeTransId(const std::string& text);

#endif
