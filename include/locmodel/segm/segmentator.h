// ISegmentator: splits one translatable text into sentences by returning
// the positions where new segments begin. The kinds are CNoBreaker (here),
// CICUBreaker (ICU's sentence rules) and CSRXBreaker (the rules of an SRX
// store); CSegmUtil::CreateSegmentator picks one for an item.
#pragma once

#include <string>
#include <vector>

class ISegmentator {
 public:
  virtual ~ISegmentator() = default;
  // Ascending indexes (UTF-16 code units) into `text`, each greater than 0
  // and less than its length, each the first position of a new segment.
  virtual std::vector<int> GetBreaks(const std::u16string& text) = 0;
};

// Leaves every text whole.
class CNoBreaker final : public ISegmentator {
 public:
  std::vector<int> GetBreaks(const std::u16string&) override { return {}; }
};
