#include "locmodel/util/path_util.h"

#include <gtest/gtest.h>

#include "support/rows.h"

using testing_support::ExpectRows;
using testing_support::ExpectRows2;

// Normalizing keeps the first character and halves backslash pairs in one
// pass; canonicalizing resolves dots but never climbs above the root.
TEST(PathUtil, NormalizeAndCanonicalize) {
  ExpectRows(NormalizePath, {{u"C:/a//b\\", u"C:\\a\\b"}, {u"\\\\server\\share", u"\\\\server\\share"},
                             {u"//server/share", u"/\\server\\share"}, {u"a\\\\\\b", u"a\\\\b"},
                             {u"a////b", u"a\\\\b"}, {u"\\", u""}, {u"/", u"/"}, {u"", u""}});
  ExpectRows(CanonicalizePath,
             {{u"C:\\one\\.\\..\\two\\three\\..", u"C:\\two"}, {u"C:\\..\\x", u"C:\\x"},
              {u"\\\\srv\\share\\..\\..\\x", u"\\\\srv\\share\\x"}, {u"/home/a/../b/./c", u"/home\\b\\c"},
              {u"/../x", u"/x"}, {u"..\\a\\..\\..\\b", u"..\\..\\b"}, {u"a/../b", u"b"},
              {u"C:x\\..\\..\\y", u"C:..\\y"}, {u"C:\\", u"C:"}});
  ExpectRows<bool>(IsPathAbsolute, {{u"C:\\x", true}, {u"\\\\server\\x", true}, {u"C:", true}, {u"/home/x", true},
                                    {u"x:\\", true}, {u"x\\y", false}, {u"\\x", false}, {u"C:x", false},
                                    {u"", false}, {u"C", false}, {u"C:/x", false}});
}

TEST(PathUtil, AbsoluteAndRelativePaths) {
  ExpectRows2(GetAbsolutePath, {{u"C:\\a\\", u"..\\b", u"C:\\b"},
                                {u"C:\\a", u"<OutputDir>\\..\\x", u"<OutputDir>\\..\\x"},
                                {u"C:\\a", u"D:\\x\\.\\y", u"D:\\x\\y"}, {u"/home/p", u"/opt/x", u"/opt\\x"},
                                {u"/home/p/", u"../q/r.rc", u"/home\\q\\r.rc"}});
  // Parts compare without case except under "/"; other roots leave the path alone.
  ExpectRows2(GetRelativePath, {{u"c:\\a\\b\\path", u"c:\\a\\x\\y\\file", u"..\\..\\x\\y\\file"},
                                {u"C:\\Proj\\", u"c:\\proj\\res\\a.rc", u".\\res\\a.rc"},
                                {u"c:\\a\\b", u"c:\\a", u".."}, {u"c:\\a", u"C:\\A", u"."},
                                {u"\\\\srv\\share\\a", u"\\\\SRV\\share\\b", u"..\\b"},
                                {u"/home/p", u"/home/P/x", u"..\\P\\x"},
                                {u"/home/p", u"/home/p/src/x.rc", u".\\src\\x.rc"},
                                {u"c:\\a", u"d:\\a\\x", u"d:\\a\\x"},
                                {u"\\\\one\\s\\a", u"\\\\two\\s\\a", u"\\\\two\\s\\a"},
                                {u"c:\\a", u"rel\\x", u"rel\\x"}});
  ExpectRows2(SafePathAppend, {{u"C:\\a\\\\", u"b", u"C:\\a\\b"}, {u"", u"b", u"\\b"}});
  ExpectRows(DeleteLastSlash, {{u"C:\\a\\", u"C:\\a"}, {u"C:\\a\\\\", u"C:\\a\\"}, {u"C:\\", u"C:\\"},
                               {u"\\", u"\\"}});
  EXPECT_EQ(ToNativePath(u"a\\b/c\\"), u"a/b/c/");
}

TEST(PathUtil, SplitsDirectoryNameAndExtension) {
  // A point in a folder is no extension; no fixed buffers limit a name.
  const std::u16string longName(5000, u'n');
  ExpectRows([](const std::u16string& p) { return ExtractFileDir(p.c_str()); },
             {{u"C:\\d\\file.txt", u"C:\\d\\"}, {u"C:file.txt", u"C:"}, {u"/usr/bin/tool", u"/usr/bin/"}});
  ExpectRows([](const std::u16string& p) { return ExtractFileName(p.c_str()); },
             {{u"C:\\d\\file.txt", u"file"}, {u"a.d/noext", u"noext"}, {u"x/.hidden", u""},
              {u"C:\\" + longName + u".e", longName}});
  ExpectRows([](const std::u16string& p) { return ExtractFileExt(p.c_str()); },
             {{u"C:\\d\\file.txt", u".txt"}, {u"a.d/noext", u""}, {u"x/.hidden", u".hidden"},
              {u"x/a.tar.gz", u".gz"}});
  EXPECT_EQ(ExtractFileDir(nullptr), u"");
}
