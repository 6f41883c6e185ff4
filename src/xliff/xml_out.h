// A small buffered XML writer for the XLIFF export: markup goes out as
// given, text and attribute values are escaped on the way. Faster than a
// general writer because it knows the document is UTF-8 and escapes byte
// runs, not characters.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace locmodel::xliff {

class XmlOut {
 public:
  // What becomes of a character XML 1.0 cannot carry (a control other than
  // tab, line feed and carriage return, U+FFFE, U+FFFF).
  enum class Controls {
    Cp,       // <cp hex="…"/>, the XLIFF 2.0 element for it
    Refuse,   // the text is not written
    Replace,  // U+FFFD, for texts that are only shown (notes, names)
  };
  enum class Result { Ok, Control, Surrogate };

  explicit XmlOut(std::ostream& out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
  ~XmlOut() { Flush(); }
  XmlOut(const XmlOut&) = delete;
  XmlOut& operator=(const XmlOut&) = delete;

  XmlOut& Raw(std::string_view markup) {
    buffer_.append(markup);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  // Element content. An unpaired surrogate is refused unless `controls` is
  // Replace; on anything but Ok nothing was written.
  Result Text(std::u16string_view text, Controls controls);
  // ` name="value"`; the value cannot hold <cp>, so Cp acts as Replace.
  Result Attribute(std::string_view name, std::u16string_view value, Controls controls);

  void Flush();
  // False once the stream failed.
  bool ok() const { return out_.good(); }

 private:
  static constexpr size_t kFlushAt = 1 << 16;
  Result Escaped(std::u16string_view text, Controls controls, bool inAttribute);

  std::ostream& out_;
  std::string buffer_;
  std::string utf8_;  // reused conversion buffer
};

// Whether `text` needs xml:space="preserve" to keep its white space: a line
// break, a tab, a blank at either end or two blanks in a row.
bool NeedsPreserve(std::u16string_view text);

}  // namespace locmodel::xliff
