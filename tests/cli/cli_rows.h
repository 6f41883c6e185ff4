// Rows of in-process runs of the tool: the exit status and, where given,
// the whole stdout and stderr, or (Holds) a piece or (Starts) the start of each.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace cli_rows {

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

struct Row {
  std::vector<std::string> args;
  int status = 0;
  std::optional<Text> out = {}, err = {};
};

inline void ExpectRuns(std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    const testing_support::ToolRun run = testing_support::RunTool(row.args);
    const std::string what = ::testing::PrintToString(row.args);
    EXPECT_EQ(run.status, row.status) << what << "\n" << run.err;
    ExpectText(run.out, row.out, what);
    ExpectText(run.err, row.err, what);
  }
}

}  // namespace cli_rows
