// A per-format accessor keeps the names it decorated: each property keeps
// its own, copies and assignments follow the new format, and threads
// sharing one const accessor all see the right values.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/res_item.h"
#include "support/default_cfg_guard.h"

namespace {

TEST(AccessorNames, KeptPerPropertyFollowCopiesAndAssignmentAndServeThreads) {
  DefaultCfgGuard guard;
  CResItem item;
  CXmlParserCfg(3).SetXPathTemplate(item, u"three");
  CXmlParserCfg(5).SetXPathTemplate(item, u"five");
  CXmlParserCfg(3).SetKeyXPathTemplate(item, u"key");

  CXmlParserCfg xml(3);
  EXPECT_EQ(xml.GetXPathTemplate(item, true), u"three");
  EXPECT_EQ(xml.GetKeyXPathTemplate(item, true), u"key");  // not the name kept for XPath
  EXPECT_EQ(xml.XPathTemplatePropName(), CPropName(u"3.XML.XPath"));

  const CXmlParserCfg copy(xml);
  EXPECT_EQ(copy.GetXPathTemplate(item, true), u"three");
  xml = CXmlParserCfg(5);
  EXPECT_EQ(xml.GetXPathTemplate(item, true), u"five");
  EXPECT_EQ(xml.GetKeyXPathTemplate(item, true), u"");
  EXPECT_EQ(copy.GetXPathTemplate(item, true), u"three");
  xml = CXmlParserCfg(CCustomAccessor::UNDECORATED_FORMAT);
  EXPECT_EQ(xml.XPathTemplatePropName(), CPropName(u"XML.XPath"));

  // Threads sharing one const accessor that has decorated nothing yet.
  CXmlParserCfg(7).SetXPathTemplate(item, u"x");
  CXmlParserCfg(7).SetKeyXPathTemplate(item, u"k");
  CXmlParserCfg(7).SetParseComments(item, true);
  const CXmlParserCfg shared(7);
  std::vector<int> wrong(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        const bool ok = shared.GetXPathTemplate(item, false) == u"x" && shared.GetKeyXPathTemplate(item, false) == u"k" &&
                        shared.GetParseComments(item, false) && shared.HasXPathTemplate(item);
        wrong[t] += !ok;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
