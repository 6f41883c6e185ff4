// Writes the configuration seeds of the project-file fuzz target, which are
// also the damaged-file corpus that `config list` must survive:
//
//   make_project_seeds fuzz/corpus/project_file
//
// Each file holds one kind of damage or oddity a hostile or careless writer
// could produce: names that look decorated but fit no family, a value of
// every format-configuration class, values of another class under declared
// names, and control-mapping lists whose bytes no writer of ours produces
// (fields of the wrong width, a count far beyond the elements present, an
// element without its mask). Those are written through a stand-in class whose
// name differs from the real one in its last letter, renamed in the bytes.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "locmodel/config/control_mapping.h"
#include "locmodel/config/format_cfg.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The real class name and the stand-in's: same length, last letter changed.
constexpr char16_t kMappingClass[] = u"ControlMappingType";
constexpr char16_t kStandInClass[] = u"ControlMappingTypX";

// A value whose bytes are whatever its writer puts in the stream.
class CRawMappingProp final : public CProp {
 public:
  using Writer = std::function<void(Serial::ISerialStream&)>;
  static CPropClassImpl<CRawMappingProp> classInstance;

  explicit CRawMappingProp(CPropClass& propClass) : CProp(propClass) {}
  explicit CRawMappingProp(Writer writer) : CProp(classInstance), writer_(std::move(writer)) {}
  CRawMappingProp(const CRawMappingProp&) = default;

  bool Do(Serial::ISerialStream& stream) override {
    writer_(stream);
    return true;
  }
  bool operator==(const CRawMappingProp&) const { return false; }
  bool operator<(const CRawMappingProp&) const { return false; }

 private:
  Writer writer_;
};
CPropClassImpl<CRawMappingProp> CRawMappingProp::classInstance{Serial::NodeName(kStandInClass), "CRawMappingProp"};

void Field(Serial::ISerialStream& s, const char16_t* name, const void* data, unsigned size) {
  s.EnterNode(Serial::NodeName(name));
  s.WriteField(size, data);
  s.LeaveNode();
}

void Text(Serial::ISerialStream& s, const char16_t* name, std::u16string value) {
  Serial::DoNode(s, name, value);
}

void Count(Serial::ISerialStream& s, int32_t count) { Serial::Do(s, count); }

// One list element, its fields written by `fields`.
void Element(Serial::ISerialStream& s, const std::function<void()>& fields) {
  s.EnterNode(Serial::NodeName());
  fields();
  s.LeaveNode();
}

void GoodElement(Serial::ISerialStream& s, const char16_t* mask) {
  Element(s, [&] {
    Text(s, u"SrcTypeMask", mask);
    bool show = true;
    Serial::DoNode(s, u"Show", show);
    Text(s, u"ControlType", u"Button");
  });
}

Bytes Renamed(Bytes bytes) {
  const size_t length = std::char_traits<char16_t>::length(kStandInClass) * 2;
  Bytes from(length), to(length);
  for (size_t i = 0; i < length / 2; ++i) {
    from[2 * i] = static_cast<unsigned char>(kStandInClass[i]), from[2 * i + 1] = kStandInClass[i] >> 8;
    to[2 * i] = static_cast<unsigned char>(kMappingClass[i]), to[2 * i + 1] = kMappingClass[i] >> 8;
  }
  for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), from.begin(), from.end())) != bytes.end();)
    at = std::copy(to.begin(), to.end(), at);
  return bytes;
}

