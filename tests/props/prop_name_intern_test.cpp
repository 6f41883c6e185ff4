#include "locmodel/props/prop_name.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"

namespace {

const CPropName* FindName(const CPropContainer& props, const std::u16string& text) {
  for (const auto& [name, value] : props.GetPropCont())
    if (name.GetStr() == text) return &name;
  return nullptr;
}

TEST(PropNameInterning, TwoLoadedFilesShareOneTextWhichLeavesWithTheLastName) {
  const std::u16string probe = u"InternProbeName", other = u"InternProbeOther";
  std::vector<std::vector<unsigned char>> files;
  for (const std::u16string& second : {probe, other}) {
    CResItem root;
    root.SetPropW(probe, new CIntProp(1));
    root.GetCfgProps().SetPropW(second, new CIntProp(2));
    files.push_back(locmodel::SaveProjectToMemory(root));
  }
  const size_t before = CPropName::InternedTextCount();

  std::unique_ptr<CResItem> a, b;
  ASSERT_TRUE(locmodel::LoadProjectFromMemory(files[0].data(), files[0].size(), a).ok());
  ASSERT_TRUE(locmodel::LoadProjectFromMemory(files[1].data(), files[1].size(), b,
                                              locmodel::ProjectReader::Tree).ok());
  EXPECT_EQ(CPropName::InternedTextCount(), before + 2);
  const CPropName* names[] = {FindName(*a, probe), FindName(a->GetCfgProps(), probe), FindName(*b, probe)};
  for (const CPropName* name : names) {
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(&name->GetStr(), &names[0]->GetStr());
  }
  a.reset();
  EXPECT_EQ(CPropName::InternedTextCount(), before + 2);  // b still holds both
  b.reset();
  EXPECT_EQ(CPropName::InternedTextCount(), before);
}

// Names spelled alike made, copied and dropped on several threads at once:
// the table ends as it began (the sanitizer build checks the races).
TEST(PropNameInterning, ThreadsShareAndReleaseTextsSafely) {
  const size_t before = CPropName::InternedTextCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 2000; ++i) {
        CPropName name(i % 2 ? u"RacedA" : u"RacedB");
        CPropName copy = name;
        EXPECT_EQ(copy, name);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(CPropName::InternedTextCount(), before);
}

}  // namespace
