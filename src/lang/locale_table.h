// The compiled-in part of the locale database: the facts about Windows
// locales that ICU does not carry. See locale_table.cpp for the rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace locmodel::locale_table {

// Windows language groups (LGRPID_*), the unit of enumeration.
enum Group : uint8_t {
  kNeutral = 0,  // a neutral identifier: answered, never enumerated
  kWesternEurope = 1,
  kCentralEurope = 2,
  kBaltic = 3,
  kGreek = 4,
  kCyrillic = 5,
  kTurkic = 6,
  kJapanese = 7,
  kKorean = 8,
  kTraditionalChinese = 9,
  kSimplifiedChinese = 10,
  kThai = 11,
  kHebrew = 12,
  kArabic = 13,
  kVietnamese = 14,
  kIndic = 15,
  kGeorgian = 16,
  kArmenian = 17,
};

struct Row {
  uint16_t id;       // Windows language identifier
  Group group;       // the group that enumerates it, kNeutral for none
  uint16_t ansi;     // default ANSI code page, 0 for a Unicode-only locale
  uint16_t oem;      // default OEM code page, 1 for a Unicode-only locale
  char abbr[4];      // three-letter abbreviation (ENU, DEU, ...)
};

extern const Row kRows[];
extern const size_t kRowCount;

}  // namespace locmodel::locale_table
