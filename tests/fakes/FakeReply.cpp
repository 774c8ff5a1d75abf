#include "fakes/FakeReply.h"

#include <strings.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

bool HasHeader(const FakeReply& reply, const char* name) {
  for (const auto& h : reply.headers) {
    if (strcasecmp(h.first.c_str(), name) == 0) return true;
  }
  return false;
}

void PutLittleEndian32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

}  // namespace

FakeReply FakeReply::Text(int status, const std::string& body, const std::string& contentType) {
  FakeReply r;
  r.status = status;
  r.body = body;
  r.headers.emplace_back("Content-Type", contentType);
  return r;
}

FakeReply FakeReply::Json(const std::string& body, int status) {
  return Text(status, body, "application/json;charset=UTF-8");
}

FakeReply FakeReply::Redirect(int status, const std::string& location) {
  FakeReply r;
  r.status = status;
  r.headers.emplace_back("Location", location);
  return r;
}

FakeReply FakeReply::Raw(const std::string& wire) {
  FakeReply r;
  r.raw = wire;
  return r;
}

FakeReply& FakeReply::Header(const std::string& name, const std::string& value) {
  headers.emplace_back(name, value);
  return *this;
}

const char* FakeReply::Phrase(int status) {
  switch (status) {
    case 100:
      return "Continue";
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 304:
      return "Not Modified";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Unknown";
  }
}

std::string FakeReply::Gzip(const std::string& data) {
  z_stream zs{};
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  std::string deflated(deflateBound(&zs, data.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(&deflated[0]);
  zs.avail_out = static_cast<uInt>(deflated.size());
  int rc = deflate(&zs, Z_FINISH);
  deflated.resize(zs.total_out);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out += deflated;
  uLong crc =
      crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
  PutLittleEndian32(out, static_cast<uint32_t>(crc));
  PutLittleEndian32(out, static_cast<uint32_t>(data.size()));
  return out;
}

std::string FakeReply::Wire() const {
  if (!raw.empty()) return raw;
  const std::string payload = gzip ? Gzip(body) : body;
  std::string out = "HTTP/1.1 " + std::to_string(status) + " " +
                    (reason.empty() ? std::string(Phrase(status)) : reason) + "\r\n";
  for (const auto& h : headers) out += h.first + ": " + h.second + "\r\n";
  if (gzip && !HasHeader(*this, "Content-Encoding")) out += "Content-Encoding: gzip\r\n";
  if (framing == Framing::kLength && !HasHeader(*this, "Content-Length")) {
    out += "Content-Length: " + std::to_string(payload.size()) + "\r\n";
  }
  if (framing == Framing::kChunked && !HasHeader(*this, "Transfer-Encoding")) {
    out += "Transfer-Encoding: chunked\r\n";
  }
  if (!HasHeader(*this, "Connection")) out += "Connection: close\r\n";
  out += "\r\n";
  if (framing != Framing::kChunked) return out + payload;

  std::vector<size_t> cuts;
  for (size_t c : chunkSplits) {
    if (c > 0 && c < payload.size()) cuts.push_back(c);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  cuts.push_back(payload.size());
  size_t start = 0;
  char size[32];
  for (size_t end : cuts) {
    if (end == start) continue;
    std::snprintf(size, sizeof(size), "%zx\r\n", end - start);
    out += size + payload.substr(start, end - start) + "\r\n";
    start = end;
  }
  return out + "0\r\n\r\n";
}
