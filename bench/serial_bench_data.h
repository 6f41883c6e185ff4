// The logical data the serial benchmarks move: records shaped like the
// resource items of a project (an identifier, a type, a short name, a few
// properties, a few translations, and now and then a 1 KB binary value).
//
// Every codec under comparison is driven from the same records, so they all
// move the same values. The data is reproducible: std::mt19937 is fully
// specified by the standard, and no standard distribution (whose results are
// left to the library vendor) is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace locmodel::bench {

struct Property {
  int32_t key = 0;
  std::u16string value;
  bool operator==(const Property&) const = default;
};

struct Translation {
  int32_t lang = 0;
  int32_t state = 0;
  std::u16string text;
  bool operator==(const Translation&) const = default;
};

struct Record {
  uint32_t id = 0;
  int32_t type = 0;
  std::u16string name;
  std::vector<Property> props;
  std::vector<Translation> translations;
  std::vector<unsigned char> blob;  // empty, or kBlobSize bytes
  bool operator==(const Record&) const = default;
};

inline constexpr size_t kBlobSize = 1024;
// One record in kBlobEvery carries a blob.
inline constexpr uint32_t kBlobEvery = 10;
inline constexpr uint32_t kSeed = 20261206;

class RecordGenerator {
 public:
  explicit RecordGenerator(uint32_t seed) : rng_(seed) {}

  // Sizes: names 4-16 code units, 1-4 properties with values of 2-24 units,
  // 0-4 translations with texts of 6-40 units; blobs as kBlobEvery says.
  // That averages about 480 bytes of serial stream per record.
  std::vector<Record> Generate(size_t count) {
    std::vector<Record> records(count);
    for (size_t i = 0; i < count; ++i) {
      Record& r = records[i];
      r.id = static_cast<uint32_t>(i + 1);
      r.type = static_cast<int32_t>(Below(40));
      r.name = Text(4, 16);
      r.props.resize(1 + Below(4));
      for (Property& p : r.props) {
        p.key = static_cast<int32_t>(Below(500));
        p.value = Text(2, 24);
      }
      r.translations.resize(Below(5));
      for (Translation& t : r.translations) {
        t.lang = static_cast<int32_t>(0x0400 + Below(0x100));
        t.state = static_cast<int32_t>(Below(8));
        t.text = Text(6, 40);
      }
      if (Below(kBlobEvery) == 0) {
        r.blob.resize(kBlobSize);
        for (unsigned char& b : r.blob) b = static_cast<unsigned char>(rng_());
      }
    }
    return records;
  }

 private:
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }

  // Mostly ASCII letters and spaces, with some Latin-1, Cyrillic and CJK
  // units as localized texts have.
  std::u16string Text(uint32_t min, uint32_t max) {
    static constexpr char16_t kExtra[] = u"\u00e9\u00df\u00fc\u0416\u044f\u4e2d\u6587\u3042";
    std::u16string s(min + Below(max - min + 1), u' ');
    for (char16_t& c : s) {
      const uint32_t pick = Below(64);
      if (pick < 52) c = static_cast<char16_t>((pick < 26 ? u'a' : u'A') + pick % 26);
      else if (pick < 60) c = u' ';
      else c = kExtra[Below(sizeof kExtra / sizeof kExtra[0] - 1)];
    }
    return s;
  }

  std::mt19937 rng_;
};

}  // namespace locmodel::bench
