// CStorage: the project database of the older project format, an SQLite
// database holding a tree of resource items with their properties,
// translations and binary data, and a key/value store of project settings.
//
// A CStorage is bound to one file: the constructor opens it (in ReadWrite
// mode creating the PROP table when it can) and the destructor closes it. Load builds the
// whole item tree in one pass over five queries merged in rowid order; it
// never writes items. Every statement text is part of the file format.
//
// Failure: SQLite's messages and the storage's own ("IO error ...") are
// posted to the message proxy as storage errors (type 2) and the operation
// goes on or returns its "nothing" value; nothing throws. Without a
// connection (IsGood() false; the open failure was posted) every operation
// does nothing.
//
// Ownership: Load hands the tree to the caller; GetData's buffer is the
// caller's, freed with locmodel::ReleaseBuffer (locmodel::BufferDeleter),
// never delete[]. Not copyable; one thread at a time.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "locmodel/props/prop_name.h"

class CProp;
class CPropContainer;
class CResItem;
class CTransItem;

namespace locmodel::sqlite_api {
struct sqlite;
struct sqlite_vm;
}  // namespace locmodel::sqlite_api

class CStorage {
 public:
  // The version of the database layout this library writes. Nothing here
  // compares it with anything.
  static constexpr int CurrentVersion = 4200;
  // The most bytes (before encoding) one BINARY row holds.
  static constexpr unsigned int MAX_BINARY_SIZE = 950000;
  // The key that stands for "no row".
  static constexpr int kNoKey = 9999999;

  enum OpenMode {
    ReadWrite,  // creates a missing file
    ReadOnly,   // a missing file is an error; nothing is ever written
  };

  explicit CStorage(const std::u16string& path, OpenMode mode = ReadWrite);
  ~CStorage();
  CStorage(const CStorage&) = delete;
  CStorage& operator=(const CStorage&) = delete;

  bool IsGood() const { return db_ != nullptr; }

  // Creates RES_ITEM, TRANS_ITEM, BINARY and VAL_STORAGE in one transaction,
  // then the two value-store indexes in another.
  void CreateDb();
  // Deletes every item, translation, binary and property row; the value
  // store stays.
  void ClearItems();
  // Rows of the project tables that Load read past, or left unread, without
  // attaching them to the tree it returned: rows out of step with the tree
  // (an owner not loaded, a chain that does not follow on), everything from
  // the item where loading stopped on, a property kind or a property class
  // this library does not know, the earlier of two rows for one language of
  // an item or one property name of an owner, and blocks of a property that
  // holds no bytes. The translations and properties of an item that is not
  // attached count under their tables; blocks count only when no row counted
  // elsewhere owns them.
  struct UnattachedRows {
    size_t items = 0;         // RES_ITEM
    size_t translations = 0;  // TRANS_ITEM
    size_t props = 0;         // PROP
    size_t binaries = 0;      // BINARY
  };

  // The item tree, or null when there is no resource item, a query cannot
  // be compiled ("IO error"), a project table is shaped otherwise than
  // CreateDb makes it (a generated or extra column, a view in its place), or
  // items nest deeper than CResItem::kMaxReadDepth ("items nest deeper than
  // 1000 levels"). A first row whose parent is not 9999999 comes back alone;
  // loading stops at the first item whose parent is not on the current path
  // from the root. With `unattached`, the rows the returned tree leaves out
  // are counted there: every query is then stepped to its end, and the
  // PROP table read once more for the rows of neither kind. The value store
  // is then left alone ("ProjectVersion" is not read): a caller that
  // accounts for every row reads the settings itself, and a value store
  // that is missing or unreadable is its finding, not a failure here.
  CResItem* Load(UnattachedRows* unattached = nullptr);

