#include "locmodel/config/old_prj_config.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <variant>

#include "locmodel/config/format_cfg.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/coding.h"

namespace {

using Kind = COldPrjConfig::KeyKind;

constexpr char16_t kNativeLng[] = u"NativeLng";
constexpr char16_t kSelectedLangs[] = u"SelectedLangs";
constexpr char16_t kTargetLng[] = u"TargetLng";
constexpr char16_t kSecondaryLng[] = u"SecondaryLng";

// The keys read after the languages, in the order they are read.
struct PlainKey {
  const char16_t* name;
  std::variant<int COldPrjConfig::*, std::u16string COldPrjConfig::*> field;
};
const PlainKey kPlainKeys[] = {
    {u"RunLocalizedCustom", &COldPrjConfig::RunLocalizedCustom},
    {u"RunLocalizedCmd", &COldPrjConfig::RunLocalizedCmd},
    {u"CrashFinderDstDir", &COldPrjConfig::CrashFinderDstDir},
    {u"RunLocalizedWorkDir", &COldPrjConfig::RunLocalizedWorkDir},
    {u"RunLocalizedCmdArgs", &COldPrjConfig::RunLocalizedCmdArgs},
    {u"bCrashFinderAutoStart", &COldPrjConfig::bCrashFinderAutoStart},
    {u"bCrashUseTempDir", &COldPrjConfig::bCrashUseTempDir},
    {u"bPEResourceOnly", &COldPrjConfig::bPEResourceOnly},
    {u"bPEMultipleLangInFile", &COldPrjConfig::bPEMultipleLangInFile},
    {u"bBorlandUnicode", &COldPrjConfig::bBorlandUnicode},
    {u"FuzzyUpdate", &COldPrjConfig::FuzzyUpdate},
};

const std::vector<COldPrjConfig::Key>& AllKeys() {
  static const std::vector<COldPrjConfig::Key> keys = [] {
    std::vector<COldPrjConfig::Key> all{
        {kNativeLng, Kind::Int}, {kSelectedLangs, Kind::Data}, {kTargetLng, Kind::Int}, {kSecondaryLng, Kind::Int}};
    for (const PlainKey& key : kPlainKeys)
      all.push_back({key.name, std::holds_alternative<int COldPrjConfig::*>(key.field) ? Kind::Int : Kind::Str});
    return all;
  }();
  return keys;
}

// The list as stored, cut at the first 77777777, then at the first 7777.
std::vector<int> ReadLangList(CStorage& storage) {
  unsigned int size = 0;
  const std::unique_ptr<unsigned char[], locmodel::BufferDeleter> data(storage.GetData(kSelectedLangs, size));
  if (!data) return {};
  std::vector<int> langs = COldPrjConfig::DecodeLangList(data.get(), size);
  for (const int end : {CLangId::OldNoLang, CLangId::NoLang})
    langs.erase(std::find(langs.begin(), langs.end(), end), langs.end());
  return langs;
}

}  // namespace

std::span<const COldPrjConfig::Key> COldPrjConfig::Keys() { return AllKeys(); }

std::vector<int> COldPrjConfig::DecodeLangList(const unsigned char* data, unsigned int size) {
  std::vector<int> langs;
  langs.reserve(size / 4);
  for (unsigned int at = 0; at + 4 <= size; at += 4) langs.push_back(locmodel::coding::DecodeFixed<int32_t>(data + at));
  return langs;
}

void COldPrjConfig::NormalizeSelLng() {
  std::sort(SelectedLangs.begin(), SelectedLangs.end());
  SelectedLangs.erase(std::unique(SelectedLangs.begin(), SelectedLangs.end()), SelectedLangs.end());
  SelectedLangs.erase(std::remove(SelectedLangs.begin(), SelectedLangs.end(), CLangId::NoLang), SelectedLangs.end());
}

void COldPrjConfig::AddSelectedLang(int lang) {
  SelectedLangs.push_back(lang);
  NormalizeSelLng();
}

void COldPrjConfig::Load(const std::u16string& path) {
  CStorage storage(path, CStorage::ReadOnly);
  if (!storage.IsGood()) return;
  storage.GetInt(NativeLng, kNativeLng);
  SelectedLangs = ReadLangList(storage);
  NormalizeSelLng();
  storage.GetInt(TargetLng, kTargetLng);
  AddSelectedLang(TargetLng);
  storage.GetInt(SecondaryLng, kSecondaryLng);
  if (SecondaryLng == CLangId::OldNoLang) SecondaryLng = CLangId::NoLang;
  AddSelectedLang(SecondaryLng);
  for (const PlainKey& key : kPlainKeys) {
    std::visit([&](auto field) {
      if constexpr (std::is_same_v<decltype(field), int COldPrjConfig::*>) storage.GetInt(this->*field, key.name);
      else storage.GetStr(this->*field, key.name);
    }, key.field);
  }
}

void COldPrjConfig::Convert(CResItem& item) const {
  CPrjConfig::SetPrjLangs(item, CPrjLangs(NativeLng));
  if (RunLocalizedCustom) {
    CPrjConfig::SetRunLocalizedCommandItem(item, u"");
    CPrjConfig::SetRunLocalizedCmd(item, RunLocalizedCmd);
  } else {
    CPrjConfig::SetRunLocalizedCommandItem(item, u"#dump#");
    CPrjConfig::SetRunLocalizedCmd(item, u"");
  }
  CPrjConfig::SetRunLocalizedWorkDir(item, RunLocalizedWorkDir);
  CPrjConfig::SetRunLocalizedCmdArgs(item, RunLocalizedCmdArgs);
  CPEFormatCfg::SetOutputType(item, bPEResourceOnly ? 1 : bPEMultipleLangInFile ? 2 : 0);
  CPrjConfig::SetCrashFinderDstDir(item, CrashFinderDstDir);
  CPrjConfig::SetbCrashFinderAutoStart(item, bCrashFinderAutoStart != 0);
  CPrjConfig::SetbCrashUseTempDir(item, bCrashUseTempDir != 0);
  CDfmCfg::SetUseUnicode(item, bBorlandUnicode != 0);
  CPrjConfig::SetFuzzyUpdate(item, FuzzyUpdate);
  CLangSet selected(SelectedLangs.begin(), SelectedLangs.end());
  selected.erase(CLangId::NoLang);
  CPrjConfig::SetSelectedLangs(item, selected);
  CPrjConfig::SetTarget(item, TargetLng);
  if (SecondaryLng != CLangId::NoLang) CPrjConfig::SetSecondary(item, SecondaryLng);
}
