#include "cli/json.h"

#include <algorithm>
#include <ostream>

#include "locmodel/util/unicode.h"

namespace locmodel::cli {

namespace {

// The inside of a JSON string.
void AppendEscaped(std::string& out, std::u16string_view text) {
  static const char kHex[] = "0123456789abcdef";
  for (char c : Utf16ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
}

}  // namespace

void AppendJsonString(std::string& out, std::u16string_view text) {
  out.push_back('"');
  AppendEscaped(out, text);
  out.push_back('"');
}

void WriteJsonString(std::ostream& out, std::u16string_view text) {
  constexpr size_t kSlice = size_t{1} << 16;
  std::string piece = "\"";
  while (!text.empty()) {
    size_t size = std::min(kSlice, text.size());
    // A surrogate pair stays in one slice.
    if (size < text.size() && (text[size - 1] & 0xFC00) == 0xD800) --size;
    AppendEscaped(piece, text.substr(0, size));
    text.remove_prefix(size);
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    piece.clear();
  }
  piece += '"';
  out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
}

void AppendHex(std::string& out, const unsigned char* bytes, size_t size) {
  static const char kHex[] = "0123456789abcdef";
  const size_t at = out.size();
  out.resize(at + 2 * size);
  for (size_t i = 0; i < size; ++i) {
    out[at + 2 * i] = kHex[bytes[i] >> 4];
    out[at + 2 * i + 1] = kHex[bytes[i] & 15];
  }
}

void AppendJsonCell(std::string& out, const std::optional<std::string_view>& cell) {
  if (!cell) {
    out += "null";
    return;
  }
  const std::u16string text = Utf8ToUtf16(*cell);
  if (Utf16ToUtf8(text) == *cell) {
    AppendJsonString(out, text);
  } else {
    out += "{\"hex\":\"";
    AppendHex(out, reinterpret_cast<const unsigned char*>(cell->data()), cell->size());
    out += "\"}";
  }
}

}  // namespace locmodel::cli
