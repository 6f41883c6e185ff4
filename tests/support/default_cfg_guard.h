// The default configuration is process-wide: a test that reads or changes
// it through the accessors leaves it as it found it.
#pragma once

#include "locmodel/props/cfg_holder.h"

class DefaultCfgGuard {
 public:
  DefaultCfgGuard() { saved_.Copy(CCfgHolder::GetDefaultCfg()); }
  ~DefaultCfgGuard() { CCfgHolder::GetDefaultCfg().Copy(saved_); }
  DefaultCfgGuard(const DefaultCfgGuard&) = delete;
  DefaultCfgGuard& operator=(const DefaultCfgGuard&) = delete;

 private:
  CPropContainer saved_;
};
