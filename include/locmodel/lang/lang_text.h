// Small text operations around languages: identifier lists, the host's
// string resources, and decoding of stored UTF-8 strings.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace locmodel {

// Makes a table of string resources (id -> text) visible to L and LA. Tables
// are searched in registration order and the first one holding an id wins.
// Hosts register their tables at start-up, before other threads call L.
void RegisterStringTable(std::map<int, std::u16string> table);
// Forgets every registered table (a host unloading its resources).
void ClearStringTables();

}  // namespace locmodel

// "1033, 1031": the identifiers in decimal, joined by ", ". An empty list
// leaves `out` unchanged.
void GetLngStr(std::u16string& out, const std::vector<int>& langs);

// The string resource `id`, empty when no registered table holds it.
std::u16string L(int id);
// The same, as UTF-8.
std::string LA(int id);

// `out` = the UTF-8 text `utf8` decoded up to its terminator; when `utf8` is
// null or empty, `def` (or empty when `def` is null). The last parameter is
// kept for callers that pass it and has no effect.
void LoadStr(const char* utf8, std::u16string& out, const char16_t* def, bool = false);
// LoadStr with the default "#", the text of an unnamed resource identifier.
void LoadResId(const char* utf8, std::u16string& out);
