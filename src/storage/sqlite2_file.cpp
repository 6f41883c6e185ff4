#include "locmodel/storage/sqlite2_file.h"

#include <cstring>

#include "locmodel/storage/project_database.h"
#include "locmodel/util/native_path.h"
#include "storage/database_guards.h"
#include "storage/file_probe.h"
#include "storage/sqlite2_btree.h"
#include "storage/sqlite2_pager.h"
#include "storage/sqlite2_record.h"
#include "storage/sqlite2_schema.h"
#include "locmodel/util/coding.h"

namespace locmodel {

using sqlite2::BTreeWalk;
using sqlite2::kPageSize;
using sqlite2::PageSet;

namespace {

// The number 0xDAE37528 as the creating machine wrote it, at offset 48.
constexpr unsigned char kLittleEndianMark[] = {0x28, 0x75, 0xE3, 0xDA};
constexpr unsigned char kBigEndianMark[] = {0xDA, 0xE3, 0x75, 0x28};
// The file format of SQLite 2.7 and later, the only one project files have.
constexpr uint32_t kFileFormat = 4;
// A free-list trunk page lists at most this many leaves after its 8 bytes.
constexpr uint32_t kMaxTrunkLeaves = (kPageSize - 8) / 4;

// A name from the file, fit for a one-line message: hostile bytes could
// hold line breaks or be very long.
std::string Printable(std::string_view name) {
  constexpr size_t kMax = 40;
  std::string out = "'";
  for (char c : name.substr(0, kMax)) out.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
  if (name.size() > kMax) out += "...";
  return out + "'";
}

Status CheckFreeList(const sqlite2::Pager& pager, uint32_t first_trunk, uint32_t expected,
                            PageSet& pages) {
  std::vector<unsigned char> scratch(kPageSize);
  std::string reason;
  uint64_t count = 0;
  // Every trunk and leaf is taken from the page set, which ends any loop.
  for (uint32_t trunk = first_trunk; trunk != 0;) {
    if (!pages.Take(trunk, reason)) return sqlite2::Malformed(reason + " (free list)");
    const unsigned char* page = pager.Read(trunk, scratch.data());
    if (!page) return sqlite2::Malformed("page " + std::to_string(trunk) + " cannot be read");
    const uint32_t leaves = pager.U32(page + 4);
    if (leaves > kMaxTrunkLeaves)
      return sqlite2::Malformed("free-list page " + std::to_string(trunk) + " lists " +
                                      std::to_string(leaves) + " pages");
    for (uint32_t i = 0; i < leaves; ++i)
      if (!pages.Take(pager.U32(page + 8 + 4 * i), reason))
        return sqlite2::Malformed(reason + " (free list)");
    count += 1 + leaves;
    trunk = pager.U32(page);
  }
  if (count != expected)
    return sqlite2::Malformed("free list holds " + std::to_string(count) +
                                    " pages, the header says " + std::to_string(expected));
  return Status();
}

}  // namespace

std::optional<size_t> Sqlite2Table::FindColumn(std::string_view name) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (sqlite2::SameName(columns[i], name)) return i;
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Cursor

struct Sqlite2RowCursor::Impl {
  Impl(const sqlite2::Pager& pager, const Sqlite2Table& walked, PageSet* shared)
      : own_pages(pager.page_count()),
        walk(pager, walked.root_page, shared ? shared : &own_pages, BTreeWalk::Payload::kAssemble),
        table(walked) {}

  bool Fail(const std::string& reason) {
    status = sqlite2::Malformed(reason + " in table " + Printable(table.name));
    return false;
  }

