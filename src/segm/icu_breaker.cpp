#include "locmodel/segm/icu_breaker.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include "locmodel/lang/lang_map.h"
#include "locmodel/util/unicode.h"

struct CICUBreaker::Iterator {
  std::unique_ptr<icu::BreakIterator> sentences;
  UErrorCode status = U_ZERO_ERROR;
};

CICUBreaker::~CICUBreaker() = default;

CICUBreaker::CICUBreaker(int lang) : iterator_(std::make_unique<Iterator>()) {
  const CLangDescr& row = CLangMap::Instance().GetLang(lang);
  const std::string language = locmodel::Utf16ToUtf8(row.langCode);
  const std::string country = locmodel::Utf16ToUtf8(row.countryCode);
  iterator_->sentences.reset(icu::BreakIterator::createSentenceInstance(
      icu::Locale(language.c_str(), country.c_str()), iterator_->status));
}

std::vector<int> CICUBreaker::GetBreaks(const std::u16string& text) {
  std::vector<int> breaks;
  icu::BreakIterator* sentences = iterator_->sentences.get();
  // A warning (U_USING_DEFAULT_WARNING, say) still gives a working iterator.
  if (!sentences || U_FAILURE(iterator_->status) || text.empty()) return breaks;
  UErrorCode status = U_ZERO_ERROR;
  // The iterator reads the caller's text in place.
  UText* input = utext_openUChars(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  sentences->setText(input, status);
  if (U_SUCCESS(status)) {
    const int32_t end = static_cast<int32_t>(text.size());
    for (int32_t boundary = sentences->next(); boundary != icu::BreakIterator::DONE && boundary < end;
         boundary = sentences->next()) {
      breaks.push_back(boundary);
    }
  }
  utext_close(input);
  return breaks;
}
