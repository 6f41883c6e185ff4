#include "locmodel/segm/srx_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/streams.h"
#include "support/stream_reader.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

using namespace testing_support;
using Rule = CSRXStore::CRule;

CSRXStore Store(bool cascade, std::initializer_list<CSRXStore::CEntry> entries) {
  CSRXStore store;
  store.SetCascade(cascade);
  store.GetRulesLangMap().assign(entries);
  return store;
}

// An SRX 2.0 document around a body.
std::string Srx(const std::string& inside) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\">" + inside + "</srx>";
}

TEST(SRXStore, SerializedFormAndValueSemantics) {
  const CSRXStore store = Store(true, {{{u"N", u"P"}, {Rule(false, u"a", u"b")}}});
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { CSRXStore(store).Do(s); }),
            Hex("18 01 07 43 00 61 00 73 00 61 00 63 00 65 00 64 00 1A 01 00 00 00 01 19"
                "18 01 05 52 00 75 00 6C 00 65 00 73 00 1A 04 00 00 00 01 00 00 00"
                "18 00"
                "18 00 1A 02 00 00 00 4E 00 1A 02 00 00 00 50 00 19"
                "18 00 1A 04 00 00 00 01 00 00 00"
                "18 00 1A 01 00 00 00 00 1A 02 00 00 00 61 00 1A 02 00 00 00 62 00 19"
                "19 19 19"));

  CSRXStoreProp prop(store);
  testing_support::StreamReader stream(testing_support::WriteStream([&](Serial::ISerialStream& s) { prop.Do(s); }));
  CSRXStoreProp read;
  ASSERT_TRUE(read.Do(stream.reader));
  EXPECT_TRUE(read.IsEqual(prop));
  EXPECT_EQ(PropClassRegistry::instance().FindClass(Serial::NodeName(u"SRXStore")),
            &CSRXStoreProp::classInstance);

  CSRXStore other = store;
  EXPECT_FALSE(other < store || store < other);
  other.SetCascade(false);
  EXPECT_FALSE(other == store);
  other = store;
  other.GetRulesLangMap()[0].second[0].AfterBreak = u"B";
  EXPECT_FALSE(other == store);
}

TEST(SRXStore, RulesByCultureWithAndWithoutCascading) {
  CSRXStore store = Store(true, {{{u"Bad", u"("}, {Rule(true, u"bad", u"")}},
                                 // Backtracks for hours on any name: ICU's time limit skips it.
                                 {{u"Slow", u"(?:.*.*.*.*.*.*)*X"}, {Rule(true, u"slow", u"")}},
                                 {{u"German", u"de.*"}, {Rule(false, u"Nr\\.", u"\\s")}},
                                 {{u"Exact", u"de"}, {Rule(true, u"exact", u"")}},
                                 {{u"Upper", u"EN.*"}, {Rule(true, u"upper", u"")}},
                                 {{u"Default", u".*"}, {Rule(true, u"\\.", u"\\s")}}});
  // The before-break patterns of the rules for `culture`; each lookup replaces the last.
  CSRXStore::CRules rules = {Rule(true, u"stale", u"")};
  const auto befores = [&](const std::u16string& culture) {
    store.GetRules(culture, rules);
    std::vector<std::u16string> out;
    for (const Rule& rule : rules) out.push_back(rule.BeforeBreak);
    return out;
  };
  using Patterns = std::vector<std::u16string>;
  EXPECT_EQ(befores(u"de-DE"), (Patterns{u"Nr\\.", u"\\."}));
  EXPECT_EQ(befores(u"en-US"), Patterns{u"\\."});  // the match is case-sensitive
  store.SetCascade(false);
  EXPECT_EQ(befores(u"de-DE"), Patterns{u"Nr\\."});
  EXPECT_EQ(befores(u"de"), Patterns{u"Nr\\."});
}

TEST(SRXStore, SaveWritesTheExactBytes) {
  const CSRXStore store = Store(false, {{{u"A&B", u"en.*"},
                                          {Rule(false, u"Mr\\.", u"\\s"), Rule(true, u"<\"'>", u"x\ny")}},
                                         {{u"Default", u".*"}, {}}});
  EXPECT_EQ(store.ToSRX(), ReadFile(LOCMODEL_SOURCE_DIR "/tests/fixtures/srx/saved.srx"));
}

