// Small media files made in memory for tests that push pictures and voice: a real
// PNG (uncompressed deflate blocks, so no library is needed) and a PCM WAV file.
#ifndef TESMO_TESTS_TOOLS_MEDIASAMPLES_H
#define TESMO_TESTS_TOOLS_MEDIASAMPLES_H

#include <cstdint>
#include <string>

namespace media_samples {

inline void PutBe32(std::string* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>(v >> shift));
}

inline void PutLe(std::string* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(v >> (8 * i)));
}

inline uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::string PngChunk(const char* type, const std::string& data) {
  std::string out;
  PutBe32(&out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  PutBe32(&out, Crc32(body));
  return out;
}

// A width x height RGB picture (both above 0) in stripes of colour.
inline std::string PngSample(int width, int height) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');  // no filter
    for (int x = 0; x < width; ++x) {
      raw.push_back(static_cast<char>(x * 40));
      raw.push_back(static_cast<char>(y * 60));
      raw.push_back(static_cast<char>(200));
    }
  }
  // A zlib stream of stored blocks of at most 65535 bytes, then the Adler-32.
  std::string z = "\x78\x01";
  for (size_t at = 0; at < raw.size(); at += 65535) {
    const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    z.push_back(at + n >= raw.size() ? '\x01' : '\x00');
    PutLe(&z, static_cast<uint32_t>(n), 2);
    PutLe(&z, static_cast<uint32_t>(~n & 0xFFFF), 2);
    z += raw.substr(at, n);
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(&z, (b << 16) | a);
  std::string header;
  PutBe32(&header, static_cast<uint32_t>(width));
  PutBe32(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", z) +
         PngChunk("IEND", "");
}

// Mono 16-bit PCM: samples at rate per second of a rising tone.
inline std::string WavSample(int rate, int samples) {
  std::string data;
  for (int i = 0; i < samples; ++i) PutLe(&data, static_cast<uint32_t>((i * 97) % 20000), 2);
  std::string out = "RIFF";
  PutLe(&out, static_cast<uint32_t>(36 + data.size()), 4);
  out += "WAVEfmt ";
  PutLe(&out, 16, 4);
  PutLe(&out, 1, 2);  // PCM
  PutLe(&out, 1, 2);  // mono
  PutLe(&out, static_cast<uint32_t>(rate), 4);
  PutLe(&out, static_cast<uint32_t>(rate * 2), 4);  // bytes a second
  PutLe(&out, 2, 2);
  PutLe(&out, 16, 2);
  out += "data";
  PutLe(&out, static_cast<uint32_t>(data.size()), 4);
  return out + data;
}

}  // namespace media_samples

#endif
