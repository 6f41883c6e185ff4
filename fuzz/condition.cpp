// Condition expressions from arbitrary UTF-8, with a few parameters set.
#include <cstdlib>

#include "locmodel/condition/condition_checker.h"
#include "locmodel/util/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CConditionChecker checker(
      locmodel::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size)));
  checker.SetParam(u"lang", u"de");
  checker.SetParam(u"Brand", u"Pro");
  checker.SetParam(u"X", u"");
  const bool value = checker.Evaluate();
  const auto error = checker.GetLastError();
  // Only a clean evaluation can be true; only 0 and 2 are left behind.
  if (value && error != CConditionChecker::kNoError) std::abort();
  if (error != CConditionChecker::kNoError && error != CConditionChecker::kNotBoolean) std::abort();
  if (checker.Evaluate() != value || checker.GetLastError() != error) std::abort();
  return 0;
}
