// Arbitrary bytes as an old project database, moved by the migration: a
// refusal or warnings, never a crash, a hang, a leak or a write to the input.
// The seeds are real legacy files, among them one holding old settings.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "locmodel/config/migration.h"
#include "locmodel/config/old_prj_config.h"
#include "locmodel/util/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/locmodel-fuzz-old-project-" + std::to_string(getpid()) + ".db";
  static const std::u16string wide = locmodel::Utf8ToUtf16(path);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(path, std::ios::binary) << bytes;

  COldPrjConfig config;
  config.Load(wide);
  locmodel::MigrationResult result;
  const bool ok = locmodel::MigrateOldProject(wide, result).ok();
  if (ok != (result.root != nullptr)) __builtin_trap();

  std::ifstream in(path, std::ios::binary);
  if (std::string(std::istreambuf_iterator<char>(in), {}) != bytes) __builtin_trap();
  std::remove(path.c_str());
  return 0;
}
