#include "locmodel/config/job_params.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/event_log.h"
#include "support/job_bytes.h"
#include "locmodel/items/res_item.h"
#include "support/stream_bytes.h"
#include "support/stream_reader.h"
#include "support/temp_dir.h"

using namespace testing_support;

namespace {

// root -> a -> b -> file (with two resources, one translated), b has a
// second child after the file so that its position shows.
struct Project {
  std::unique_ptr<CResItem> root = std::make_unique<CResItem>();
  CResItem *a = new CResItem, *b = new CResItem, *file = new CResItem, *after = new CResItem;
  Project() {
    root->AddResItem(a);
    a->AddResItem(b);
    b->AddResItem(file);
    b->AddResItem(after);
    file->SetResId(u"@main.rc");
    for (int i = 0; i < 2; ++i) file->AddResItem(new CResItem);
    auto* trans = new CTransItem(1031);
    trans->SetStr(u"Datei");
    file->AddTransItem(trans);
  }
};

class JobFileTest : public TempDirTest {};

Bytes Body(const std::function<void(Serial::ISerialStream&)>& write) { return StreamAround(WriteBody(write)); }

}  // namespace

using locmodel::LoadJob;
using locmodel::Status;

TEST_F(JobFileTest, SaveKeepsTheLiveTreeAndLoadFindsTheFileItem) {
  Project p;
  CCreateLocalizedParam param;
  param.targetLang = 1031;
  param.targetLangs = {1031, 1036};
  param.hostValue = 5;
  {
    ListeningEventLog log;
    ASSERT_TRUE(CreateLocalizedTempFile::Save(Path("job"), u"main.rc", u"orig.rc", *p.file, param));
    EXPECT_EQ(log.Line(), "");
  }
  EXPECT_EQ(p.file->GetParent(), p.b);
  EXPECT_EQ(p.b->GetResItems(), (CResItem::ResItemList{p.file, p.after}));

  CreateLocalizedTempFile job;
  ASSERT_TRUE(job.Load(Path("job")));
  // (The whole record as read is the job commands' golden documents'.)
  EXPECT_EQ(job.fileItemLevel, 3);
  EXPECT_EQ(job.param.hostValue, 1);  // never serialized
  ASSERT_NE(job.GetFileItem(), nullptr);
  EXPECT_EQ(job.GetFileItem()->GetTranslation(1031)->GetStr(), u"Datei");

  // The checked save writes the same file.
  ASSERT_TRUE(CreateLocalizedTempFile::SaveChecked(Path("checked"), u"main.rc", u"orig.rc", *p.file, param,
                                                   {.sync = false, .verify = true}).ok());
  EXPECT_EQ(ReadFile(In("checked")), ReadFile(In("job")));
  EXPECT_FALSE(CreateLocalizedTempFile::SaveChecked(Path("none/job"), u"", u"", *p.file, param).ok());
  EXPECT_EQ(p.file->GetParent(), p.b);
}

TEST_F(JobFileTest, ParseJobRoundTripsAndItsFileItemRuleWalksToTheFirstLeaf) {
  Project p;
  CParseParam param(*p.file);
  param.parseLang = 1031;
  param.scanForChanges = true;
  ASSERT_TRUE(CSerialParseFileParam::Save(Path("job"), u"main.rc", param));
  EXPECT_EQ(p.b->GetResItems(), (CResItem::ResItemList{p.file, p.after}));

  CSerialParseFileParam job;
  ASSERT_TRUE(job.Load(Path("job")));
  EXPECT_EQ(job.parseLang, 1031);
  EXPECT_TRUE(job.scanForChanges);
  EXPECT_EQ(job.fileName, u"main.rc");
  // The rule goes on below a file item that already has children.
  ASSERT_NE(job.GetFileItem(), nullptr);
  EXPECT_EQ(job.GetFileItem()->GetParent()->GetResId(), u"@main.rc");

  // A record made from the live item holds it under copies until it goes,
  // and a move hands the substituter over exactly once.
  {
    CSerialParseFileParam live(param);
    EXPECT_NE(p.file->GetParent(), p.b);
    CSerialParseFileParam moved(std::move(live));
    EXPECT_EQ(live.GetItem(), nullptr);
    moved = std::move(job);  // releases the substituter: the tree is back
    EXPECT_EQ(p.b->GetResItems(), (CResItem::ResItemList{p.file, p.after}));
    EXPECT_EQ(moved.GetFileItem()->GetParent()->GetResId(), u"@main.rc");
  }
  EXPECT_EQ(p.file->GetParent(), p.b);
}

// A create-localized job holding `item` at `level`, written member by
// member so that any level can be stored.
Bytes JobBytes(CResItem& item, int level) {
  return Body([&](Serial::ISerialStream& s) {
    std::u16string none;
    CCreateLocalizedParam param;
    std::unique_ptr<CResItem> top(&item);
    Serial::DoNode(s, u"FileName", none);
    Serial::DoNode(s, u"OriginalFileName", none);
    Serial::DoNode(s, u"Param", param);
    Serial::DoNode(s, u"FileItemLevel", level);
    Serial::DoNode(s, u"Item", top);
    (void)top.release();
  });
}

Status LoadBytes(const Bytes& bytes, CreateLocalizedTempFile& job) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return LoadJob(in, [] { return std::string(); }, u"job", job);
}

