// Reply bodies and downloaded files as servers encode them. The first byte picks the
// coding, the second how the body is cut into pieces; the rest is the body. Whole,
// piecewise and on-disk decoding must agree on every input.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzTarget.h"
#include "util/TGzip.h"

namespace {

std::string TempPath(const char* tag) {
  return "/tmp/tesmo-fuzz-" + std::to_string(getpid()) + "-" + tag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const TContentCoding coding = static_cast<TContentCoding>(data[0] % 4);
  const size_t piece = 1 + data[1];
  const char* body = reinterpret_cast<const char*>(data + 2);
  const size_t length = size - 2;

  std::string whole;
  const bool ok = DecodeContent(coding, body, length, &whole, 1 << 20);

  std::string pieces;
  TContentDecoder decoder(coding, [&pieces](const char* p, size_t n) {
    if (pieces.size() + n > (1 << 20)) return false;
    pieces.append(p, n);
    return true;
  });
  bool fed = true;
  for (size_t at = 0; fed && at < length; at += piece)
    fed = decoder.Feed(body + at, std::min(piece, length - at));
  const bool piecewise = fed && decoder.Finish();
  FUZZ_CHECK(piecewise == ok);
  if (ok) FUZZ_CHECK(pieces == whole);

  // The file path is capped far above the memory cap used here: compare only where
  // the memory cap did not bite.
  if (whole.size() < (1 << 19)) {
    const std::string source = TempPath("in"), target = TempPath("out");
    {
      std::ofstream out(source, std::ios::binary);
      out.write(body, static_cast<std::streamsize>(length));
    }
    const int onDisk = DecodeContentFile(coding, source.c_str(), target.c_str());
    if (ok) {
      FUZZ_CHECK(onDisk == 1);
      std::ifstream in(target, std::ios::binary);
      const std::string written((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
      FUZZ_CHECK(written == whole);
    }
    unlink(source.c_str());
    unlink(target.c_str());
  }
  return 0;
}
