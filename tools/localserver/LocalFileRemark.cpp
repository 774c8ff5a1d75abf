#include "LocalFileRemark.h"

#include <json/json.h>

#include <algorithm>
#include <cstdint>

namespace {

uint32_t Be16(const std::string& d, size_t at) {
  return (static_cast<uint8_t>(d[at]) << 8) | static_cast<uint8_t>(d[at + 1]);
}

uint32_t Be32(const std::string& d, size_t at) { return (Be16(d, at) << 16) | Be16(d, at + 2); }

uint32_t Le16(const std::string& d, size_t at) {
  return static_cast<uint8_t>(d[at]) | (static_cast<uint8_t>(d[at + 1]) << 8);
}

uint32_t Le32(const std::string& d, size_t at) { return Le16(d, at) | (Le16(d, at + 2) << 16); }

bool JpegSize(const std::string& d, int* width, int* height) {
  size_t at = 2;
  while (at + 4 <= d.size()) {
    if (static_cast<uint8_t>(d[at]) != 0xFF) return false;
    const uint8_t marker = static_cast<uint8_t>(d[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    // Markers without a length: TEM, RST0-7, SOI.
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // image data before a frame header
    const size_t length = Be16(d, at + 2);
    if (length < 2) return false;
    // Frame headers SOF0-SOF15, less DHT (C4), JPG (C8) and DAC (CC).
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 9 > d.size()) return false;
      *height = static_cast<int>(Be16(d, at + 5));
      *width = static_cast<int>(Be16(d, at + 7));
      return true;
    }
    at += 2 + length;
  }
  return false;
}

}  // namespace

bool LocalFileRemark::IsFileType(const std::string& type) {
  return type == "pic" || type == "file" || type == "audio" || type == "video";
}

bool LocalFileRemark::PictureSize(const std::string& d, int* width, int* height) {
  if (d.size() >= 24 && d.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 &&
      d.compare(12, 4, "IHDR") == 0) {
    *width = static_cast<int>(Be32(d, 16));
    *height = static_cast<int>(Be32(d, 20));
    return *width > 0 && *height > 0;
  }
  if (d.size() >= 10 && (d.compare(0, 6, "GIF87a") == 0 || d.compare(0, 6, "GIF89a") == 0)) {
    *width = static_cast<int>(Le16(d, 6));
    *height = static_cast<int>(Le16(d, 8));
    return true;
  }
  if (d.size() >= 4 && static_cast<uint8_t>(d[0]) == 0xFF && static_cast<uint8_t>(d[1]) == 0xD8)
    return JpegSize(d, width, height);
  return false;
}

int LocalFileRemark::WavSeconds(const std::string& d) {
  if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0) return -1;
  uint32_t byteRate = 0;
  for (size_t at = 12; at + 8 <= d.size();) {
    const uint32_t size = Le32(d, at + 4);
    if (d.compare(at, 4, "fmt ") == 0 && size >= 16 && at + 20 <= d.size())
      byteRate = Le32(d, at + 16);
    if (d.compare(at, 4, "data") == 0) {
      if (byteRate == 0) return -1;
      // A cut file counts what it holds.
      const uint64_t bytes = std::min<uint64_t>(size, d.size() - at - 8);
      return static_cast<int>((bytes + byteRate - 1) / byteRate);
    }
    at += 8 + size + (size & 1);  // chunks are padded to even lengths
  }
  return -1;
}

std::string LocalFileRemark::Build(const std::string& type, const std::string& fileName,
                                   const std::string& data, const std::string& nick,
                                   const std::string& logo) {
  Json::Value remark(Json::objectValue);
  remark["filename"] = fileName;
  remark["filesize"] = static_cast<Json::Int64>(data.size());
  remark["from"]["logo"] = logo;
  remark["from"]["nick"] = nick;
  int width = 0, height = 0;
  if (type == "pic" && PictureSize(data, &width, &height)) {
    remark["width"] = width;
    remark["height"] = height;
  }
  const int seconds = type == "audio" ? WavSeconds(data) : -1;
  if (seconds >= 0) remark["seconds"] = seconds;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, remark);
}
