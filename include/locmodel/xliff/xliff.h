// XLIFF interchange: one language of a project handed to translators as an
// XLIFF 2.0 or 1.2 file, and their translations taken back.
//
// The mapping (README, "XLIFF interchange", has a complete example):
//   - an item holding the source-text property (a CStrProp) is a unit, an
//     item with children a group; an item that is both is a group whose
//     first unit is the item itself; groups without units are left out;
//   - unit ids are "i<item id>" for an item with an item id of its own that
//     no other item of the tree shares, else "p<position path>" ("p2.0.1",
//     "p" for the top item); a group's id is its item's unit id after "g";
//   - the unit's target is the translation's text, the translation's status
//     word travels in the attribute lm:status (kXliffStatusNamespace)
//     of the unit (2.0) or trans-unit (1.2);
//   - read-only or locked items are marked translate="no".
//
// Import matches units to items by id and takes a target only where the
// unit's source still equals the item's source text, the item is neither
// read-only nor locked and the target holds plain text; every other unit is
// counted by reason. The XML is untrusted: nothing is loaded from the
// network or disk, external entities are refused, entity expansion and
// nesting are bounded, and memory stays proportional to the project, not to
// the file. Failures are a Status with a one-line reason; an import that
// fails leaves the tree as it was.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

#include "locmodel/items/project_file.h"
#include "locmodel/util/status.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_name.h"

namespace locmodel {

enum class XliffVersion { V2_0, V1_2 };

// The namespace of the lm:status attribute.
inline constexpr const char* kXliffStatusNamespace = "urn:locmodel:xliff:1";

struct XliffExportOptions {
  int targetLang = 0;                     // the translations exported
  std::u16string sourceLang = u"en-US";   // srcLang / source-language
  CPropName textProp = u"Text";           // the item's own property holding the source
  bool segment = false;                   // one segment per sentence (the item's segmentator)
  XliffVersion version = XliffVersion::V2_0;
  std::u16string original;                // <file original>: the project file's name
};

struct XliffExportReport {
  size_t units = 0;
  size_t wrongClass = 0;  // items whose text property is not a string
};

struct XliffImportOptions {
  // The translations written; 0 takes the file's target language.
  int targetLang = 0;
  CPropName textProp = u"Text";
};

struct XliffImportReport {
  size_t updated = 0, unchanged = 0;
  size_t unknownUnit = 0;    // no item has the unit's id
  size_t sourceChanged = 0;  // the item's source text differs from the unit's
  size_t locked = 0;         // the item is read-only or locked
  size_t inlineCodes = 0;    // the target holds markup other than <cp>
  size_t wrongClass = 0;     // the item's text property is not a string
  // {"updated":N,"unchanged":N,"skipped":{"unknownUnit":N,...}}
  std::string ToJson() const;
};

// Writes the subtree of `item` (positions and ids are those of the whole
// tree `item` belongs to). Fails, writing nothing useful, when no unit would
// be written, or a text cannot be carried (a control character in 1.2, an
// unpaired surrogate).
Status ExportXliff(const CResItem& item, const XliffExportOptions& options, std::ostream& out,
                   XliffExportReport* report = nullptr);
// The same into `path`, replaced only when the whole file was written.
Status ExportXliffFile(const CResItem& item, const XliffExportOptions& options,
                       const std::u16string& path, XliffExportReport* report = nullptr);

// Applies the translations of an XLIFF document to the tree of `root`
// (with `dryRun`, only counts). `name` names the input in errors.
Status ImportXliff(CResItem& root, const XliffImportOptions& options, std::istream& in,
                   XliffImportReport& report, bool dryRun = false,
                   const std::u16string& name = u"(stream)");
Status ImportXliffFile(CResItem& root, const XliffImportOptions& options,
                       const std::u16string& path, XliffImportReport& report,
                       bool dryRun = false);

}  // namespace locmodel
