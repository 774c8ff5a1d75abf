// gzip helpers: reply bodies that a server sent gzip-encoded and downloaded files
// that arrived gzip-encoded.
#ifndef TESMO_UTIL_TGZIP_H
#define TESMO_UTIL_TGZIP_H

#include <cstddef>
#include <string>

// The most a reply body may inflate to. A small hostile body can otherwise expand
// a thousandfold (a "gzip bomb"); past this limit the body is refused.
constexpr size_t kMaxInflatedSize = 16u * 1024u * 1024u;

// Inflates a gzip member held in memory. The header must be exactly the one our
// servers send (1F 8B 08, no flags, no modification time, no extra flags, OS 3);
// the deflate stream must be complete. On success out holds the bytes.
bool GunzipToString(const char* data, size_t length, std::string* out,
                    size_t maxSize = kMaxInflatedSize);

// The same as a zero-terminated heap text (allocated with malloc; the caller
// frees it with free), its length written to outLength; null on any failure.
char* GunzipBuffer(const char* data, size_t length, size_t* outLength);

// Unpacks the gzip file source into destination (created or replaced). Returns 1
// on success, 0 on failure; a failed unpack (unreadable or truncated source,
// write error) leaves no destination file behind.
int GunzipFile(const char* source, const char* destination);

#endif
