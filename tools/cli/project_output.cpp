#include "cli/project_output.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace locmodel::cli {
namespace {

bool EndsWith(std::string text, const std::string& suffix) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

int CheckProjectTarget(const char* command, const std::string& target, std::ostream& err) {
  // The library writes items into project files only.
  if (EndsWith(target, ".db") || EndsWith(target, ".sqlite")) {
    return UsageError(err, command,
                      "'" + target + "' names a database; " + command +
                          " writes project files (db-upgrade makes databases)");
  }
  if (target == "-") return UsageError(err, command, "OUT must be a file; standard output is not one");
  return kOk;
}

int ReadGzipOption(const char* command, const Args& args, SaveOptions& options, std::ostream& err) {
  const std::string* level = args.Value("--gzip");
  if (!level) return kOk;
  options.gzip = true;
  if (level->empty()) return kOk;
  char* end = nullptr;
  const long value = std::strtol(level->c_str(), &end, 10);
  if (*end != '\0' || value < 0 || value > 9) return UsageError(err, command, "--gzip takes a level from 0 to 9");
  options.level = static_cast<unsigned>(value);
  return kOk;
}

}  // namespace locmodel::cli