TEST(JobRecordTest, GetFileItemNeverWalksPastTheChain) {
  Project p;  // root, a, b, file: three levels below the root
  // First children: a, b, file, the file's first resource.
  for (int level : {-1, 0, 3, 4, 5, 1000000000}) {
    SCOPED_TRACE(level);
    CreateLocalizedTempFile job;
    ASSERT_TRUE(LoadBytes(JobBytes(*p.root, level), job).ok());
    EXPECT_EQ(job.GetFileItem() != nullptr, level >= 0 && level <= 4);
  }
}

TEST(JobRecordTest, MinimalJobHasTheHandDerivedBytes) {
  CreateLocalizedTempFile job;
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { EXPECT_TRUE(job.Do(s)); }), LocalizeJobBody());
}

// `record` read from a whole stream through the tree reader.
template <typename Record>
bool TreeDo(const Bytes& bytes, Record& record) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  Serial::Binary::BinarySerialTreeIn tree;
  tree.Load(in);
  return record.Do(tree);
}

TEST(JobRecordTest, AbsentNodesThroughBothReaders) {
  // No "cTgtCultureName": the tree reader keeps "##", the sequential one
  // stops at the node it expected.
  const Bytes param = Body([](Serial::ISerialStream& s) {
    int lang = 1031;
    std::u16string dir = u"C:\\prj";
    Serial::DoNode(s, u"ntv_lng", lang);
    Serial::DoNode(s, u"tgt_lng", lang);
    Serial::DoNode(s, u"cProjectDir", dir);
  });
  StreamReader sequential(param);
  EXPECT_THROW(CCreateLocalizedParam().Do(sequential.reader), Serial::Exceptions::FormatIO);
  CCreateLocalizedParam read;
  EXPECT_TRUE(TreeDo(param, read));
  EXPECT_EQ(read.projectDir, u"C:\\prj");
  EXPECT_EQ(read.targetCultureName, u"##");

  // No "Item": Do is false through the tree reader; Load passes the
  // sequential reader's FormatIO on.
  const Bytes whole = LocalizeJobBody(), item = Node("Item", Field(Hex("01")));
  const Bytes noItem = StreamAround(Bytes(whole.begin(), whole.end() - static_cast<long>(item.size())));
  CreateLocalizedTempFile job;
  EXPECT_FALSE(TreeDo(noItem, job));
  Serial::MemoryStreamIn in(noItem.data(), static_cast<uint32_t>(noItem.size()));
  EXPECT_THROW(job.Load(in), Serial::Exceptions::FormatIO);
  // The parse record's Do is true without its item, its Load is not.
  const Bytes parseNoItem = Body([](Serial::ISerialStream& s) {
    int lang = 7777;
    std::u16string text;
    bool flag = false;
    Serial::DoNode(s, u"ParseLng", lang);
    Serial::DoNode(s, u"NtvLng", lang);
    Serial::DoNode(s, u"ProjectFolder", text);
    Serial::DoNode(s, u"OriginalFile", text);
    Serial::DoNode(s, u"IsScanForChanges", flag);
    Serial::DoNode(s, u"Item", text);  // an empty field where the null flag belongs
    Serial::DoNode(s, u"FileName", text);
  });
  CSerialParseFileParam parse;
  EXPECT_TRUE(TreeDo(parseNoItem, parse));
  Serial::MemoryStreamIn parseIn(parseNoItem.data(), static_cast<uint32_t>(parseNoItem.size()));
  EXPECT_FALSE(parse.Load(parseIn));
}

TEST(JobRecordTest, DamagedJobsFailAndANullChildIsDropped) {
  CResItem item;
  item.AddResItem(new CResItem);
  item.AddResItem(new CResItem);
  const Bytes good = JobBytes(item, 0);
  CreateLocalizedTempFile job;
  ASSERT_TRUE(LoadBytes(good, job).ok());

  // The first child written as a null pointer: dropped, the rest reads.
  Bytes nullChild = good;
  const Bytes child = Concat({Hex("18 00 1A 01000000 00"), WriteBody([](Serial::ISerialStream& s) { CResItem().Do(s); }), Hex("19")});
  const auto at = std::search(nullChild.begin(), nullChild.end(), child.begin(), child.end());
  ASSERT_NE(at, nullChild.end());
  const Bytes null = Hex("18 00 1A 01000000 01 19");
  nullChild.erase(at, at + static_cast<long>(child.size()));
  nullChild.insert(at, null.begin(), null.end());
  ASSERT_TRUE(LoadBytes(nullChild, job).ok());
  EXPECT_EQ(job.GetItem()->GetResItems().size(), 1u);

  // A negative count, a missing close of "Root", a cut anywhere.
  Bytes negative = good;
  const Bytes count = Hex("1A 04000000 02000000");
  std::copy_n(Hex("1A 04000000 FFFFFFFF").begin(), count.size(),
              std::search(negative.begin(), negative.end(), count.begin(), count.end()));
  EXPECT_EQ(LoadBytes(negative, job).reason(), "malformed job file: the data do not follow the job layout");
  for (size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_FALSE(LoadBytes(Bytes(good.begin(), good.begin() + static_cast<long>(cut)), job).ok()) << cut;
  EXPECT_EQ(job.GetItem()->GetResItems().size(), 1u);  // a failed load leaves the record alone
}
