// Reading a configuration value through its accessor, against the bare
// container lookups the read is made of: the accessor may add the walk up
// the tree and nothing else (no name built, no value copied, no allocation).
//
// Every configuration container holds 8 properties and the item read sits at
// depth 5, so six containers lie on its path. Composite values (a filter, a
// 200-entry control-mapping list) and a per-format accessor's decorated
// names must read as fast as an integer does.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "locmodel/config/control_mapping.h"
#include "locmodel/config/format_cfg.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kPropsPerContainer = 8;

// Where the value read is stored.
enum class Holder { Item, Root, Nowhere };

class CfgPath {
 public:
  // `store` writes the value read to the holder; it also seeds the defaults,
  // when called on a scratch item, so that no first-use cost is timed.
  using Store = std::function<void(CResItem&)>;

  explicit CfgPath(Holder holder, const Store& store = [](CResItem& item) { CPrjConfig::SetFuzzyUpdate(item, 80); }) {
    items_.push_back(&root_);
    for (int depth = 1; depth <= 5; ++depth) {
      auto* child = new CResItem();
      items_.back()->AddResItem(child);
      items_.push_back(child);
    }
    CResItem* holderItem = holder == Holder::Item ? items_.back() : holder == Holder::Root ? &root_ : nullptr;
    for (CResItem* item : items_) {
      const int fillers = item == holderItem ? kPropsPerContainer - 1 : kPropsPerContainer;
      for (int i = 0; i < fillers; ++i) {
        // Names on both sides of "FuzzyUpdate" in the container's order.
        const std::string name = std::string(1, static_cast<char>('A' + i * 3)) + ".Setting";
        item->GetCfgProps().SetPropW(locmodel::Utf8ToUtf16(name), new CIntProp(i));
      }
    }
    if (holderItem) store(*holderItem);
    CResItem scratch;
    store(scratch);
  }

  const CResItem& Item() const { return *items_.back(); }
  // The item first, the root last.
  std::vector<const CResItem*> Path() const { return {items_.rbegin(), items_.rend()}; }

 private:
  CResItem root_;
  std::vector<CResItem*> items_;  // the root first
};

int ReadInt(const CProp* prop) { return static_cast<const CIntProp&>(*prop); }

void BM_GetFuzzyUpdate(benchmark::State& state) {
  const CfgPath path(static_cast<Holder>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CPrjConfig::GetFuzzyUpdate(path.Item(), true));
}
BENCHMARK(BM_GetFuzzyUpdate)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

// The limits: the lookups written out by hand, with the name built beforehand.
void BM_DirectLookups(benchmark::State& state) {
  const Holder holder = static_cast<Holder>(state.range(0));
  const CfgPath path(holder);
  const CPropName name(u"FuzzyUpdate");
  const std::vector<const CResItem*> chain = path.Path();
  const CPropContainer& defaults = CCfgHolder::GetDefaultCfg();
  for (auto _ : state) {
    const CProp* found = nullptr;
    if (holder == Holder::Item) {
      found = chain[0]->GetCfgProps().GetPropW(name);
    } else {
      for (const CResItem* item : chain) found = item->GetCfgProps().GetPropW(name);
      if (holder == Holder::Nowhere) found = defaults.GetPropW(name);
    }
    benchmark::DoNotOptimize(ReadInt(found));
  }
}
BENCHMARK(BM_DirectLookups)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

// The composite and per-format reads against the integer read of the same
// chain: within 1.2x for the composites, 1.5x for the per-format accessor.
CControlMappingList MappingList(int size) {
  CControlMappingList list;
  for (int i = 0; i < size; ++i) {
    std::u16string mask = u"TControl";
    list.emplace_back(mask += locmodel::Utf8ToUtf16(std::to_string(i)), u"Button");
  }
  return list;
}

