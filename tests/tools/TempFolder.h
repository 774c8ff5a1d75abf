// A temporary folder for a test, removed with everything in it when the test ends,
// failed or not.
#ifndef TESMO_TESTS_TOOLS_TEMPFOLDER_H
#define TESMO_TESTS_TOOLS_TEMPFOLDER_H

#include <string>

class TempFolder {
 public:
  // Makes /tmp/tesmo-NAME-XXXXXX.
  explicit TempFolder(const std::string& name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

#endif
