// The value forms of `config set` and the item selectors: whatever parses
// prints in a form that parses back to the same value or selector.
#include <cstdlib>
#include <string_view>

#include "cli/item_selector.h"
#include "cli/value_text.h"
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_langs.h"
#include "locmodel/props/prop_classes.h"

namespace {

// Every class with a text form but the SRX store, which is read from a file.
const CPropClass* const kClasses[] = {
    &CEmptyProp::classInstance,     &CStrProp::classInstance,       &CBinaryProp::classInstance,
    &CIntProp::classInstance,       &CBoolProp::classInstance,      &CEmbeddedCfgProp::classInstance,
    &CItemIdProp::classInstance,    &CIntVectorProp::classInstance, &CStrSetProp::classInstance,
    &CStrListProp::classInstance,   &CIntStrMapProp::classInstance, &CIntSetProp::classInstance,
    &CVariantProp::classInstance,   &CLangSetProp::classInstance,   &CConditionFilterCfgProp::classInstance,
    &CPrjLangsProp::classInstance,
};
constexpr size_t kClassCount = sizeof kClasses / sizeof kClasses[0];

}  // namespace

// The first byte picks a value class, or (past the last class) the
// selector parser; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace locmodel::cli;
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % (kClassCount + 1) == kClassCount) {
    const auto selector = ParseItemSelector(text);
    if (!selector) return 0;
    const std::string canonical = FormatItemSelector(*selector);
    const auto again = ParseItemSelector(canonical);
    if (!again || !(*again == *selector) || FormatItemSelector(*again) != canonical) std::abort();
    return 0;
  }
  const CPropClass& valueClass = *kClasses[data[0] % (kClassCount + 1)];
  std::string reason, printed;
  const auto value = ParseValueText(valueClass, text, reason);
  if (!value) return 0;
  if (!AppendValueText(printed, *value)) std::abort();
  const auto again = ParseValueText(valueClass, printed, reason);
  if (!again || !again->IsEqual(*value)) std::abort();
  return 0;
}
