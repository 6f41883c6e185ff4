// Table-driven checks of the command-line tool: one row per run, with the
// exit status and, where given, the whole stdout and stderr, or (Holds) a
// piece or (Starts) the start of each.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace testing_support {

struct Text {
  enum Kind { kWhole, kPiece, kStart };
  Text(const char* text) : Text(std::string(text)) {}
  Text(std::string text, Kind kind = kWhole) : text(std::move(text)), kind(kind) {}
  std::string text;
  Kind kind;
};

inline Text Holds(std::string part) { return Text(std::move(part), Text::kPiece); }
inline Text Starts(std::string start) { return Text(std::move(start), Text::kStart); }

inline void ExpectText(const std::string& got, const std::optional<Text>& want, const std::string& what) {
  if (!want) return;
  const size_t at = got.find(want->text);
  if (want->kind == Text::kWhole) EXPECT_EQ(got, want->text) << what;
  else if (want->kind == Text::kPiece) EXPECT_NE(at, std::string::npos) << what << ": " << want->text << "\nnot in:\n" << got;
  else EXPECT_EQ(at, 0u) << what << ": does not start with " << want->text;
}

struct ToolRow {
  std::vector<std::string> args;
  int status = 0;
  std::optional<Text> out = {}, err = {};
};

// Each row run in-process.
inline void ExpectRuns(std::initializer_list<ToolRow> rows) {
  for (const ToolRow& row : rows) {
    const ToolRun run = RunTool(row.args);
    const std::string what = ::testing::PrintToString(row.args);
    EXPECT_EQ(run.status, row.status) << what << "\n" << run.err;
    ExpectText(run.out, row.out, what);
    ExpectText(run.err, row.err, what);
  }
}

// ARGS is shell text; INPUT goes to standard input.
struct ShellRow {
  std::string args, input;
  int status = 0;
  std::optional<Text> out = {}, err = {};
};

// Each row run as a separate process, as a shell script meets the tool.
inline void ExpectShellRows(std::initializer_list<ShellRow> rows) {
  for (const ShellRow& row : rows) {
    const CliRun run(row.args, row.input);
    EXPECT_EQ(run.status, row.status) << row.args << "\n" << run.err;
    ExpectText(run.out, row.out, row.args);
    ExpectText(run.err, row.err, row.args);
  }
}

}  // namespace testing_support
