// The JSON the tool prints: compact, UTF-8, strings escaped exactly as
// Python's json.dumps(s, ensure_ascii=False) escapes them, so that scripts
// can compare outputs byte for byte.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace locmodel::cli {

// Appends `text` as a JSON string; an unpaired surrogate becomes U+FFFD.
void AppendJsonString(std::string& out, std::u16string_view text);
// The same written to `out` in slices, so that a long text is never held a
// second time, whole, in UTF-8.
void WriteJsonString(std::ostream& out, std::u16string_view text);
// Appends the lowercase hex of the bytes.
void AppendHex(std::string& out, const unsigned char* bytes, size_t size);
// Appends a stored database cell so that every byte shows: a JSON string
// when the bytes are UTF-8, {"hex":"<lowercase hex>"} when not, null for
// NULL.
void AppendJsonCell(std::string& out, const std::optional<std::string_view>& cell);

}  // namespace locmodel::cli
