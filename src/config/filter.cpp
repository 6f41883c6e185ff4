#include "locmodel/config/filter.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "locmodel/serial/strategies.h"
#include "locmodel/util/str_util.h"

LOCMODEL_DEFINE_PROP(CFilterProp, u"Filter");

namespace {

const std::u16string kEveryName = u"*";

}  // namespace

// Unit by unit rather than on lowered copies: sets compare on every lookup,
// and this allocates nothing.
bool CFilter::CaseInsensitiveCmp::operator()(const std::u16string& a, const std::u16string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
    return static_cast<char16_t>(u_tolower(x)) < static_cast<char16_t>(u_tolower(y));
  });
}

bool CFilter::IsMatch(const NameSet& set, const std::u16string& name) {
  return std::any_of(set.begin(), set.end(), [&](const std::u16string& entry) {
    return entry != kEveryName && CStrUtil::WildcardMatch(name, entry, true);
  });
}

bool CFilter::IsAllowedName(const std::u16string& name, bool wildcards) const {
  if (include_.count(kEveryName))
    return wildcards ? !IsMatch(exclude_, name) : !exclude_.count(name);
  return wildcards ? IsMatch(include_, name) : include_.count(name) != 0;
}

bool CFilter::operator==(const CFilter& other) const {
  return std::equal(include_.begin(), include_.end(), other.include_.begin(), other.include_.end()) &&
         std::equal(exclude_.begin(), exclude_.end(), other.exclude_.begin(), other.exclude_.end());
}

bool CFilter::operator<(const CFilter& other) const {
  const auto less = [](const NameSet& a, const NameSet& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
  };
  const bool sameInclude =
      std::equal(include_.begin(), include_.end(), other.include_.begin(), other.include_.end());
  return sameInclude ? less(exclude_, other.exclude_) : less(include_, other.include_);
}

bool CFilter::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, include_) && Serial::DoValue(stream, exclude_);
}
