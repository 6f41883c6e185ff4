// The project-wide configuration: CPrjConfig (the item-id counter, running
// the localized program, crash-finder and update settings, the project
// languages and the brand table) and CCustomEventsCfgAccessor (the commands
// around scans and builds). Both are static accessor families (see
// locmodel/props/accessor.h); the host normally stores their values on the
// project's root item.
//
// The library attaches no meaning to most of these values: it stores and
// returns them unchanged, whatever they hold. It never runs the commands
// they name.
#pragma once

#include <string>

#include "locmodel/config/prj_langs.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

class CPrjConfig {
 public:
  CPrjConfig() = delete;

  // The host's counter of item ids (see CItemIdAccessor::GetGuidFromCounter).
  LOCMODEL_CFG_STATIC_PROP(LastItemId, u"LastItemId", CItemIdProp, unsigned long long, 0);
  // Whether importing matches resources by their item ids.
  LOCMODEL_CFG_STATIC_PROP(IsImportByItemIdEnabled, u"IsImportByItemIdEnabled", CBoolProp, bool, false);
  // A command-item name, or "#dump#".
  LOCMODEL_CFG_STATIC_PROP(RunLocalizedCommandItem, u"RunLocalizedCommandItem", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(RunLocalizedCmd, u"RunLocalizedCmd", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(RunLocalizedWorkDir, u"RunLocalizedWorkDir", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(RunLocalizedCmdArgs, u"RunLocalizedCmdArgs", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(CrashFinderDstDir, u"CrashFinderDstDir", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(bCrashFinderAutoStart, u"bCrashFinderAutoStart", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(bCrashUseTempDir, u"bCrashUseTempDir", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(TranslateByValue, u"TranslateByValue", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(FuzzyUpdate, u"FuzzyUpdate", CIntProp, int, 90);
  LOCMODEL_CFG_STATIC_PROP(AddRemovedIntoTM, u"AddRemovedIntoTM", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(PrjLangs, u"PrjLangs", CPrjLangsProp, CPrjLangs, CPrjLangs(CLangId::NoLang));
  // Brand index (the brand byte of a language identifier) -> display name;
  // brand 0 is the source brand.
  LOCMODEL_CFG_STATIC_PROP(BrandMap, u"BrandMap", CIntStrMapProp, CIntStrMap, GetDefaultBrandMap());

  // The name of `brand` in the effective brand map, else "[<brand>]".
  static std::u16string GetBrandName(const CResItem& item, int brand);
  // The long name of `lang`'s language; while the effective brand map has
  // two entries or more, prefixed with its brand's name ("SourceBrand: ...").
  static std::u16string GetBrandedLangName(const CResItem& item, int lang);
  // `native` carried into the brand of `lang` (unchanged when both share
  // the 16-bit part, whatever their brands).
  static int GetBrandNative(int lang, int native);

  // The fields of the effective project languages (GetPrjLangs(item, true)).
  static int GetNative(const CResItem& item) { return GetPrjLangs(item, true).getNative(); }
  static int GetTarget(const CResItem& item) { return GetPrjLangs(item, true).getTarget(); }
  static int GetSecondary(const CResItem& item) { return GetPrjLangs(item, true).getSecondary(); }
  static const CLangSet& GetSelectedLangs(const CResItem& item) {
    return GetPrjLangs(item, true).getSelectedLangs();
  }
  // Each applies the CPrjLangs rule of the same name to a copy of the
  // effective value and stores it with SetPrjLangs: a refused or empty
  // change stores nothing.
  static void SetTarget(CResItem& item, int lang);
  static void SetSecondary(CResItem& item, int lang);
  static void ResetSecondary(CResItem& item) { SetSecondary(item, CLangId::NoLang); }
  static void SetSelectedLangs(CResItem& item, const CLangSet& langs);
  static void AddSelectedLang(CResItem& item, int lang);

  // Every language the project is output in for `brand` (UnrealBrand: every
  // brand): each selected language, and the native one when there are two
  // brands or more, once per brand-map key whose low byte matches, the
  // native language itself excluded. The result can hold (languages) x
  // (brands) entries; callers facing untrusted values bound that first.
  static CLangSet GetAllOutputLangs(const CResItem& item, unsigned char brand);

 protected:
  // {0: "SourceBrand"}, the default of BrandMap.
  static CIntStrMap GetDefaultBrandMap();
};

class CCustomEventsCfgAccessor {
 public:
  CCustomEventsCfgAccessor() = delete;

  LOCMODEL_CFG_STATIC_PROP(BeforeCreateEventCmd, u"BeforeCreateEventCmd", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(AfterCreateEventCmd, u"AfterCreateEventCmd", CStrProp, std::u16string, u"");
  // A number, not a flag: 1 by default.
  LOCMODEL_CFG_STATIC_PROP(ExecuteScanEventsForEveryLang, u"ExecuteScanEventsForEveryLang", CIntProp, int, 1);
  LOCMODEL_CFG_STATIC_PROP(BeforeScanEventCmd, u"BeforeScanEventCmd", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(AfterScanEventCmd, u"AfterScanEventCmd", CStrProp, std::u16string, u"");
};
