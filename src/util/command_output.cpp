#include "util/command_output.h"

#include <algorithm>
#include <string_view>

#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

// The length of the sequence a lead byte opens; 1 for anything else.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

// Where an incomplete sequence at the end of `bytes` begins (its size when
// there is none). A byte that is no continuation byte always starts a
// sequence of the whole stream, so decoding up to it and then from it gives
// the same text as decoding the stream in one piece.
size_t CompletePrefix(std::string_view bytes) {
  const size_t n = bytes.size();
  for (size_t k = n; k > 0 && n - k < 3; --k) {
    const auto b = static_cast<unsigned char>(bytes[k - 1]);
    if ((b & 0xC0) == 0x80) continue;
    return n - (k - 1) < SequenceLength(b) ? k - 1 : n;
  }
  return n;
}

}  // namespace

void CommandOutput::Append(const char* bytes, size_t size) {
  std::string_view in(bytes, size);
  if (!pending_.empty()) {
    pending_.append(bytes, size);
    in = pending_;
  }
  const size_t complete = CompletePrefix(in);
  AppendUtf8ToUtf16(text_, in.substr(0, complete));
  pending_ = std::string(in.substr(complete));  // at most 3 bytes: no allocation
}

void CommandOutput::Finish() {
  AppendUtf8ToUtf16(text_, pending_);
  pending_.clear();
}

bool CommandOutput::NextLine(std::u16string& line) {
  const size_t end = text_.find_first_of(u"\r\n", std::max(sent_, scanned_));
  if (end == std::u16string::npos) {
    scanned_ = text_.size();
    return false;
  }
  line.assign(text_, sent_, end + 1 - sent_);
  sent_ = end + 1;
  return true;
}

bool CommandOutput::Rest(std::u16string& line) {
  if (sent_ >= text_.size()) return false;
  line.assign(text_, sent_);
  sent_ = text_.size();
  return true;
}

}  // namespace locmodel
