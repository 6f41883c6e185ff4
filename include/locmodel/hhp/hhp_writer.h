// Writing an .hhp file from a CHhpInfo: ToString's text with the line ends
// and the encoding the caller chooses.
//
// By default the bytes are exactly the UTF-8 of ToString(), without a byte
// order mark. The HTML Help compiler itself reads the ANSI code page of the
// project's language, usually with CRLF line ends: ask for
// CEncoding::SelectAnsiByLang (the code page of CHhpInfo::Language) and crlf.
//
// Nothing is ever substituted. A value no .hhp can hold is refused, naming
// the field: a line break (CR or LF) or a zero code unit in any text, or a
// double quote in a quoted window field. A character the encoding cannot
// represent (an unpaired surrogate included) is refused, naming it as
// U+XXXX and its line. Refusals are Status kMalformed, an encoding ICU does
// not know kBadArgument; the file is then not touched.
#pragma once

#include <string>

#include "locmodel/hhp/hhp_info.h"
#include "locmodel/lang/encoding.h"
#include "locmodel/util/status.h"

namespace locmodel {

struct HhpWriteOptions {
  bool crlf = false;
  // A code page, an ICU converter name, or SelectAnsiByLang.
  CEncoding encoding = CEncoding(u"utf-8");
};

// The reason `info` cannot be written as an .hhp ("Windows[1].TitleBarText
// holds a double quote"), or empty when it can.
std::string HhpRefusal(const CHhpInfo& info);

// The file's bytes in `bytes` (replaced; left empty on failure).
Status EncodeHhp(const CHhpInfo& info, const HhpWriteOptions& options, std::string& bytes);

// Writes the file whole or not at all (util/file_util.h ReplaceFileWith).
Status WriteHhpFile(const CHhpInfo& info, const std::u16string& path,
                    const HhpWriteOptions& options = {});

}  // namespace locmodel
