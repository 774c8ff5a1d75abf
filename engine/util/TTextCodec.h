// Text codecs: hexadecimal bytes, the percent escape that keeps four-byte UTF-8
// characters off the wire, code-page conversion and diagnostic printing.
#ifndef TESMO_UTIL_TTEXTCODEC_H
#define TESMO_UTIL_TTEXTCODEC_H

#include <string>

// Two lowercase hexadecimal characters.
std::string ByteToHex(unsigned char byte);
// The value of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(char c);
// Writes every four-byte UTF-8 sequence as four "%xx" groups and "%" as "%25"; other
// bytes are copied. A lead byte cut off by the end of the text is dropped.
std::string EscapeEmoji(const std::string& text);
// Undoes EscapeEmoji. Texts without an escaped four-byte lead ("%f" and a hexadecimal
// digit) and without "%25" are returned as they are; otherwise every "%" and two hexadecimal digits
// become that byte, and any other "%" stays as it is.
std::string UnescapeEmoji(const std::string& text);
// The system code page is UTF-8 here: the text as it is.
std::string Utf8ToAnsi(const std::string& text);
// printf to standard output, for diagnostics.
void ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
