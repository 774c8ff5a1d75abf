#include "util/TTransId.h"

#include <random>

#include "util/TCipherConstants.h"
#include "util/TDigest.h"

std::string RandomDigits(int length) {
  if (length <= 0) return std::string();
  // One generator per thread: no shared state, no reseeding from the clock.
  thread_local std::mt19937 gen{std::random_device{}()};
  std::uniform_int_distribution<int> value(0, 0x7fffffff);
  std::string text;
  while (text.size() < static_cast<size_t>(length)) text += std::to_string(value(gen));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string MakeTransId(const std::string& text) {
  std::string body = text.empty() ? RandomDigits(32) : text;
  return Md5Hex(body + kTransIdSalt).substr(0, 2) + body;
}
