// Arbitrary bytes as a project database: opened read-only through the
// SQLite adapter, the tree loaded and the value store read. Errors are
// messages, never a crash, a hang or a leak. Bytes that start like a legacy
// SQLite 2 file (the seeds hold real ones) go through the legacy engine, and
// a write is tried on every connection. The same bytes go through the
// binary text decoder, and through the encoder and back.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"
#include "storage/sqlite_api.h"

namespace {

void Codec(const uint8_t* data, size_t size) {
  std::vector<unsigned char> text(data, data + size);
  text.push_back(0);
  std::vector<unsigned char> bytes(text.size());
  const int decoded = locmodel::sqlite_api::sqlite_decode_binary(text.data(), bytes.data());
  if (decoded > static_cast<int>(size)) __builtin_trap();

  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> encoded(EncodeBinary(data, static_cast<unsigned int>(size)));
  if (std::memchr(encoded.get(), '\'', std::strlen(reinterpret_cast<char*>(encoded.get()))))
    __builtin_trap();
  unsigned int back = 0;
  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> round(LoadBinary(reinterpret_cast<char*>(encoded.get()), back));
  if (back != size || (size && std::memcmp(round.get(), data, size) != 0)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Codec(data, size);

  static const std::string path = "/tmp/locmodel-fuzz-storage-" + std::to_string(getpid()) + ".db";
  static const std::u16string wide = locmodel::Utf8ToUtf16(path);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  std::unique_ptr<CResItem> root;
  locmodel::LoadProjectDatabase(wide, root);
  {
    CStorage storage(wide, CStorage::ReadOnly);
    int number = 0;
    storage.GetInt(number, u"ProjectVersion");
    std::u16string text;
    storage.GetStr(text, u"Name", u"file.rc");
    unsigned int bytes = 0;
    locmodel::ReleaseBuffer(storage.GetData(u"Data", bytes));
    storage.IsValExists(u"it's");
    storage.SetInt(u"ProjectVersion", 1);
  }
  std::remove(path.c_str());
  return 0;
}
