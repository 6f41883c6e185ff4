// Reading translations back from XLIFF 2.0 or 1.2. The document streams
// through a SAX parser in chunks; only the unit being read is held. The
// changes are collected and applied after the last byte parsed cleanly, so
// a failed import leaves the tree as it was, and a dry run is the same
// walk without the final step.
#include <libxml/parserInternals.h>

#include <charconv>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "locmodel/lang/lang_map.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"
#include "locmodel/xliff/xliff.h"
#include "xliff/safe_sax.h"
#include "xliff/unit_ids.h"
#include "xliff/xliff_format.h"

namespace locmodel {
namespace {

// Far beyond any real unit; a file cannot make one unit hold more.
constexpr size_t kMaxUnitText = size_t{1} << 24;
constexpr size_t kChunk = 1 << 16;
// libxml2's own default; its push parser does not apply it for a SAX
// handler that builds no tree, so the reader does.
constexpr size_t kMaxDepth = 256;

enum class Kind {
  Xliff, File, Body, Group, Unit, Segment, Ignorable, Source, Target, SegMark, Inline, Other,
};

std::string_view View(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// SAX2 attributes: five pointers each (local name, prefix, URI, value, end).
struct Attributes {
  const xmlChar** at;
  int count;

  std::optional<std::string_view> Get(std::string_view name, std::string_view uri = {}) const {
    for (int i = 0; i < count; ++i) {
      const xmlChar** a = at + 5 * i;
      if (View(a[0]) == name && View(a[2]) == uri)
        return std::string_view(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
    }
    return std::nullopt;
  }
};

// An id from the file as one short line of a message.
std::string Shown(std::string_view id) {
  std::string shown(id.substr(0, 64));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return id.size() > 64 ? "'" + shown + "...'" : "'" + shown + "'";
}

// A translation's text equals `text` (read in place: this runs per unit).
bool SameText(const CTransItem& trans, const std::u16string& text) {
  const CProp* prop = trans.GetPropW(CPropName::PROP_TRANS_STR);
  if (const auto* str = dynamic_cast<const CStrProp*>(prop)) return static_cast<const std::u16string&>(*str) == text;
  return prop ? prop->GetStr() == text : text.empty();
}

struct Change {
  CResItem* item;
  std::u16string text;
  std::optional<int> status;
};

class Importer : public xliff::SaxGuard {
 public:
  Importer(CResItem& root, const XliffImportOptions& options) : options_(options), ids_(root) {}

  // Empty on success, else the reason (with its line when one is known).
  std::string Run(std::istream& in, XliffImportReport& report, bool dryRun) {
    xmlInitParser();
    xliff::QuietLibxml quiet;
    xmlSAXHandler sax;
    xliff::HardenSax(sax);
    sax.startElementNs = OnStart;
    sax.endElementNs = OnEnd;
    sax.characters = OnText;
    sax.cdataBlock = OnText;
    sax.ignorableWhitespace = OnText;

    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> ctxt(
        xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr), FreeContext);
    if (!ctxt) return "cannot create an XML parser";
    ctxt->_private = static_cast<SaxGuard*>(this);
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOENT);

    std::string buffer(kChunk, '\0');
    bool ended = false;
    while (!failed && !ended) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      const auto got = static_cast<int>(in.gcount());
      if (in.bad()) return "cannot read the input";
      ended = in.eof() || got == 0;
      const int error = xmlParseChunk(ctxt.get(), buffer.data(), got, ended ? 1 : 0);
      if (error != XML_ERR_OK && !failed) Fail(ctxt.get(), "not well-formed XML");
    }
    if (!failed && !ctxt->wellFormed) Fail(ctxt.get(), "not well-formed XML");
    if (!failed && !sawRoot_) Fail(ctxt.get(), "no XLIFF document");
    if (failed) return (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + reason;
    if (!dryRun) Apply();
    report = report_;
    return std::string();
  }

 private:
  static void FreeContext(xmlParserCtxtPtr ctxt) {
    if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    xmlFreeParserCtxt(ctxt);
  }

  static Importer& Of(void* ctx) {
    return static_cast<Importer&>(xliff::GuardOf(ctx));
  }

  void Stop(void* ctx, const std::string& why) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    Fail(ctxt, why);
    xmlStopParser(ctxt);
  }

