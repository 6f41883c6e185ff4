// Shared by the old-settings tests: project databases of the old form, built
// with the project schema and the value store's own calls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/prop_json.h"
#include "locmodel/items/res_item.h"
#include "storage/storage_fixture.h"
#include "support/default_cfg_guard.h"
#include "locmodel/util/coding.h"

namespace old_project_testing {

using namespace storage_testing;

// The root item every old project holds.
inline const char kRootItem[] =
    "insert into res_item ( rowid, parent_key, binary_key, type, comment, res_id, tab_num, state ) "
    "values ( 1, 9999999, 9999999, 1, 'Old project', '', 0, 0 )";

// A "SelectedLangs" value: 32-bit little-endian entries.
inline std::vector<unsigned char> LangBytes(const std::vector<int>& langs) {
  std::vector<unsigned char> bytes(4 * langs.size());
  for (size_t i = 0; i < langs.size(); ++i) locmodel::coding::EncodeFixed32(&bytes[4 * i], static_cast<uint32_t>(langs[i]));
  return bytes;
}

// The configuration properties `item` holds itself, as "name=json value",
// in name order.
inline Rows CfgProps(const CResItem& item) {
  Rows rows;
  for (const auto& [name, prop] : item.GetCfgProps().GetPropCont()) {
    std::string row = locmodel::Utf16ToUtf8(name.ToString()).substr(1) + "=";  // past the "@" of text names
    locmodel::cli::AppendPropValue(row, *prop);
    rows.push_back(row);
  }
  return rows;
}

class OldProjectTest : public StorageTest {
 protected:
  // A database with the root item, the settings `store` writes, then `sql`.
  std::u16string OldDb(const std::string& name, const std::function<void(CStorage&)>& store, const Rows& sql = {}) {
    const fs::path path = NewDb(name, {kRootItem});
    {
      CStorage storage(Wide(path));
      store(storage);
    }
    RawDb db(path);
    for (const std::string& statement : sql) db.Exec(statement);
    return Wide(path);
  }

  DefaultCfgGuard defaults_;
};

}  // namespace old_project_testing
