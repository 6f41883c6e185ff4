// The output and format settings the builders of localized files and the
// host's editors read per item: static accessor families (see
// locmodel/props/accessor.h), one per format or concern.
//
// Output patterns are stored with their placeholders ("$(OutputDir)",
// "$(SrcFileName)", "$(env:ProgramFiles)", ...) unexpanded and their
// backslashes as written: a build expands them with its own macro maps, and
// the path helpers take either separator.
//
// Integers whose meaning is not listed here (the output types beyond 0, 1
// and 2, the parser version, the category view, "AutoTOC") belong to the
// host: they are stored and returned unchanged, and nothing here indexes or
// allocates by them.
#pragma once

#include <string>

#include "locmodel/config/filter.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

// Windows PE resource output. OutputType: 0 one localized file per language
// (SingleLangOutFile), 1 a resource-only library per language
// (ResOnlyOutFile), 2 every language in one file (MultiLangOutFile).
class CPEFormatCfg {
 public:
  CPEFormatCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(OutputType, u"MFC.OutputType", CIntProp, int, 0);
  LOCMODEL_CFG_STATIC_PROP(SingleLangOutFile, u"MFC.SingleLang.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)");
  LOCMODEL_CFG_STATIC_PROP(ResOnlyOutFile, u"MFC.ResOnly.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(SrcFileName)$(WinLang).dll");
  LOCMODEL_CFG_STATIC_PROP(MultiLangOutFile, u"MFC.MultiLang.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)");
  LOCMODEL_CFG_STATIC_PROP(MultilangSkipEqualResources, u"MFC.MultiLang.SkipEqualResources", CBoolProp, bool,
                           false);
};

