#include "locmodel/storage/storage.h"

#include <algorithm>
#include <memory>

#include "locmodel/items/res_item.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"

namespace {

// The schema. Each text is part of the file format.
constexpr char kCreateProp[] =
    "create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, string CHAR, "
    "value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT )";
constexpr const char* kCreateTables[] = {
    "create table RES_ITEM    ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "res_id CHAR, tab_num INT, state INT )",
    "create table TRANS_ITEM  ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "lang INT, status INT, string CHAR )",
    "create table BINARY      ( parent_key INT, num INT, data BLOB )",
    "create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )",
};
constexpr const char* kCreateIndexes[] = {
    "create index val_storage_key     on val_storage ( val_key    ); ",
    "create index val_storage_file    on val_storage ( file       ); ",
};
constexpr const char* kClearItems[] = {
    "delete from res_item", "delete from trans_item", "delete from binary", "delete from prop",
};

// The value-store lookup and existence test, formatted with the key and the
// file name after quote doubling.
std::u16string FormatQuery(const char16_t* before, const std::u16string& key, const char16_t* middle,
                           const std::u16string& file) {
  return before + DuplicateSpecChar(key.c_str()) + middle + DuplicateSpecChar(file.c_str()) + u"' ";
}

}  // namespace

CStorage::CStorage(const std::u16string& path, OpenMode mode) : path_(path) {
  char* error = nullptr;
  db_ = sqlite_open(locmodel::NativePath(path_).c_str(),
                    mode == ReadOnly ? locmodel::kSqliteReadOnly : locmodel::kSqliteReadWrite, &error);
  ProcessError(error);
  if (!db_) return;
  BeginTrans();
  // A file that has the table already (or is read-only) refuses it; that is
  // no error worth telling.
  error = nullptr;
  sqlite_exec(db_, kCreateProp, nullptr, nullptr, &error);
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

void CStorage::BeginTrans() { Exec("begin;"); }
void CStorage::CommitTrans() { Exec("commit;"); }

void CStorage::CreateDb() {
  if (!db_) return;
  BeginTrans();
  for (const char* sql : kCreateTables) Exec(sql);
  CommitTrans();
  BeginTrans();
  for (const char* sql : kCreateIndexes) Exec(sql);
  CommitTrans();
}

void CStorage::ClearItems() {
  for (const char* sql : kClearItems) Exec(sql);
}

std::u16string CStorage::GetValSelectString(const std::u16string& key, const std::u16string& file) {
  return FormatQuery(u"SELECT val FROM val_storage WHERE val_key = '", key, u"' AND file = '", file);
}

bool CStorage::IsValExists(const std::u16string& key, const std::u16string& file) {
  if (!db_) return false;
  return ::GetKey(db_, FormatQuery(u"select rowid from val_storage where val_key == '", key,
                                   u"' and file == '", file)) != kNoKey;
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
  SetValue(key, file, "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %d, %Q, %Q )",
           "UPDATE val_storage SET val = %d WHERE val_key == %Q AND file == %Q;", value);
}

void CStorage::SetStr(const std::u16string& key, const std::u16string& value,
                      const std::u16string& file) {
  SetValue(key, file, "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %Q, %Q, %Q )",
           "UPDATE val_storage SET val = %Q WHERE val_key == %Q AND file == %Q;",
           locmodel::Utf16ToUtf8(value).c_str());
}

void CStorage::SetData(const std::u16string& key, const unsigned char* data, unsigned int size,
                       const std::u16string& file) {
  const std::unique_ptr<unsigned char[]> text(EncodeBinary(data, size));
  SetValue(key, file, "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %Q, %Q, %Q )",
           "UPDATE val_storage SET val = %Q WHERE val_key == %Q AND file == %Q;",
           reinterpret_cast<const char*>(text.get()));
}

int CStorage::InsertBinary(int parentKey, int num, const unsigned char* data, unsigned int size) {
  if (!db_) return kNoKey;
  const std::unique_ptr<unsigned char[]> text(EncodeBinary(data, size));
  ExecPrintf("INSERT INTO binary ( parent_key, num, data )  VALUES ( %d,         %d,  %Q )",
             parentKey, num, reinterpret_cast<const char*>(text.get()));
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
  ExecPrintf("delete from binary where rowid == %d;", key);
  ExecPrintf("delete from binary where parent_key == %d;", key);
}

int CStorage::GetKey(const CResItem* item) const {
  const auto it = keys_.find(item);
  return it == keys_.end() ? kNoKey : it->second;
}

void CStorage::SetKey(const CResItem* item, int key) { keys_[item] = key; }
