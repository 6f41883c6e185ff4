// The XLIFF interchange: what the export writes, that the OASIS schemas
// accept it, that an import brings back exactly what changed, and that
// hostile documents end in one-line errors with the tree untouched.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "cli/sample_project.h"
#include "locmodel/items/item_helper.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/xliff/xliff.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

using locmodel::XliffVersion;
constexpr int kGerman = 0x407;

// The sample project plus the cases it lacks: a control character, an
// empty translation, a text property of another class, a shared item id.
std::unique_ptr<CResItem> MakeProject() {
  auto root = locmodel::cli::MakeSampleProject();
  CResItem* folder = root->GetResItems()[1];  // @Docs
  auto add = [&](const std::u16string& resId, CProp* text) {
    auto* item = new CResItem;
    item->SetResId(resId);
    if (text) item->SetPropW(u"Text", text);
    folder->AddResItem(item);
    return item;
  };
  add(u"@bell", new CStrProp(u"Ring\u0007 twice  "))->SetComment(u"tab\there");
  auto* empty = new CTransItem(kGerman);
  empty->SetStr(u"");
  empty->SetStatus(4);
  add(u"@empty", new CStrProp(u"Untranslated"))->AddTransItem(empty);
  add(u"@number", new CIntProp(7));
  CItemIdAccessor::SetItemId(*add(u"@twin1", new CStrProp(u"One")), 42);
  CItemIdAccessor::SetItemId(*add(u"@twin2", new CStrProp(u"Two")), 42);
  return root;
}

std::string Export(const CResItem& item, XliffVersion version, bool segment = false, int lang = kGerman) {
  locmodel::XliffExportOptions options;
  options.targetLang = lang;
  options.version = version;
  options.segment = segment;
  options.original = u"sample.lmp";
  std::ostringstream out;
  const auto status = locmodel::ExportXliff(item, options, out);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return out.str();
}

struct Imported {
  locmodel::Status status;
  locmodel::XliffImportReport report;
};

