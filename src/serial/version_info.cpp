#include "locmodel/serial/version_info.h"

#include <cstdio>

#include "locmodel/serial/values.h"
#include "locmodel/util/unicode.h"

namespace Serial {
namespace {

// One "%d" of scanf: optional blanks, an optional sign, at least one digit.
bool ScanInt(const std::u16string& text, size_t& pos, uint32_t& out) {
  size_t i = pos;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  const size_t digits = i;
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    value = (value * 10 + (text[i] - u'0')) & 0xFFFFFFFFu;
  if (i == digits) return false;
  out = static_cast<uint32_t>(negative ? 0u - value : value);
  pos = i;
  return true;
}

}  // namespace

bool VersionInfo::operator<(const VersionInfo& o) const {
  if (major_ != o.major_) return major_ < o.major_;
  if (minor_ != o.minor_) return minor_ < o.minor_;
  if (build_ != o.build_) return build_ < o.build_;
  return subBuild_ < o.subBuild_;
}

std::u16string VersionInfo::ToString() const {
  // The numbers print as signed, as "%d" does.
  char text[64];
  if (subBuild_ != 0) {
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(major_),
                  static_cast<int>(minor_), static_cast<int>(build_), static_cast<int>(subBuild_));
  } else {
    std::snprintf(text, sizeof text, "%d.%d.%d", static_cast<int>(major_),
                  static_cast<int>(minor_), static_cast<int>(build_));
  }
  return locmodel::Utf8ToUtf16(text);
}

VersionInfo VersionInfo::FromString(const std::u16string& text) {
  VersionInfo version = UNDEFINED_SCHEME_VERSION;
  uint32_t* parts[] = {&version.major_, &version.minor_, &version.build_, &version.subBuild_};
  size_t pos = 0;
  for (size_t k = 0; k < 4; ++k) {
    if (k > 0 && (pos >= text.size() || text[pos++] != u'.')) break;
    if (!ScanInt(text, pos, *parts[k])) break;
  }
  return version;
}

bool VersionInfo::Do(ISerialStream& stream) {
  static const NodeName names[] = {NodeName(u"Major"), NodeName(u"Minor"), NodeName(u"Build"),
                                   NodeName(u"SubBuild")};
  uint32_t* parts[] = {&major_, &minor_, &build_, &subBuild_};
  for (size_t k = 0; k < 4; ++k) {
    if (stream.EnterNode(names[k])) {
      unsigned int value = *parts[k];
      if (Serial::Do(stream, value)) *parts[k] = value;
      stream.LeaveNode();
    }
  }
  return true;
}

}  // namespace Serial
