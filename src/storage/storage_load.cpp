// CStorage::Load: the item tree out of five queries, each stepped forward
// once, merged by rowid. Rows come in the order the tree is visited, so
// every cursor only ever waits for its owner to come along.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "items/read_depth.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"
#include "storage/sqlite_api.h"
#include "storage/statements.h"

using namespace locmodel::sqlite_api;

namespace {

// Column positions in the queries of statements.h.
enum ItemColumn { kItemKey, kItemParent, kItemBinary, kItemType, kItemComment, kItemResId, kItemTab, kItemState };
enum TransColumn { kTransKey, kTransParent, kTransBinary, kTransLang = 5, kTransStatus, kTransString };
enum BinaryColumn { kBlockKey, kBlockParent, kBlockData = 3 };
enum PropColumn { kPropParent = 1, kPropName, kPropType, kPropBinary, kPropString, kPropValue };

// One row of a query; a column past the row's end reads as null.
class Row {
 public:
  // Steps `vm`; false when it yields no row.
  bool Step(sqlite_vm* vm) {
    return sqlite_step(vm, &columns_, &values_, nullptr) == SQLITE_ROW;
  }
  const char* operator[](int column) const { return column < columns_ ? values_[column] : nullptr; }
  int Int(int column, int def) const { return LoadInt((*this)[column], def); }
  std::u16string Str(int column) const {
    std::u16string text;
    LoadStr((*this)[column], text, nullptr);
    return text;
  }

 private:
  int columns_ = 0;
  const char** values_ = nullptr;
};

}  // namespace

struct CStorage::LoadedItem {
  std::unique_ptr<CResItem> item;  // null at the end of the table
  int key = kNoKey;
  int parentKey = kNoKey;
  // The rows it holds besides its own, while rows are counted.
  size_t translations = 0;
  size_t props = 0;
};

namespace {

// The rows `query` yields from where it stands to its end.
size_t StepToEnd(sqlite_vm* query) {
  size_t rows = 0;
  while (sqlite_step(query, nullptr, nullptr, nullptr) == SQLITE_ROW) ++rows;
  return rows;
}

}  // namespace

CResItem* CStorage::Load(UnattachedRows* unattached) {
  if (!db_) return nullptr;
  dropped_ = {};
  propRowsSeen_ = 0;
  counting_ = unattached != nullptr;
  // A table shaped otherwise than ours may compute rows of any size.
  if (char* refused = nullptr; sqlite_check_project_schema(db_, &refused) != SQLITE_OK) {
    ProcessError(refused);
    return nullptr;
  }
  BeginTrans();
  sqlite_vm** const queries[] = {&itemQuery_, &trans_.query, &binary_.query, &itemProps_.query,
                                 &transProps_.query};
  namespace sql = locmodel::statements;
  const char* const texts[] = {sql::kItemRows, sql::kTransRows, sql::kBinaryRows, sql::kItemPropRows,
                               sql::kTransPropRows};
  bool compiled = true;
  for (size_t i = 0; i < std::size(queries); ++i) {
    char* error = nullptr;
    sqlite_compile(db_, texts[i], nullptr, queries[i], &error);
    ProcessError(error);
    compiled = compiled && *queries[i];
  }
  std::unique_ptr<CResItem> root;
  if (!compiled) {
    locmodel::PostStorageError(u"IO error");
  } else {
    if (!unattached) {
      int version = 0;  // read as ever, though nothing depends on it
      GetInt(version, u"ProjectVersion");
    }
    AdvanceBinary();
    AdvanceProp(transProps_);
    AdvanceTrans();
    AdvanceProp(itemProps_);
    LoadedItem first = NextItem();
    if (first.item && first.parentKey == kNoKey && !Fill(first.item.get())) first.item.reset();
    root = std::move(first.item);
    if (unattached) CountRowsLeft();
  }
  for (sqlite_vm** query : queries) {
    char* error = nullptr;
    sqlite_finalize(*query, &error);
    ProcessError(error);
    *query = nullptr;
  }
  // Values the cursors still hold belong to rows out of step: not loaded.
  trans_ = {};
  itemProps_ = {};
  transProps_ = {};
  binary_ = {};
  CommitTrans();
  if (unattached) *unattached = dropped_;
  return root.release();
}