void BM_GetBigStrLen(benchmark::State& state) {
  const CfgPath path(static_cast<Holder>(state.range(0)), [](CResItem& item) { CNetResCfg::SetBigStrLen(item, 2000); });
  for (auto _ : state) benchmark::DoNotOptimize(CNetResCfg::GetBigStrLen(path.Item(), true));
}
BENCHMARK(BM_GetBigStrLen)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

void BM_GetPropFilter(benchmark::State& state) {
  const CfgPath path(static_cast<Holder>(state.range(0)), [](CResItem& item) {
    CNetResCfg::SetPropFilter(item, CFilter({u"*"}, {u"*Name", u"Value"}));
  });
  for (auto _ : state) benchmark::DoNotOptimize(&CNetResCfg::GetPropFilter(path.Item(), true));
}
BENCHMARK(BM_GetPropFilter)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

// Where nothing on the path holds it, the list is the host's default.
void BM_GetControlMapping(benchmark::State& state) {
  const Holder holder = static_cast<Holder>(state.range(0));
  const CfgPath path(holder, [](CResItem& item) { CDfmControlMappingCfg::SetControlMapping(item, MappingList(200)); });
  if (holder == Holder::Nowhere)
    CCfgHolder::GetDefaultCfg().SetPropW(CDfmControlMappingCfg::ControlMappingPropName(),
                                         new CControlMappingProp(MappingList(200)));
  for (auto _ : state) benchmark::DoNotOptimize(&CDfmControlMappingCfg::GetControlMapping(path.Item(), true));
  CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, CDfmControlMappingCfg::ControlMappingPropName());
}
BENCHMARK(BM_GetControlMapping)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

void StoreXPath(CResItem& item) { CXmlParserCfg(12).SetXPathTemplate(item, u"//text"); }

// One accessor for the whole loop, as a parser holds one.
void BM_GetXPathTemplate(benchmark::State& state) {
  const CfgPath path(static_cast<Holder>(state.range(0)), StoreXPath);
  const CXmlParserCfg xml(12);
  for (auto _ : state) benchmark::DoNotOptimize(&xml.GetXPathTemplate(path.Item(), true));
}
BENCHMARK(BM_GetXPathTemplate)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

// For information: an accessor built for each read decorates its name each time.
void BM_GetXPathTemplateFreshAccessor(benchmark::State& state) {
  const CfgPath path(static_cast<Holder>(state.range(0)), StoreXPath);
  for (auto _ : state) benchmark::DoNotOptimize(CXmlParserCfg(12).GetXPathTemplate(path.Item(), true).size());
}
BENCHMARK(BM_GetXPathTemplateFreshAccessor)->Arg(int(Holder::Item))->Arg(int(Holder::Root))->Arg(int(Holder::Nowhere));

// For information: the two language operations that build text and sets.
void BM_GetBrandedLangName(benchmark::State& state) {
  CResItem root;
  CPrjConfig::SetBrandMap(root, {{0, u"SourceBrand"}, {1, u"Lite"}, {2, u"Pro"}, {3, u"OEM"}});
  for (auto _ : state) benchmark::DoNotOptimize(CPrjConfig::GetBrandedLangName(root, 0x10407));
}
BENCHMARK(BM_GetBrandedLangName);

void BM_GetAllOutputLangs(benchmark::State& state) {
  CResItem root;
  CPrjLangs langs(0x0409);
  CLangSet selected;
  for (int lang = 0x0401; lang <= 0x041F; ++lang)
    if (lang != 0x0409) selected.insert(lang);  // 30 languages
  langs.setSelectedLangs(selected);
  CPrjConfig::SetPrjLangs(root, langs);
  CPrjConfig::SetBrandMap(root, {{0, u"SourceBrand"}, {1, u"Lite"}, {2, u"Pro"}, {3, u"OEM"}});
  for (auto _ : state) benchmark::DoNotOptimize(CPrjConfig::GetAllOutputLangs(root, CLangId::UnrealBrand));
}
BENCHMARK(BM_GetAllOutputLangs);

}  // namespace
