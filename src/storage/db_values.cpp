#include "locmodel/storage/db_values.h"

#include <cstdint>
#include <cstring>

#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"
#include "storage/file_probe.h"
#include "storage/sqlite_api.h"
#include "util/buffer.h"

using namespace locmodel::sqlite_api;

namespace {

constexpr int kNoKey = 9999999;

// Compiles `query`, hands the first column of its first row (when there is
// one) to `decode`, finalizes, and posts what went wrong on the way.
template <typename Decode>
void ReadFirstValue(sqlite* db, const std::u16string& query, const char16_t* failure,
                    Decode decode) {
  const std::string sql = locmodel::Utf16ToUtf8(query);
  sqlite_vm* vm = nullptr;
  char* error = nullptr;
  sqlite_compile(db, sql.c_str(), nullptr, &vm, &error);
  if (!vm) {
    // The statement's own message says less than which read failed.
    sqlite_freemem(error);
    locmodel::PostStorageError(failure);
    return;
  }
  ProcessError(error);
  int columns = 0;
  const char** values = nullptr;
  if (sqlite_step(vm, &columns, &values, nullptr) == SQLITE_ROW && columns > 0 && values[0])
    decode(values[0]);
  error = nullptr;
  sqlite_finalize(vm, &error);
  ProcessError(error);
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

namespace locmodel {

void PostStorageError(const std::u16string& text) {
  CMessageProxy::Instance().Post(CMessagePanelMsg(text, CMessagePanelMsg::Error));
}

}  // namespace locmodel

void GetIntVal(sqlite* db, const std::u16string& query, int& out) {
  ReadFirstValue(db, query, u"IO error: GetIntVal", [&](const char* text) { out = LoadInt(text, out); });
}

void GetStrVal(sqlite* db, const std::u16string& query, std::u16string& out) {
  ReadFirstValue(db, query, u"IO error: GetStrVal", [&](const char* text) { LoadStr(text, out, nullptr); });
}

unsigned char* GetBinaryVal(sqlite* db, const std::u16string& query, unsigned int& size) {
  unsigned char* data = nullptr;
  ReadFirstValue(db, query, u"IO error: GetBinary",
                 [&](const char* text) { data = LoadBinary(text, size); });
  return data;
}

int GetKey(sqlite* db, const std::u16string& query) {
  int key = kNoKey;
  GetIntVal(db, query, key);
  return key;
}

bool ProcessError(char* message) {
  if (!message) return false;
  locmodel::PostStorageError(locmodel::Utf8ToUtf16(message));
  sqlite_freemem(message);
  return true;
}

bool IsSQLiteFormat(const std::u16string& path) {
  return locmodel::storage::IsDatabase(locmodel::storage::ProbeFile(locmodel::NativePath(path)));
}

int LoadInt(const char* text, int def, bool) {
  if (!text || !*text) return def;
  while (IsBlank(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  uint64_t value = 0;  // wraps modulo 2^64, as the 64-bit parse it stands for
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<uint64_t>(*text - '0');
  if (negative) value = 0 - value;
  return static_cast<int>(static_cast<uint32_t>(value));
}

unsigned char* LoadBinary(const char* text, unsigned int& size, bool) {
  if (!text) text = "";
  auto* data = locmodel::AllocateBuffer<unsigned char>(std::strlen(text) + 1);
  const int decoded = sqlite_decode_binary(reinterpret_cast<const unsigned char*>(text), data);
  size = decoded < 0 ? 0 : static_cast<unsigned int>(decoded);
  return data;
}

unsigned char* EncodeBinary(const unsigned char* data, unsigned int size) {
  auto* text = locmodel::AllocateBuffer<unsigned char>(3 * static_cast<size_t>(size) + 2);
  sqlite_encode_binary(data, static_cast<int>(size), text);
  return text;
}
