// The names both directions of the XLIFF interchange agree on.
#pragma once

namespace locmodel::xliff {

constexpr const char* kXliff20Namespace = "urn:oasis:names:tc:xliff:document:2.0";
constexpr const char* kXliff12Namespace = "urn:oasis:names:tc:xliff:document:1.2";
// The attribute of a unit that carries its translation's status word, in
// kXliffStatusNamespace (prefix "lm"): the 2.0 <segment> admits no foreign
// attributes, so it sits on the <unit> (1.2: the <trans-unit>).
constexpr const char* kStatusAttribute = "status";
// A group's id is its item's unit id after this prefix, so that an item that
// is both a group and a unit has two distinct ids, as XLIFF requires.
constexpr char kGroupPrefix = 'g';

}  // namespace locmodel::xliff
