// The binary text encoding of SQLite 2.8, written from its description.
#include "storage/sqlite_api.h"

namespace locmodel::sqlite_api {
namespace {
constexpr int kEscape = 0x01;
constexpr int kQuote = 0x27;
}  // namespace

int sqlite_encode_binary(const unsigned char* in, int n, unsigned char* out) {
  if (n <= 0) {
    out[0] = 'x';
    out[1] = 0;
    return 1;
  }
  int count[256] = {};
  for (int i = 0; i < n; ++i) ++count[in[i]];
  // With offset e the bytes e, e + 1 and e + quote need an escape. The
  // lowest offset with the fewest wins; there is always one below n, since
  // the 254 candidates share 3 × n escapes.
  int offset = 1;
  int fewest = n + 1;
  for (int e = 1; e < 256; ++e) {
    if (e == kQuote) continue;
    const int escapes = count[e] + count[(e + 1) & 0xFF] + count[(e + kQuote) & 0xFF];
    if (escapes < fewest) {
      fewest = escapes;
      offset = e;
      if (escapes == 0) break;
    }
  }
  out[0] = static_cast<unsigned char>(offset);
  int j = 1;
  for (int i = 0; i < n; ++i) {
    const int c = (in[i] - offset) & 0xFF;
    if (c == 0 || c == kEscape || c == kQuote) {
      out[j++] = kEscape;
      out[j++] = static_cast<unsigned char>(c == 0 ? 1 : c == kEscape ? 2 : 3);
    } else {
      out[j++] = static_cast<unsigned char>(c);
    }
  }
  out[j] = 0;
  return j;
}

int sqlite_decode_binary(const unsigned char* in, unsigned char* out) {
  const int offset = in[0];
  if (offset == 0) return 0;
  int size = 0;
  for (const unsigned char* p = in + 1; *p; ++p) {
    int c = *p;
    if (c == kEscape) {
      // The terminator ends an escape cut short, and the text with it.
      switch (*++p) {
        case 1: c = 0; break;
        case 2: c = kEscape; break;
        case 3: c = kQuote; break;
        default: return -1;
      }
    }
    out[size++] = static_cast<unsigned char>((c + offset) & 0xFF);
  }
  return size;
}

}  // namespace locmodel::sqlite_api
