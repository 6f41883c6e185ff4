#include "cli/sample_project.h"

#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/items/item_helper.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"

namespace locmodel::cli {
namespace {

constexpr int kEnglish = 0x0409, kGerman = 0x0407, kFrench = 0x040C, kJapanese = 0x0411;

CResItem* Add(CResItem& parent, int type, const std::u16string& resId,
              const std::u16string& comment = {}) {
  auto* item = new CResItem;
  item->SetType(type);
  item->SetResId(resId);
  item->SetComment(comment);
  parent.AddResItem(item);
  return item;
}

// A translatable text with its translations.
CResItem* AddText(CResItem& parent, int type, const std::u16string& resId,
                  const std::u16string& source, const std::u16string& german,
                  const std::u16string& french, const std::u16string& japanese) {
  CResItem* item = Add(parent, type, resId);
  item->SetPropW(u"Text", new CStrProp(source));
  const std::pair<int, const std::u16string*> texts[] = {
      {kGerman, &german}, {kFrench, &french}, {kJapanese, &japanese}};
  int status = 0;
  for (const auto& [lang, text] : texts) {
    auto* trans = new CTransItem(lang);
    trans->SetStr(*text);
    trans->SetStatus(status++);
    item->AddTransItem(trans);
  }
  return item;
}

}  // namespace

std::unique_ptr<CResItem> MakeSampleProject() {
  auto root = std::make_unique<CResItem>();
  root->SetType(kProject);
  root->SetResId(u"@Demo");
  root->SetComment(u"Sample project of the locmodel tool");
  CPrjConfig::SetIsImportByItemIdEnabled(*root, true);
  // Languages set through the rules, which pick German as the target.
  CPrjConfig::SetPrjLangs(*root, CPrjLangs(kEnglish));
  CPrjConfig::SetSelectedLangs(*root, {kGerman, kFrench});
  CPrjConfig::SetBrandMap(*root, {{0, u"SourceBrand"}, {1, u"Lite"}});
  root->GetCfgProps().SetPropW(u"TgtLangs", new CLangSetProp({kGerman, kFrench, kJapanese}));

  CResItem* sources = Add(*root, kFolder, u"@Sources");
  // Set once on the folder, seen by every file and resource below it.
  sources->GetCfgProps().SetPropW(u"AutoSegm.LengthLimit", new CIntProp(120));
  CPrjConfig::SetFuzzyUpdate(*sources, 80);

  CResItem* rc = Add(*sources, kFile, u"@main.rc", u"Windows resources");
  rc->SetPropW(CPropName::PROP_EMBEDDED_CFG, new CEmbeddedCfgProp(CEmbeddedCfg{CEmbeddedCfg::Resource, 4, 0}));
  rc->SetPropW(u"Checksum", new CBinaryProp(std::vector<unsigned char>{0xCA, 0xFE}));
  const std::string rcText = "IDD_MAIN DIALOG 0, 0, 200, 100\r\n";
  rc->SetData(reinterpret_cast<const unsigned char*>(rcText.data()), static_cast<unsigned>(rcText.size()));
  CResItem* dialog = AddText(*rc, kDialog, u"#101", u"Main window", u"Hauptfenster",
                             u"Fen\u00eatre principale", u"\u30e1\u30a4\u30f3 \u30a6\u30a3\u30f3\u30c9\u30a6");
  dialog->SetPropW(u"Rect", new CIntVectorProp({0, 0, 200, 100}));
  dialog->SetPropW(u"Font", new CVariantProp(VARIANT::FromText(u"Segoe UI")));
  dialog->SetPropW(u"Styles", new CStrSetProp({u"WS_POPUP", u"WS_CAPTION"}));
  dialog->SetPropW(u"Controls", new CStrListProp({u"IDOK", u"IDCANCEL"}));
  dialog->SetPropW(u"HelpIds", new CIntSetProp({7, 3}));
  dialog->SetPropW(u"Checked");
  CItemIdAccessor::SetItemId(*dialog, 0x100000065ull);
  const unsigned char icon[] = {0x00, 0x00, 0x01, 0x00};
  dialog->GetTranslation(kGerman)->SetData(icon, sizeof icon);
  AddText(*dialog, kString, u"@IDOK", u"OK", u"OK", u"OK", u"OK");
  AddText(*dialog, kString, u"@IDCANCEL", u"Cancel", u"Abbrechen", u"Annuler",
          u"\u30ad\u30e3\u30f3\u30bb\u30eb");
  CResItem* menu = AddText(*rc, kMenu, u"#200", u"&File", u"&Datei", u"&Fichier",
                           u"\u30d5\u30a1\u30a4\u30eb(&F)");
  menu->SetReadOnly(true);

  CResItem* strings = Add(*sources, kFile, u"@strings.rc");
  CResItem* table = Add(*strings, kStringTable, u"#1");
  AddText(*table, kString, u"#1001", u"Saved \"%s\".", u"\"%s\" gespeichert.",
          u"\u00ab %s \u00bb enregistr\u00e9.", u"\u300c%s\u300d\u3092\u4fdd\u5b58\u3057\u307e\u3057\u305f\u3002");
  CResItem* locked = AddText(*table, kString, u"#1002", u"Line one\nLine two", u"Zeile eins\nZeile zwei",
                             u"Ligne un\nLigne deux", u"1\u884c\u76ee\n2\u884c\u76ee");
  locked->SetItemLocked(true);
  locked->GetCfgProps().SetPropW(u"AutoSegm.LengthLimit", new CIntProp(40));

  CResItem* docs = Add(*root, kFolder, u"@Docs");
  Add(*docs, kFile, u"@readme.txt", u"Not translated");
  return root;
}

bool SameTree(const CResItem& a, const CResItem& b) {
  if (!(a == b) || a.GetResItems().size() != b.GetResItems().size() ||
      a.GetTransMap().size() != b.GetTransMap().size())
    return false;
  for (auto ta = a.GetTransMap().begin(), tb = b.GetTransMap().begin(); ta != a.GetTransMap().end();
       ++ta, ++tb) {
    if (ta->first != tb->first || !(*ta->second == *tb->second) ||
        ta->second->GetKey() != tb->second->GetKey() || ta->second->GetParent() != &a ||
        tb->second->GetParent() != &b)
      return false;
  }
  for (size_t i = 0; i < a.GetResItems().size(); ++i) {
    const CResItem& childA = *a.GetResItems()[i];
    const CResItem& childB = *b.GetResItems()[i];
    if (childA.GetParent() != &a || childB.GetParent() != &b || !SameTree(childA, childB)) return false;
  }
  return true;
}

}  // namespace locmodel::cli