  static void OnStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int, const xmlChar**,
                      int attributeCount, int, const xmlChar** attributes) {
    Importer& self = Of(ctx);
    if (self.failed) return;
    self.Start(ctx, View(localname), View(uri), Attributes{attributes, attributeCount});
  }

  static void OnEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    Importer& self = Of(ctx);
    if (self.failed || self.stack_.empty()) return;
    self.End(ctx);
  }

  static void OnText(void* ctx, const xmlChar* text, int length) {
    Importer& self = Of(ctx);
    if (self.failed || self.stack_.empty()) return;
    const Kind kind = self.stack_.back();
    if (kind != Kind::Source && kind != Kind::Target && kind != Kind::SegMark) return;
    self.Append(ctx, std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
  }

  std::u16string& Collecting() { return inTarget_ ? segmentTarget_ : segmentSource_; }

  void Append(void* ctx, std::string_view utf8) {
    std::u16string& text = Collecting();
    if (text.size() + utf8.size() > kMaxUnitText) return Stop(ctx, "unit " + Shown(unitId_) + ": text too long");
    AppendUtf8ToUtf16(text, utf8);
  }

  Kind Classify(std::string_view name, std::string_view uri, const Attributes& attributes, void* ctx) {
    const Kind parent = stack_.empty() ? Kind::Other : stack_.back();
    const bool ours = uri == (v2_ ? xliff::kXliff20Namespace : xliff::kXliff12Namespace);
    switch (parent) {
      case Kind::Source:
      case Kind::Target:
      case Kind::SegMark:
        if (ours && v2_ && name == "cp") {
          AppendCodePoint(ctx, attributes.Get("hex"));
          return Kind::Other;
        }
        if (ours && !v2_ && parent == Kind::Target && name == "mrk" && attributes.Get("mtype") == "seg")
          return Kind::SegMark;
        (inTarget_ ? targetInline_ : sourceInline_) = true;
        return Kind::Inline;
      case Kind::Inline: return Kind::Inline;
      case Kind::Other: return Kind::Other;
      default: break;
    }
    if (!ours) return Kind::Other;
    switch (parent) {
      case Kind::Xliff: return name == "file" ? Kind::File : Kind::Other;
      case Kind::File:
        if (!v2_) return name == "body" ? Kind::Body : Kind::Other;
        [[fallthrough]];
      case Kind::Body:
      case Kind::Group:
        if (name == "group") return Kind::Group;
        return name == (v2_ ? "unit" : "trans-unit") ? Kind::Unit : Kind::Other;
      case Kind::Unit:
        if (v2_) return name == "segment" ? Kind::Segment : name == "ignorable" ? Kind::Ignorable : Kind::Other;
        return name == "source" ? Kind::Source : name == "target" ? Kind::Target : Kind::Other;
      case Kind::Segment:
      case Kind::Ignorable:
        return name == "source" ? Kind::Source : name == "target" ? Kind::Target : Kind::Other;
      default: return Kind::Other;
    }
  }

  void Start(void* ctx, std::string_view name, std::string_view uri, const Attributes& attributes) {
    if (!sawRoot_) return StartRoot(ctx, name, uri, attributes);
    if (stack_.size() >= kMaxDepth) return Stop(ctx, "elements nested deeper than " + std::to_string(kMaxDepth));
    const Kind kind = Classify(name, uri, attributes, ctx);
    if (failed) return;
    stack_.push_back(kind);
    switch (kind) {
      case Kind::File:
        if (!v2_) SetTargetLanguage(ctx, attributes.Get("target-language"));
        break;
      case Kind::Unit: StartUnit(ctx, attributes); break;
      case Kind::Segment:
      case Kind::Ignorable:
        segmentSource_.clear();
        segmentTarget_.clear();
        segmentHasTarget_ = false;
        segmentUntranslated_ = attributes.Get("state") == "initial";
        break;
      case Kind::Source:
        inTarget_ = false;
        segmentSource_.clear();
        break;
      case Kind::Target:
        inTarget_ = true;
        segmentTarget_.clear();
        segmentHasTarget_ = true;
        if (!v2_) segmentUntranslated_ = attributes.Get("state") == "new";
        break;
      default: break;
    }
  }

  void StartRoot(void* ctx, std::string_view name, std::string_view uri, const Attributes& attributes) {
    sawRoot_ = true;
    const auto version = attributes.Get("version");
    if (name != "xliff" || (uri != xliff::kXliff20Namespace && uri != xliff::kXliff12Namespace))
      return Stop(ctx, "not an XLIFF document");
    v2_ = uri == xliff::kXliff20Namespace;
    if (version != (v2_ ? "2.0" : "1.2"))
      return Stop(ctx, "XLIFF version " + std::string(version.value_or("(none)")) + " is not supported");
    stack_.push_back(Kind::Xliff);
    if (v2_) SetTargetLanguage(ctx, attributes.Get("trgLang"));
  }

  void SetTargetLanguage(void* ctx, std::optional<std::string_view> culture) {
    const std::u16string named = culture ? Utf8ToUtf16(*culture) : std::u16string();
    if (lang_ != 0) {  // a later <file> of 1.2 must agree with the first
      if (named.empty() || EqualNoCase(named, culture_)) return;
      return Stop(ctx, "the files are for different target languages");
    }
    if (options_.targetLang != 0) {
      const int raw = static_cast<short>(options_.targetLang & 0xFFFF);
      const CLangMap& map = CLangMap::Instance();
      const std::u16string expected = map.GetLangs().count(raw) ? map.GetLang(raw).cultureName : std::u16string();
      if (!named.empty() && !EqualNoCase(named, expected))
        return Stop(ctx, "the file is for " + Utf16ToUtf8(named) + ", not " + Utf16ToUtf8(expected));
      lang_ = options_.targetLang;
    } else if (named.empty()) {
      return Stop(ctx, "the file names no target language; give one");
    } else {
      lang_ = CLangMap::Instance().GetLangByCulName(named);
      if (lang_ < 0) return Stop(ctx, "unknown target language " + Utf16ToUtf8(named));
    }
    culture_ = named;
  }

  void AppendCodePoint(void* ctx, std::optional<std::string_view> hex) {
    unsigned value = 0;
    const bool parsed =
        hex && !hex->empty() &&
        std::from_chars(hex->data(), hex->data() + hex->size(), value, 16).ptr == hex->data() + hex->size();
    // Only what XML cannot carry: anything else belongs in the text itself.
    const bool excluded = value < 0x20 ? value != 0x9 && value != 0xA && value != 0xD : value >= 0xFFFE && value <= 0xFFFF;
    if (!parsed || !excluded) return Stop(ctx, "unit " + Shown(unitId_) + ": <cp> holds no character XML excludes");
    std::u16string& text = Collecting();
    if (text.size() >= kMaxUnitText) return Stop(ctx, "unit " + Shown(unitId_) + ": text too long");
    text.push_back(static_cast<char16_t>(value));
  }

  void StartUnit(void* ctx, const Attributes& attributes) {
    const auto id = attributes.Get("id");
    if (!id) return Stop(ctx, "a unit without id");
    unitId_ = *id;
    if (lang_ == 0) return Stop(ctx, "the file names no target language; give one");
    status_.reset();
    if (const auto status = attributes.Get(xliff::kStatusAttribute, kXliffStatusNamespace)) {
      int value = 0;
      const auto [end, error] = std::from_chars(status->data(), status->data() + status->size(), value);
      if (error != std::errc() || end != status->data() + status->size())
        return Stop(ctx, "unit " + Shown(unitId_) + ": lm:status is not a number");
      status_ = value;
    }
    source_.clear();
    target_.clear();
    segments_ = translatedSegments_ = 0;
    sourceInline_ = targetInline_ = false;
    segmentHasTarget_ = segmentUntranslated_ = false;
  }

  void End(void* ctx) {
    const Kind kind = stack_.back();
    stack_.pop_back();
    switch (kind) {
      case Kind::Source:
        if (!v2_) source_ += segmentSource_;
        break;
      case Kind::Target:
        inTarget_ = false;
        if (!v2_) EndSegment(false);
        break;
      case Kind::Segment: EndSegment(false); source_ += segmentSource_; break;
      case Kind::Ignorable: EndSegment(true); source_ += segmentSource_; break;
      case Kind::Unit: EndUnit(ctx); break;
      default: break;
    }
  }

  // Takes one segment's target into the unit's. Ignorable white space
  // without a target of its own stands as it is.
  void EndSegment(bool ignorable) {
    const bool hasTarget = segmentHasTarget_ && !(segmentUntranslated_ && segmentTarget_.empty());
    if (ignorable) {
      target_ += hasTarget ? segmentTarget_ : segmentSource_;
      return;
    }
    ++segments_;
    if (hasTarget) {
      ++translatedSegments_;
      target_ += segmentTarget_;
    }
  }

  void EndUnit(void* ctx) {
    CResItem* item = ids_.Find(unitId_);
    if (!item) {
      ++report_.unknownUnit;
      return;
    }
    if (!ids_.FirstVisit(*item)) return Stop(ctx, "duplicate unit id " + Shown(unitId_));
    const CProp* prop = item->GetPropW(options_.textProp);
    const auto* source = dynamic_cast<const CStrProp*>(prop);
    if (prop && !source) {
      ++report_.wrongClass;
    } else if (!source || sourceInline_ || static_cast<const std::u16string&>(*source) != source_) {
      ++report_.sourceChanged;
    } else if (segments_ == 0 || translatedSegments_ != segments_) {
      // No target, or only some sentences translated: nothing to take.
      ++report_.unchanged;
    } else if (targetInline_) {
      ++report_.inlineCodes;
    } else if (const CTransItem* trans = item->GetTranslation(lang_);
               trans && SameText(*trans, target_) && (!status_ || *status_ == trans->GetStatus())) {
      ++report_.unchanged;
    } else if (item->IsReadOnly() || item->IsItemLocked()) {
      ++report_.locked;
    } else {
      ++report_.updated;
      changes_.push_back({item, std::move(target_), status_});
      target_.clear();
    }
  }

  void Apply() {
    for (Change& change : changes_) {
      CTransItem* trans = change.item->GetTranslation(lang_);
      if (!trans) {
        trans = new CTransItem(lang_);
        change.item->AddTransItem(trans);
      }
      if (trans->GetStr() != change.text || !trans->GetPropW(CPropName::PROP_TRANS_STR)) trans->SetStr(change.text);
      if (change.status && *change.status != trans->GetStatus()) trans->SetStatus(*change.status);
    }
  }

  const XliffImportOptions& options_;
  xliff::UnitIds ids_;
  XliffImportReport report_;
  std::vector<Change> changes_;

  bool sawRoot_ = false, v2_ = true;
  int lang_ = 0;
  std::u16string culture_;
  std::vector<Kind> stack_;  // at most kMaxDepth

  std::string unitId_;
  std::optional<int> status_;
  std::u16string source_, target_;
  std::u16string segmentSource_, segmentTarget_;
  bool inTarget_ = false, segmentHasTarget_ = false, segmentUntranslated_ = false;
  bool sourceInline_ = false, targetInline_ = false;
  int segments_ = 0, translatedSegments_ = 0;
};

}  // namespace

std::string XliffImportReport::ToJson() const {
  auto n = [](size_t value) { return std::to_string(value); };
  return "{\"updated\":" + n(updated) + ",\"unchanged\":" + n(unchanged) + ",\"skipped\":{\"unknownUnit\":" +
         n(unknownUnit) + ",\"sourceChanged\":" + n(sourceChanged) + ",\"locked\":" + n(locked) +
         ",\"inlineCodes\":" + n(inlineCodes) + ",\"wrongClass\":" + n(wrongClass) + "}}";
}

Status ImportXliff(CResItem& root, const XliffImportOptions& options, std::istream& in,
                   XliffImportReport& report, bool dryRun, const std::u16string& name) {
  const std::string error = Importer(root, options).Run(in, report, dryRun);
  return error.empty() ? Status::Ok() : Status::Malformed(error, name);
}

Status ImportXliffFile(CResItem& root, const XliffImportOptions& options, const std::u16string& path,
                       XliffImportReport& report, bool dryRun) {
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) return Status::CannotOpen(path);
  return ImportXliff(root, options, in, report, dryRun, path);
}

}  // namespace locmodel
