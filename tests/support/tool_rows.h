// Table-driven checks of the command-line tool: one row per run, with the
// exit status and, where given, the exact stdout and stderr.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace testing_support {

struct ToolRow {
  std::vector<std::string> args;
  int status = 0;
  std::optional<std::string> out = {}, err = {};
};

// Each row run in-process.
inline void ExpectToolRows(std::initializer_list<ToolRow> rows) {
  for (const ToolRow& row : rows) {
    const ToolRun run = RunTool(row.args);
    const std::string what = ::testing::PrintToString(row.args);
    EXPECT_EQ(run.status, row.status) << what << "\n" << run.err;
    EXPECT_EQ(run.out, row.out.value_or(run.out)) << what;
    EXPECT_EQ(run.err, row.err.value_or(run.err)) << what;
  }
}

// ARGS is shell text; INPUT goes to standard input.
struct ShellRow {
  std::string args, input;
  int status = 0;
  std::optional<std::string> out = {}, err = {};
};

// Each row run as a separate process, as a shell script meets the tool.
inline void ExpectShellRows(std::initializer_list<ShellRow> rows) {
  for (const ShellRow& row : rows) {
    const CliRun run(row.args, row.input);
    EXPECT_EQ(run.status, row.status) << row.args << "\n" << run.err;
    EXPECT_EQ(run.out, row.out.value_or(run.out)) << row.args;
    EXPECT_EQ(run.err, row.err.value_or(run.err)) << row.args;
  }
}

}  // namespace testing_support
