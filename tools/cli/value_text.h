// Property names and values as one word of a command line, in both
// directions, so that `config get` prints what `config set` reads back.
//
// NAME: a textual name as it is, with one "@" in front when it is empty or
// begins with "#" or "@"; a numeric name as "#<number>". CPropName's
// FromString reads every printed name back.
//
// VALUE: strings as they are; booleans as true/false (1/0 read too);
// numbers in decimal (0x hex read too, range-checked); SRX stores as the
// SRX document CSRXStore saves (read back from "@FILE"); every other class
// as the JSON value of prop_json.h.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CProp;
class CPropClass;
class CPropName;

namespace locmodel::cli {

// A 32-bit integer: signed decimal, or 0x hex up to 0xFFFFFFFF read as its
// bit pattern (language identifiers with their brand bits). Null when
// malformed or out of range.
std::optional<int> ParseInt32(std::string_view text);

std::string PropNameText(const CPropName& name);
CPropName ParsePropName(std::string_view text);

// The text form of `value`; false (nothing appended) for a class that has
// none.
bool AppendValueText(std::string& out, const CProp& value);

// A new value of `valueClass` read from its text form; null, with `reason`
// set, when `text` does not parse or lies out of range, or the class has no
// text form. An SRX store is loaded from the file named after "@".
std::unique_ptr<CProp> ParseValueText(const CPropClass& valueClass, std::string_view text,
                                      std::string& reason);

}  // namespace locmodel::cli
