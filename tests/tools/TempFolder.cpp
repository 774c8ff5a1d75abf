#include "TempFolder.h"

#include <stdlib.h>

#include <filesystem>

TempFolder::TempFolder(const std::string& name) {
  std::string pattern = "/tmp/tesmo-" + name + "-XXXXXX";
  if (mkdtemp(&pattern[0])) m_path = pattern;
}

TempFolder::~TempFolder() {
  if (m_path.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}
