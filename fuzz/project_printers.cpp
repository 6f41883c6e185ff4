// Whatever either reader accepts from arbitrary bytes goes through the CLI's
// printers (dump as text and as JSON): a reader that lets an odd value
// through (a null property, a half-read item) is caught where it is used.
#include <sstream>

#include "cli/item_print.h"
#include "locmodel/items/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (auto reader : {locmodel::ProjectReader::Tree, locmodel::ProjectReader::Sequential}) {
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProjectFromMemory(data, size, root, reader).ok()) continue;
    std::ostringstream text, json;
    locmodel::cli::PrintItemTree(*root, text);
    locmodel::cli::PrintItemTreeJson(*root, json);
    // A copy clones every property: a null one would not survive it.
    CResItem copy(*root);
  }
  return 0;
}
