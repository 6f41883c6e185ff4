// What the language subcommands share: reading a LANG argument and printing
// a language-table row as JSON; and what the commands that work at a
// project item share: its LANG arguments and its output languages.
#pragma once

#include <optional>
#include <string>

#include "locmodel/lang/lang_map.h"

class CResItem;

namespace locmodel::cli {

// The language value LANG names: decimal, 0x-hexadecimal (brand bits
// allowed) or a culture name in any case. Null when it names no row of the
// language table.
std::optional<int> ParseLang(const std::string& text);

// {"id":N,"culture":S,...,"rtl":B without the closing brace, so that callers
// can add members.
void AppendLangRowJson(std::string& out, int id, const CLangDescr& row);

// LANG of the project commands: a decimal or 0x-hex identifier (brand bits
// included, any value, even one with no row in the language table), or a
// culture name (brand 0). Null when it is neither.
std::optional<int> ParseProjectLang(const std::string& text);

// More output languages than this are refused before they are computed.
inline constexpr unsigned long long kMaxOutputLangs = 100000;
// The number of languages CPrjConfig::GetAllOutputLangs(item, brand) would
// return, at most, computed without building them.
unsigned long long OutputBound(const CResItem& item, unsigned char brand);

}  // namespace locmodel::cli
