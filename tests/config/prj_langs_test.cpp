// The project languages: CPrjLangs' consistency rules, their CPrjConfig
// counterparts on the item tree, brand names and the output languages.
#include <gtest/gtest.h>

#include "locmodel/config/prj_config.h"
#include "locmodel/lang/lang_map.h"
#include "support/default_cfg_guard.h"
#include "support/item_chain.h"
#include "support/stream_bytes.h"
#include "support/stream_reader.h"

namespace {

using namespace testing_support;

constexpr int kNone = CLangId::NoLang;
constexpr int kEnUs = 0x0409, kDeDe = 0x0407, kFrFr = 0x040C, kRuRu = 0x0419;

int Branded(int lang, unsigned char brand) { return CLangId(static_cast<short>(lang), brand).GetLang(); }

void ExpectLangs(const CPrjLangs& langs, int native, int target, int secondary, const CLangSet& selected) {
  EXPECT_EQ(std::tuple(langs.getNative(), langs.getTarget(), langs.getSecondary(), langs.getSelectedLangs()),
            std::tuple(native, target, secondary, selected));
}

TEST(PrjLangs, ConstructionSetsOnlyTheNativeLanguage) {
  ExpectLangs(CPrjLangs(1033), 1033, kNone, kNone, {});
  CPrjLangs a(1033), b(1033);
  b.addSelectedLang(kDeDe);
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a < b || b < a);
  a.addSelectedLang(kDeDe);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(CPrjLangs(1033) == CPrjLangs(1031));
}

TEST(PrjLangs, SelectingMovesTargetAndSecondaryIntoTheSet) {
  CPrjLangs langs(kEnUs);
  langs.setSelectedLangs({kDeDe, kFrFr});
  ExpectLangs(langs, kEnUs, kDeDe, kNone, {kDeDe, kFrFr});  // the smallest becomes the target
  langs.setSelectedLangs({kDeDe, kEnUs});                     // holds the native language: refused whole
  ExpectLangs(langs, kEnUs, kDeDe, kNone, {kDeDe, kFrFr});

  langs.setTarget(kFrFr);
  EXPECT_EQ(langs.getTarget(), kFrFr);
  langs.setTarget(kRuRu);  // not selected
  EXPECT_EQ(langs.getTarget(), kFrFr);
  langs.setTarget(Branded(kEnUs, 1));  // another brand of the native language
  EXPECT_EQ(langs.getTarget(), 0x10409);
  langs.setTarget(kEnUs);  // the native language itself
  EXPECT_EQ(langs.getTarget(), 0x10409);

  langs.setTarget(Branded(kFrFr, 2));  // a brand of a selected language
  langs.setSecondary(kFrFr);
  langs.setSelectedLangs({kRuRu, kDeDe});  // neither is in the new set
  ExpectLangs(langs, kEnUs, Branded(kDeDe, 2), kNone, {kDeDe, kRuRu});

  langs.setSecondary(kRuRu);
  langs.setSelectedLangs({});  // back to the native language, in the target's brand
  ExpectLangs(langs, kEnUs, Branded(kEnUs, 2), kNone, {});
  langs.setSelectedLangs({});  // same 16-bit part as the native: the target stays
  EXPECT_EQ(langs.getTarget(), Branded(kEnUs, 2));
}

TEST(PrjLangs, SecondaryFollowsTheTargetRulesButNoneIsAlwaysTaken) {
  CPrjLangs langs(kEnUs);
  langs.setSelectedLangs({kDeDe});
  for (auto [lang, taken] : {std::pair{kDeDe, true}, {kRuRu, false}, {Branded(kEnUs, 1), true},
                             {kEnUs, false}, {kNone, true}}) {
    langs.setSecondary(kDeDe);
    langs.setSecondary(lang);
    EXPECT_EQ(langs.getSecondary(), taken ? lang : kDeDe) << lang;
  }
}

