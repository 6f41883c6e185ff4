#include "locmodel/items/project_file.h"

#include "support/event_log.h"
#include "support/item_trees.h"
#include "support/stream_bytes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using locmodel::Status;
using locmodel::ProjectReader;

using ProjectFiles = TempDirTest;

TEST_F(ProjectFiles, VariedTreesRoundTripThroughBothReadersAndBothEncodings) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    auto tree = MakeTree(seed, 1 + seed % 3, 1 + seed % 3);
    const auto bytes = locmodel::SaveProjectToMemory(*tree);
    // The writer's bound path writes what the stream interface writes.
    EXPECT_EQ(bytes, WriteStream([&](Serial::ISerialStream& s) { tree->Do(s); }));
    ASSERT_TRUE(locmodel::SaveProject(*tree, Path("p.bin")).ok());
    ASSERT_TRUE(locmodel::SaveProject(*tree, Path("p.gz"), {.gzip = true, .level = 9}).ok());
    for (ProjectReader reader : {ProjectReader::Tree, ProjectReader::Sequential}) {
      for (const char* name : {"p.bin", "p.gz"}) {
        std::unique_ptr<CResItem> read;
        const Status status = locmodel::LoadProject(Path(name), read, reader);
        ASSERT_TRUE(status.ok()) << status.ToString();
        EXPECT_TRUE(SameTree(*tree, *read)) << seed << name;
        // Re-saving reproduces the bytes exactly.
        EXPECT_EQ(locmodel::SaveProjectToMemory(*read), bytes);
      }
    }
  }
}

TEST_F(ProjectFiles, ReadingRaisesOneChangePerChildAndNothingElse) {
  const auto bytes = locmodel::SaveProjectToMemory(*MakeTree(7, 2, 2));
  ListeningEventLog log;
  std::unique_ptr<CResItem> read;
  EXPECT_TRUE(locmodel::LoadProjectFromMemory(bytes.data(), bytes.size(), read).ok());
  EXPECT_EQ(log.events, std::vector<std::string>(6, "change ?"));  // 2 children + 4 grandchildren
}

TEST_F(ProjectFiles, AbsentNodesKeepDefaultsUnderTheTreeReader) {
  CResItem item;
  item.SetComment(u"only");
  auto bytes = locmodel::SaveProjectToMemory(item);
  // Drop the node 'k' (state) and 'e' (resource id): 18 02 6B ... 19.
  for (unsigned char name : {'k', 'e'}) {
    const unsigned char open[] = {0x18, 0x02, name};
    auto at = std::search(bytes.begin(), bytes.end(), open, open + 3);
    ASSERT_NE(at, bytes.end());
    auto end = std::find(at, bytes.end(), 0x19);
    bytes.erase(at, end + 1);
  }
  std::unique_ptr<CResItem> read;
  ASSERT_TRUE(locmodel::LoadProjectFromMemory(bytes.data(), bytes.size(), read).ok());
  EXPECT_EQ(read->GetComment() + u"|" + read->GetResId(), u"only|@");
  EXPECT_FALSE(locmodel::LoadProjectFromMemory(bytes.data(), bytes.size(), read, ProjectReader::Sequential).ok());
}

TEST_F(ProjectFiles, DamagedFilesAreErrorsAndLeaveTheCallersTree) {
  auto tree = MakeTree(3, 2, 2);
  const auto bytes = locmodel::SaveProjectToMemory(*tree);
  std::unique_ptr<CResItem> kept = std::make_unique<CResItem>();
  CResItem* before = kept.get();
  for (size_t cut : {size_t(0), size_t(5), bytes.size() / 2, bytes.size() - 1}) {
    for (ProjectReader reader : {ProjectReader::Tree, ProjectReader::Sequential}) {
      EXPECT_EQ(locmodel::LoadProjectFromMemory(bytes.data(), cut, kept, reader, u"x.bin").ToString(),
                "x.bin: malformed project file") << cut;
      EXPECT_EQ(kept.get(), before);
    }
  }

  // A gzip file damaged in its check sum.
  ASSERT_TRUE(locmodel::SaveProject(*tree, Path("d.gz"), {.gzip = true}).ok());
  std::string gz = ReadFile(dir_ / "d.gz");
  gz[gz.size() - 5] ^= 0x40;
  WriteFile(dir_ / "d.gz", gz);
  EXPECT_EQ(locmodel::LoadProject(Path("d.gz"), kept).reason(), "corrupt gzip data");
}

