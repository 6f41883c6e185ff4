// A project file from arbitrary bytes through both readers: a tree or an
// error value, never a crash, a leak or a stack overflow. What loads must
// save and load again to the same bytes.
#include "locmodel/items/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (auto reader : {locmodel::ProjectReader::Tree, locmodel::ProjectReader::Sequential}) {
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProjectFromMemory(data, size, root, reader).ok()) continue;
    const auto saved = locmodel::SaveProjectToMemory(*root);
    std::unique_ptr<CResItem> again;
    if (!locmodel::LoadProjectFromMemory(saved.data(), saved.size(), again, reader).ok() ||
        locmodel::SaveProjectToMemory(*again) != saved)
      __builtin_trap();
  }
  return 0;
}
