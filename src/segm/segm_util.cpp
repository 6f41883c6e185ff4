#include "locmodel/segm/segm_util.h"

#include <dlfcn.h>

#include "locmodel/props/cfg_holder.h"
#include "locmodel/segm/icu_breaker.h"
#include "locmodel/segm/srx_breaker.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

ISegmentator* CSegmUtil::CreateSegmentator(CSegmType type, const CResItem& item, int lang) {
  switch (type) {
    case SEGM_NONE:
      return new CNoBreaker;
    case SEGM_ICU:
      return new CICUBreaker(lang);
    case SEGM_SRX:
      return new CSRXBreaker(CSegmCfg::GetSRXStore(item, true), lang);
  }
  return nullptr;
}

void CSegmUtil::InitializeDefaults() {
  const std::u16string dir = GetProgramDir();
  // Without the program directory, "segment.srx" would name a file in the
  // current or root directory: read nothing rather than a stranger's rules.
  if (dir.empty()) return;
  CSRXStore store;
  try {
    if (!store.Load(dir + u"segment.srx")) return;
  } catch (const CSRXStore::CLoadError&) {
    return;
  }
  CSegmCfg::SetSRXStore(CCfgHolder::DefaultItem, store);
}

std::u16string CSegmUtil::GetInstalledRulesPath() {
  Dl_info info;
  if (dladdr(reinterpret_cast<const void*>(&CSegmUtil::GetInstalledRulesPath), &info) == 0 ||
      !info.dli_fname || info.dli_fname[0] != '/') {
    return {};
  }
  const std::string library = info.dli_fname;
  return locmodel::Utf8ToUtf16(library.substr(0, library.rfind('/') + 1) + LOCMODEL_LIB_TO_DATA +
                               "/segment.srx");
}