  // The value store: one value per (key, file); the file name is empty for
  // project-wide values. Getters leave `out` unchanged when there is no
  // value; GetData returns null then, and otherwise a buffer freed with
  // locmodel::ReleaseBuffer (or held with locmodel::BufferDeleter).
  void GetInt(int& out, const std::u16string& key, const std::u16string& file = u"");
  void GetStr(std::u16string& out, const std::u16string& key, const std::u16string& file = u"");
  unsigned char* GetData(const std::u16string& key, unsigned int& size,
                         const std::u16string& file = u"");
  void SetInt(const std::u16string& key, int value, const std::u16string& file = u"");
  void SetStr(const std::u16string& key, const std::u16string& value,
              const std::u16string& file = u"");
  void SetData(const std::u16string& key, const unsigned char* data, unsigned int size,
               const std::u16string& file = u"");
  bool IsValExists(const std::u16string& key, const std::u16string& file = u"");
  // The lookup query of the value store for (key, file).
  static std::u16string GetValSelectString(const std::u16string& key, const std::u16string& file);

  // Stores `size` bytes as a chain of BINARY rows and returns the head's
  // rowid; 9999999 for no bytes.
  int SaveBinary(const unsigned char* data, unsigned int size);
  // Inserts one BINARY row and returns its rowid.
  int InsertBinary(int parentKey, int num, const unsigned char* data, unsigned int size);
  // Deletes the chain whose head is `key`.
  void ClearBinaryChain(int key);

  void BeginTrans();
  void CommitTrans();

  // The RES_ITEM rowid of a loaded item; 9999999 for an item not loaded here.
  int GetKey(const CResItem* item) const;
  void SetKey(const CResItem* item, int key);

 private:
  // Cursors over one query each, alive only during Load.
  struct TransCursor {
    std::unique_ptr<CTransItem> item;
    int parentKey = kNoKey;
    int binaryKey = kNoKey;
    locmodel::sqlite_api::sqlite_vm* query = nullptr;
  };
  struct PropCursor {
    int parentKey = kNoKey;
    int binaryKey = kNoKey;
    std::unique_ptr<CProp> value;
    CPropName name;
    locmodel::sqlite_api::sqlite_vm* query = nullptr;
  };
  struct BinaryCursor {
    std::vector<unsigned char> data;  // reused from block to block
    unsigned int size = 0;
    int key = kNoKey;
    int parentKey = kNoKey;
    bool held = false;  // a row is in `data`; false at the end of the table
    locmodel::sqlite_api::sqlite_vm* query = nullptr;
  };
  struct LoadedItem;

  void Exec(const char* sql);
  template <typename... Args>
  void ExecPrintf(const char* format, Args... args);
  template <typename Value>
  void SetValue(const std::u16string& key, const std::u16string& file, const char* insert,
                const char* update, Value value);

  LoadedItem NextItem();
  // False when the tree nests too deep (posted); the items read are then
  // forgotten and the caller destroys the tree.
  bool Fill(CResItem* root);
  // The number of blocks handed to `add`.
  template <typename AddBlock>
  size_t AppendChain(int binaryKey, AddBlock add);
  void AdvanceTrans();
  void AdvanceProp(PropCursor& cursor);
  void AdvanceBinary();
  // The rows now attached to `owner`, while rows are counted (else 0).
  size_t LoadProps(PropCursor& cursor, int ownerKey, CPropContainer& owner);
  // Adds the rows the cursors still hold or have not reached, and the PROP
  // rows neither property query selects, to `dropped_`.
  void CountRowsLeft();

  std::u16string path_;
  locmodel::sqlite_api::sqlite* db_ = nullptr;
  locmodel::sqlite_api::sqlite_vm* itemQuery_ = nullptr;
  TransCursor trans_;
  PropCursor itemProps_;
  PropCursor transProps_;
  BinaryCursor binary_;
  // Counting the rows a Load leaves out, when its caller asks for it.
  bool counting_ = false;
  UnattachedRows dropped_;
  size_t propRowsSeen_ = 0;  // rows the two property queries yielded
  std::vector<const CProp*> ownerProps_;  // see LoadProps
  std::unordered_map<int, size_t> transPropRows_;  // per language of the item being read
  std::map<const CResItem*, int> keys_;
};
