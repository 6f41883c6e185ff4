// MacrosUtil: named placeholders ("$(CultureName)") in output path patterns
// and database templates, replaced by their values.
//
// A macro map goes from placeholder text to replacement text. Replacements
// may hold further placeholders; expansion repeats until nothing changes.
// Maps come from users' configuration, so a map that never settles
// ("$(A)" -> "$(A)$(A)") must neither loop nor eat memory: expansion stops
// after kMaxPasses passes, and a replacement that would make the text longer
// than kMaxLength code units (or the input's own length, if longer) is not
// made, which ends the expansion with the text as it stood.
#pragma once

#include <cstddef>
#include <map>
#include <string>

class MacrosUtil {
 public:
  using Map = std::map<std::u16string, std::u16string>;

  static constexpr int kMaxPasses = 32;                // real maps settle in two or three
  static constexpr size_t kMaxLength = size_t{1} << 20;  // far beyond any path or template

  // `text` with the placeholders of `macros` replaced. Each pass replaces,
  // for each placeholder in ascending order, every occurrence (case-
  // sensitive, left to right, non-overlapping); passes repeat until one
  // changes nothing, within the bounds above. Empty placeholders are ignored.
  static std::u16string ApplyMacrosMap(const std::u16string& text, const Map& macros);

  // `first` with every entry of `second` set (`second` wins on a clash).
  static Map Merge(const Map& first, const Map& second);
};
