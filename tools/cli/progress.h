// The progress line of long commands on standard error.
//
// Shape: each update is "\r" followed by the line, padded with blanks to
// cover a longer line before it; Finish ends the last one with "\n". So a
// terminal shows one line changing in place, and a log holds the updates
// separated by carriage returns, ending with a newline.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "locmodel/items/project_file.h"

namespace locmodel::cli {

// The options every command with a progress line declares.
inline constexpr const char* kProgressOption = "--progress";
inline constexpr const char* kQuietOption = "--quiet";

class ProgressLine {
 public:
  enum class Unit { kBytes, kRows, kSeconds };

  // Prints only when `args` asks for it (--progress), or when `err` is the
  // process's standard error, that is a terminal, and --quiet is not given.
  ProgressLine(const Args& args, std::ostream& err);
  ~ProgressLine() { Finish(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Starts a new stage named `what` ("reading FILE"), ending the line of
  // the one before; the rate counts from here.
  void Stage(const std::string& what, Unit unit);
  // `done` of `total` units (0: not known); printed at most ten times a
  // second, except when `force`.
  void Update(uint64_t done, uint64_t total = 0, bool force = false);
  // A callback for the library's load and save progress.
  ProgressCallback Callback();
  // Runs `work` while another thread shows the time spent (Unit::kSeconds),
  // for work that reports no progress of its own.
  void WhileRunning(const std::function<void()>& work);
  // Ends the line, if one was printed.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  bool enabled_;
  std::string what_;
  Unit unit_ = Unit::kBytes;
  Clock::time_point start_, last_;
  bool printed_ = false;
  size_t width_ = 0;
};

// kOk, or the usage error of `command` on `err` and kUsage when both
// --progress and --quiet are given.
int CheckProgressOptions(const char* command, const Args& args, std::ostream& err);

}  // namespace locmodel::cli
