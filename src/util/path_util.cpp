#include "locmodel/util/path_util.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

using View = std::u16string_view;

bool IsSep(char16_t c) { return c == u'\\' || c == u'/'; }

enum class Root {
  None,      // relative: "a\b"
  Drive,     // "C:" without a separator, relative to that drive's directory
  DriveSep,  // "C:\"
  Unc,       // "\\server\share"
  Sep,       // "\" or "/"
};

// A path taken apart: its root, as written, and its non-empty parts.
struct Parts {
  Root kind = Root::None;
  View root;
  std::vector<View> parts;
};

Parts Split(View p) {
  Parts out;
  out.parts.reserve(16);
  size_t i = 0;
  if (p.size() >= 2 && p[1] == u':') {
    i = p.size() >= 3 && IsSep(p[2]) ? 3 : 2;
    out.kind = i == 3 ? Root::DriveSep : Root::Drive;
  } else if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
    // Server and share belong to the root: ".." never climbs above them.
    i = 2;
    for (int names = 0; names < 2 && i < p.size(); ++names) {
      if (names == 1) ++i;  // the separator between server and share
      while (i < p.size() && !IsSep(p[i])) ++i;
    }
    out.kind = Root::Unc;
  } else if (!p.empty() && IsSep(p[0])) {
    i = 1;
    out.kind = Root::Sep;
  }
  out.root = p.substr(0, i);
  while (i < p.size()) {
    size_t end = i;
    while (end < p.size() && !IsSep(p[end])) ++end;
    if (end > i) out.parts.push_back(p.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

// The root as written, then the parts joined by "\".
std::u16string Join(const Parts& split, size_t first = 0) {
  std::u16string out;
  out.reserve(64);
  out += split.root;
  bool needSep = split.kind == Root::Unc;
  for (size_t i = first; i < split.parts.size(); ++i) {
    if (needSep) out += u'\\';
    out += split.parts[i];
    needSep = true;
  }
  return out;
}

bool SameUnit(char16_t a, char16_t b, bool exact) {
  return a == b || (!exact && u_toupper(a) == u_toupper(b));
}

bool SameText(View a, View b, bool exact) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [exact](char16_t x, char16_t y) { return SameUnit(x, y, exact); });
}

// Roots agree when they are of one kind and, separators aside, equal.
bool SameRoot(const Parts& a, const Parts& b, bool exact) {
  if (a.kind != b.kind || a.root.size() != b.root.size()) return false;
  for (size_t i = 0; i < a.root.size(); ++i) {
    const char16_t x = a.root[i], y = b.root[i];
    if (!(IsSep(x) && IsSep(y)) && !SameUnit(x, y, exact)) return false;
  }
  return true;
}

// Positions of the drive/directory/name/extension split.
struct FileSplit {
  size_t dirEnd;   // drive and directory: [0, dirEnd)
  size_t nameEnd;  // name: [dirEnd, nameEnd), extension: [nameEnd, end)
};

FileSplit SplitFile(View p) {
  const size_t drive = p.size() >= 2 && p[1] == u':' ? 2 : 0;
  size_t dirEnd = drive;
  for (size_t i = drive; i < p.size(); ++i)
    if (IsSep(p[i])) dirEnd = i + 1;
  const size_t dot = p.find_last_of(u'.');
  const size_t nameEnd = dot != View::npos && dot >= dirEnd ? dot : p.size();
  return {dirEnd, nameEnd};
}

View ViewOf(const char16_t* p) { return p ? View(p) : View(); }

}  // namespace

std::u16string NormalizePath(const std::u16string& p) {
  if (p.empty()) return p;
  auto unit = [&p](size_t i) { return p[i] == u'/' ? u'\\' : p[i]; };
  std::u16string out;
  out.reserve(p.size());
  out += p[0];
  for (size_t i = 1; i < p.size(); ++i) {
    const char16_t c = unit(i);
    out += c;
    if (c == u'\\' && i + 1 < p.size() && unit(i + 1) == u'\\') ++i;  // a pair gives one
  }
  if (out.back() == u'\\') out.pop_back();
  return out;
}

std::u16string CanonicalizePath(const std::u16string& p) {
  Parts split = Split(p);
  const bool rooted = split.kind != Root::None && split.kind != Root::Drive;
  size_t kept = 0;  // parts[0, kept) is the resolved path so far
  for (size_t i = 0; i < split.parts.size(); ++i) {
    const View part = split.parts[i];
    if (part == u".") continue;
    if (part == u"..") {
      if (kept > 0 && split.parts[kept - 1] != u"..") {
        --kept;
        continue;
      }
      if (rooted) continue;  // nothing above the root
    }
    split.parts[kept++] = part;
  }
  split.parts.resize(kept);
  return NormalizePath(Join(split));
}

bool IsPathAbsolute(const std::u16string& p) {
  return p.find(u":\\") != std::u16string::npos || p.compare(0, 2, u"\\\\") == 0 ||
         (p.size() == 2 && p[1] == u':') || (!p.empty() && p[0] == u'/');
}

std::u16string GetAbsolutePath(const std::u16string& baseDir, const std::u16string& p) {
  if (p.find(u'<') != std::u16string::npos) return p;
  if (IsPathAbsolute(p)) return CanonicalizePath(p);
  return CanonicalizePath(NormalizePath(baseDir) + u'\\' + p);
}

std::u16string GetRelativePath(const std::u16string& baseDir, const std::u16string& p) {
  const Parts base = Split(baseDir), target = Split(p);
  const bool exact = base.root.starts_with(u'/') || target.root.starts_with(u'/');
  if (!SameRoot(base, target, exact)) return p;
  size_t common = 0;
  while (common < base.parts.size() && common < target.parts.size() &&
         SameText(base.parts[common], target.parts[common], exact))
    ++common;
  std::u16string out;
  for (size_t i = common; i < base.parts.size(); ++i) out += u"..\\";
  if (out.empty()) out = u".\\";
  for (size_t i = common; i < target.parts.size(); ++i) {
    out += target.parts[i];
    out += u'\\';
  }
  out.pop_back();  // a result always begins with ".", never with a backslash
  return out;
}

std::u16string SafePathAppend(const std::u16string& dir, const std::u16string& name) {
  const size_t end = dir.find_last_not_of(u'\\');
  std::u16string out = dir.substr(0, end == std::u16string::npos ? 0 : end + 1);
  out += u'\\';
  out += name;
  return out;
}

std::u16string DeleteLastSlash(const std::u16string& p) {
  const bool root = p == u"\\" || (p.size() == 3 && p[1] == u':' && p[2] == u'\\');
  if (root || p.empty() || p.back() != u'\\') return p;
  return p.substr(0, p.size() - 1);
}

std::u16string ExtractFileDir(const char16_t* p) {
  const View path = ViewOf(p);
  return std::u16string(path.substr(0, SplitFile(path).dirEnd));
}

std::u16string ExtractFileName(const char16_t* p) {
  const View path = ViewOf(p);
  const FileSplit split = SplitFile(path);
  return std::u16string(path.substr(split.dirEnd, split.nameEnd - split.dirEnd));
}

std::u16string ExtractFileExt(const char16_t* p) {
  const View path = ViewOf(p);
  return std::u16string(path.substr(SplitFile(path).nameEnd));
}

std::u16string ToNativePath(const std::u16string& p) {
  std::u16string out = p;
  std::replace(out.begin(), out.end(), u'\\', u'/');
  return out;
}
