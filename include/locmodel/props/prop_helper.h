// CPropHelper: properties of an item's translations, with language and
// brand fallback.
//
// A language is a 32-bit identifier (CLangId): the Windows language in the
// low 16 bits, a brand number in bits 16-23. The fallback look-up for a
// target language `lang` and a source language `srcLang` takes the first
// translation holding the property among:
//   1. lang;
//   2. srcLang's language with lang's brand;
//   3. lang's language with srcLang's brand;
//   4. srcLang.
//
// Ownership: SetTransProp takes its value, RemoveTransProp hands one back;
// the getters borrow from the translations. A null item reads as an item
// without translations.
#pragma once

#include <string>
#include <vector>

class CProp;
class CPropName;
class CResItem;

class CPropHelper {
 public:
  // The property of the translation for `lang` itself; null if none.
  static const CProp* GetTransProp(const CResItem* item, const CPropName& name, int lang);
  // The fallback look-up; null if nothing holds the property.
  static const CProp* GetTransProp(const CResItem* item, const CPropName& name, int lang,
                                   int srcLang);
  // The fallback look-up, but null when it lands on the very property of
  // the source translation: only a value of the target side is returned
  // (so always null when lang equals srcLang).
  static const CProp* GetTransPropTgt(const CResItem* item, const CPropName& name, int lang,
                                      int srcLang);
  // GetInt, GetStr, GetData of the fallback look-up; 0, empty, empty when none.
  static int GetTransPropInt(const CResItem* item, const CPropName& name, int lang, int srcLang);
  static std::u16string GetTransPropStr(const CResItem* item, const CPropName& name, int lang,
                                        int srcLang);
  static const std::vector<unsigned char>& GetTransPropData(const CResItem* item,
                                                           const CPropName& name, int lang,
                                                           int srcLang);

  // Stores `value` (taken) in the translation for `lang`, creating the
  // translation when the item has none, inside one multi-operation bracket.
  static void SetTransProp(CResItem* item, const CPropName& name, CProp* value, int lang);
  // Hands the property back (the caller owns it); null when absent.
  static CProp* RemoveTransProp(CResItem* item, const CPropName& name, int lang);
  // Whether any translation of the item holds the property.
  static bool HasTransProp(const CResItem* item, const CPropName& name);
  // Whether the item has a translation for lang or, for a branded lang, for
  // srcLang's language with lang's brand or lang's language with srcLang's
  // brand; with `recursive`, whether any item below it has one.
  static bool HasTranslations(const CResItem* item, int lang, int srcLang, bool recursive);
};
