#include "locmodel/config/migration.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "locmodel/config/old_prj_config.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

using Kind = COldPrjConfig::KeyKind;

// Read by the tree's loader, not by COldPrjConfig; the project file's own
// scheme version takes its place.
constexpr char16_t kProjectVersion[] = u"ProjectVersion";

// Copies the storage errors posted while it is registered.
class ErrorSink final : public IMessager {
 public:
  explicit ErrorSink(std::vector<std::u16string>& errors) : errors_(errors) {
    CMessageProxy::Instance().Register(*this);
  }
  ~ErrorSink() override { CMessageProxy::Instance().Unregister(*this); }
  ErrorSink(const ErrorSink&) = delete;
  ErrorSink& operator=(const ErrorSink&) = delete;

  void OnNotifyMsg(CMgsId id, const void* data) override {
    const auto* message = static_cast<const CMessagePanelMsg*>(data);
    if (id == MessagePanel && message->type == CMessagePanelMsg::Error) errors_.push_back(message->text);
  }

 private:
  std::vector<std::u16string>& errors_;
};

// One row of the value store; nullopt for NULL.
struct StoredRow {
  std::optional<std::string> key, file, value;
};

std::u16string Text(const std::optional<std::string>& utf8) {
  std::u16string text;
  if (utf8) LoadStr(utf8->c_str(), text, nullptr);
  return text;
}

std::u16string Decimal(long long value) { return Utf8ToUtf16(std::to_string(value)); }

std::u16string JsonArray(const std::vector<int>& langs) {
  std::u16string text = u"[";
  for (size_t i = 0; i < langs.size(); ++i) text += (i ? u"," : u"") + Decimal(langs[i]);
  return text + u"]";
}

// The 16-bit part, sign-extended, by which the language rules compare.
int RawLng(int lang) { return CLangId(lang).GetRawLng(); }

size_t CountItems(const CResItem& root) {
  size_t count = 0;
  for (std::vector<const CResItem*> pending{&root}; !pending.empty();) {
    const CResItem* item = pending.back();
    pending.pop_back();
    ++count;
    for (const CResItem* child : item->GetResItems()) pending.push_back(child);
  }
  return count;
}

class Migration {
 public:
  explicit Migration(MigrationResult& result) : result_(result) {}

  // Each row is read (listed in Load's order) or warned about, or both.
  void AccountRows(const std::vector<StoredRow>& rows);
  // Each language of `config` that the project languages of `root` lack.
  void CheckLanguages(const COldPrjConfig& config, const CResItem& root);
  void CheckUnattached(const CStorage::UnattachedRows& rows);

  void Warn(std::u16string key, std::u16string file, std::u16string reason) {
    std::u16string text = key;
    if (!file.empty()) text += u" (file " + file + u")";
    text += u": " + reason;
    CMessageProxy::Instance().Post(CMessagePanelMsg(std::move(text), CMessagePanelMsg::Warning, nullptr, key, file));
    result_.warnings.push_back({std::move(key), std::move(file), std::move(reason)});
  }

 private:
  // The value text of a row that is read, after its warnings.
  std::u16string ReadValue(const std::u16string& key, Kind kind, const std::string& text);
  void CheckLangList(const std::vector<int>& langs, unsigned int size, const std::string& text);

  MigrationResult& result_;
};

void Migration::AccountRows(const std::vector<StoredRow>& rows) {
  std::map<std::u16string_view, Kind> kinds{{kProjectVersion, Kind::Int}};
  for (const COldPrjConfig::Key& key : COldPrjConfig::Keys()) kinds.emplace(key.name, key.kind);
  // The value lookup yields the first row of a (key, file) pair.
  std::map<std::u16string, size_t> firstRow;
  std::map<std::u16string, std::u16string> read;
  for (size_t i = 0; i < rows.size(); ++i) {
    const StoredRow& row = rows[i];
    const std::u16string key = Text(row.key);
    const std::u16string file = Text(row.file);
    const auto known = row.key ? kinds.find(key) : kinds.end();
    if (known == kinds.end()) {
      Warn(key, file, row.key ? u"no setting is read from this key" : u"the key is NULL");
    } else if (!row.file) {
      Warn(key, file, u"the file name is NULL, so no setting is read from this row");
    } else if (!file.empty()) {
      Warn(key, file, u"a per-file value; settings are read project-wide only");
    } else if (!firstRow.emplace(key, i).second) {
      Warn(key, file, u"another row holds this key; the first one was read");
    } else if (!row.value || (known->second == Kind::Int && row.value->empty())) {
      Warn(key, file, row.value ? u"the value is empty, so the setting keeps its value"
                                : u"the value is NULL, so the setting keeps its value");
    } else {
      read[key] = ReadValue(key, known->second, *row.value);
    }
  }
  auto take = [&](std::u16string_view key) {
    if (const auto found = read.find(std::u16string(key)); found != read.end())
      result_.read.push_back({found->first, found->second});
  };
  take(kProjectVersion);
  for (const COldPrjConfig::Key& key : COldPrjConfig::Keys()) take(key.name);
}

