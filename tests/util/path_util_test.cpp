#include "locmodel/util/path_util.h"

#include <gtest/gtest.h>

TEST(PathUtil, NormalizeKeepsTheFirstCharacterAndHalvesBackslashPairs) {
  EXPECT_EQ(NormalizePath(u"C:/a//b\\"), u"C:\\a\\b");
  EXPECT_EQ(NormalizePath(u"\\\\server\\share"), u"\\\\server\\share");
  EXPECT_EQ(NormalizePath(u"//server/share"), u"/\\server\\share");
  EXPECT_EQ(NormalizePath(u"a\\\\\\b"), u"a\\\\b");  // one pass: three give two
  EXPECT_EQ(NormalizePath(u"a////b"), u"a\\\\b");
  EXPECT_EQ(NormalizePath(u"\\"), u"");
  EXPECT_EQ(NormalizePath(u"/"), u"/");
  EXPECT_EQ(NormalizePath(u""), u"");
}

TEST(PathUtil, CanonicalizeResolvesDotsButNeverClimbsAboveTheRoot) {
  EXPECT_EQ(CanonicalizePath(u"C:\\one\\.\\..\\two\\three\\.."), u"C:\\two");
  EXPECT_EQ(CanonicalizePath(u"C:\\..\\x"), u"C:\\x");
  EXPECT_EQ(CanonicalizePath(u"\\\\srv\\share\\..\\..\\x"), u"\\\\srv\\share\\x");
  EXPECT_EQ(CanonicalizePath(u"/home/a/../b/./c"), u"/home\\b\\c");
  EXPECT_EQ(CanonicalizePath(u"/../x"), u"/x");
  EXPECT_EQ(CanonicalizePath(u"..\\a\\..\\..\\b"), u"..\\..\\b");  // leading ".." stay
  EXPECT_EQ(CanonicalizePath(u"a/../b"), u"b");
  EXPECT_EQ(CanonicalizePath(u"C:x\\..\\..\\y"), u"C:..\\y");
  EXPECT_EQ(CanonicalizePath(u"C:\\"), u"C:");
}

TEST(PathUtil, IsPathAbsolute) {
  for (const char16_t* p : {u"C:\\x", u"\\\\server\\x", u"C:", u"/home/x", u"x:\\"})
    EXPECT_TRUE(IsPathAbsolute(p)) << std::string(p, p + std::char_traits<char16_t>::length(p));
  for (const char16_t* p : {u"x\\y", u"\\x", u"C:x", u"", u"C", u"C:/x"})
    EXPECT_FALSE(IsPathAbsolute(p));
}

TEST(PathUtil, GetAbsolutePath) {
  EXPECT_EQ(GetAbsolutePath(u"C:\\a\\", u"..\\b"), u"C:\\b");
  EXPECT_EQ(GetAbsolutePath(u"C:\\a", u"<OutputDir>\\..\\x"), u"<OutputDir>\\..\\x");
  EXPECT_EQ(GetAbsolutePath(u"C:\\a", u"D:\\x\\.\\y"), u"D:\\x\\y");
  EXPECT_EQ(GetAbsolutePath(u"/home/p", u"/opt/x"), u"/opt\\x");
  EXPECT_EQ(GetAbsolutePath(u"/home/p/", u"../q/r.rc"), u"/home\\q\\r.rc");
}

TEST(PathUtil, GetRelativePath) {
  EXPECT_EQ(GetRelativePath(u"c:\\a\\b\\path", u"c:\\a\\x\\y\\file"), u"..\\..\\x\\y\\file");
  EXPECT_EQ(GetRelativePath(u"C:\\Proj\\", u"c:\\proj\\res\\a.rc"), u".\\res\\a.rc");
  EXPECT_EQ(GetRelativePath(u"c:\\a\\b", u"c:\\a"), u"..");
  EXPECT_EQ(GetRelativePath(u"c:\\a", u"C:\\A"), u".");
  EXPECT_EQ(GetRelativePath(u"\\\\srv\\share\\a", u"\\\\SRV\\share\\b"), u"..\\b");
  // Rooted at "/": exact comparison, so other case means other folders.
  EXPECT_EQ(GetRelativePath(u"/home/p", u"/home/P/x"), u"..\\P\\x");
  EXPECT_EQ(GetRelativePath(u"/home/p", u"/home/p/src/x.rc"), u".\\src\\x.rc");
  // Roots that differ: the path comes back unchanged.
  EXPECT_EQ(GetRelativePath(u"c:\\a", u"d:\\a\\x"), u"d:\\a\\x");
  EXPECT_EQ(GetRelativePath(u"\\\\one\\s\\a", u"\\\\two\\s\\a"), u"\\\\two\\s\\a");
  EXPECT_EQ(GetRelativePath(u"c:\\a", u"rel\\x"), u"rel\\x");
}

TEST(PathUtil, AppendAndTrailingSlash) {
  EXPECT_EQ(SafePathAppend(u"C:\\a\\\\", u"b"), u"C:\\a\\b");
  EXPECT_EQ(SafePathAppend(u"", u"b"), u"\\b");
  EXPECT_EQ(DeleteLastSlash(u"C:\\a\\"), u"C:\\a");
  EXPECT_EQ(DeleteLastSlash(u"C:\\a\\\\"), u"C:\\a\\");
  EXPECT_EQ(DeleteLastSlash(u"C:\\"), u"C:\\");
  EXPECT_EQ(DeleteLastSlash(u"\\"), u"\\");
  EXPECT_EQ(ToNativePath(u"a\\b/c\\"), u"a/b/c/");
}

TEST(PathUtil, SplitsDriveDirectoryNameAndExtension) {
  EXPECT_EQ(ExtractFileName(u"C:\\d\\file.txt"), u"file");
  EXPECT_EQ(ExtractFileExt(u"C:\\d\\file.txt"), u".txt");
  EXPECT_EQ(ExtractFileDir(u"C:\\d\\file.txt"), u"C:\\d\\");
  EXPECT_EQ(ExtractFileDir(u"C:file.txt"), u"C:");
  EXPECT_EQ(ExtractFileDir(u"/usr/bin/tool"), u"/usr/bin/");
  EXPECT_EQ(ExtractFileExt(u"a.d/noext"), u"");  // a point in a folder is no extension
  EXPECT_EQ(ExtractFileName(u"a.d/noext"), u"noext");
  EXPECT_EQ(ExtractFileName(u"x/.hidden"), u"");
  EXPECT_EQ(ExtractFileExt(u"x/.hidden"), u".hidden");
  EXPECT_EQ(ExtractFileExt(u"x/a.tar.gz"), u".gz");
  EXPECT_EQ(ExtractFileDir(nullptr), u"");
  const std::u16string longName(5000, u'n');  // no fixed buffers
  EXPECT_EQ(ExtractFileName((u"C:\\" + longName + u".e").c_str()), longName);
}