TEST_F(ProjectFiles, SavingReplacesAtomicallyOrNotAtAll) {
  CResItem item;
  ASSERT_TRUE(locmodel::SaveProject(item, Path("a.bin")).ok());
  item.SetComment(u"second");
  ASSERT_TRUE(locmodel::SaveProject(item, Path("a.bin")).ok());
  std::unique_ptr<CResItem> read;
  ASSERT_TRUE(locmodel::LoadProject(Path("a.bin"), read).ok());
  EXPECT_EQ(read->GetComment(), u"second");
  EXPECT_FALSE(locmodel::SaveProject(item, Path("no/such/dir/a.bin")).ok() ||
               locmodel::SaveProject(item, Path("b.gz"), {.gzip = true, .level = 10}).ok());
  // Nothing but the saved file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProjectFiles, NestingIsLimited) {
  constexpr int kMax = CResItem::kMaxReadDepth;
  for (ProjectReader reader : {ProjectReader::Tree, ProjectReader::Sequential}) {
    const auto deepest = ChainProjectBytes(kMax);
    std::unique_ptr<CResItem> read;
    ASSERT_TRUE(locmodel::LoadProjectFromMemory(deepest.data(), deepest.size(), read, reader).ok());
    const auto tooDeep = ChainProjectBytes(kMax + 1);
    const Status status = locmodel::LoadProjectFromMemory(tooDeep.data(), tooDeep.size(), read, reader);
    EXPECT_EQ(status.reason(), "items nest deeper than 1000 levels");
  }
  // A deeper tree built in memory is refused by saving, and destroyed
  // without exhausting the stack.
  auto root = std::make_unique<CResItem>();
  CResItem* bottom = root.get();
  for (int i = 0; i < 200000; ++i) {
    auto* child = new CResItem;
    bottom->AddResItem(child);
    bottom = child;
  }
  EXPECT_EQ(locmodel::SaveProject(*root, Path("deep.lmp")).reason(), "items nest deeper than 1000 levels");
  EXPECT_FALSE(fs::exists(dir_ / "deep.lmp"));
}

TEST_F(ProjectFiles, ProgressCountsEveryByteAndGzipLoadsFromMemory) {
  // A tree of a few MB, so that the callback runs between steps too.
  CResItem root;
  for (int i = 0; i < 40; ++i) {
    auto* child = new CResItem();
    child->SetData(std::vector<unsigned char>(100'000, static_cast<unsigned char>(i)).data(), 100'000);
    root.AddResItem(child);
  }
  std::vector<locmodel::Progress> saved, loaded;
  const auto record = [](std::vector<locmodel::Progress>& calls) {
    return [&calls](const locmodel::Progress& p) { calls.push_back(p); };
  };
  for (const bool gzip : {false, true}) {
    saved.clear();
    ASSERT_TRUE(locmodel::SaveProject(root, Path("p"), {.gzip = gzip, .level = 1, .progress = record(saved)}).ok());
    const auto plain = locmodel::SaveProjectToMemory(root);
    ASSERT_GE(saved.size(), plain.size() / locmodel::kProgressStep);
    EXPECT_EQ(std::pair(saved.back().bytes, saved.back().total), std::pair(plain.size(), plain.size()));
    for (size_t i = 1; i < saved.size(); ++i) EXPECT_GT(saved[i].bytes, saved[i - 1].bytes);

    const std::string file = ReadFile(In("p"));
    for (const bool fromMemory : {false, true}) {
      loaded.clear();
      std::unique_ptr<CResItem> read;
      const locmodel::LoadOptions options{ProjectReader::Sequential, record(loaded)};
      const Status status =
          fromMemory ? locmodel::LoadProjectFromMemory(reinterpret_cast<const unsigned char*>(file.data()),
                                                       file.size(), read, options)
                     : locmodel::LoadProject(Path("p"), read, options);
      ASSERT_TRUE(status.ok()) << status.ToString();
      EXPECT_TRUE(SameTree(root, *read));
      ASSERT_GE(loaded.size(), 2u);
      // The size is known up front for plain data only.
      EXPECT_EQ(std::tuple(loaded.front().total, loaded.back().bytes, loaded.back().total),
                std::tuple(gzip ? 0u : plain.size(), plain.size(), plain.size()));
    }
  }
  // Gzip data in memory that is cut short or damaged is an error, as in a file.
  std::string gz = ReadFile(In("p"));
  std::unique_ptr<CResItem> read;
  for (const size_t cut : {gz.size() - 4, gz.size() / 2, size_t{10}}) {
    const Status status = locmodel::LoadProjectFromMemory(reinterpret_cast<const unsigned char*>(gz.data()), cut, read);
    EXPECT_EQ(status.ToString(), "(memory): corrupt gzip data") << cut;
  }
  gz[gz.size() / 2] ^= 0x55;
  EXPECT_FALSE(locmodel::LoadProjectFromMemory(reinterpret_cast<const unsigned char*>(gz.data()), gz.size(), read).ok());
  EXPECT_EQ(read, nullptr);
}

}  // namespace