void CStorage::CountRowsLeft() {
  dropped_.items += StepToEnd(itemQuery_);
  dropped_.translations += (trans_.item ? 1 : 0) + StepToEnd(trans_.query);
  dropped_.binaries += (binary_.held ? 1 : 0) + StepToEnd(binary_.query);
  for (PropCursor* cursor : {&itemProps_, &transProps_}) {
    const size_t left = StepToEnd(cursor->query);
    propRowsSeen_ += left;
    dropped_.props += (cursor->value ? 1 : 0) + left;
  }
  size_t propRows = 0;
  char* error = nullptr;
  sqlite_vm* query = nullptr;
  sqlite_compile(db_, locmodel::statements::kPropRowids, nullptr, &query, &error);
  ProcessError(error);
  if (!query) return;
  propRows = StepToEnd(query);
  error = nullptr;
  sqlite_finalize(query, &error);
  ProcessError(error);
  if (propRows > propRowsSeen_) dropped_.props += propRows - propRowsSeen_;
}

bool CStorage::Fill(CResItem* root) {
  // The path from the root to the item read last; the recursion over tree
  // levels lives here, on the heap, so a deep tree cannot exhaust the stack.
  std::vector<std::pair<CResItem*, int>> path{{root, GetKey(root)}};
  for (LoadedItem next = NextItem(); next.item; next = NextItem()) {
    while (!path.empty() && path.back().second != next.parentKey) path.pop_back();
    if (path.empty()) {  // its parent is not on the path: loading stops here
      keys_.erase(next.item.get());
      ++dropped_.items;
      dropped_.translations += next.translations;
      dropped_.props += next.props;
      return true;
    }
    // Deeper than a project file may nest: refused whole, as the file
    // readers refuse it, so that no tool meets a tree it cannot walk.
    if (path.size() >= static_cast<size_t>(CResItem::kMaxReadDepth)) {
      keys_.erase(next.item.get());
      for (std::vector<const CResItem*> pending{root}; !pending.empty();) {
        const CResItem* item = pending.back();
        pending.pop_back();
        keys_.erase(item);
        for (const CResItem* child : item->GetResItems()) pending.push_back(child);
      }
      locmodel::PostStorageError(locmodel::Utf8ToUtf16(locmodel::item_reading::TooDeepMessage()));
      return false;
    }
    CResItem* child = next.item.release();
    path.back().first->AddResItem(child);
    path.emplace_back(child, next.key);
  }
  return true;
}

CStorage::LoadedItem CStorage::NextItem() {
  Row row;
  if (!row.Step(itemQuery_)) return {};
  const int key = row.Int(kItemKey, kNoKey);
  LoadedItem loaded{std::make_unique<CResItem>(), key, row.Int(kItemParent, kNoKey)};
  CResItem& item = *loaded.item;
  keys_[&item] = key;
  item.SetType(row.Int(kItemType, kNoKey));
  item.SetComment(row.Str(kItemComment));
  item.SetResId(row.Str(kItemResId));
  item.SetTabNum(row.Int(kItemTab, 0));
  item.SetState(row.Int(kItemState, 0));
  AppendChain(row.Int(kItemBinary, kNoKey),
              [&](const unsigned char* data, unsigned int size) { item.AddBinaryBlock(data, size); });
  loaded.props = LoadProps(itemProps_, key, item);
  if (counting_ && !transPropRows_.empty()) transPropRows_.clear();
  while (trans_.item && trans_.parentKey == key) {
    CTransItem& trans = *trans_.item;
    AppendChain(trans_.binaryKey,
                [&](const unsigned char* data, unsigned int size) { trans.AddBinaryBlock(data, size); });
    const size_t props = LoadProps(transProps_, trans.GetKey(), trans);
    // A second row for one language replaces the first, which is destroyed.
    std::unique_ptr<CTransItem> replaced(item.GetTranslation(trans.GetLang()));
    if (counting_) {
      size_t& rows = transPropRows_[trans.GetLang()];
      if (replaced) {
        ++dropped_.translations;
        dropped_.props += rows;
        loaded.props -= rows;
      } else {
        ++loaded.translations;
      }
      rows = props;
      loaded.props += props;
    }
    item.AddTransItem(trans_.item.release());
    AdvanceTrans();
  }
  return loaded;
}

