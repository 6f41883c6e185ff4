// Internal: the output of an external command as it arrives in blocks of
// bytes: kept up to a cap (the rest only counted), cut into the lines that
// echo it, and decoded from UTF-8 once, when it is taken.
//
// The bytes are kept as they came, in chunks that each end at the end of a
// UTF-8 sequence, so that no chunk is ever copied to grow and decoding the
// chunks one by one gives the text of the whole. Taking the text decodes
// into one string sized once and frees each chunk as it goes: the peak is
// the bytes plus their text, about three bytes per byte of ASCII output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace locmodel {

class CommandOutput {
 public:
  // Keeps at most `cap` bytes.
  explicit CommandOutput(size_t cap) : cap_(cap) {}

  // Keeps what the cap allows of `bytes` and counts the rest. A UTF-8
  // sequence the cap would cut is not kept at all; an incomplete one at the
  // end waits for the next block.
  void Append(const char* bytes, size_t size);
  // The end of output: bytes still waiting are kept (they decode as U+FFFD).
  void Finish();

  // After a block: the text from the sent position up to and including the
  // first CR or LF at or after it, if there is one.
  bool NextLine(std::u16string& line);
  // At the end (or at the cap): everything not yet sent, if anything.
  bool Rest(std::u16string& line);

  // The kept text; the bytes are gone afterwards.
  std::u16string TakeText();

  size_t kept() const { return size_; }
  uint64_t dropped() const { return dropped_; }

 private:
  // Appends bytes that begin and end at sequence boundaries (or at the end
  // of output).
  void Keep(std::string_view bytes);
  // Decodes the kept bytes [begin, end), both sequence boundaries, onto `out`.
  void Decode(std::u16string& out, size_t begin, size_t end) const;

  std::string pending_;  // an incomplete UTF-8 sequence
  std::vector<std::string> chunks_;
  std::vector<size_t> starts_;  // the offset of each chunk's first byte
  size_t cap_;
  size_t size_ = 0;
  uint64_t dropped_ = 0;
  size_t sent_ = 0;
  size_t scanned_ = 0;  // no CR or LF in [sent_, scanned_)
};

}  // namespace locmodel
