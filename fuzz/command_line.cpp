// The command-line splitter on arbitrary text, and the quote/split round
// trip: the input, cut at its zero units, is a list of arguments that must
// come back unchanged from a line built with QuoteCommandLineArg.
#include <cstdlib>

#include "fuzz_text.h"
#include "locmodel/util/process_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = FuzzUnits(data, size);
  SplitCommandLine(input);

  std::vector<std::u16string> args = {u"prog"};
  for (size_t start = 0;;) {
    const size_t end = std::min(input.find(u'\0', start), input.size());
    args.push_back(input.substr(start, end - start));
    if (end == input.size()) break;
    start = end + 1;
  }
  std::u16string line = args[0];
  for (size_t i = 1; i < args.size(); ++i) line += u" " + QuoteCommandLineArg(args[i]);
  if (SplitCommandLine(line) != args) std::abort();
  return 0;
}
