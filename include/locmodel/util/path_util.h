// Path text: normalization, "." and ".." resolution, absolute and relative
// forms, and the drive/directory/name/extension split.
//
// Project data carries Windows paths ("C:\proj\res\a.rc", "\\server\share",
// "<placeholders>"), so these functions keep the Windows rules: results use
// "\" and drive letters and UNC names are roots. They never touch the file
// system. Hosts that hand a result to native code convert it with
// ToNativePath. A null `const char16_t*` counts as an empty path.
//
// Two rules differ from the Windows originals because Linux projects write
// native paths:
// - IsPathAbsolute is also true for a path beginning with "/" (otherwise
//   GetAbsolutePath("/home/p", "/opt/x") would glue the two together);
// - CanonicalizePath resolves "." and ".." between either separator.
#pragma once

#include <string>

// The first character of `p` unchanged; in the rest every "/" becomes "\"
// and then every pair of backslashes one backslash (one left-to-right pass,
// so three become two); finally one trailing backslash goes, even when it
// is the first character ("\" gives "").
std::u16string NormalizePath(const std::u16string& p);

// Removes "." parts, and each ".." with the part before it, but never the
// root ("X:\", "\\server\share", a leading "\" or "/"): "C:\..\x" is
// "C:\x". Leading ".." parts of a relative path stay. Then NormalizePath.
std::u16string CanonicalizePath(const std::u16string& p);

// True for "C:\x" (":\" anywhere), "\\server\x", a bare drive "C:" and a
// path beginning with "/"; false for "x\y", "\x" and "C:x".
bool IsPathAbsolute(const std::u16string& p);

// `p` unchanged when it contains "<" (a placeholder, not a path); else
// CanonicalizePath of `p` when absolute, or of NormalizePath(baseDir) + "\"
// + `p`.
std::u16string GetAbsolutePath(const std::u16string& baseDir, const std::u16string& p);

// The path from the directory `baseDir` to `p`: one "..\" per part of the
// base beyond the common ones, then the rest of `p`; ".\" in front when `p`
// lies inside the base ("." when they are the same). Parts compare without
// case for Windows paths and exactly for paths rooted at "/". `p` unchanged
// when the roots differ (other drives, other UNC servers, absolute against
// relative).
std::u16string GetRelativePath(const std::u16string& baseDir, const std::u16string& p);

// `dir` without all its trailing backslashes, one "\", then `name`.
std::u16string SafePathAppend(const std::u16string& dir, const std::u16string& name);

// `p` without one trailing "\", except from a root ("C:\", "\").
std::u16string DeleteLastSlash(const std::u16string& p);

// The split of a path into drive ("X:"), directory (up to and including the
// last "\" or "/"), name and extension (from the last "." of the name).
// ExtractFileDir gives drive and directory, so it keeps its trailing
// separator; ExtractFileName the name without extension; ExtractFileExt the
// extension with its ".". None truncates.
std::u16string ExtractFileDir(const char16_t* p);
std::u16string ExtractFileName(const char16_t* p);
std::u16string ExtractFileExt(const char16_t* p);

// `p` with every "\" turned into "/", for hosts handing a result to code
// that wants native paths.
std::u16string ToNativePath(const std::u16string& p);
