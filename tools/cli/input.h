// Opening the tool's input files: plain or gzip, told apart by content.
#pragma once

#include <memory>
#include <string>

#include "locmodel/serial/streams.h"

namespace locmodel::cli {

// A byte stream the tool reads, with a way to learn whether its data was
// corrupt (a damaged gzip member ends the stream early).
class Input {
 public:
  virtual ~Input() = default;
  virtual Serial::IStreamIn& Stream() = 0;
  virtual bool Corrupt() const { return false; }
};

// Null when the file cannot be opened. A file starting with the gzip magic
// (1F 8B) is decompressed, any other is read as it stands.
std::unique_ptr<Input> OpenInput(const std::string& path);

// The bytes in memory, read as the file would be (gzip by the same test).
std::unique_ptr<Input> OpenInput(const void* data, uint32_t size);

}  // namespace locmodel::cli