// A root with one child "@child", filled by `fill`.
bool Write(const std::string& dir, const std::string& name, const std::function<void(CResItem&, CResItem&)>& fill) {
  CResItem root;
  root.SetType(1);
  root.SetResId(u"@Seed");
  auto* child = new CResItem;
  child->SetType(3);
  child->SetResId(u"@child");
  root.AddResItem(child);
  fill(root, *child);
  const Bytes bytes = Renamed(locmodel::SaveProjectToMemory(root));
  std::ofstream out(dir + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void SetCfg(CResItem& item, const char16_t* name, CProp* value) { item.GetCfgProps().SetPropW(name, value); }

void UndeclaredNames(CResItem& root, CResItem& child) {
  for (const char16_t* name : {u"99999999999.XML.XPath", u"12.NoSuch", u"-1.XML.XPath", u"012.XML.XPath",
                               u"+12.XML.XPath", u"12.", u".XML.XPath", u"12.xml.xpath", u"2147483648.XML.XPath"})
    SetCfg(root, name, new CStrProp(u"//odd"));
  SetCfg(root, u"-2147483648.XML.XPath", new CStrProp(u"//lowest"));  // a real, extreme format
  SetCfg(root, u"12.XML.ParseComments", new CStrProp(u"yes"));        // declared, of another class
  SetCfg(child, u"4294967308.XML.XPath", new CStrProp(u"//wraps-to-12"));
}

void FormatValues(CResItem& root, CResItem& child) {
  CNetResCfg::SetPropFilter(root, CFilter({u"*", u"Text*"}, {u"*Name", u"[", u"**?*", u"TEXT*"}));
  CNetResCfg::SetWpfPropFilter(child, CFilter({}, {u"*"}));
  CDfmControlMappingCfg::SetControlMapping(
      root, {{u"TButton", u"Button"}, {u"TTimer", u""}, {u"", u"#hidden#"}, {u"T*Edit", u"Edit"}});
  Detail::CNetResControlMappingCfg::SetControlMapping(child, {{u"System.Windows.Forms.Label", u"Static"}});
  CInternalFilterCfg::SetFilter(root, {1031, 0x10407, -1});
  CPEFormatCfg::SetOutputType(root, 7);
  CDfmCfg::SetOutputType(child, -1);
  CNetResCfg::SetBigStrLen(root, -5);
  CNetResCfg::SetWpfCategoryView(child, INT32_MIN);
  CChmFormatCfg::SetAutoTOC(root, 99);
  CNetBinOutCfg::SetPFXPassword(root, u"p\"a\\ss");
  CNetBinOutCfg::SetCustomSignToolCmd(child, u"\"$(env:ProgramFiles)\\x\\sign.exe\" \"$(OutputFile)\"");
  CXmlParserCfg(12).SetXPathTemplate(child, u"//text");
}

void ForeignClasses(CResItem& root, CResItem& child) {
  SetCfg(root, u"NetRes.PropFilter", new CStrProp(u"*"));
  SetCfg(root, u"ShowPreview", new CFilterProp(CFilter({u"*"}, {})));
  SetCfg(root, u"InternalFilter", new CControlMappingProp(CControlMappingList{{u"T", u"B"}}));
  SetCfg(child, u"Dfm.ControlMapping", new CIntProp(3));
  SetCfg(child, u"NetRes.ControlMapping", new CFilterProp(CFilter({u"x"}, {u"y"})));
}

// Optional fields of the wrong width keep their defaults; the list loads.
void MappingWidths(CResItem& root, CResItem&) {
  SetCfg(root, u"Dfm.ControlMapping", new CRawMappingProp([](Serial::ISerialStream& s) {
           Count(s, 3);
           GoodElement(s, u"TFirst");
           Element(s, [&] {
             Text(s, u"SrcTypeMask", u"TWide");
             const int32_t show = 1;
             Field(s, u"Show", &show, sizeof show);
             Field(s, u"ControlType", "odd", 3);
           });
           Element(s, [&] {
             Text(s, u"SrcTypeMask", u"TEmpty");
             Field(s, u"Show", "", 0);
           });
         }));
}

// A mask that does not read fails the list, and with it the file: the
// reader refuses a property container read only in part.
void MappingMaskWidth(CResItem& root, CResItem&) {
  SetCfg(root, u"Dfm.ControlMapping", new CRawMappingProp([](Serial::ISerialStream& s) {
           Count(s, 2);
           GoodElement(s, u"TKept");
           Element(s, [&] { Field(s, u"SrcTypeMask", "odd", 3); });
         }));
}

void MappingHugeCount(CResItem& root, CResItem&) {
  SetCfg(root, u"Dfm.ControlMapping", new CRawMappingProp([](Serial::ISerialStream& s) {
           Count(s, INT32_MAX);
           GoodElement(s, u"TOnly");
         }));
}

void MappingWithoutMask(CResItem& root, CResItem&) {
  SetCfg(root, u"NetRes.ControlMapping", new CRawMappingProp([](Serial::ISerialStream& s) {
           Count(s, 3);
           GoodElement(s, u"TKept");
           Element(s, [&] {
             bool show = true;
             Serial::DoNode(s, u"Show", show);
           });
           GoodElement(s, u"TAfter");
         }));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_project_seeds DIR\n";
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  for (const auto& [name, fill] : std::initializer_list<std::pair<const char*, void (*)(CResItem&, CResItem&)>>{
           {"cfg-undeclared-names", UndeclaredNames},
           {"cfg-format-values", FormatValues},
           {"cfg-foreign-classes", ForeignClasses},
           {"cfg-mapping-widths", MappingWidths},
           {"cfg-unreadable-mask-width", MappingMaskWidth},
           {"cfg-unreadable-huge-count", MappingHugeCount},
           {"cfg-unreadable-without-mask", MappingWithoutMask}})
    ok = Write(dir, name, fill) && ok;
  if (!ok) std::cerr << "make_project_seeds: cannot write to " << dir << "\n";
  return ok ? 0 : 1;
}
