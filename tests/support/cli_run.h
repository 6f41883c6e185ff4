// Runs the command-line tool in-process, capturing its output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "test_paths.h"

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

// Runs the tool (or a copy of it at `program`) as a shell script meets it:
// `input` on stdin (a file redirected, or with Stdin::kPipe a pipe, which
// cannot seek), stdout and stderr captured apart; ARGS is shell text.
struct CliRun {
  enum class Stdin { kFile, kPipe };
  std::string out, err;
  int status = -1;

  CliRun(const std::string& args, const std::string& input = "",
         const std::string& program = LOCMODEL_CLI_PATH)
      : CliRun(args, input, Stdin::kFile, program) {}

  CliRun(const std::string& args, const std::string& input, Stdin how,
         const std::string& program = LOCMODEL_CLI_PATH) {
    const std::string in = TempWith(input), errors = TempWith("");
    const std::string command = how == Stdin::kPipe
                                    ? "cat " + in + " | " + program + " " + args + " 2>" + errors
                                    : program + " " + args + " <" + in + " 2>" + errors;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      out = ReadAll(pipe);
      const int result = pclose(pipe);
      status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    if (FILE* f = std::fopen(errors.c_str(), "rb")) {
      err = ReadAll(f);
      std::fclose(f);
    }
    std::remove(in.c_str());
    std::remove(errors.c_str());
  }

 private:
  static std::string ReadAll(FILE* f) {
    std::string all;
    char buffer[4096];
    while (const size_t got = fread(buffer, 1, sizeof buffer, f)) all.append(buffer, got);
    return all;
  }
  static std::string TempWith(const std::string& bytes) {
    char path[] = "/tmp/locmodel_cli_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    FILE* f = fdopen(fd, "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
  }
};

}  // namespace testing_support