  PageSet own_pages;  // the walk's pages, unless the file check shares its own
  BTreeWalk walk;
  const Sqlite2Table& table;
  Status status;
  bool has_previous = false;
  int32_t previous = 0;
};

Sqlite2RowCursor::Sqlite2RowCursor(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  row_.columns.resize(impl_->table.columns.size());
}
Sqlite2RowCursor::Sqlite2RowCursor(Sqlite2RowCursor&&) noexcept = default;
Sqlite2RowCursor& Sqlite2RowCursor::operator=(Sqlite2RowCursor&&) noexcept = default;
Sqlite2RowCursor::~Sqlite2RowCursor() = default;

const Status& Sqlite2RowCursor::status() const { return impl_->status; }

bool Sqlite2RowCursor::Next() {
  Impl& c = *impl_;
  if (!c.status.ok()) return false;
  if (!c.walk.Next()) {
    if (!c.walk.status().ok()) c.status = c.walk.status();
    return false;
  }
  const std::string_view key = c.walk.key();
  if (key.size() != 4) return c.Fail("key of " + std::to_string(key.size()) + " bytes");
  // Keys are big-endian with the sign bit flipped, so that bytewise order is
  // numeric order, whatever the file's byte order.
  const auto biased = coding::DecodeFixedBigEndian<uint32_t>(reinterpret_cast<const unsigned char*>(key.data()));
  const auto rowid = static_cast<int32_t>(biased ^ 0x80000000u);
  if (c.has_previous && rowid <= c.previous)
    return c.Fail("rowid " + std::to_string(rowid) + " after " + std::to_string(c.previous));
  c.has_previous = true;
  c.previous = rowid;
  row_.rowid = rowid;
  std::string reason;
  if (!sqlite2::DecodeRecord(c.walk.data(), row_.columns, reason))
    return c.Fail(reason + " at rowid " + std::to_string(rowid));
  const size_t limit = MaxDatabaseValueSize();
  for (const auto& cell : row_.columns) {
    if (cell && cell->size() > limit) {
      c.status = Status::Error(Status::Kind::kTooLarge, {}, storage::ValueTooLarge(limit));
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// File

Sqlite2File::Sqlite2File(std::unique_ptr<sqlite2::Pager> pager)
    : pager_(std::move(pager)),
      schema_{"sqlite_master", 2, {"type", "name", "tbl_name", "rootpage", "sql"}} {}

Sqlite2File::~Sqlite2File() = default;

uint32_t Sqlite2File::page_count() const { return pager_->page_count(); }
bool Sqlite2File::big_endian() const { return pager_->big_endian(); }

Status Sqlite2File::Open(std::u16string_view path, std::unique_ptr<Sqlite2File>* file) {
  file->reset();
  const std::string native = NativePath(path);
  std::unique_ptr<sqlite2::Pager> pager;
  Status status = sqlite2::Pager::OpenFile(native, &pager);
  // The engine would roll the journal back into the file when it next opens
  // it; a reader that may not write cannot, and the file alone is a torn
  // state.
  if (status.ok()) {
    if (std::string pending = storage::PendingTransaction(native); !pending.empty())
      status = sqlite2::Malformed(std::move(pending));
  }
  if (status.ok()) status = Check(std::move(pager), file);
  return status.ok() ? status : status.WithPath(std::u16string(path));
}

Status Sqlite2File::OpenBytes(std::string bytes, std::unique_ptr<Sqlite2File>* file) {
  file->reset();
  std::unique_ptr<sqlite2::Pager> pager;
  Status status = sqlite2::Pager::FromBytes(std::move(bytes), &pager);
  if (!status.ok()) return status;
  return Check(std::move(pager), file);
}

Status Sqlite2File::Check(std::unique_ptr<sqlite2::Pager> pager,
                                 std::unique_ptr<Sqlite2File>* file) {
  unsigned char scratch[kPageSize];
  const unsigned char* header = pager->Read(1, scratch);
  if (!header) return sqlite2::Malformed("page 1 cannot be read");
  if (std::memcmp(header, storage::kSqlite2Header, sizeof storage::kSqlite2Header) != 0)
    return sqlite2::Malformed("not an SQLite 2.1 database");
  if (std::memcmp(header + 48, kBigEndianMark, 4) == 0) pager->set_big_endian(true);
  else if (std::memcmp(header + 48, kLittleEndianMark, 4) != 0)
    return sqlite2::Malformed("unknown byte-order mark");
  const uint32_t format = pager->U32(header + 64);
  if (format != kFileFormat)
    return sqlite2::Malformed("file format " + std::to_string(format) + ", not " +
                                    std::to_string(kFileFormat));
  const uint32_t free_trunk = pager->U32(header + 52);
  const uint32_t free_count = pager->U32(header + 56);

  std::unique_ptr<Sqlite2File> checked(new Sqlite2File(std::move(pager)));
  // One page set for the whole file: a page that two structures claim is
  // damage even when each structure alone looks sound.
  PageSet pages(checked->page_count());
  std::vector<uint32_t> index_roots;
  Status status = checked->ReadSchema(pages, index_roots);
  for (const Sqlite2Table& table : checked->tables_) {
    if (!status.ok()) break;
    Sqlite2RowCursor rows = checked->Rows(table, &pages);
    while (rows.Next()) {
    }
    status = rows.status();
  }
  for (uint32_t root : index_roots) {
    if (!status.ok()) break;
    BTreeWalk walk(*checked->pager_, root, &pages, BTreeWalk::Payload::kStructure);
    while (walk.Next()) {
    }
    status = walk.status();
  }
  if (status.ok()) status = CheckFreeList(*checked->pager_, free_trunk, free_count, pages);
  if (status.ok()) *file = std::move(checked);
  return status;
}

Status Sqlite2File::ReadSchema(PageSet& pages, std::vector<uint32_t>& index_roots) {
  Sqlite2RowCursor rows = Rows(schema_, &pages);
  while (rows.Next()) {
    const auto& columns = rows.row().columns;
    const std::string_view type = columns[0].value_or("");
    const std::string_view name = columns[1].value_or("");
    const auto root = sqlite2::ParseRootPage(columns[3].value_or(""));
    if (!root) return sqlite2::Malformed("root page of " + Printable(name) + " is not a number");
    if (type != "table") {
      // Indexes own pages too; views and triggers have root 0.
      if (*root != 0) index_roots.push_back(*root);
      continue;
    }
    std::vector<std::string> names = sqlite2::ColumnNames(columns[4].value_or(""));
    if (*root == 0 || names.empty())
      return sqlite2::Malformed("table " + Printable(name) + " has no root page or no columns");
    if (FindTable(name)) return sqlite2::Malformed("table " + Printable(name) + " defined twice");
    tables_.push_back(Sqlite2Table{std::string(name), *root, std::move(names)});
  }
  return rows.status();
}

const Sqlite2Table* Sqlite2File::FindTable(std::string_view name) const {
  if (sqlite2::SameName(name, schema_.name)) return &schema_;
  for (const Sqlite2Table& table : tables_)
    if (sqlite2::SameName(name, table.name)) return &table;
  return nullptr;
}

Sqlite2RowCursor Sqlite2File::Rows(const Sqlite2Table& table) const { return Rows(table, nullptr); }

Sqlite2RowCursor Sqlite2File::Rows(const Sqlite2Table& table, PageSet* shared) const {
  return Sqlite2RowCursor(std::make_unique<Sqlite2RowCursor::Impl>(*pager_, table, shared));
}

}  // namespace locmodel