// `names` language rules of `rules` rules each, every one named by `maps`
// maps.
std::string ManyRules(int names, int rules, int maps) {
  std::string languageRules, mapRules;
  for (int n = 0; n < names; ++n) {
    const std::string name = "R" + std::to_string(n);
    languageRules += "<languagerule languagerulename=\"" + name + "\">";
    for (int i = 0; i < rules; ++i) languageRules += "<rule><beforebreak>" + std::to_string(n) + "</beforebreak></rule>";
    languageRules += "</languagerule>";
    for (int m = 0; m < maps; ++m) mapRules += "<languagemap languagepattern=\"x\" languagerulename=\"" + name + "\"/>";
  }
  return Srx("<body><languagerules>" + languageRules + "</languagerules><maprules>" + mapRules + "</maprules></body>");
}

class SRXFile : public testing_support::TempDirTest {
 protected:
  // Loads `xml` written to a file into a new store; false when Load fails.
  bool LoadText(const std::string& xml, CSRXStore& store) {
    WriteFile(In("in.srx"), xml);
    return store.Load(Path("in.srx"));
  }
  // The message of the CLoadError that loading `xml` throws.
  std::string LoadError(const std::string& xml) {
    CSRXStore store;
    try {
      LoadText(xml, store);
    } catch (const CSRXStore::CLoadError& error) {
      return error.what();
    }
    ADD_FAILURE() << "no CLoadError";
    return "";
  }
};

TEST_F(SRXFile, LoadReadsMapsRulesAndFlags) {
  const std::string body =
      "<body><languagerules>"
      "<languagerule languagerulename=\"Unused\"><rule><beforebreak>u</beforebreak></rule></languagerule>"
      "<languagerule languagerulename=\"En\">"
      "<rule break=\"no\"><beforebreak> Mr\\.</beforebreak><afterbreak> </afterbreak></rule>"
      "<rule><beforebreak><![CDATA[ <a> ]]></beforebreak><!-- c --><afterbreak xml:space=\"preserve\"> \\s </afterbreak></rule>"
      "<rule break=\"Yes\" segmentsubflows=\"no\"><beforebreak>&amp;&#x41;</beforebreak></rule>"
      "</languagerule></languagerules>"
      "<maprules><languagemap languagepattern=\"en.*\" languagerulename=\"En\"/>"
      "<languagemap languagerulename=\"En\"/>"
      "<languagemap languagepattern=\".*\" languagerulename=\"En\"/></maprules></body>";
  const auto withHeader = [&](const std::string& cascade) {
    return Srx("<header " + cascade + " segmentsubflows=\"yes\"><formathandle type=\"start\"/></header>" + body);
  };

  CSRXStore store;
  store.SetCascade(false);
  ASSERT_TRUE(LoadText(Srx(body), store));
  EXPECT_FALSE(store.IsCascade());  // no header: the flag stays
  const CSRXStore::CRules en = {Rule(false, u"Mr\\.", u""), Rule(true, u" <a> ", u" \\s "),
                                Rule(false, u"&A", u"")};
  EXPECT_EQ(store.GetRulesLangMap(),
            (CSRXStore::CEntries{{{u"En", u"en.*"}, en}, {{u"En", u".*"}, en}}));

  // Only "yes", in lower case, turns cascading on.
  for (const auto& [cascade, before, after] : std::initializer_list<std::tuple<std::string, bool, bool>>{
           {"cascade=\"yes\"", false, true}, {"cascade=\"Yes\"", true, false}, {"cascade=\"no\"", true, false},
           {"", false, false}}) {
    store.SetCascade(before);
    ASSERT_TRUE(LoadText(withHeader(cascade), store));
    EXPECT_EQ(store.IsCascade(), after) << cascade;
  }
  EXPECT_EQ(store.GetRulesLangMap().size(), 10u);  // loading appends

  // Elements outside the SRX 2.0 namespace are not seen.
  CSRXStore old;
  ASSERT_TRUE(LoadText("<srx version=\"1.0\"><header cascade=\"no\"/>" + body + "</srx>", old));
  EXPECT_TRUE(old.GetRulesLangMap().empty());
  EXPECT_TRUE(old.IsCascade());

  // A rule name that breaks the rule query: the maps before it stay.
  CSRXStore quoted;
  const std::string broken = Srx(
      "<body><languagerules/><maprules><languagemap languagepattern=\"a\" languagerulename=\"A\"/>"
      "<languagemap languagepattern=\"b\" languagerulename='x\"y'/></maprules></body>");
  EXPECT_THROW(LoadText(broken, quoted), CSRXStore::CLoadError);
  // The failed query names the rule in one short line, whatever the name holds.
  const std::string message = LoadError(Srx("<body><maprules><languagemap languagepattern=\"a\" "
                                            "languagerulename='\"&#10;" + std::string(200000, '(') +
                                            "'/></maprules></body>"));
  EXPECT_EQ(message.find('\n'), std::string::npos);
  EXPECT_LT(message.size(), 400u);
  ASSERT_EQ(quoted.GetRulesLangMap().size(), 1u);
  EXPECT_EQ(quoted.GetRulesLangMap()[0].first.RuleName, u"A");

  EXPECT_FALSE(quoted.Load(Path("missing.srx")));
  EXPECT_FALSE(quoted.Load(locmodel::Utf8ToUtf16(dir_.string())));
}

