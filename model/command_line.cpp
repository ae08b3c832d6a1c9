#include "model/command_line.h"

namespace paginor {

namespace {

bool isPrintSwitch(const std::string& arg) {
  return arg.size() == 2 && arg[0] == '/' && (arg[1] == 'P' || arg[1] == 'p');
}

}  // namespace

StartPlan PlanStart(const std::vector<std::string>& args) {
  StartPlan plan;
  plan.newDocument = args.empty();
  bool print = false;
  for (const std::string& arg : args) {
    if (isPrintSwitch(arg)) {
      print = true;
      continue;
    }
    plan.files.push_back(StartFile{arg, print});
  }
  return plan;
}

}  // namespace paginor
