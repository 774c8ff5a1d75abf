#ifndef TESMO_TESTS_CLIENT_QUICKTESTMAIN_H
#define TESMO_TESTS_CLIENT_QUICKTESTMAIN_H

// main() of the program's Qt Quick tests: the QML files of a folder run on a
// QApplication, as the program's pages do (their menus are widgets).
#include <QtQuickTest>
#include <vector>

namespace ClientTest {

inline int RunQuickTests(int argc, char** argv, const char* name, const char* folder,
                         QObject* setup) {
  std::vector<char*> args(argv, argv + argc);
  static char widgets[] = "-widgets";
  args.push_back(widgets);
  const int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  return quick_test_main_with_setup(count, args.data(), name, folder, setup);
}

}  // namespace ClientTest

#endif
