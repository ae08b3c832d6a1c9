// What the first show of the main window makes of the program's arguments: the files to open,
// in order, each with whether it is printed at once, or one new document when there are none.
#pragma once

#include <string>
#include <vector>

namespace paginor {

struct StartFile {
  std::string path;
  bool print = false;  // it came after "/P"
};

struct StartPlan {
  // No arguments at all: one new document "NONAME1".
  bool newDocument = false;
  std::vector<StartFile> files;
};

// `args` excludes the program name. "/P" in any letter case makes every file after it be
// printed when it has been opened; any other argument is a file.
StartPlan PlanStart(const std::vector<std::string>& args);

}  // namespace paginor