Imported Import(CResItem& root, const std::string& xliff, bool dryRun = false, int lang = 0) {
  locmodel::XliffImportOptions options;
  options.targetLang = lang;
  std::istringstream in(xliff);
  Imported result{locmodel::Status::Ok(), {}};
  result.status = locmodel::ImportXliff(root, options, in, result.report, dryRun);
  return result;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Validates against the OASIS schemas (and, for 1.2 strict, the declaration
// of our status attribute). Empty when valid, else the first error.
std::string SchemaErrors(const std::string& xliff, XliffVersion version) {
  const std::string dir = LOCMODEL_XLIFF_SCHEMA_DIR;
  std::string schema;
  if (version == XliffVersion::V2_0) {
    schema = "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:import namespace='"
             "urn:oasis:names:tc:xliff:document:2.0' schemaLocation='" + dir + "/xliff-core-2.0.xsd'/></xs:schema>";
  } else {
    schema = "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'><xs:import namespace='"
             "urn:oasis:names:tc:xliff:document:1.2' schemaLocation='" + dir + "/xliff-core-1.2-strict.xsd'/>"
             "<xs:import namespace='urn:locmodel:xliff:1' schemaLocation='" LOCMODEL_SOURCE_DIR
             "/tests/xliff/locmodel-status.xsd'/></xs:schema>";
  }
  static std::string firstError;
  firstError.clear();
  auto collect = [](void*, xmlErrorPtr error) {
    if (firstError.empty() && error && error->message) firstError = std::to_string(error->line) + ": " + error->message;
  };
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewMemParserCtxt(schema.data(), static_cast<int>(schema.size()));
  xmlSchemaSetParserStructuredErrors(parser, collect, nullptr);
  xmlSchemaPtr compiled = xmlSchemaParse(parser);
  xmlSchemaFreeParserCtxt(parser);
  if (!compiled) return "schema: " + firstError;
  xmlDocPtr doc = xmlReadMemory(xliff.data(), static_cast<int>(xliff.size()), nullptr, nullptr, XML_PARSE_NONET);
  xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(compiled);
  xmlSchemaSetValidStructuredErrors(valid, collect, nullptr);
  const int result = doc ? xmlSchemaValidateDoc(valid, doc) : -1;
  xmlSchemaFreeValidCtxt(valid);
  xmlFreeDoc(doc);
  xmlSchemaFree(compiled);
  return result == 0 ? std::string() : firstError.empty() ? "not well-formed" : firstError;
}

TEST(XliffExport, WritesTheMappingOfOneItem) {
  auto root = MakeProject();
  const CResItem& dialog = *root->GetResItems()[0]->GetResItems()[0]->GetResItems()[0];  // #101, id 0x100000065
  const std::string v2 = Export(dialog, XliffVersion::V2_0);
  EXPECT_NE(v2.find("srcLang=\"en-US\" trgLang=\"de-DE\""), std::string::npos) << v2;
  EXPECT_NE(v2.find("<file id=\"f1\" original=\"sample.lmp\">\n<group id=\"gi4294967397\" name=\"#101\">\n"
                    "<unit id=\"i4294967397\" name=\"#101\" lm:status=\"0\">\n"
                    "<segment state=\"translated\"><source>Main window</source><target>Hauptfenster</target>"
                    "</segment>\n</unit>\n<unit id=\"p0.0.0.0\" name=\"@IDOK\""),
            std::string::npos)
      << v2;

  const std::string docs = Export(*root->GetResItems()[1], XliffVersion::V2_0);
  // A control character as <cp>, white space kept, the comment a note;
  // ids that two items share fall back to positions; no translation, no target.
  EXPECT_NE(docs.find("<unit id=\"p1.1\" name=\"@bell\" xml:space=\"preserve\">\n<notes><note>tab\there</note>"
                      "</notes>\n<segment state=\"initial\"><source>Ring<cp hex=\"0007\"/> twice  </source>"
                      "</segment>"),
            std::string::npos)
      << docs;
  EXPECT_NE(docs.find("<unit id=\"p1.2\" name=\"@empty\" lm:status=\"4\">"), std::string::npos);
  EXPECT_NE(docs.find("id=\"p1.4\""), std::string::npos);
  EXPECT_EQ(docs.find("@number"), std::string::npos);
  EXPECT_NE(Export(*root, XliffVersion::V2_0).find("<unit id=\"p0.0.1\" name=\"#200\" translate=\"no\""),
            std::string::npos);
}

TEST(XliffExport, RefusesWhatItCannotCarry) {
  auto root = MakeProject();
  std::ostringstream out;
  using Options = locmodel::XliffExportOptions;
  for (const auto& [change, reason] : std::initializer_list<std::pair<void (*)(Options&), const char*>>{
           {[](Options& o) { o.version = XliffVersion::V1_2; }, "control character"},  // the bell
           {[](Options& o) { o.textProp = u"NoSuchProperty"; }, ""},                  // nothing to export
           {[](Options& o) { o.targetLang = 0x7C7C; }, ""},                           // not a language of the table
           {[](Options& o) { o.sourceLang = u"en US"; }, ""},                         // not a language tag
       }) {
    Options options;
    options.targetLang = kGerman;
    options.version = XliffVersion::V2_0;
    change(options);
    const auto status = locmodel::ExportXliff(*root, options, out);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.reason().find(reason), std::string::npos) << status.ToString();
  }
}

bool HaveSchemas() { return std::filesystem::exists(std::string(LOCMODEL_XLIFF_SCHEMA_DIR) + "/xml.xsd"); }

// A project both versions can carry, with a text that segments.
std::unique_ptr<CResItem> MakeCarriedProject() {
  auto root = MakeProject();
  root->GetResItems()[1]->GetResItems()[1]->SetPropW(u"Text", new CStrProp(u"Ring twice  "));
  root->GetResItems()[0]->GetResItems()[1]->GetResItems()[0]->GetResItems()[0]->SetPropW(
      u"Text", new CStrProp(u"First sentence. Second one!  Third?"));
  delete root->GetResItems()[0]->GetResItems()[1]->GetResItems()[0]->GetResItems()[0]->RemoveTransItem(kGerman);
  return root;
}

class XliffFormats : public ::testing::TestWithParam<std::tuple<XliffVersion, bool>> {};

TEST_P(XliffFormats, ExportIsValidAgainstTheOasisSchema) {
  if (!HaveSchemas()) GTEST_SKIP() << "no XLIFF schemas at " LOCMODEL_XLIFF_SCHEMA_DIR "; schema check skipped";
  const auto [version, segment] = GetParam();
  auto root = MakeCarriedProject();
  const std::string xliff = Export(*root, version, segment);
  EXPECT_EQ(SchemaErrors(xliff, version), "") << xliff;
  EXPECT_NE(SchemaErrors(Replaced(xliff, "<source>", "<src>"), version), "");  // the check can fail
}

TEST_P(XliffFormats, ReimportChangesNothingAndEditsComeBack) {
  const auto [version, segment] = GetParam();
  auto root = MakeCarriedProject();
  const std::string xliff = Export(*root, version, segment);
  if (segment) {
    EXPECT_NE(xliff.find(version == XliffVersion::V2_0 ? "<source>Second one!  </source>" : "mid=\"2\""),
              std::string::npos) << xliff;
  }
  Imported same = Import(*root, xliff);
  ASSERT_TRUE(same.status.ok()) << same.status.ToString();
  EXPECT_EQ(same.report.ToJson(),
            "{\"updated\":0,\"unchanged\":10,\"skipped\":{\"unknownUnit\":0,\"sourceChanged\":0,\"locked\":0,"
            "\"inlineCodes\":0,\"wrongClass\":0}}");
  EXPECT_TRUE(locmodel::cli::SameTree(*root, *MakeCarriedProject()));

  // A translator's work: a changed target, a new one, a new status.
  std::string edited = Replaced(xliff, ">Abbrechen<", ">Abbruch &amp; Ende<");
  edited = Replaced(edited, "lm:status=\"4\"", "lm:status=\"9\"");
  edited = version == XliffVersion::V2_0
               ? Replaced(edited, "<source>Untranslated</source>", "<source>Untranslated</source><target>Neu</target>")
               : Replaced(edited, "<source>Untranslated</source>\n<target state=\"new\"/>",
                          "<source>Untranslated</source>\n<target state=\"translated\">Neu</target>");
  Imported dry = Import(*root, edited, true);
  EXPECT_EQ(dry.report.updated, 2u);
  EXPECT_TRUE(locmodel::cli::SameTree(*root, *MakeCarriedProject()));
  Imported applied = Import(*root, edited);
  ASSERT_TRUE(applied.status.ok()) << applied.status.ToString();
  EXPECT_EQ(applied.report.updated, 2u);
  const CResItem& cancel = *root->GetResItems()[0]->GetResItems()[0]->GetResItems()[0]->GetResItems()[1];
  EXPECT_EQ(cancel.GetTranslation(kGerman)->GetStr(), u"Abbruch & Ende");
  const CTransItem& fresh = *root->GetResItems()[1]->GetResItems()[2]->GetTranslation(kGerman);
  EXPECT_EQ(fresh.GetStr(), u"Neu");
  EXPECT_EQ(fresh.GetStatus(), 9);
}

INSTANTIATE_TEST_SUITE_P(VersionsAndSegmentation, XliffFormats,
                         ::testing::Combine(::testing::Values(XliffVersion::V2_0, XliffVersion::V1_2),
                                            ::testing::Bool()));

TEST(XliffImport, CountsEachSkippedUnitByReason) {
  struct Case {
    const char* name;
    std::function<void(CResItem&)> project;  // changed after the export
    std::pair<std::string, std::string> edit;  // in the file
    size_t locmodel::XliffImportReport::*counter;
  };
  auto ok = [](CResItem& root) -> CResItem& { return *root.GetResItems()[0]->GetResItems()[0]->GetResItems()[0]->GetResItems()[0]; };
  const Case cases[] = {
      {"unknown id", nullptr, {"id=\"p0.0.0.0\"", "id=\"p9.9\""}, &locmodel::XliffImportReport::unknownUnit},
      {"source edited since", [&](CResItem& r) { ok(r).SetPropW(u"Text", new CStrProp(u"Okay")); },
       {">OK</target>", ">Gut</target>"}, &locmodel::XliffImportReport::sourceChanged},
      {"locked since", [&](CResItem& r) { ok(r).SetItemLocked(true); }, {">OK</target>", ">Gut</target>"},
       &locmodel::XliffImportReport::locked},
      {"markup in the target", nullptr, {">OK</target>", "><pc id=\"1\">OK</pc></target>"},
       &locmodel::XliffImportReport::inlineCodes},
      {"class changed since", [&](CResItem& r) { ok(r).SetPropW(u"Text", new CIntProp(1)); },
       {">OK</target>", ">Gut</target>"}, &locmodel::XliffImportReport::wrongClass},
  };
  for (const Case& c : cases) {
    auto root = MakeCarriedProject();
    const std::string xliff = Replaced(Export(*root, XliffVersion::V2_0), c.edit.first, c.edit.second);
    if (c.project) c.project(*root);
    Imported imported = Import(*root, xliff);
    ASSERT_TRUE(imported.status.ok()) << c.name << ": " << imported.status.ToString();
    EXPECT_EQ(imported.report.*c.counter, 1u) << c.name << ": " << imported.report.ToJson();
    EXPECT_EQ(imported.report.updated, 0u) << c.name;
    EXPECT_EQ(ok(*root).GetTranslation(kGerman)->GetStr(), u"OK") << c.name;
  }
}

TEST(XliffImport, HostileDocumentsFailInOneLineAndChangeNothing) {
  auto root = MakeCarriedProject();
  // Entity expansion bombs are seeds of the xliff_import fuzz target.
  const std::string changed = Replaced(Export(*root, XliffVersion::V2_0), ">Abbrechen<", ">Abbruch<");
  std::string deep = changed.substr(0, changed.find('>', changed.find("<file")) + 1);
  for (int i = 0; i < 100000; ++i) deep += "<group id=\"g\">";
  const struct {
    const char* name;
    std::string xliff;
    const char* reason;
  } cases[] = {
      {"external entity", Replaced(Replaced(changed, "?>", "?><!DOCTYPE xliff [<!ENTITY e SYSTEM \"/etc/passwd\">]>"), ">Abbruch<", ">&e;<"), "external entity"},
      {"external parameter entity", Replaced(changed, "?>", "?><!DOCTYPE xliff [<!ENTITY % p SYSTEM \"http://example.com/x.dtd\"> %p;]>"), "external entity"},
      {"deep nesting", deep, "nested deeper"},
      {"truncated", changed.substr(0, changed.size() / 2), ""},
      {"text beyond any unit", Replaced(changed, ">Abbruch<", ">" + std::string(17 << 20, 'a') + "<"), "too long"},
      {"duplicate unit id", Replaced(changed, "id=\"p0.0.0.0\"", "id=\"i4294967397\""), "duplicate unit id"},
      {"bytes that are not UTF-8", Replaced(changed, ">Abbruch<", "><\xC0\x8A\x8B\x8C<"), ""},
      {"not XLIFF", "<?xml version=\"1.0\"?><html/>", "not an XLIFF"},
      {"other version", Replaced(changed, "version=\"2.0\"", "version=\"2.1\""), "not supported"},
      {"bad status", Replaced(changed, "lm:status=\"0\"", "lm:status=\"zero\""), "lm:status"},
      {"bad cp", Replaced(changed, ">Abbruch<", ">Ab<cp hex=\"41\"/><"), "<cp>"},
      {"other language", Replaced(changed, "trgLang=\"de-DE\"", "trgLang=\"fr-FR\""), ""},
  };
  for (const auto& c : cases) {
    Imported imported = Import(*root, c.xliff, false, kGerman);
    EXPECT_FALSE(imported.status.ok()) << c.name;
    EXPECT_NE(imported.status.reason().find(c.reason), std::string::npos) << c.name << ": " << imported.status.reason();
    EXPECT_EQ(imported.status.reason().find('\n'), std::string::npos) << c.name;
    EXPECT_TRUE(locmodel::cli::SameTree(*root, *MakeCarriedProject())) << c.name;
  }
}

// The commands, as a user runs them: an unchanged round trip leaves the
// project byte-identical; a changed one keeps its gzip form.
class XliffCommands : public testing_support::TempDirTest {};

TEST_F(XliffCommands, ExportImportThroughTheTool) {
  using testing_support::RunTool;
  const std::string project = In("p.lmp"), xlf = In("p.xlf");
  ASSERT_TRUE(locmodel::SaveProject(*MakeCarriedProject(), Path("p.lmp"), {true}).ok());
  const std::string bytes = testing_support::ReadFile(project);
  auto run = RunTool({"xliff", "export", project, "--target", "de-DE", "-o", xlf});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "exported 10 units; skipped 1 items whose text property is not a string\n");
  run = RunTool({"xliff", "import", project, xlf, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "{\"updated\":0,\"unchanged\":10,\"skipped\":{\"unknownUnit\":0,\"sourceChanged\":0,"
                     "\"locked\":0,\"inlineCodes\":0,\"wrongClass\":0}}\n");
  EXPECT_EQ(testing_support::ReadFile(project), bytes);

  testing_support::WriteFile(xlf, Replaced(testing_support::ReadFile(xlf), ">Abbrechen<", ">Abbruch<"));
  run = RunTool({"xliff", "import", project, xlf});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, 11), "updated 1, ");
  const std::string after = testing_support::ReadFile(project);
  EXPECT_EQ(after.substr(0, 2), "\x1f\x8b");
  EXPECT_NE(after, bytes);

  run = RunTool({"xliff", "export", project, "--target", "xx", "-o", xlf});
  EXPECT_EQ(run.status, 2);
  run = RunTool({"xliff", "import", project, In("missing.xlf")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

}  // namespace
