// The project the project-level benchmarks work on: about 111,000 items
// (5 levels below the root, 10 children each), 3 translations, 3 own
// properties and 1 configuration property per item.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/items/trans_item.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/util/unicode.h"

namespace bench_project {

inline constexpr int kLevels = 5, kFanout = 10;
inline constexpr int kLangs[] = {0x407, 0x40C, 0x411};

inline void Fill(CResItem& item, int n) {
  item.SetType(n % 7);
  item.SetResId(u"@ITEM_" + locmodel::Utf8ToUtf16(std::to_string(n)));
  item.SetPropW(u"Text", new CStrProp(u"Source text of the item"));
  item.SetPropW(u"Width", new CIntProp(n));
  item.SetPropW(u"Visible", new CBoolProp(true));
  item.GetCfgProps().SetPropW(CPropName::PROP_ITEM_ID, new CItemIdProp(n));
  for (int lang : kLangs) {
    auto* trans = new CTransItem(lang);
    trans->SetStr(u"Translated text of the item");
    item.AddTransItem(trans);
  }
}

inline std::unique_ptr<CResItem> MakeProject() {
  auto root = std::make_unique<CResItem>();
  int n = 0;
  Fill(*root, n++);
  std::vector<std::pair<CResItem*, int>> pending{{root.get(), 0}};
  while (!pending.empty()) {
    auto [item, depth] = pending.back();
    pending.pop_back();
    if (depth == kLevels) continue;
    for (int i = 0; i < kFanout; ++i) {
      auto* child = new CResItem;
      Fill(*child, n++);
      item->AddResItem(child);
      pending.emplace_back(child, depth + 1);
    }
  }
  return root;
}

// A project of exactly `count` items (at least 1), filled level by level with
// the same fan-out, for measuring how the cost per item scales.
inline std::unique_ptr<CResItem> MakeProject(size_t count) {
  auto root = std::make_unique<CResItem>();
  Fill(*root, 0);
  std::vector<CResItem*> level{root.get()};
  size_t made = 1;
  for (size_t next = 0; made < count; ++next) {
    CResItem* parent = level[next];
    for (int i = 0; i < kFanout && made < count; ++i) {
      auto* child = new CResItem;
      Fill(*child, static_cast<int>(made++));
      parent->AddResItem(child);
      level.push_back(child);
    }
  }
  return root;
}

}  // namespace bench_project
