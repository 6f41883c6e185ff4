// Choosing a segmentator for an item, and the segmentation settings that
// items inherit down the tree (see locmodel/props/accessor.h).
#pragma once

#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/segm/segmentator.h"
#include "locmodel/segm/srx_store.h"

class CResItem;

class CSegmUtil {
 public:
  // The segmentation kinds, as stored in "Segm.Type".
  enum CSegmType { SEGM_NONE = 0, SEGM_ICU = 1, SEGM_SRX = 2 };

  CSegmUtil() = delete;

  // A new segmentator the caller owns: CNoBreaker, CICUBreaker for `lang`,
  // or CSRXBreaker over the item's effective "Segm.SRXStore" for `lang`;
  // null for any other type value.
  static ISegmentator* CreateSegmentator(CSegmType type, const CResItem& item, int lang);
  // Loads "segment.srx" from the program directory and, when that succeeds,
  // makes it the default configuration's SRX store; otherwise nothing
  // changes. Called once by the host after start-up.
  static void InitializeDefaults();
  // Where the installed default rules are: share/locmodel/segment.srx of
  // the prefix the library itself was loaded from (never found through the
  // current directory or the environment); empty when the library's path
  // is unknown or not absolute. Whether the file exists is the caller's
  // question.
  static std::u16string GetInstalledRulesPath();
};

class CSegmCfg {
 public:
  CSegmCfg() = delete;

  // A CSegmUtil::CSegmType value.
  LOCMODEL_CFG_STATIC_PROP(SegmType, u"Segm.Type", CIntProp, int, CSegmUtil::SEGM_ICU);
  // The rules of SRX segmentation; by default none, with cascading on.
  LOCMODEL_CFG_STATIC_PROP(SRXStore, u"Segm.SRXStore", CSRXStoreProp, CSRXStore, CSRXStore());
};

// Automatic splitting of long strings, per file format.
class CAutoSegmCfg : public CCustomAccessor {
 public:
  using CCustomAccessor::CCustomAccessor;

  LOCMODEL_CFG_FORMAT_PROP(EnableAutoSegmentation, u"AutoSegm.Enable", CBoolProp, bool, false);
  // Strings longer than this many characters are split.
  LOCMODEL_CFG_FORMAT_PROP(LengthLimit, u"AutoSegm.LengthLimit", CIntProp, int, 256);
};
