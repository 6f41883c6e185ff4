// demo: builds the sample project, saves it plain and gzip, loads both back
// through both readers and shows that nothing was lost.
#include <chrono>
#include <filesystem>

#include "cli/command.h"
#include "cli/item_print.h"
#include "cli/sample_project.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/cfg_holder.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

namespace fs = std::filesystem;

struct Counts {
  size_t items = 0, translations = 0, properties = 0;
};

Counts Count(const CResItem& item) {
  Counts counts{1, item.GetTransMap().size(),
                item.GetPropCont().size() + item.GetCfgProps().GetPropCont().size()};
  for (const auto& [lang, trans] : item.GetTransMap()) counts.properties += trans->GetPropCont().size();
  for (const CResItem* child : item.GetResItems()) {
    const Counts below = Count(*child);
    counts.items += below.items, counts.translations += below.translations;
    counts.properties += below.properties;
  }
  return counts;
}

const CResItem* Find(const CResItem& item, const std::u16string& resId) {
  if (item.GetResId() == resId) return &item;
  for (const CResItem* child : item.GetResItems())
    if (const CResItem* found = Find(*child, resId)) return found;
  return nullptr;
}

}  // namespace

int RunDemo(const Args& args, std::ostream& out, std::ostream& err) {
  std::error_code error;
  fs::path dir = args.positional.empty()
                     ? fs::temp_directory_path(error) / ("locmodel-demo-" + std::to_string(::getpid()))
                     : fs::path(args.positional[0]);
  fs::create_directories(dir, error);
  if (error) return Fail(err, dir.string() + ": cannot create folder: " + error.message());

  const auto project = MakeSampleProject();
  const Counts counts = Count(*project);
  out << "Built the sample project: " << counts.items << " items, " << counts.translations
      << " translations, " << counts.properties << " properties.\n";

  const fs::path plain = dir / "sample.lmp", gzip = dir / "sample.lmp.gz";
  for (const auto& [path, options] : {std::pair{plain, SaveOptions{}}, std::pair{gzip, SaveOptions{true, 2}}}) {
    const Status status = SaveProject(*project, Utf8ToUtf16(path.string()), options);
    if (!status.ok()) return Fail(err, status.ToString());
  }
  out << "Saved " << plain.string() << " (" << fs::file_size(plain, error) << " bytes) and "
      << gzip.string() << " (" << fs::file_size(gzip, error) << " bytes, gzip level 2).\n";

  for (const fs::path& path : {plain, gzip}) {
    for (const auto& [reader, name] : {std::pair{ProjectReader::Tree, "tree"}, std::pair{ProjectReader::Sequential, "sequential"}}) {
      const auto start = std::chrono::steady_clock::now();
      std::unique_ptr<CResItem> loaded;
      const Status status = LoadProject(Utf8ToUtf16(path.string()), loaded, reader);
      const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
          std::chrono::steady_clock::now() - start).count();
      if (!status.ok()) return Fail(err, status.ToString());
      if (!SameTree(*project, *loaded))
        return Fail(err, path.string() + ": the " + name + " reader gave another tree");
      out << "Loaded " << path.filename().string() << " through the " << name
          << " reader in " << micros << " us: the tree is equal to the original.\n";
    }
  }

  const CPropName limit(u"AutoSegm.LengthLimit");
  for (const char16_t* resId : {u"#101", u"#1002", u"@readme.txt"}) {
    const CResItem* item = Find(*project, resId);
    const CProp* seen = item ? CCfgHolder::GetPropW(*item, limit, true) : nullptr;
    out << "\"AutoSegm.LengthLimit\" as " << Utf16ToUtf8(resId) << " sees it: "
        << (seen ? std::to_string(seen->GetInt()) : std::string("not set"))
        << (seen && item->GetCfgProps().GetPropW(limit) ? " (its own)\n"
            : seen ? " (inherited from a folder above it)\n" : "\n");
  }
  out << "\n";
  PrintItemTree(*project, out);
  return kOk;
}

}  // namespace locmodel::cli
