// CEncoding: the character encoding of a file the tool reads or writes —
// a Windows code page, an encoding name, or "the ANSI code page of the
// language being written" (SelectAnsiByLang).
//
// For a given language it answers the code page to use, the name to open an
// ICU converter with and the IANA (MIME) name. Nothing here fails: unknown
// languages and names fall back as each operation states.
#pragma once

#include <string>

namespace Serial {
class ISerialStream;
}

class CEncoding {
 public:
  // The encoding is given by its name alone.
  static constexpr int InvalidCodepage = -3;
  // Code page -4 without a name: use the language's default ANSI code page.
  static const CEncoding SelectAnsiByLang;

  // Code page 0 (read as 1252): the placeholder a container builds before
  // it reads an element into it.
  CEncoding() : CEncoding(0) {}
  explicit CEncoding(int codepage) : codepage(codepage) {}
  explicit CEncoding(const std::u16string& name) : codepage(InvalidCodepage), encoding(name) {}

  bool operator==(const CEncoding& other) const {
    return codepage == other.codepage && encoding == other.encoding;
  }
  bool operator!=(const CEncoding& other) const { return !(*this == other); }
  // By code page (signed), then by name in code-unit order.
  bool operator<(const CEncoding& other) const {
    return codepage != other.codepage ? codepage < other.codepage : encoding < other.encoding;
  }

  // The language's ANSI code page for SelectAnsiByLang (0 for a language not
  // in the language map), otherwise the stored code page (-3 for a name).
  int getCodepage(int lang) const;
  std::u16string getEncoding() const { return encoding; }
  // The name itself, or the well-known name of the code page
  // ("shift_jis", "big5", ...), or "windows-<cp>" (code page 0 counts as 1252).
  std::u16string GetIcuName(int lang) const;
  // ICU's IANA name for GetIcuName(lang); empty when ICU has none, and for
  // a name holding a zero unit, which no converter bears.
  std::u16string GetIanaName(int lang) const;

  // The name, then the code page, as plain fields. Returns true.
  bool Do(Serial::ISerialStream& stream);

 protected:
  bool IsValidCodepage() const { return codepage != InvalidCodepage; }

 private:
  int codepage;
  std::u16string encoding;
};
