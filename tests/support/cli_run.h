// Runs the command-line tool in-process, capturing its output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
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

// Runs the installed-style binary as a shell script meets it: `input` on
// stdin, stdout captured, stderr dropped; ARGS is shell text.
struct CliRun {
  std::string out;
  int status;

  CliRun(const std::string& args, const std::string& input = "") : status(-1) {
    char path[] = "/tmp/locmodel_cli_inXXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    FILE* in = fdopen(fd, "wb");
    fwrite(input.data(), 1, input.size(), in);
    fclose(in);
    const std::string command =
        std::string(LOCMODEL_CLI_PATH) + " " + args + " <" + path + " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      size_t got;
      while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
      const int result = pclose(pipe);
      status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    std::remove(path);
  }
};

}  // namespace testing_support
