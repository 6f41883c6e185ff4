#include <signal.h>

#include <iostream>

#include "cli/command.h"

int main(int argc, char** argv) {
  // Past the file-size limit a write then fails with EFBIG, which the
  // command reports before removing its half-written file, instead of the
  // process dying silently with the file left behind.
  ::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv, argv + argc);
  const int status = locmodel::cli::Main(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