// Form-file output; OutputType chooses among the patterns as in
// CPEFormatCfg. The resource-only file takes the language code as its
// extension.
class CDfmCfg {
 public:
  CDfmCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(UseUnicode, u"DFM.UseUnicode", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(OutputType, u"DFM.OutputType", CIntProp, int, 0);
  LOCMODEL_CFG_STATIC_PROP(SingleLangOutFile, u"DFM.SingleLang.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)");
  LOCMODEL_CFG_STATIC_PROP(ResOnlyOutFile, u"DFM.ResOnly.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(SrcFileName).$(WinLang)");
  LOCMODEL_CFG_STATIC_PROP(MultiLangOutFile, u"DFM.MultiLang.OutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\Localized\\$(SrcFileName)$(SrcFileExt)");
  LOCMODEL_CFG_STATIC_PROP(MultilangSkipEqualResources, u"DFM.MultiLang.SkipEqualResources", CBoolProp, bool,
                           false);
};

class COutputDirCfg {
 public:
  COutputDirCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(OutputDir, u"OutputDir", CStrProp, std::u16string, u"$(SourceDir)\\$(Brand)");
};

// .NET resources: parsing, the form editor and resource output. Four
// accessor names differ from their stored names, which older projects hold.
class CNetResCfg {
 public:
  CNetResCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(OutputPattern, u"NetRes.ResOutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(SrcFileName).$(CultureName)$(SrcFileExt)");
  LOCMODEL_CFG_STATIC_PROP(ParserVersion, u"NetRes.ParserVersion", CIntProp, int, 0);
  LOCMODEL_CFG_STATIC_PROP(UseReflectionBasedFormEditor, u"NetRes.UseReflectionBasedFormEditor", CBoolProp, bool,
                           true);
  // -1: the host's own choice of view.
  LOCMODEL_CFG_STATIC_PROP(WpfCategoryView, u"NetRes.WpfCategoryView", CIntProp, int, -1);
  LOCMODEL_CFG_STATIC_PROP(WpfHideEmptyItems, u"NetRes.HideEmptyItems", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(WpfPropFilter, u"NetRes.WpfPropFilter", CFilterProp, CFilter,
                           GetDefaultWpfPropFilter());
  LOCMODEL_CFG_STATIC_PROP(WpfShowUnreadableItems, u"NetRes.WpfShowUnreadable", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(WpfShowUnmodifiableItems, u"NetRes.WpfShowUnmodifiable", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(WpfEnablePreview, u"NetRes.WpfEnablePreview", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(ShowImages, u"NetRes.ShowImages", CBoolProp, bool, true);
  // Strings longer than this are edited as big strings.
  LOCMODEL_CFG_STATIC_PROP(BigStrLen, u"NetRes.BigStrLen", CIntProp, int, 1000);
  LOCMODEL_CFG_STATIC_PROP(PropFilter, u"NetRes.PropFilter", CFilterProp, CFilter, GetDefaultPropFilter());
  LOCMODEL_CFG_STATIC_PROP(IncludeAllStringsToResx, u"NetRes.IncludeAllStringsToResx", CBoolProp, bool, false);

  // Every property name but "Value" and those ending in "Name", "Category"
  // or "AsString" (matched with wildcards).
  static CFilter GetDefaultPropFilter();
  // Every name.
  static CFilter GetDefaultWpfPropFilter();
};

// .NET satellite assembly output. The signing command and the PFX password
// are stored in the project file as they are, the password in clear under
// "NetRes.OutMisc"; this library never runs the command.
class CNetBinOutCfg {
 public:
  CNetBinOutCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(SignAssembly, u"NetRes.SignAssembly", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(KeyPairFileName, u"NetRes.KeyPairFileName", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(OutputPattern, u"NetRes.BinOutFile", CStrProp, std::u16string,
                           u"$(OutputDir)\\$(CultureName)\\$(SrcFileName).resources.dll");
  LOCMODEL_CFG_STATIC_PROP(UsePFX, u"NetRes.UsePFX", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(PFXPassword, u"NetRes.OutMisc", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(UseCustomSignTool, u"NetRes.UseCustomSignTool", CBoolProp, bool, false);
  // MY_CSP_CONTAINER_NAME stands for the key container the user names.
  LOCMODEL_CFG_STATIC_PROP(CustomSignToolCmd, u"NetRes.CustomSignToolCmd", CStrProp, std::u16string,
                           uR"cmd("$(env:ProgramFiles)\Microsoft SDKs\Windows\v7.0A\Bin\sn.exe" /Rc "$(OutputFile)" MY_CSP_CONTAINER_NAME)cmd");
  LOCMODEL_CFG_STATIC_PROP(SpecifyVersion, u"NetRes.SpecifyVersion", CBoolProp, bool, false);
  LOCMODEL_CFG_STATIC_PROP(Version, u"NetRes.Version", CStrProp, std::u16string, u"1.0.0.0");
  LOCMODEL_CFG_STATIC_PROP(AllowEmptySatellite, u"NetRes.AllowEmptySatellite", CBoolProp, bool, false);
};

// The preview panel.
class CCommonPreviewCfg {
 public:
  CCommonPreviewCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(ShowPreview, u"ShowPreview", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(ShowExcluded, u"ShowExcluded", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(ShowSkipped, u"ShowSkipped", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(ShowEmptyFile, u"ShowEmptyFile", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(ShowOnlyRebranded, u"ShowOnlyRebranded", CBoolProp, bool, true);
};

// The languages the internal language filter lets through.
class CInternalFilterCfg {
 public:
  CInternalFilterCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(Filter, u"InternalFilter", CLangSetProp, CLangSet, CLangSet());
};

// HTML Help compilation. "AutoTOC" is an integer, unlike its companions.
class CChmFormatCfg {
 public:
  CChmFormatCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(AutoIndex, u"AutoIndex", CBoolProp, bool, true);
  LOCMODEL_CFG_STATIC_PROP(AutoTOC, u"AutoTOC", CIntProp, int, 0);
  LOCMODEL_CFG_STATIC_PROP(CreateCHI, u"CreateCHI", CBoolProp, bool, false);
};
