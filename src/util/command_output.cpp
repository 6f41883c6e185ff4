#include "util/command_output.h"

#include <algorithm>

#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

// The first chunk is small for the many commands that say little; the
// others are large enough that their number stays small and small enough
// that the unused end of the last one does not matter.
constexpr size_t kFirstChunk = size_t{64} << 10;
constexpr size_t kChunk = size_t{1} << 20;

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
  if (dropped_ > 0) {
    dropped_ += size;
    return;
  }
  std::string_view in(bytes, size);
  if (!pending_.empty()) {
    pending_.append(bytes, size);
    in = pending_;
  }
  const size_t complete = CompletePrefix(in);
  if (complete > cap_ - size_) {
    // Up to the last whole sequence that fits; everything after is dropped.
    const size_t kept = CompletePrefix(in.substr(0, cap_ - size_));
    Keep(in.substr(0, kept));
    dropped_ = in.size() - kept;
    pending_.clear();
    return;
  }
  Keep(in.substr(0, complete));
  pending_ = std::string(in.substr(complete));  // at most 3 bytes: no allocation
}

void CommandOutput::Finish() {
  if (pending_.size() > cap_ - size_) {
    dropped_ += pending_.size();
  } else {
    Keep(pending_);
  }
  pending_.clear();
}

void CommandOutput::Keep(std::string_view bytes) {
  while (!bytes.empty()) {
    if (chunks_.empty() || chunks_.back().size() == chunks_.back().capacity()) {
      chunks_.emplace_back().reserve(chunks_.empty() ? kFirstChunk : kChunk);
      starts_.push_back(size_);
    }
    std::string& chunk = chunks_.back();
    const size_t room = chunk.capacity() - chunk.size();
    size_t take = bytes.size();
    if (take > room) {
      // A chunk ends at a sequence boundary; the one that straddles it
      // begins the next chunk.
      take = CompletePrefix(bytes.substr(0, room));
      chunk.append(bytes.substr(0, take));
      chunks_.emplace_back().reserve(kChunk);
      starts_.push_back(size_ + take);
    } else {
      chunk.append(bytes);
    }
    size_ += take;
    bytes.remove_prefix(take);
  }
}

void CommandOutput::Decode(std::u16string& out, size_t begin, size_t end) const {
  // The last chunk that starts at or before `begin`.
  size_t i = std::upper_bound(starts_.begin(), starts_.end(), begin) - starts_.begin() - 1;
  for (; i < chunks_.size() && starts_[i] < end; ++i) {
    const size_t from = std::max(begin, starts_[i]) - starts_[i];
    const size_t to = std::min(end - starts_[i], chunks_[i].size());
    AppendUtf8ToUtf16(out, std::string_view(chunks_[i]).substr(from, to - from));
  }
}

bool CommandOutput::NextLine(std::u16string& line) {
  size_t from = std::max(sent_, scanned_);
  if (from >= size_) return false;
  size_t i = std::upper_bound(starts_.begin(), starts_.end(), from) - starts_.begin() - 1;
  for (; i < chunks_.size(); ++i) {
    const size_t at = chunks_[i].find_first_of("\r\n", from - starts_[i]);
    if (at == std::string::npos) {
      from = starts_[i] + chunks_[i].size();
      continue;
    }
    const size_t end = starts_[i] + at + 1;
    line.clear();
    Decode(line, sent_, end);
    sent_ = end;
    return true;
  }
  scanned_ = size_;
  return false;
}

bool CommandOutput::Rest(std::u16string& line) {
  if (sent_ >= size_) return false;
  line.clear();
  Decode(line, sent_, size_);
  sent_ = size_;
  return true;
}

std::u16string CommandOutput::TakeText() {
  std::u16string text;
  // No sequence gives more UTF-16 units than it has bytes.
  text.reserve(size_);
  for (std::string& chunk : chunks_) {
    AppendUtf8ToUtf16(text, chunk);
    std::string().swap(chunk);
  }
  chunks_.clear();
  starts_.clear();
  size_ = sent_ = scanned_ = 0;
  return text;
}

}  // namespace locmodel
