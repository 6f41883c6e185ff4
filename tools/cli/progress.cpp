#include "cli/progress.h"

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

namespace locmodel::cli {
namespace {

std::string Amount(double value, ProgressLine::Unit unit) {
  char text[32];
  if (unit == ProgressLine::Unit::kSeconds) {
    std::snprintf(text, sizeof text, "%.0f s", value);
  } else if (unit == ProgressLine::Unit::kRows) {
    std::snprintf(text, sizeof text, "%.0f rows", value);
  } else if (value < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.0f KiB", value / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", value / (1024 * 1024));
  }
  return text;
}

}  // namespace

ProgressLine::ProgressLine(const Args& args, std::ostream& err)
    : err_(err),
      enabled_(args.Has(kProgressOption) ||
               (!args.Has(kQuietOption) && &err == &std::cerr && isatty(STDERR_FILENO))) {}

int CheckProgressOptions(const char* command, const Args& args, std::ostream& err) {
  if (!args.Has(kProgressOption) || !args.Has(kQuietOption)) return kOk;
  return UsageError(err, command, "give --progress or --quiet, not both");
}

void ProgressLine::Stage(const std::string& what, Unit unit) {
  Finish();
  what_ = what;
  unit_ = unit;
  start_ = Clock::now();
}

void ProgressLine::Update(uint64_t done, uint64_t total, bool force) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (printed_ && !force && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  std::string line = "locmodel: " + what_ + ": " + Amount(static_cast<double>(done), unit_);
  if (total > 0) {
    line += " of " + Amount(static_cast<double>(total), unit_) + " (" +
            std::to_string(std::min<uint64_t>(100, done * 100 / total)) + "%)";
  }
  const double seconds = std::chrono::duration<double>(now - start_).count();
  if (seconds > 0.001 && unit_ != Unit::kSeconds) line += ", " + Amount(static_cast<double>(done) / seconds, unit_) + "/s";
  const size_t width = line.size();
  if (width < width_) line.append(width_ - width, ' ');
  width_ = width;
  err_ << '\r' << line << std::flush;
  printed_ = true;
}

ProgressCallback ProgressLine::Callback() {
  if (!enabled_) return {};
  return [this](const Progress& progress) {
    Update(progress.bytes, progress.total, progress.total != 0 && progress.bytes == progress.total);
  };
}

void ProgressLine::WhileRunning(const std::function<void()>& work) {
  if (!enabled_) return work();
  std::mutex mutex;
  std::condition_variable wake;
  bool done = false;
  const auto elapsed = [&] {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start_).count());
  };
  std::thread ticker([&] {
    std::unique_lock lock(mutex);
    do {
      Update(elapsed(), 0, true);
    } while (!wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; }));
  });
  work();
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  wake.notify_one();
  ticker.join();
  Update(elapsed(), 0, true);
}

void ProgressLine::Finish() {
  if (printed_) err_ << '\n' << std::flush;
  printed_ = false;
  width_ = 0;
}

}  // namespace locmodel::cli
