// What the language subcommands share: reading a LANG argument and printing
// a language-table row as JSON.
#pragma once

#include <optional>
#include <string>

#include "locmodel/lang/lang_map.h"

namespace locmodel::cli {

// The language value LANG names: decimal, 0x-hexadecimal (brand bits
// allowed) or a culture name in any case. Null when it names no row of the
// language table.
std::optional<int> ParseLang(const std::string& text);

// {"id":N,"culture":S,...,"rtl":B without the closing brace, so that callers
// can add members.
void AppendLangRowJson(std::string& out, int id, const CLangDescr& row);

}  // namespace locmodel::cli