TEST_F(SRXFile, ManyLanguageRulesLoadInOnePass) {
  // Each map's rules are found by name, not by a query that scans every
  // language rule: 100,000 of them once ran out of XPath steps.
  CSRXStore store;
  ASSERT_TRUE(LoadText(ManyRules(100'000, 1, 1), store));
  const CSRXStore::CEntries& entries = store.GetRulesLangMap();
  ASSERT_EQ(entries.size(), 100'000u);
  EXPECT_EQ(entries.back().first.RuleName, u"R99999");
  EXPECT_EQ(entries.back().second, CSRXStore::CRules{Rule(true, u"99999", u"")});
  // Two language rules of one name give their rules in file order; rules
  // outside the SRX namespace and other children are not rules.
  CSRXStore twice;
  ASSERT_TRUE(LoadText(Srx("<body><languagerules>"
                           "<languagerule languagerulename=\"R\"><rule><beforebreak>1</beforebreak></rule>"
                           "<x/><o:rule xmlns:o=\"urn:o\"/></languagerule>"
                           "<languagerule languagerulename=\"S\"><rule/></languagerule>"
                           "<languagerule languagerulename=\"R\"><rule break=\"no\"/></languagerule>"
                           "</languagerules><maprules><languagemap languagepattern=\"x\" languagerulename=\"R\"/>"
                           "</maprules></body>"),
                       twice));
  EXPECT_EQ(twice.GetRulesLangMap().at(0).second,
            (CSRXStore::CRules{Rule(true, u"1", u""), Rule(false, u"", u"")}));
}

TEST_F(SRXFile, SaveAndLoadRoundTrip) {
  const CSRXStore store =
      Store(false, {{{u"A<&'B", u"en.*"}, {Rule(false, u"a<b&c", u"\\s"), Rule(true, u"é\U0001F600", u"")}},
                    {{u"Other", u".*"}, {Rule(true, u"\\.", u"\\s")}}});
  ASSERT_TRUE(store.Save(Path("out.srx")));
  EXPECT_EQ(ReadFile(In("out.srx")), store.ToSRX());
  EXPECT_FALSE(std::filesystem::exists(In("out.srx.srx-tmp")));
  CSRXStore read;
  ASSERT_TRUE(read.Load(Path("out.srx")));
  EXPECT_TRUE(read.IsCascade());  // the flag is not saved: a new store's stays
  EXPECT_EQ(read.GetRulesLangMap(), store.GetRulesLangMap());

  // What does not come back: end blanks, CR, and rules of shared names.
  const CSRXStore lossy = Store(true, {{{u"S", u"a"}, {Rule(true, u" x\ry ", u"")}},
                                       {{u"S", u"b"}, {Rule(false, u"z", u"")}}});
  ASSERT_TRUE(lossy.Save(Path("lossy.srx")));
  CSRXStore back;
  ASSERT_TRUE(back.Load(Path("lossy.srx")));
  const CSRXStore::CRules both = {Rule(true, u"x\ny", u""), Rule(false, u"z", u"")};
  EXPECT_EQ(back.GetRulesLangMap(), (CSRXStore::CEntries{{{u"S", u"a"}, both}, {{u"S", u"b"}, both}}));
  ASSERT_TRUE(back.Save(Path("lossy.srx")));
  CSRXStore twice;
  ASSERT_TRUE(twice.Load(Path("lossy.srx")));
  EXPECT_EQ(twice.GetRulesLangMap()[0].second.size(), 4u);

  // A control character is written as it is, and the file no longer parses.
  ASSERT_TRUE(Store(true, {{{u"C", u"a"}, {Rule(true, u"\x01", u"")}}}).Save(Path("ctl.srx")));
  EXPECT_FALSE(CSRXStore().Load(Path("ctl.srx")));

  EXPECT_FALSE(store.Save(Path("no/such/dir/out.srx")));
  EXPECT_FALSE(std::filesystem::exists(In("no")));
}

TEST_F(SRXFile, HostileDocumentsFailCleanly) {
  const std::string rules =
      "<body><languagerules><languagerule languagerulename=\"R\"><rule><beforebreak>&e;</beforebreak>"
      "</rule></languagerule></languagerules><maprules>"
      "<languagemap languagepattern=\".*\" languagerulename=\"R\"/></maprules></body>";
  const auto withDtd = [&](const std::string& dtd) {
    return "<?xml version=\"1.0\"?><!DOCTYPE srx [" + dtd + "]>" +
           "<srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\">" + rules + "</srx>";
  };
  // Entity expansion bombs and deep nesting are seeds of the srx fuzz target.
  CSRXStore store;
  // An internal entity is expanded as the text it stands for.
  ASSERT_TRUE(LoadText(withDtd("<!ENTITY e \"Mr\\.\">"), store));
  EXPECT_EQ(store.GetRulesLangMap().at(0).second.at(0).BeforeBreak, u"Mr\\.");

  WriteFile(In("secret.txt"), std::string("SECRET-CONTENT"));
  for (const std::string& dtd : {"<!ENTITY e SYSTEM \"" + In("secret.txt") + "\">",
                                 "<!ENTITY % p SYSTEM \"" + In("secret.txt") + "\"> %p; <!ENTITY e \"x\">"}) {
    CSRXStore external;
    EXPECT_FALSE(LoadText(withDtd(dtd), external)) << dtd;
    EXPECT_TRUE(external.GetRulesLangMap().empty());
  }

  EXPECT_FALSE(LoadText(Srx("<body a=\"" + std::string(20 << 20, 'x') + "\"/>"), store));
  EXPECT_FALSE(LoadText(Srx("<header cascade=\"\xC3\x28\"/>"), store));
  const std::string whole = Srx(rules).replace(Srx(rules).find("&e;"), 3, "e");
  EXPECT_FALSE(LoadText(whole.substr(0, whole.size() - 10), store));

  // Many maps naming one large rule: each would hold its own copy. The
  // refusal names the limit.
  EXPECT_NE(LoadError(ManyRules(1, 2000, 2000)).find("more than 250000 rules"), std::string::npos);

  // A broken encoding is a failed load, and libxml2 says nothing on stderr.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(LoadText("<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>\n"
                        "<srx xmlns=\"http://www.lisa.org/srx20\">\x1b$B\xff\xfe\x80</srx>", store));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  // A UTF-16 file with a byte order mark loads.
  std::u16string utf16 = u"\uFEFF" + locmodel::Utf8ToUtf16(whole);
  Bytes bytes;
  for (char16_t c : utf16) bytes.push_back(c & 0xFF), bytes.push_back(c >> 8);
  WriteFile(In("utf16.srx"), bytes);
  CSRXStore wide;
  ASSERT_TRUE(wide.Load(Path("utf16.srx")));
  EXPECT_EQ(wide.GetRulesLangMap().at(0).second.at(0).BeforeBreak, u"e");
}

}  // namespace
