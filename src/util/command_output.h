// Internal: the output of an external command as it arrives in blocks of
// bytes: decoded from UTF-8 without splitting a sequence that straddles two
// blocks, and cut into the messages that echo it.
#pragma once

#include <cstddef>
#include <string>

namespace locmodel {

class CommandOutput {
 public:
  // Decodes the complete sequences of `bytes`; an incomplete one at the end
  // waits for the next block.
  void Append(const char* bytes, size_t size);
  // The end of output: bytes still waiting are decoded (as U+FFFD).
  void Finish();

  // After a block: the text from the sent position up to and including the
  // first CR or LF at or after it, if there is one.
  bool NextLine(std::u16string& line);
  // After Finish: everything not yet sent, if anything.
  bool Rest(std::u16string& line);

  std::u16string& text() { return text_; }

 private:
  std::string pending_;  // an incomplete UTF-8 sequence
  std::u16string text_;
  size_t sent_ = 0;
  size_t scanned_ = 0;  // no CR or LF in [sent_, scanned_)
};

}  // namespace locmodel