TEST(PrjLangs, MembershipIsTheSignExtendedPartOfBrandZeroEntries) {
  CPrjLangs langs(kEnUs);
  langs.addSelectedLang(Branded(kDeDe, 1));  // no check, and not brand 0
  langs.addSelectedLang(kEnUs);              // even the native language
  EXPECT_EQ(langs.getSelectedLangs(), (CLangSet{kEnUs, Branded(kDeDe, 1)}));
  langs.setTarget(Branded(kDeDe, 1));
  EXPECT_EQ(langs.getTarget(), kNone);

  // A part at or above 0x8000 is looked up as a negative number.
  langs.addSelectedLang(0x8001);
  langs.setTarget(0x8001);
  EXPECT_EQ(langs.getTarget(), kNone);
  langs.addSelectedLang(static_cast<short>(0x8001));
  langs.setTarget(0x28001);
  EXPECT_EQ(langs.getTarget(), 0x28001);
}

TEST(PrjLangs, SerializesFourNamedNodesAndStopsAtTheFirstFailure) {
  CPrjLangs langs(kEnUs);
  langs.setSelectedLangs({kDeDe});
  const Bytes body = Concat({Node("Selected", Hex("1A 04 00 00 00 01 00 00 00 18 00 1A 04 00 00 00 07 04 00 00 19")),
                             Node("Target", Hex("1A 04 00 00 00 07 04 00 00")),
                             Node("Native", Hex("1A 04 00 00 00 09 04 00 00")),
                             Node("Secondary", Hex("1A 04 00 00 00 61 1E 00 00"))});
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { langs.Do(s); }), body);
  CPrjLangs back;
  StreamReader whole(StreamAround(body));
  ASSERT_TRUE(back.Do(whole.reader));
  EXPECT_TRUE(back == langs);

  // A two-byte target: the native language after it is not read.
  CPrjLangs partial;
  StreamReader twoByteTarget(StreamAround(Concat({Node("Selected", Hex("1A 04 00 00 00 00 00 00 00")),
                                                  Node("Target", Hex("1A 02 00 00 00 07 04")),
                                                  Node("Native", Hex("1A 04 00 00 00 09 04 00 00"))})));
  EXPECT_FALSE(partial.Do(twoByteTarget.reader));
  EXPECT_EQ(partial.getNative(), kNone);
  EXPECT_EQ(PropClassRegistry::instance().FindClass(Serial::NodeName(u"PrjLangsType")),
            &CPrjLangsProp::classInstance);
}

// With the default configuration restored afterwards.
class PrjConfigTree : public ::testing::Test, protected ItemChain {
 protected:
  PrjConfigTree() {
    CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, CPrjConfig::PrjLangsPropName());
    CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, CPrjConfig::BrandMapPropName());
  }
  DefaultCfgGuard guard;
};

TEST_F(PrjConfigTree, LanguageOperationsStoreOnlyWhatTheRulesChange) {
  CPrjConfig::SetPrjLangs(root, CPrjLangs(kEnUs));
  CPrjConfig::SetSelectedLangs(*child, {kDeDe, kEnUs});  // refused: nothing stored
  CPrjConfig::SetTarget(*child, kRuRu);
  CPrjConfig::SetSecondary(*child, kNone);  // already none
  EXPECT_FALSE(CPrjConfig::HasPrjLangs(*child));

  CPrjConfig::SetSelectedLangs(*child, {kDeDe, kFrFr});
  ASSERT_TRUE(CPrjConfig::HasPrjLangs(*child));
  EXPECT_EQ(CPrjConfig::GetNative(*child), kEnUs);
  EXPECT_EQ(CPrjConfig::GetTarget(*child), kDeDe);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*child), (CLangSet{kDeDe, kFrFr}));
  EXPECT_EQ(CPrjConfig::GetTarget(root), kNone);
  CPrjConfig::SetSecondary(*child, kFrFr);
  EXPECT_EQ(CPrjConfig::GetSecondary(*child), kFrFr);
  CPrjConfig::ResetSecondary(*child);
  EXPECT_EQ(CPrjConfig::GetSecondary(*child), kNone);
  CPrjConfig::AddSelectedLang(*child, kEnUs);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*child), (CLangSet{kDeDe, kEnUs, kFrFr}));

  // A value that refers into the property it replaces.
  CPrjConfig::SetSelectedLangs(*child, CPrjConfig::GetSelectedLangs(*child));  // holds the native: refused
  CPrjConfig::SetPrjLangs(*child, CPrjConfig::GetPrjLangs(*child, true));
  CPrjConfig::SetBrandMap(*child, {{0, u"A"}, {1, u"B"}});
  CPrjConfig::SetBrandMap(*child, CPrjConfig::GetBrandMap(*child, false));
  EXPECT_EQ(CPrjConfig::GetBrandMap(*child, false).size(), 2u);
  EXPECT_EQ(CPrjConfig::GetSelectedLangs(*child), (CLangSet{kDeDe, kEnUs, kFrFr}));
}