template <typename AddBlock>
size_t CStorage::AppendChain(int binaryKey, AddBlock add) {
  if (binaryKey == kNoKey || binaryKey != binary_.key || !binary_.held) return 0;
  size_t blocks = 0;
  do {
    add(binary_.data.data(), binary_.size);
    ++blocks;
    AdvanceBinary();
  } while (binary_.held && binary_.parentKey == binaryKey);
  return blocks;
}

size_t CStorage::LoadProps(PropCursor& cursor, int ownerKey, CPropContainer& owner) {
  // Values the owner held before its rows came (a translation's text and
  // data): a row replacing one of them is no row lost.
  ownerProps_.clear();
  if (counting_)
    for (const auto& [name, value] : owner.GetPropCont()) ownerProps_.push_back(value);
  size_t rows = 0;
  while (cursor.value && cursor.parentKey == ownerKey) {
    auto* binary = dynamic_cast<CBinaryProp*>(cursor.value.get());
    // Blocks of a property that holds no bytes are read past and dropped.
    const size_t blocks = AppendChain(cursor.binaryKey, [&](const unsigned char* data, unsigned int size) {
      if (binary) binary->AddBinaryBlock(data, size);
    });
    if (!binary) dropped_.binaries += blocks;
    if (counting_) {
      // A second row for one name replaces the first.
      const CProp* old = owner.GetPropW(cursor.name);
      const auto held = std::find(ownerProps_.begin(), ownerProps_.end(), old);
      if (held != ownerProps_.end()) {
        ownerProps_.erase(held);  // its address may come back for a row's value
        ++rows;
      } else if (old) {
        ++dropped_.props;
      } else {
        ++rows;
      }
    }
    owner.SetPropW(cursor.name, cursor.value.release());
    AdvanceProp(cursor);
  }
  return rows;
}

void CStorage::AdvanceTrans() {
  Row row;
  if (!row.Step(trans_.query)) {
    trans_.item.reset();
    trans_.parentKey = trans_.binaryKey = kNoKey;
    return;
  }
  trans_.item = std::make_unique<CTransItem>(7777);
  trans_.item->SetKey(row.Int(kTransKey, kNoKey));
  trans_.item->SetLang(row.Int(kTransLang, 0));
  trans_.item->SetStatus(row.Int(kTransStatus, 0));
  if (const std::u16string text = row.Str(kTransString); !text.empty()) trans_.item->SetStr(text);
  trans_.parentKey = row.Int(kTransParent, kNoKey);
  trans_.binaryKey = row.Int(kTransBinary, kNoKey);
}

void CStorage::AdvanceProp(PropCursor& cursor) {
  Row row;
  while (row.Step(cursor.query)) {
    ++propRowsSeen_;
    switch (row.Int(kPropType, 0)) {
      case 1: cursor.value = std::make_unique<CStrProp>(row.Str(kPropString)); break;
      case 2: cursor.value = std::make_unique<CIntProp>(row.Int(kPropValue, -1)); break;
      case 3: cursor.value = std::make_unique<CBinaryProp>(); break;
      default: ++dropped_.props; continue;  // a kind of property this library does not know
    }
    cursor.parentKey = row.Int(kPropParent, kNoKey);
    cursor.binaryKey = row.Int(kPropBinary, kNoKey);
    cursor.name.FromString(row.Str(kPropName));
    return;
  }
  cursor.value.reset();
  cursor.parentKey = cursor.binaryKey = kNoKey;
}

void CStorage::AdvanceBinary() {
  Row row;
  binary_.size = 0;
  binary_.held = row.Step(binary_.query);
  if (!binary_.held) {
    binary_.key = binary_.parentKey = kNoKey;
    return;
  }
  binary_.key = row.Int(kBlockKey, kNoKey);
  binary_.parentKey = row.Int(kBlockParent, kNoKey);
  // LoadBinary's decoding into the cursor's own buffer: a block costs no
  // allocation once the buffer has grown to the largest block.
  const auto* text = reinterpret_cast<const unsigned char*>(row[kBlockData] ? row[kBlockData] : "");
  binary_.data.resize(std::strlen(reinterpret_cast<const char*>(text)) + 1);
  const int decoded = sqlite_decode_binary(text, binary_.data.data());
  binary_.size = decoded < 0 ? 0 : static_cast<unsigned int>(decoded);
}
