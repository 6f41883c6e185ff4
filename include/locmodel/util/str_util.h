// Small text services the whole tool shares: the escape-code display of
// control characters, the unified form of resource identifiers, escaping for
// XML, HTML, SQL literals and BlackBerry resource files, wildcard matching,
// case mapping, trimming, truncation, random identifiers and the
// zero-terminated buffer conversions between UTF-16 and UTF-8.
//
// Everything here is stateless apart from fixed tables; nothing fails on
// malformed text. The only error raised is std::out_of_range from
// CStrUtil::MakeLower/MakeUpper for an index outside the text.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------
// Resource identifiers.
//
// A Windows resource is named either by a 16-bit number or by a text. As on
// that platform, a numeric identifier travels in a `const char16_t*` whose
// pointer value is the number (always below 0x10000, where no real text can
// live); any other pointer is a zero-terminated name.
//
// The unified text form stores both kinds in one string: "#101" for the
// number 101, "@DIALOG1" for the name DIALOG1. A name without its "@" is
// accepted wherever a unified text is read.
// ---------------------------------------------------------------------------

namespace locmodel {

// True when `res` carries a numeric identifier rather than a text.
inline bool IsIntResource(const char16_t* res) {
  return reinterpret_cast<uintptr_t>(res) < 0x10000;
}

// The pointer value that carries the numeric identifier `id`.
inline char16_t* MakeIntResource(uint16_t id) {
  return reinterpret_cast<char16_t*>(static_cast<uintptr_t>(id));
}

// Frees a buffer returned by UnicodeToUTF8, UTF8ToUnicode, UnicodeToAnsi,
// Unified2Res or ReadFile (file_util.h). Null and numeric identifiers
// (values below 0x10000) are ignored, so the result of Unified2Res can
// always be handed back here. Never delete[] these buffers.
void ReleaseBuffer(const void* buffer);

// ReleaseBuffer as a std::unique_ptr deleter, for every buffer above:
//   std::unique_ptr<char[], locmodel::BufferDeleter> utf8(UnicodeToUTF8(s, nullptr));
struct BufferDeleter {
  void operator()(const void* buffer) const { ReleaseBuffer(buffer); }
};

}  // namespace locmodel

// "#<id>", of the low 32 bits (a resource identifier is 32 bits wide).
std::u16string ToUnifiedFmt(unsigned long id);
// "#<low 16 bits>" for a numeric identifier, "@<text>" for a name.
std::u16string ToUnifiedFmt(const char16_t* res);
// Any other integer is a number too, so that ToUnifiedFmt(0) is "#0" rather
// than a choice between the two above.
template <std::integral Int>
std::u16string ToUnifiedFmt(Int id) {
  return ToUnifiedFmt(static_cast<unsigned long>(id));
}
// The unified form of a resource identifier of either kind.
std::u16string Res2Unified(const char16_t* res);
// The resource identifier of a unified text: a numeric identifier (the low
// 16 bits of the number after "#") or a newly allocated copy of the name,
// which the caller frees with locmodel::ReleaseBuffer (never delete[]).
void Unified2Res(const std::u16string& unified, char16_t*& res);
// True when `s` names a text identifier (its first character is not "#").
bool IsStrUnified(const char16_t* s);
// The decimal number after the first character of `s`: leading blanks and a
// sign allowed, parsed in 64 bits and truncated to 32. 0 for an empty `s`.
unsigned long NumFromUnified(const char16_t* s);
// `s` without a leading "@".
std::u16string StrFromUnified(const char16_t* s);
// False when `s` does not begin with "#"; otherwise `id` receives the number.
bool IdFromString(const char16_t* s, unsigned long& id);
// The identifier as the user interface shows it: "101" for "#101", the bare
// name for a text identifier.
std::u16string ResIdToGui(const std::u16string& unified);

// ---------------------------------------------------------------------------
// Escape codes: how control characters are shown in an edit field. BEL, BS,
// FF, LF, CR, TAB and VT are written as \a \b \f \n \r \t \v and a literal
// backslash as "\\", so HideEscapeCodes(ShowEscapeCodes(s)) == s for every s.
// ---------------------------------------------------------------------------

