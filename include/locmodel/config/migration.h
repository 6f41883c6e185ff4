// Migrating a project database of the old form into a project of today's
// form: the item tree as stored, plus the old key/value settings turned into
// configuration properties of the root item (COldPrjConfig).
//
// The migration accounts for every row of the value store: each row is
// either a key the conversion read or a warning, and so is every stored row
// that loading the tree did not attach. Warnings are posted to the message
// proxy (CMessagePanelMsg::Warning) and returned to the caller; the input
// file is never written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/util/status.h"

namespace locmodel {

// One row of the value store the conversion read, in the order it read them
// ("ProjectVersion" first). A key has no entry when no row holds it, when
// its row holds NULL (or, for an integer, an empty text), or when the value
// store could not be read.
struct MigratedSetting {
  std::u16string key;
  // The value as the conversion read it: an integer in decimal (as the old
  // decoding reads the text), a text as stored, "SelectedLangs" as a JSON
  // array of every stored entry, before the list is cut ("[1031,1036]").
  std::u16string value;
};

// A setting, row or language the migration could not carry over.
struct MigrationWarning {
  // The value-store key as stored, or a table name ("RES_ITEM",
  // "TRANS_ITEM", "PROP", "BINARY") for rows that loading the tree did not
  // attach (CStorage::UnattachedRows), or "VAL_STORAGE" when the value store
  // is missing or unreadable. A language that did not arrive names the key
  // it came from ("SelectedLangs", "TargetLng", "SecondaryLng").
  std::u16string key;
  // The file name of a per-file row; empty otherwise.
  std::u16string file;
  // One line, in words.
  std::u16string reason;
};

struct MigrationResult {
  // The converted tree; null until a migration succeeded.
  std::unique_ptr<CResItem> root;
  size_t items = 0;  // resource items in the tree
  std::vector<MigratedSetting> read;
  std::vector<MigrationWarning> warnings;
  // Storage errors (type 2 messages) posted once the tree was loaded, while
  // the settings were read and converted, in order; they do not fail the
  // migration.
  std::vector<std::u16string> errors;
};

// Loads the old project database at `path` (told by its content, as
// LoadAnyProject tells it: SQLite 3 or a legacy SQLite 2 file, opened
// read-only), converts its settings onto the root and fills `result`, which
// is cleared first. Fails, with `result.root` null, for a file that is no
// project database or that holds no item tree (kMalformed), and as
// LoadProjectDatabase fails.
Status MigrateOldProject(const std::u16string& path, MigrationResult& result);

}  // namespace locmodel
