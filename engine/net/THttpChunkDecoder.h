// Decodes a chunked HTTP body that follows the header block in a reply buffer.
#ifndef TESMO_NET_THTTPCHUNKDECODER_H
#define TESMO_NET_THTTPCHUNKDECODER_H

#include <cstdint>
#include <cstdio>
#include <functional>

// The buffer holds [header][decoded body][raw bytes not yet decoded]. Decoded bytes are
// moved down behind the body (buffer mode) or written to a file (file mode), and the
// raw rest is moved down behind them before each read, so a reply needs room only for
// its decoded size plus one read. Chunk sizes are unsigned, at most 32 bits, and must
// fit the buffer in buffer mode; a malformed size line or chunk end fails.
class THttpChunkDecoder {
 public:
  // Reads at most maxLength raw bytes to dst: the count, or 0 or less when none came.
  using Reader = std::function<int(char* dst, int maxLength)>;

  // A chunk-size line, extensions included, without its CR LF.
  static constexpr int kMaxSizeLine = 64;
  // Significant hexadecimal digits of a chunk size.
  static constexpr int kMaxSizeDigits = 8;

  // buffer[bodyStart, used) are raw bytes already received; limit is the most the
  // buffer may hold; readChunk the most asked of reader at once. file nullptr: buffer
  // mode.
  THttpChunkDecoder(char* buffer, int limit, int bodyStart, int used, int readChunk, Reader reader,
                    FILE* file);

  // True when the last chunk was read; BodyEnd() is then the end of the decoded body.
  bool Run();
  int BodyEnd() const { return m_out; }

  // Hexadecimal digits, then optional blanks and ";" extensions; an empty line counts as
  // the last chunk (size 0).
  static bool ParseSizeLine(const char* line, int length, uint64_t& size);

 private:
  int FindLineEnd() const;
  bool Fill();
  bool Emit(int count);

  char* m_buffer;
  int m_limit;
  int m_out;
  int m_in;
  int m_used;
  int m_readChunk;
  Reader m_reader;
  FILE* m_file;
};

#endif