std::u16string ShowEscapeCodes(const std::u16string& s);
// Each run of k backslashes gives k / 2 backslashes; an odd run escapes the
// next character (a table letter gives its control character, any other
// character stands for itself). An odd run at the very end is dropped.
std::u16string HideEscapeCodes(const std::u16string& s);
// Formatting symbols are shown as they are: `s` unchanged.
std::u16string ShowFormattingSymols(const std::u16string& s);
// `s` with every apostrophe doubled, for an SQL string literal.
std::u16string DuplicateSpecChar(const char16_t* s);
// The unified form ("@" + HideEscapeCodes(gui)) of a name typed by the user.
std::u16string GuiStrToStr(const std::u16string& gui);
// The editable display of a unified text identifier; empty for a number.
std::u16string StrToGuiStr(const std::u16string& unified);

// ---------------------------------------------------------------------------
// Zero-terminated buffer conversions. Each result is newly allocated and is
// freed with locmodel::ReleaseBuffer or held by a std::unique_ptr with
// locmodel::BufferDeleter (never delete[]). They never fail: malformed units become
// U+FFFD. "ANSI" is UTF-8 on this platform.
// ---------------------------------------------------------------------------

// The UTF-8 form of `s` with its terminator; `*len` (when `len` is given)
// receives the bytes written including the terminator. Null `s` is empty.
char* UnicodeToUTF8(const char16_t* s, int* len);
// The UTF-16 form of the `len` bytes at `s`, always zero-terminated (a zero
// byte inside the bytes is converted like any other). A negative `len`
// means `s` is zero-terminated.
char16_t* UTF8ToUnicode(const char* s, int len);
// The ANSI form of `s` with its terminator.
char* UnicodeToAnsi(const char16_t* s);

// ---------------------------------------------------------------------------
// CStrUtil
// ---------------------------------------------------------------------------

class CStrUtil {
 public:
  CStrUtil() = delete;

  // [start, end) is `s` without leading and trailing blanks, CR, TAB and LF;
  // both are the length for a text of whitespace only.
  static void TrimWhitespaces(const std::u16string& s, int& start, int& end);

  // Simple per-code-unit case mapping (ICU u_tolower/u_toupper) of every
  // unit when `index` is -1, otherwise of the unit at `index` alone.
  // Throws std::out_of_range for any other index outside the text.
  static void MakeLower(std::u16string& s, int index = -1);
  static void MakeUpper(std::u16string& s, int index = -1);

  // Whole-text match; "*" matches any run (also empty), "?" one code unit.
  // When the rest of the pattern fails, the segment after the most recent
  // "*" is retried one position later; there is no deeper backtracking, so
  // a match costs at most O(text * pattern).
  static bool WildcardMatch(const std::u16string& text, const std::u16string& pattern,
                            bool ignoreCase);

  // `length` letters A-Z from a private generator seeded with the monotonic
  // millisecond tick at each call: two calls in the same millisecond give
  // the same text. Meant for unique-enough names, not for secrets.
  static std::u16string RandomStr(int length);

  // "<", ">", "&" and '"' as "&lt;", "&gt;", "&amp;", "&quot;".
  static std::u16string EscapeXMLString(const std::u16string& s);
  // Every code unit as "&#<decimal>;", letters included.
  static std::u16string SafeHTMLText(const std::u16string& s);
  // The first max - 3 units and "..." when `s` is longer than max - 3.
  static std::u16string TruncLongString(const std::u16string& s, int max);

  // BlackBerry resource strings: '"' and '\' are backslash-escaped, FF, LF,
  // CR and TAB become \f \n \r \t; with `escapeNonAscii` every other unit
  // below 32 or from 127 up becomes "\u" and four lower-case hex digits.
  static std::u16string EscapeBlackberryStr(const std::u16string& s, bool escapeNonAscii);
  // The inverse. "\u" takes up to four hex digits and yields a character
  // only when it got all four; a backslash before any other character is
  // dropped, and a final lone backslash kept.
  static std::u16string UnescapeBlackberryStr(const std::u16string& s);
};
