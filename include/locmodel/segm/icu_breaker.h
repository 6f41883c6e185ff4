// CICUBreaker: ICU's sentence break rules for a language. ICU's rules
// change between ICU versions, so its breaks are ICU's, not ours.
#pragma once

#include <memory>

#include "locmodel/segm/segmentator.h"

class CICUBreaker final : public ISegmentator {
 public:
  // The sentence iterator for the ICU locale of the language's langCode and
  // countryCode (CLangMap::GetLang). A locale ICU only approximates (a
  // warning status) still segments; a failure leaves the breaker without
  // breaks.
  explicit CICUBreaker(int lang);
  ~CICUBreaker() override;

  std::vector<int> GetBreaks(const std::u16string& text) override;

 private:
  // ICU's sentence iterator and the status of its creation; ICU stays out
  // of the public headers.
  struct Iterator;
  std::unique_ptr<Iterator> iterator_;
};