std::u16string Migration::ReadValue(const std::u16string& key, Kind kind, const std::string& text) {
  switch (kind) {
    case Kind::Int: {
      const int value = LoadInt(text.c_str(), 0);
      const std::u16string decimal = Decimal(value);
      if (text != std::to_string(value))
        Warn(key, u"", u"the text \"" + Text(text) + u"\" is not a plain decimal 32-bit number; read as " + decimal);
      if (value == CLangId::OldNoLang && (key == u"NativeLng" || key == u"TargetLng"))
        Warn(key, u"", u"77777777 stands for no language, yet the project keeps it as a language");
      return decimal;
    }
    case Kind::Str: return Text(text);
    case Kind::Data: {
      unsigned int size = 0;
      const std::unique_ptr<unsigned char[], BufferDeleter> data(LoadBinary(text.c_str(), size));
      const std::vector<int> langs = COldPrjConfig::DecodeLangList(data.get(), size);
      CheckLangList(langs, size, text);
      return JsonArray(langs);
    }
  }
  return {};
}

void Migration::CheckLangList(const std::vector<int>& langs, unsigned int size, const std::string& text) {
  const std::u16string key = u"SelectedLangs";
  // Any text of two characters or more decodes to a byte at least.
  if (size == 0 && text.size() > 1) Warn(key, u"", u"the value does not decode as binary data; no language was read");
  if (size % 4 != 0)
    Warn(key, u"", u"its " + Decimal(size) + u" bytes are no whole number of 4-byte entries; the last " +
                       Decimal(size % 4) + u" were ignored");
  if (langs.size() > static_cast<size_t>(COldPrjConfig::MaxSelLang))
    Warn(key, u"", u"it holds " + Decimal(static_cast<long long>(langs.size())) + u" entries, more than " +
                       Decimal(COldPrjConfig::MaxSelLang));
  auto end = langs.end();
  for (const int stop : {CLangId::OldNoLang, CLangId::NoLang}) {
    const auto at = std::find(langs.begin(), end, stop);
    if (at == end) continue;
    Warn(key, u"", u"the list is cut at entry " + Decimal(at - langs.begin() + 1) + u" (" + Decimal(stop) +
                       u"): " + Decimal(end - at) + u" entries dropped");
    end = at;
  }
}

void Migration::CheckLanguages(const COldPrjConfig& config, const CResItem& root) {
  const CPrjLangs& langs = CPrjConfig::GetPrjLangs(root, true);
  const int native = config.NativeLng;
  // The list Convert hands over never holds 7777, nor then a native 7777.
  const bool nativeSelected = std::count(config.SelectedLangs.begin(), config.SelectedLangs.end(), RawLng(native));
  for (const int lang : config.SelectedLangs) {
    if (langs.getSelectedLangs().count(lang)) continue;
    std::u16string reason = u"language " + Decimal(lang) + u" did not arrive: ";
    if (!nativeSelected) {
      reason += u"the project languages refused it";
    } else if (RawLng(lang) == RawLng(native)) {
      reason += u"it is the native language, and a selected list holding the native language is refused whole";
    } else {
      reason += u"the selected list holds the native language " + Decimal(native) + u", and is refused whole";
    }
    Warn(u"SelectedLangs", u"", std::move(reason));
  }
  // SetTarget and SetSecondary take a language selected by its 16-bit part
  // (brand 0), or another brand of the native language.
  const std::u16string rule = u"the project languages take only a selected language of brand 0 or another brand of "
                              u"the native language " + Decimal(native);
  if (config.TargetLng != CLangId::NoLang && langs.getTarget() != config.TargetLng)
    Warn(u"TargetLng", u"", u"target language " + Decimal(config.TargetLng) + u" did not arrive: " + rule +
                                u"; the project's target is " + Decimal(langs.getTarget()));
  if (config.SecondaryLng != CLangId::NoLang && langs.getSecondary() != config.SecondaryLng)
    Warn(u"SecondaryLng", u"", u"secondary language " + Decimal(config.SecondaryLng) + u" did not arrive: " + rule +
                                   u"; the project has no secondary language");
}

void Migration::CheckUnattached(const CStorage::UnattachedRows& rows) {
  const std::pair<const char16_t*, size_t> tables[] = {
      {u"RES_ITEM", rows.items}, {u"TRANS_ITEM", rows.translations}, {u"PROP", rows.props}, {u"BINARY", rows.binaries}};
  for (const auto& [table, count] : tables) {
    if (count == 1) Warn(table, u"", u"1 row is not attached to the item tree");
    else if (count) Warn(table, u"", Decimal(static_cast<long long>(count)) + u" rows are not attached to the item tree");
  }
}

}  // namespace

Status MigrateOldProject(const std::u16string& path, MigrationResult& result) {
  result = MigrationResult();
  if (!IsProjectDatabaseFile(path)) return Status::Malformed("not a project database", path);
  CStorage::UnattachedRows unattached;
  std::unique_ptr<CResItem> root;
  if (Status loaded = LoadProjectDatabase(path, root, &unattached); !loaded.ok()) return loaded;
  if (!root) return Status::Malformed("the database holds no item tree", path);

  Migration migration(result);
  ErrorSink errors(result.errors);
  std::vector<StoredRow> rows;
  const Status store = ReadValueStore(path, [&](const char* key, const char* file, const char* value) {
    auto cell = [](const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; };
    rows.push_back({cell(key), cell(file), cell(value)});
  });
  COldPrjConfig config;
  if (store.ok()) {
    config.Load(path);
    migration.AccountRows(rows);
  } else {
    migration.Warn(u"VAL_STORAGE", u"",
                   u"the value store is missing or cannot be read (" + Utf8ToUtf16(store.reason()) +
                       u"); no setting was read");
  }
  config.Convert(*root);
  migration.CheckLanguages(config, *root);
  migration.CheckUnattached(unattached);
  result.items = CountItems(*root);
  result.root = std::move(root);
  return Status::Ok();
}

}  // namespace locmodel