TEST_F(PrjConfigTree, BrandNamesComeFromTheEffectiveMap) {
  const std::u16string english = CLangMap::Instance().GetLongLangName(kEnUs);
  ASSERT_FALSE(english.empty());
  EXPECT_EQ(CPrjConfig::GetBrandName(*child, 0), u"SourceBrand");
  EXPECT_EQ(CPrjConfig::GetBrandName(*child, 3), u"[3]");
  EXPECT_EQ(CPrjConfig::GetBrandName(*child, -12), u"[-12]");
  EXPECT_EQ(CPrjConfig::GetBrandedLangName(*child, Branded(kEnUs, 1)), english);  // one brand: bare

  CPrjConfig::SetBrandMap(root, {{0, u"SourceBrand"}, {1, u"Lite"}});
  EXPECT_EQ(CPrjConfig::GetBrandedLangName(*child, kEnUs), u"SourceBrand: " + english);
  EXPECT_EQ(CPrjConfig::GetBrandedLangName(*child, Branded(kEnUs, 1)), u"Lite: " + english);
  EXPECT_EQ(CPrjConfig::GetBrandedLangName(*child, Branded(kDeDe, 3)),
            u"[3]: " + CLangMap::Instance().GetLongLangName(kDeDe));

  EXPECT_EQ(CPrjConfig::GetBrandNative(Branded(kEnUs, 5), Branded(kEnUs, 2)), Branded(kEnUs, 2));
  EXPECT_EQ(CPrjConfig::GetBrandNative(Branded(kDeDe, 5), kEnUs), Branded(kEnUs, 5));
  EXPECT_EQ(CPrjConfig::GetBrandNative(kDeDe, Branded(kEnUs, 2)), kEnUs);
}

TEST_F(PrjConfigTree, OutputLanguagesSpanSelectedAndNativeOncePerBrand) {
  CPrjLangs langs(kEnUs);
  langs.setSelectedLangs({kDeDe});
  CPrjConfig::SetPrjLangs(root, langs);
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, CLangId::UnrealBrand), (CLangSet{kDeDe}));

  CPrjConfig::SetBrandMap(root, {{0, u"SourceBrand"}, {1, u"Lite"}});
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, CLangId::UnrealBrand),
            (CLangSet{kDeDe, 0x10407, 0x10409}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, 0), (CLangSet{kDeDe}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, 1), (CLangSet{0x10407, 0x10409}));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, 2), CLangSet{});

  // Keys match by their low byte; brand-1 entries of the set count by part.
  CPrjConfig::SetBrandMap(*child, {{0x100, u"Zero again"}, {0x201, u"One again"}});
  CPrjConfig::AddSelectedLang(*child, Branded(kFrFr, 1));
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, CLangId::UnrealBrand),
            (CLangSet{kDeDe, kFrFr, 0x10407, 0x10409, 0x1040C}));
  CPrjConfig::SetBrandMap(*child, {});
  EXPECT_EQ(CPrjConfig::GetAllOutputLangs(*child, CLangId::UnrealBrand), CLangSet{});
}

}  // namespace
