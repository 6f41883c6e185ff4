#include "locmodel/storage/database_tables.h"

#include <cstdlib>
#include <filesystem>

#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/native_path.h"
#include "storage/database_guards.h"
#include "storage/file_probe.h"
#include "storage/sqlite_api.h"
#include "storage/statements.h"

namespace locmodel {

using namespace sqlite_api;

namespace {

struct Closer {
  void operator()(sqlite* db) const { sqlite_close(db); }
};
using Connection = std::unique_ptr<sqlite, Closer>;

// An engine message (or `fallback` when there is none) as a status.
Status Failure(Status::Kind kind, const std::u16string& path, char* message,
               const char* fallback = "cannot read the database") {
  std::string text = message ? message : fallback;
  sqlite_freemem(message);
  return Status::Error(kind, path, std::move(text));
}

// Opens the database at `path` for reading its project tables; null with
// `status` set when it cannot be read or is not shaped as a project database.
Connection OpenReadOnly(const std::u16string& path, Status& status,
                        const char* fallback = "cannot read the database") {
  status = storage::RefuseUnreadable(path);
  if (!status.ok()) return nullptr;
  char* message = nullptr;
  Connection db(sqlite_open(NativePath(path).c_str(), kSqliteReadOnly, &message));
  if (!db) {
    status = Failure(Status::Kind::kCannotOpen, path, message, fallback);
  } else if (sqlite_check_project_schema(db.get(), &message) != SQLITE_OK) {
    status = Failure(Status::Kind::kMalformed, path, message);
    db.reset();
  }
  return db;
}

// Runs `sql` on the new database `to`.
Status Exec(sqlite* db, const char* sql, const std::u16string& to) {
  char* message = nullptr;
  if (sqlite_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return Status::Ok();
  return Failure(Status::Kind::kWriteFailed, to, message);
}

// Fills `file`, the new file that becomes `to`, with the project schema and
// every row of `tables`, in one transaction whose every step is checked: a
// write that fails (a full disk, the file-size limit) names its cause. The
// file is renamed into place only when complete, so a rollback journal
// would guard nothing and is not written.
Status Copy(const ProjectTables& tables, const std::u16string& file, const std::u16string& to) {
  char* message = nullptr;
  const Connection db(sqlite_open(NativePath(file).c_str(), kSqliteReadWrite, &message));
  if (!db) return Failure(Status::Kind::kWriteFailed, to, message, "cannot create the database");
  Status written = Exec(db.get(), "pragma journal_mode=off;", to);
  if (written.ok()) written = Exec(db.get(), statements::kBegin, to);
  for (const char* create : statements::kCreateTables)
    if (written.ok()) written = Exec(db.get(), create, to);
  for (const char* create : statements::kCreateIndexes)
    if (written.ok()) written = Exec(db.get(), create, to);
  if (written.ok()) written = Exec(db.get(), statements::kCreateProp, to);
  for (const char* name : kProjectTables) {
    if (!written.ok()) break;
    const Status read = tables.Read(name, [&](int64_t rowid, const DbCells& cells,
                                              const std::vector<std::string>& columns) {
      if (written.ok()) written = Exec(db.get(), statements::InsertRow(name, rowid, columns, cells).c_str(), to);
    });
    if (!read.ok()) return read;
  }
  if (written.ok()) written = Exec(db.get(), statements::kCommit, to);
  return written;
}

}  // namespace

struct ProjectTables::Impl {
  std::u16string path;
  std::unique_ptr<Sqlite2File> legacy;
  Connection db;
};

ProjectTables::ProjectTables() : impl_(std::make_unique<Impl>()) {}
ProjectTables::~ProjectTables() = default;

Status ProjectTables::Open(const std::u16string& path) {
  impl_ = std::make_unique<Impl>();
  impl_->path = path;
  if (storage::ProbeFile(NativePath(path)) == storage::DbFileKind::kSqlite2) {
    Status opened = Sqlite2File::Open(path, &impl_->legacy);
    if (opened.ok()) {
      if (std::string refused = storage::CheckProjectSchema(*impl_->legacy); !refused.empty())
        opened = Status::Malformed(std::move(refused), path);
    }
    if (!opened.ok()) impl_->legacy.reset();
    return opened;
  }
  Status status;
  impl_->db = OpenReadOnly(path, status);
  return status;
}

Status ProjectTables::Read(const char* name, const DbRowSink& sink) const {
  if (impl_->legacy) {
    const Sqlite2Table* table = impl_->legacy->FindTable(name);
    if (!table) return Status::Ok();
    Sqlite2RowCursor rows = impl_->legacy->Rows(*table);
    while (rows.Next()) sink(rows.row().rowid, rows.row().columns, table->columns);
    return rows.status().ok() ? Status::Ok() : rows.status().WithPath(impl_->path);
  }
  const std::string sql = statements::TableRows(name);
  sqlite_vm* vm = nullptr;
  char* message = nullptr;
  if (sqlite_compile(impl_->db.get(), sql.c_str(), nullptr, &vm, &message) != SQLITE_OK || !vm) {
    const Status failed = Failure(Status::Kind::kDatabase, impl_->path, message);
    return failed.reason().rfind("no such table", 0) == 0 ? Status::Ok() : failed;
  }
  int columns = 0;
  const char** values = nullptr;
  const char** names = nullptr;
  DbCells cells;
  std::vector<std::string> columnNames;
  while (sqlite_step(vm, &columns, &values, &names) == SQLITE_ROW) {
    cells.clear();
    columnNames.clear();
    for (int i = 1; i < columns; ++i) {  // past the rowid
      cells.push_back(values[i] ? std::optional<std::string_view>(values[i]) : std::nullopt);
      columnNames.emplace_back(names[i]);
    }
    sink(std::strtoll(values[0], nullptr, 10), cells, columnNames);
  }
  if (sqlite_finalize(vm, &message) == SQLITE_OK) return Status::Ok();
  return Failure(Status::Kind::kDatabase, impl_->path, message);
}

Status UpgradeProjectDatabase(const std::u16string& from, const std::u16string& to) {
  std::error_code code;
  if (std::filesystem::exists(std::filesystem::path(NativePath(to)), code) || code)
    return Status::Error(Status::Kind::kBadArgument, to, "file exists");
  ProjectTables tables;
  if (Status opened = tables.Open(from); !opened.ok()) return opened;
  Status copied;
  const std::string failure = ReplaceFileWith(to, [&](const std::u16string& file) {
    copied = Copy(tables, file, to);
    return copied.ok();
  });
  if (!copied.ok()) return copied;
  if (!failure.empty()) return Status::Error(Status::Kind::kWriteFailed, to, failure);
  return Status::Ok();
}

Status ReadValueStore(const std::u16string& path, const DbValueSink& sink) {
  Status status;
  const Connection db = OpenReadOnly(path, status, "cannot open database");
  if (!db) return status;
  constexpr char kUnreadable[] = "cannot read the value store";
  sqlite_vm* vm = nullptr;
  char* message = nullptr;
  if (sqlite_compile(db.get(), statements::kValueList, nullptr, &vm, &message) != SQLITE_OK || !vm)
    return Failure(Status::Kind::kDatabase, path, message, kUnreadable);
  int columns = 0;
  const char** values = nullptr;
  while (sqlite_step(vm, &columns, &values, nullptr) == SQLITE_ROW) sink(values[0], values[1], values[2]);
  if (sqlite_finalize(vm, &message) == SQLITE_OK) return Status::Ok();
  return Failure(Status::Kind::kDatabase, path, message, kUnreadable);
}

}  // namespace locmodel
