// Generated item trees and a deep comparison for tests of the item model.
#pragma once

#include <memory>
#include <random>
#include <string>

#include "cli/sample_project.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/items/res_item.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/values.h"
#include "locmodel/props/prop_classes.h"

namespace testing_support {

// A tree of `levels` levels below the root, `fanout` children per item, each
// item with data, properties of several classes, configuration and
// translations in three languages. Varies with `seed`.
inline std::unique_ptr<CResItem> MakeTree(unsigned seed, int levels = 3, int fanout = 3) {
  std::mt19937 random(seed);
  auto fill = [&](CResItem& item, int depth) {
    item.SetType(static_cast<int>(random() % 100));
    item.SetResId(u"@IDD_" + std::u16string(1, static_cast<char16_t>(u'A' + random() % 26)));
    item.SetComment(depth % 2 ? u"comment \u00e9\U0001F600" : u"");
    item.SetTabNum(depth);
    item.SetState(static_cast<int>(random() % 4));
    std::vector<unsigned char> data(random() % 40);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    item.SetData(data.data(), static_cast<unsigned>(data.size()));
    item.SetPropW(u"Name", new CStrProp(u"item"));
    item.SetPropW(CPropName::PROP_EMBEDDED_CFG, new CEmbeddedCfgProp(CEmbeddedCfg{}));
    if (random() % 2) item.SetPropW(u"Flag");
    item.GetCfgProps().SetPropW(u"Cfg.Int", new CIntProp(static_cast<int>(random())));
    if (random() % 3 == 0)
      item.GetCfgProps().SetPropW(u"Cfg.Langs", new CLangSetProp({0x407, 0x409}));
    for (int lang : {0x407, 0x40C, 0x411}) {
      auto* trans = new CTransItem(lang);
      trans->SetStr(u"text " + std::u16string(1, static_cast<char16_t>(lang)));
      trans->SetStatus(static_cast<int>(random() % 5));
      if (random() % 4 == 0) trans->SetData(data.data(), static_cast<unsigned>(data.size()));
      item.AddTransItem(trans);
    }
  };
  auto root = std::make_unique<CResItem>();
  fill(*root, 0);
  std::vector<std::pair<CResItem*, int>> pending{{root.get(), 0}};
  while (!pending.empty()) {
    auto [item, depth] = pending.back();
    pending.pop_back();
    if (depth == levels) continue;
    for (int i = 0; i < fanout; ++i) {
      auto* child = new CResItem;
      fill(*child, depth + 1);
      item->AddResItem(child);
      pending.emplace_back(child, depth + 1);
    }
  }
  return root;
}

using locmodel::cli::SameTree;

// A project file holding a chain of `items` items, each the only child of
// the one before, written node by node without building the items.
inline std::vector<unsigned char> ChainProjectBytes(int items) {
  using Serial::NodeName;
  auto byte = [](char c) { return NodeName(static_cast<unsigned char>(c)); };
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut s(out);
    int zero = 0, one = 1;
    bool present = false;
    std::u16string empty;
    auto emptyMap = [&] {
      s.EnterNode(byte(1)), Serial::Do(s, zero), s.LeaveNode();
    };
    auto scalar = [&](char name, auto& value) { s.EnterNode(byte(name)), Serial::Do(s, value), s.LeaveNode(); };
    for (int i = 0; i < items; ++i) {
      s.EnterNode(NodeName()), emptyMap(), s.LeaveNode();
      scalar('e', empty), scalar('f', zero);
      s.EnterNode(byte('g'));
      if (i + 1 == items) {
        Serial::Do(s, zero);
        s.LeaveNode();
        break;
      }
      Serial::Do(s, one), s.EnterNode(NodeName()), Serial::Do(s, present);
    }
    for (int i = 0; i < items; ++i) {
      if (i > 0) s.LeaveNode(), s.LeaveNode();  // the element node and 'g'
      s.EnterNode(byte('h')), Serial::Do(s, zero), s.LeaveNode();
      scalar('i', empty), scalar('j', zero), scalar('k', zero);
      s.EnterNode(byte('l')), s.WriteField(0, nullptr), s.LeaveNode();
      s.EnterNode(byte('m')), emptyMap(), s.LeaveNode();
    }
  }
  return out.GetData();
}

}  // namespace testing_support
