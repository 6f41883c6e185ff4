// Runs the command-line tool in-process, capturing its output.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"

namespace testing_support {

struct ToolRun {
  int status;
  std::string out, err;
};

inline ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  std::vector<std::string> argv{"locmodel"};
  argv.insert(argv.end(), args.begin(), args.end());
  const int status = locmodel::cli::Main(argv, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace testing_support
