// Internal: every SQL statement of the storage layer, in one place. Each text
// is part of the file format: older versions of the tool ran the same words,
// and the read-only engine over legacy SQLite 2 files answers exactly the
// statements of kLegacyReads, matched word for word. A query edited here is
// therefore edited for both engines at once.
//
// %d stands for an integer, %Q for a text in single quotes with inner quotes
// doubled (sqlite_exec_printf's conversions).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locmodel::statements {

inline constexpr char kBegin[] = "begin;";
inline constexpr char kCommit[] = "commit;";

// The schema.
inline constexpr char kCreateProp[] =
    "create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, string CHAR, "
    "value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT )";
inline constexpr const char* kCreateTables[] = {
    "create table RES_ITEM    ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "res_id CHAR, tab_num INT, state INT )",
    "create table TRANS_ITEM  ( parent_key INT, binary_key INT, type INT, comment CHAR, "
    "lang INT, status INT, string CHAR )",
    "create table BINARY      ( parent_key INT, num INT, data BLOB )",
    "create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )",
};
inline constexpr const char* kCreateIndexes[] = {
    "create index val_storage_key     on val_storage ( val_key    ); ",
    "create index val_storage_file    on val_storage ( file       ); ",
};
inline constexpr const char* kClearItems[] = {
    "delete from res_item", "delete from trans_item", "delete from binary", "delete from prop",
};

// The value store: one value per (key, file).
inline constexpr char kValueLookup[] = "SELECT val FROM val_storage WHERE val_key = %Q AND file = %Q ";
inline constexpr char kValueExists[] = "select rowid from val_storage where val_key == %Q and file == %Q ";
inline constexpr char kInsertIntValue[] =
    "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %d, %Q, %Q )";
inline constexpr char kUpdateIntValue[] =
    "UPDATE val_storage SET val = %d WHERE val_key == %Q AND file == %Q;";
inline constexpr char kInsertTextValue[] =
    "INSERT INTO val_storage ( val, val_key, file ) VALUES ( %Q, %Q, %Q )";
inline constexpr char kUpdateTextValue[] =
    "UPDATE val_storage SET val = %Q WHERE val_key == %Q AND file == %Q;";
// Every value in the order it was first stored: key, file, value.
inline constexpr char kValueList[] = "SELECT val_key, file, val FROM val_storage ORDER BY rowid";

// Chains of BINARY rows.
inline constexpr char kInsertBinary[] =
    "INSERT INTO binary ( parent_key, num, data )  VALUES ( %d,         %d,  %Q )";
inline constexpr char kDeleteBinaryHead[] = "delete from binary where rowid == %d;";
inline constexpr char kDeleteBinaryTail[] = "delete from binary where parent_key == %d;";

// The five queries CStorage::Load merges by rowid; the column positions are
// fixed in storage_load.cpp.
inline constexpr char kItemRows[] =
    " SELECT rowid, parent_key, binary_key, type, comment, res_id, tab_num, state FROM res_item "
    "ORDER BY rowid ";
inline constexpr char kTransRows[] =
    " SELECT rowid, parent_key, binary_key, type, comment, lang, status, string FROM trans_item "
    "ORDER BY rowid ";
inline constexpr char kBinaryRows[] = " SELECT rowid, parent_key, num, data FROM binary ORDER BY rowid ";
inline constexpr char kItemPropRows[] =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 1 ORDER BY rowid ";
inline constexpr char kTransPropRows[] =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 2 ORDER BY rowid ";
// Every PROP row, whatever it holds: Load's queries select two kinds only,
// and counting what they left out needs the rest.
inline constexpr char kPropRowids[] = " SELECT rowid FROM prop ORDER BY rowid ";

// Every statement a read of a legacy database runs: what its engine answers.
inline constexpr const char* kLegacyReads[] = {
    kBegin,         kCommit,        kItemRows,    kTransRows, kBinaryRows, kItemPropRows,
    kTransPropRows, kValueLookup,   kValueExists, kValueList,  kPropRowids,
};

// Copying whole tables between SQLite 3 databases (never legacy ones: their
// rows are read by the file reader itself).
// "SELECT rowid, * FROM <table> ORDER BY rowid".
std::string TableRows(std::string_view table);
// The INSERT of one row with its rowid; `names` are the columns of `cells`,
// quoted as names (the source's names are not trusted), the cells as texts
// or NULL.
std::string InsertRow(std::string_view table, int64_t rowid, const std::vector<std::string>& names,
                      const std::vector<std::optional<std::string_view>>& cells);

}  // namespace locmodel::statements
