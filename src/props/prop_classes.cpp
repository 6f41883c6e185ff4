#include "locmodel/props/prop_classes.h"

#include <string>

#include "locmodel/util/unicode.h"

LOCMODEL_DEFINE_PROP(CEmptyProp, 'c');
LOCMODEL_DEFINE_PROP(CStrProp, 'd');
LOCMODEL_DEFINE_PROP(CBinaryProp, 'e');
LOCMODEL_DEFINE_PROP(CIntProp, 'f');
LOCMODEL_DEFINE_PROP(CBoolProp, 'g');
LOCMODEL_DEFINE_PROP(CEmbeddedCfgProp, 'h');
LOCMODEL_DEFINE_PROP(CItemIdProp, 'i');
LOCMODEL_DEFINE_PROP(CIntVectorProp, u"IntVectorType");
LOCMODEL_DEFINE_PROP(CStrSetProp, u"StrSetProp");
LOCMODEL_DEFINE_PROP(CStrListProp, u"StrListProp");
LOCMODEL_DEFINE_PROP(CIntStrMapProp, u"IntStrMapProp");
LOCMODEL_DEFINE_PROP(CIntSetProp, u"IntSetProp");
LOCMODEL_DEFINE_PROP(CVariantProp, u"VariantProp");

std::u16string PropValueTraits<int>::AsString(int v) {
  std::u16string text = u"#";
  text += locmodel::Utf8ToUtf16(std::to_string(v));
  return text;
}

bool CEmbeddedCfg::Do(Serial::ISerialStream& stream) {
  static const Serial::EnumSerialStrategy<CSourceType, uint32_t> sourceType;
  return sourceType.Do(stream, SourceType) && Serial::Do(stream, KindCode) &&
         Serial::Do(stream, ExtraParam);
}

CBinaryProp::CBinaryProp(const void* data, int size) : CSimpleProp(classInstance, {}) {
  if (size > 0) AddBinaryBlock(static_cast<const unsigned char*>(data), static_cast<unsigned>(size));
}

void CBinaryProp::AddBinaryBlock(const unsigned char* data, unsigned int size) {
  if (size) value.insert(value.end(), data, data + size);
}
