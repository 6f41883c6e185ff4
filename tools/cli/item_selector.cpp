#include "cli/item_selector.h"

#include <algorithm>
#include <vector>

#include "locmodel/items/item_helper.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number of up to 64 bits.
std::optional<unsigned long long> Decimal(std::string_view text) {
  if (!AllDigits(text)) return std::nullopt;
  unsigned long long value = 0;
  for (char c : text) {
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (~0ull - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// A resource-id step with %2F and %25 decoded; null for any other "%".
std::optional<std::string> Unescape(std::string_view step) {
  std::string out;
  for (size_t i = 0; i < step.size(); ++i) {
    if (step[i] != '%') {
      out.push_back(step[i]);
      continue;
    }
    if (step.size() - i < 3 || step[i + 1] != '2') return std::nullopt;
    const char c = static_cast<char>(step[i + 2] | 0x20);
    if (c == 'f') out.push_back('/');
    else if (step[i + 2] == '5') out.push_back('%');
    else return std::nullopt;
    i += 2;
  }
  return out;
}

template <typename Item>
Item* Find(Item& root, const ItemSelector& selector) {
  if (selector.itemId) {
    std::vector<Item*> stack{&root};
    while (!stack.empty()) {
      Item* item = stack.back();
      stack.pop_back();
      // Only a value of the id's own class counts as holding one.
      const CProp* id = item->GetCfgProps().GetPropW(CItemIdAccessor::ItemIdPropName());
      if (id && &id->GetClass() == &CItemIdProp::classInstance &&
          static_cast<const unsigned long long&>(static_cast<const CItemIdProp&>(*id)) == *selector.itemId)
        return item;
      const auto& children = item->GetResItems();
      for (auto child = children.rbegin(); child != children.rend(); ++child) stack.push_back(*child);
    }
    return nullptr;
  }
  Item* item = &root;
  for (const ItemSelector::Step& step : selector.steps) {
    const auto& children = item->GetResItems();
    if (const size_t* position = std::get_if<size_t>(&step)) {
      if (*position >= children.size()) return nullptr;
      item = children[*position];
      continue;
    }
    const std::u16string& resId = std::get<std::u16string>(step);
    const auto found = std::find_if(children.begin(), children.end(),
                                    [&](const CResItem* child) { return child->GetResId() == resId; });
    if (found == children.end()) return nullptr;
    item = *found;
  }
  return item;
}

}  // namespace

std::optional<ItemSelector> ParseItemSelector(std::string_view text) {
  ItemSelector selector;
  if (text.substr(0, 3) == "id:") {
    selector.itemId = Decimal(text.substr(3));
    return selector.itemId ? std::optional(selector) : std::nullopt;
  }
  if (text.empty() || text[0] != '/') return std::nullopt;
  if (text == "/") return selector;
  for (size_t begin = 1; begin <= text.size();) {
    const size_t end = std::min(text.find('/', begin), text.size());
    const std::string_view step = text.substr(begin, end - begin);
    if (step.empty()) return std::nullopt;
    if (AllDigits(step)) {
      const auto position = Decimal(step);
      if (!position || *position > SIZE_MAX) return std::nullopt;
      selector.steps.emplace_back(static_cast<size_t>(*position));
    } else {
      const auto id = Unescape(step);
      // An id made only of digits would read as a position: such items,
      // like those with an empty id, are reached by position.
      if (!id || id->empty() || AllDigits(*id)) return std::nullopt;
      selector.steps.emplace_back(Utf8ToUtf16(*id));
    }
    begin = end + 1;
  }
  return selector;
}

std::string FormatItemSelector(const ItemSelector& selector) {
  if (selector.itemId) return "id:" + std::to_string(*selector.itemId);
  if (selector.steps.empty()) return "/";
  std::string text;
  for (const ItemSelector::Step& step : selector.steps) {
    text.push_back('/');
    if (const size_t* position = std::get_if<size_t>(&step)) {
      text += std::to_string(*position);
      continue;
    }
    for (char c : Utf16ToUtf8(std::get<std::u16string>(step))) {
      if (c == '/') text += "%2F";
      else if (c == '%') text += "%25";
      else text.push_back(c);
    }
  }
  return text;
}

const CResItem* FindItem(const CResItem& root, const ItemSelector& selector) { return Find(root, selector); }
CResItem* FindItem(CResItem& root, const ItemSelector& selector) { return Find(root, selector); }

}  // namespace locmodel::cli
