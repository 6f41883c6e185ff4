#include <iostream>

#include "cli/command.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv, argv + argc);
  const int status = locmodel::cli::Main(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
