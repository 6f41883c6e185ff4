// Writes examples/old-project.db: a project database of the old form, whose
// settings live in the value store rather than in configuration
// properties, for `locmodel migrate`. The tables come from the storage
// layer's own schema and the settings from its value-store calls; the item
// rows are inserted as the old tool stored them.
//
//   make_old_project OUT.db
//
// Besides the settings the migration reads, the file holds what it must
// report: a setting stored for one file, a key no rule reads, a language
// list cut by the 77777777 end marker, and a translation whose item is
// gone. examples/old-project.migrate.out and .err are what `locmodel
// migrate old-project.db old-project.lmp` prints for it, written by hand;
// old-project.dump.json is what `dump --json` shows of the result.
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"

namespace {

// The language list as the old tool stored it: 32-bit little-endian entries.
std::vector<unsigned char> LangList(const std::vector<int32_t>& langs) {
  std::vector<unsigned char> bytes;
  for (const int32_t lang : langs)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(uint32_t(lang) >> shift));
  return bytes;
}

bool WriteSettings(const std::u16string& path) {
  CStorage storage(path);
  if (!storage.IsGood()) return false;
  storage.CreateDb();
  storage.BeginTrans();
  storage.SetInt(u"ProjectVersion", 4200);
  storage.SetInt(u"NativeLng", 1033);
  const std::vector<unsigned char> selected = LangList({1031, 1036, 1040, 77777777, 1041});
  storage.SetData(u"SelectedLangs", selected.data(), static_cast<unsigned>(selected.size()));
  storage.SetInt(u"TargetLng", 1036);
  storage.SetInt(u"SecondaryLng", 1031);
  storage.SetInt(u"RunLocalizedCustom", 1);
  storage.SetStr(u"RunLocalizedCmd", u"C:\\Tools\\viewer.exe");
  storage.SetStr(u"RunLocalizedWorkDir", u"C:\\Work");
  storage.SetStr(u"RunLocalizedCmdArgs", u"/lang \"%LANG%\"");
  storage.SetInt(u"bPEResourceOnly", 0);
  storage.SetInt(u"bPEMultipleLangInFile", 1);
  storage.SetStr(u"CrashFinderDstDir", u"C:\\Crash");
  storage.SetInt(u"bCrashFinderAutoStart", 0);
  storage.SetInt(u"bBorlandUnicode", 1);
  storage.SetInt(u"FuzzyUpdate", 80);
  storage.SetInt(u"FuzzyUpdate", 50, u"app.rc");
  storage.SetStr(u"ProjectName", u"Altes Projekt");
  storage.CommitTrans();
  return true;
}

// The item tree in the order the old tool wrote it (parents before
// children), and one translation row left behind by an item deleted since.
constexpr const char* kItemRows[] = {
    "insert into res_item values ( 9999999, 9999999, 1, 'Project of the old form', '@Old project', 0, 0 )",
    "insert into res_item values ( 1, 9999999, 2, 'String table', '@STRINGS', 1, 0 )",
    "insert into res_item values ( 2, 9999999, 3, 'Greeting', '@IDS_HELLO', 0, 1 )",
    "insert into res_item values ( 2, 9999999, 3, 'Farewell', '@IDS_BYE', 0, 0 )",
    "insert into trans_item values ( 3, 9999999, 0, '', 1031, 2, 'Hallo' )",
    "insert into trans_item values ( 3, 9999999, 0, '', 1036, 2, 'Bonjour' )",
    "insert into trans_item values ( 3, 9999999, 0, '', 1040, 1, 'Ciao' )",
    "insert into trans_item values ( 4, 9999999, 0, '', 1031, 1, 'Auf Wiedersehen' )",
    "insert into trans_item values ( 4, 9999999, 0, '', 1036, 0, 'Au revoir' )",
    "insert into trans_item values ( 99, 9999999, 0, '', 1031, 2, 'Verwaist' )",
    "insert into prop ( parent_key, name, type, binary_key, string, value, prop_type ) "
    "values ( 3, '@MaxLength', 2, 9999999, null, 40, 1 )",
};

bool WriteItems(const char* path) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(path, &db) == SQLITE_OK && sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
  for (const char* row : kItemRows) ok = ok && sqlite3_exec(db, row, nullptr, nullptr, nullptr) == SQLITE_OK;
  ok = ok && sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!ok) std::fprintf(stderr, "make_old_project: %s\n", sqlite3_errmsg(db));
  sqlite3_close(db);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_old_project OUT.db\n");
    return 2;
  }
  std::remove(argv[1]);
  if (!WriteSettings(locmodel::Utf8ToUtf16(argv[1]))) {
    std::fprintf(stderr, "make_old_project: cannot create %s\n", argv[1]);
    return 1;
  }
  return WriteItems(argv[1]) ? 0 : 1;
}
