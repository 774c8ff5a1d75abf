// The salted password digest that login requests carry.
#ifndef TESMO_UTIL_TPASSWORDHASH_H
#define TESMO_UTIL_TPASSWORDHASH_H

#include <string>

// 16 characters: every other hexadecimal digit of MD5(text, account, salt of type),
// with "0" written as "A" and "9" as "B"; "" for a type other than 0-3.
std::string HashPassword(const std::string& text, const std::string& account, int type);

#endif
