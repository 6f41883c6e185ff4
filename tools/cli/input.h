// Opening the tool's input files: plain or gzip, told apart by content.
#pragma once

#include <climits>
#include <memory>
#include <ostream>
#include <string>

#include "locmodel/serial/streams.h"

namespace locmodel::cli {

// A byte stream the tool reads, with a way to learn why its data ended
// early (a damaged gzip member, or gzip data past the decompression limit).
class Input {
 public:
  virtual ~Input() = default;
  virtual Serial::IStreamIn& Stream() = 0;
  // Empty when the data ended where they end.
  virtual std::string Damage() const { return {}; }
};

// Null when the file cannot be opened. A file starting with the gzip magic
// (1F 8B) is decompressed, any other is read as it stands.
std::unique_ptr<Input> OpenInput(const std::string& path);

// The bytes in memory, read as the file would be (gzip by the same test).
std::unique_ptr<Input> OpenInput(const void* data, uint32_t size);

// Standard input and pipes. An input named "-" is standard input; it and a
// path naming a FIFO, socket or character device can be read only once,
// front to back, so they are read whole first and then probed by content
// like a file. The whole is bounded as the library bounds a file it reads
// whole (util/file_util.h ReadFile: less than 2 GiB).
inline constexpr size_t kMaxStreamedInput = INT_MAX;

bool IsStreamedInput(const std::string& path);
// How errors name the input: "(standard input)" for "-", else the path.
std::string InputName(const std::string& path);
// Reads the streamed input whole, at most `limit` bytes; false, with the
// one-line reason in `error`, when it cannot be opened or read or is larger.
bool ReadStreamedInput(const std::string& path, size_t limit, std::string& bytes,
                       std::string& error);

// Database commands read files the engine can seek in, never standard input
// or a pipe (spooling one to a temporary file would hide a copy of the
// project in the temporary folder). kOk for a file; otherwise the usage
// error of `command` on `err` and kUsage.
int CheckDatabasePath(const char* command, const std::string& path, std::ostream& err);

}  // namespace locmodel::cli
