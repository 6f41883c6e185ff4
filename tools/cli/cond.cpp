// cond: evaluate a condition expression, with an exit status like test(1).
#include "cli/command.h"
#include "locmodel/condition/condition_checker.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunCond(const Args& args, std::ostream& out, std::ostream& err) {
  CConditionChecker checker(Utf8ToUtf16(args.positional[0]));
  for (size_t i = 1; i < args.positional.size(); ++i) {
    const std::string& param = args.positional[i];
    const size_t eq = param.find('=');
    if (eq == std::string::npos)
      return UsageError(err, "cond", "parameter '" + param + "' is not NAME=VALUE");
    checker.SetParam(Utf8ToUtf16(param.substr(0, eq)), Utf8ToUtf16(param.substr(eq + 1)));
  }
  const bool holds = checker.Evaluate();
  out << (holds ? "true" : "false");
  if (checker.GetLastError() != CConditionChecker::kNoError)
    out << " (error " << checker.GetLastError() << ")";
  out << "\n";
  // kFailed doubles as "false": scripts branch on the status alone.
  return holds ? kOk : kFailed;
}

}  // namespace locmodel::cli
