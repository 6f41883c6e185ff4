#include "locmodel/storage/storage.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "locmodel/items/res_item.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"
#include "storage/sqlite_api.h"
#include "storage/statements.h"

using namespace locmodel::sqlite_api;

namespace sql = locmodel::statements;

namespace {

// `statement` with its %Q replaced, in turn, by `texts` as SQL literals.
std::u16string Quote(const char* statement, std::initializer_list<const std::u16string*> texts) {
  std::u16string query;
  auto next = texts.begin();
  for (const char* p = statement; *p; ++p) {
    if (p[0] == '%' && p[1] == 'Q' && next != texts.end()) {
      query += u'\'' + DuplicateSpecChar((*next++)->c_str()) + u'\'';
      ++p;
    } else {
      query.push_back(static_cast<char16_t>(*p));  // the statements are ASCII
    }
  }
  return query;
}

}  // namespace

CStorage::CStorage(const std::u16string& path, OpenMode mode) : path_(path) {
  char* error = nullptr;
  db_ = sqlite_open(locmodel::NativePath(path_).c_str(),
                    mode == ReadOnly ? kSqliteReadOnly : kSqliteReadWrite, &error);
  ProcessError(error);
  // A read-only connection would refuse the table anyway; it is not even
  // asked, so that opening to read never tries to write.
  if (!db_ || mode == ReadOnly) return;
  BeginTrans();
  // A file that has the table already (or is read-only) refuses it; that is
  // no error worth telling.
  error = nullptr;
  sqlite_exec(db_, sql::kCreateProp, nullptr, nullptr, &error);
  sqlite_freemem(error);
  CommitTrans();
}

CStorage::~CStorage() { sqlite_close(db_); }

void CStorage::Exec(const char* sql) {
  if (!db_) return;
  char* error = nullptr;
  sqlite_exec(db_, sql, nullptr, nullptr, &error);
  ProcessError(error);
}

template <typename... Args>
void CStorage::ExecPrintf(const char* format, Args... args) {
  if (!db_) return;
  char* error = nullptr;
  sqlite_exec_printf(db_, format, nullptr, nullptr, &error, args...);
  ProcessError(error);
}

void CStorage::BeginTrans() { Exec(sql::kBegin); }
void CStorage::CommitTrans() { Exec(sql::kCommit); }

void CStorage::CreateDb() {
  if (!db_) return;
  BeginTrans();
  for (const char* statement : sql::kCreateTables) Exec(statement);
  CommitTrans();
  BeginTrans();
  for (const char* statement : sql::kCreateIndexes) Exec(statement);
  CommitTrans();
}

void CStorage::ClearItems() {
  for (const char* statement : sql::kClearItems) Exec(statement);
}

std::u16string CStorage::GetValSelectString(const std::u16string& key, const std::u16string& file) {
  return Quote(sql::kValueLookup, {&key, &file});
}

bool CStorage::IsValExists(const std::u16string& key, const std::u16string& file) {
  if (!db_) return false;
  return ::GetKey(db_, Quote(sql::kValueExists, {&key, &file})) != kNoKey;
}

void CStorage::GetInt(int& out, const std::u16string& key, const std::u16string& file) {
  if (db_) GetIntVal(db_, GetValSelectString(key, file), out);
}

void CStorage::GetStr(std::u16string& out, const std::u16string& key, const std::u16string& file) {
  if (db_) GetStrVal(db_, GetValSelectString(key, file), out);
}

unsigned char* CStorage::GetData(const std::u16string& key, unsigned int& size,
                                 const std::u16string& file) {
  return db_ ? GetBinaryVal(db_, GetValSelectString(key, file), size) : nullptr;
}

template <typename Value>
void CStorage::SetValue(const std::u16string& key, const std::u16string& file, const char* insert,
                        const char* update, Value value) {
  if (!db_) return;
  const std::string key8 = locmodel::Utf16ToUtf8(key);
  const std::string file8 = locmodel::Utf16ToUtf8(file);
  ExecPrintf(IsValExists(key, file) ? update : insert, value, key8.c_str(), file8.c_str());
}

void CStorage::SetInt(const std::u16string& key, int value, const std::u16string& file) {
  SetValue(key, file, sql::kInsertIntValue, sql::kUpdateIntValue, value);
}

void CStorage::SetStr(const std::u16string& key, const std::u16string& value,
                      const std::u16string& file) {
  SetValue(key, file, sql::kInsertTextValue, sql::kUpdateTextValue, locmodel::Utf16ToUtf8(value).c_str());
}

void CStorage::SetData(const std::u16string& key, const unsigned char* data, unsigned int size,
                       const std::u16string& file) {
  const std::unique_ptr<unsigned char[], locmodel::BufferDeleter> text(EncodeBinary(data, size));
  SetValue(key, file, sql::kInsertTextValue, sql::kUpdateTextValue,
           reinterpret_cast<const char*>(text.get()));
}

int CStorage::InsertBinary(int parentKey, int num, const unsigned char* data, unsigned int size) {
  if (!db_) return kNoKey;
  const std::unique_ptr<unsigned char[], locmodel::BufferDeleter> text(EncodeBinary(data, size));
  ExecPrintf(sql::kInsertBinary, parentKey, num, reinterpret_cast<const char*>(text.get()));
  return sqlite_last_insert_rowid(db_);
}

int CStorage::SaveBinary(const unsigned char* data, unsigned int size) {
  if (size == 0) return kNoKey;
  const unsigned int first = std::min(size, MAX_BINARY_SIZE);
  const int head = InsertBinary(kNoKey, 0, data, first);
  int num = 1;
  for (unsigned int offset = first; offset < size; offset += MAX_BINARY_SIZE)
    InsertBinary(head, num++, data + offset, std::min(size - offset, MAX_BINARY_SIZE));
  return head;
}

void CStorage::ClearBinaryChain(int key) {
  ExecPrintf(sql::kDeleteBinaryHead, key);
  ExecPrintf(sql::kDeleteBinaryTail, key);
}

int CStorage::GetKey(const CResItem* item) const {
  const auto it = keys_.find(item);
  return it == keys_.end() ? kNoKey : it->second;
}

void CStorage::SetKey(const CResItem* item, int key) { keys_[item] = key; }
