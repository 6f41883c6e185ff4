#include "locmodel/config/control_mapping.h"

#include "config/required_node.h"

LOCMODEL_DEFINE_PROP(CControlMappingProp, u"ControlMappingType");

bool CControlTypeMapping::Do(Serial::ISerialStream& stream) {
  if (!locmodel::config_detail::DoRequiredNode(stream, u"SrcTypeMask", SrcTypeMask)) return false;
  // Optional: a mapping without them is still a mapping.
  Serial::DoNode(stream, u"Show", Show);
  Serial::DoNode(stream, u"ControlType", ControlType);
  return true;
}

bool CControlMappingList::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, static_cast<std::vector<CControlTypeMapping>&>(*this));
}

void CControlMappingStore::FillFromStatic(CControlMappingList& list, const MAP_INFO* table, size_t count) {
  static constexpr std::u16string_view hidden = u"#hidden#";
  for (size_t i = 0; i < count; ++i) {
    const MAP_INFO& row = table[i];
    if (!row.ControlType) continue;
    CControlTypeMapping mapping(row.SrcTypeMask ? row.SrcTypeMask : u"", row.ControlType);
    if (mapping.ControlType == hidden) {
      mapping.Show = false;
      mapping.ControlType.clear();
    }
    list.push_back(std::move(mapping));
  }
}
