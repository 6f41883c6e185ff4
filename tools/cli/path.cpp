// path: the path text rules of project data, one result per line.
#include <functional>
#include <map>

#include "cli/command.h"
#include "locmodel/util/path_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

using Unary = std::function<std::u16string(const std::u16string&)>;
using Binary = std::u16string (*)(const std::u16string&, const std::u16string&);

const std::map<std::string, Unary>& UnaryOps() {
  static const std::map<std::string, Unary> ops = {
      {"norm", NormalizePath},
      {"canon", CanonicalizePath},
      {"dir", [](const std::u16string& p) { return ExtractFileDir(p.c_str()); }},
      {"name", [](const std::u16string& p) { return ExtractFileName(p.c_str()); }},
      {"ext", [](const std::u16string& p) { return ExtractFileExt(p.c_str()); }},
  };
  return ops;
}

const std::map<std::string, Binary>& BinaryOps() {
  static const std::map<std::string, Binary> ops = {{"abs", GetAbsolutePath},
                                                    {"rel", GetRelativePath}};
  return ops;
}

}  // namespace

int RunPath(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& op = args.positional[0];
  std::vector<std::u16string> paths;
  for (size_t i = 1; i < args.positional.size(); ++i)
    paths.push_back(Utf8ToUtf16(args.positional[i]));
  if (op == "is-abs") {
    if (paths.size() != 1) return UsageError(err, "path", "is-abs takes one PATH");
    return IsPathAbsolute(paths[0]) ? kOk : kFailed;
  }
  std::vector<std::u16string> results;
  if (const auto unary = UnaryOps().find(op); unary != UnaryOps().end()) {
    for (const auto& p : paths) results.push_back(unary->second(p));
  } else if (const auto binary = BinaryOps().find(op); binary != BinaryOps().end()) {
    if (paths.size() < 2) return UsageError(err, "path", op + " takes BASE and a PATH");
    for (size_t i = 1; i < paths.size(); ++i) results.push_back(binary->second(paths[0], paths[i]));
  } else {
    return UsageError(err, "path", "unknown operation '" + op + "'");
  }
  std::string text;
  for (const auto& r : results) text += Utf16ToUtf8(args.Has("--native") ? ToNativePath(r) : r) + "\n";
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
