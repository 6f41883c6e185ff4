// Writes examples/help-project.lmp: a project whose file item "help.hhp"
// holds the HTML Help project a scanner would have read from it, as the
// own property "HhpInfo". The same bytes on every run.
//
//   make_help_project OUT.lmp
//
// examples/help-project.hhp is what `locmodel hhp write help-project.lmp
// --encoding ansi --crlf` must print for it, written by hand.
#include <cstdio>

#include "locmodel/hhp/hhp_info.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/util/unicode.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_help_project OUT.lmp\n");
    return 2;
  }
  CHhpInfo hhp;
  hhp.Version = 3;
  hhp.Language = 0x407;  // German: the ANSI code page is 1252
  hhp.IsFullTextSearch = true;
  hhp.TargetFile = u"hilfe.chm";
  hhp.ContentsFile = u"hilfe.hhc";
  hhp.IndexFile = u"hilfe.hhk";
  hhp.DefaultWindow = u"haupt";
  hhp.Title = u"Hilfe f\u00FCr \u00DCbersetzer";

  CWindowEntry window;
  window.ValidMask = CWindowEntry::kPosition | CWindowEntry::kNavPaneStyle | CWindowEntry::kShowState;
  window.WindowType = u"haupt";
  window.TitleBarText = u"Hilfe f\u00FCr \u00DCbersetzer";
  window.TOCFile = u"hilfe.hhc";
  window.IndexFile = u"hilfe.hhk";
  window.HomeFile = u"start.htm";
  window.NavPaneStyle = 0x2520;
  window.Position = {10, 20, 810, 620};
  window.ShowState = 1;
  hhp.Windows = {window};
  hhp.Files = {u"start.htm", u"themen\\gr\u00F6\u00DFen.htm"};
  hhp.AliasList = {{100, u"start.htm"}, {200, u"themen\\gr\u00F6\u00DFen.htm"}};

  CResItem root;
  root.SetResId(u"@Hilfe");
  auto* file = new CResItem;
  file->SetResId(u"@help.hhp");
  file->SetPropW(CPropName(u"HhpInfo"), new CHhpInfoProp(hhp));
  root.AddResItem(file);
  const locmodel::Status status = locmodel::SaveProject(root, locmodel::Utf8ToUtf16(argv[1]));
  if (!status.ok()) {
    std::fprintf(stderr, "make_help_project: %s\n", status.ToString().c_str());
    return 1;
  }
  return 0;
}
