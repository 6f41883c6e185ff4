// Writes N megabytes of line-structured text to standard output: the child
// whose output the capture benchmarks read.
#include <unistd.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 64;
  std::string block;
  while (block.size() < (1u << 20)) block += "generated output line of a build step, number 0123456789\n";
  block.resize(1u << 20);
  for (long i = 0; i < megabytes; ++i) {
    for (size_t done = 0; done < block.size();) {
      const ssize_t put = ::write(1, block.data() + done, block.size() - done);
      if (put <= 0) return 1;
      done += static_cast<size_t>(put);
    }
  }
  return 0;
}
