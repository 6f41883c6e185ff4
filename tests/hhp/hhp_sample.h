// The .hhp projects the tests share: every option, two windows (every
// mask bit and none), merge files, files and aliases, with extreme numbers;
// their texts are fixtures.
#pragma once

#include <climits>

#include "locmodel/hhp/hhp_info.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace testing_support {

// What a scanner fills in for any .hhp: the fields no constructor sets.
inline CHhpInfo MinimalHhp(uint32_t version = 3, int32_t language = 0x409) {
  CHhpInfo info;
  info.Version = version;
  info.Language = language;
  info.IsFullTextSearch = false;
  return info;
}

inline CHhpInfo FullHhp() {
  CHhpInfo info = MinimalHhp(3, -1);
  info.AutoIndex = false;
  info.AutoTOC = 7;
  info.CreateCHI = true;
  info.TargetFile = u"help.chm";
  info.ErrorLogFile = u"err.log";
  info.ContentsFile = u"toc.hhc";
  info.IndexFile = u"index.hhk";
  info.DefaultTopic = u"intro.htm";
  info.Title = u"Help";
  info.Lcid = 0x407;
  info.IsFullTextSearch = true;
  info.DefaultWindow = u"main";
  info.IsBinaryIndex = false;
  info.IsBinaryTOC = true;
  info.DefaultFont = u"Arial,8,0";

  CWindowEntry main;
  main.ValidMask = -1;
  main.WindowType = u"main";
  main.TitleBarText = u"Help";
  main.TOCFile = u"toc.hhc";
  main.IndexFile = u"index.hhk";
  main.DefaultFile = u"intro.htm";
  main.HomeFile = u"home.htm";
  main.Jump1File = u"j1.htm";
  main.Jump1Text = u"Jump 1";
  main.Jump2File = u"j2.htm";
  main.Jump2Text = u"Jump 2";
  main.NavPaneStyle = 0x3020;
  main.Width = 200;
  main.bfButtonsShow = 0x3006;
  main.Position = {INT_MIN, -1, 640, 480};
  main.Style = 0x80000000u;
  main.StyleEx = 0;
  main.ShowState = -1;
  main.IsClosed = 1;
  main.DefaultPane = 2;
  main.DefaultPaneTab = 3;
  main.NotifyId = 0x10000;
  CWindowEntry side;  // no mask bit: only its strings and NotifyId show
  side.WindowType = u"side";
  side.Jump2Text = u"J";
  side.Width = 99;
  info.Windows = {main, side};

  info.MergeList = {u"a.chm", u"b.chm"};
  info.Files = {u"intro.htm", u"sub\\page.htm"};
  info.AliasList = {{1001, u"a.htm"}, {0x80000000u, u"b.htm"}};
  return info;
}

// A .hhp text from tests/fixtures/hhp: minimal.hhp is MinimalHhp()'s,
// full.hhp FullHhp()'s.
inline std::string HhpFixture(const char* name) {
  return ReadFile(std::string(LOCMODEL_SOURCE_DIR "/tests/fixtures/hhp/") + name);
}

}  // namespace testing_support
