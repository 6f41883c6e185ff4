// Writing a project's texts as XLIFF 2.0 or 1.2. The tree is walked with an
// explicit stack (a tree built in memory may nest deeper than the call
// stack allows), and a group is opened only when its first unit is written,
// so that branches without any text leave no empty groups behind.
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "locmodel/lang/lang_map.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/segm/segm_util.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"
#include "locmodel/xliff/xliff.h"
#include "xliff/unit_ids.h"
#include "xliff/xliff_format.h"
#include "xliff/xml_out.h"

namespace locmodel {
namespace {

using xliff::XmlOut;

// xs:language: letters, then hyphen-separated letters and digits, 1-8 each.
bool IsLanguageTag(std::u16string_view tag) {
  size_t part = 0;
  bool first = true;
  for (size_t i = 0; i <= tag.size(); ++i) {
    if (i == tag.size() || tag[i] == u'-') {
      if (part == 0 || part > 8) return false;
      part = 0;
      first = false;
      continue;
    }
    const char16_t c = tag[i];
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (!letter && (first || c < u'0' || c > u'9')) return false;
    ++part;
  }
  return true;
}

// The culture name of a language of the table, empty for one it lacks.
std::u16string CultureOf(int lang) {
  const CLangMap& map = CLangMap::Instance();
  const int raw = static_cast<short>(lang & 0xFFFF);
  return map.GetLangs().count(raw) ? map.GetLang(raw).cultureName : std::u16string();
}

// Segmentators are costly to build (ICU iterators, compiled SRX rules), so
// one is kept per segmentation type and item that holds the SRX rules.
class Segmentators {
 public:
  explicit Segmentators(int lang) : lang_(lang) {}

  // The sentences of `text`, as views into it.
  std::vector<std::u16string_view> Split(const CResItem& item, std::u16string_view text) {
    const auto type = static_cast<CSegmUtil::CSegmType>(CSegmCfg::GetSegmType(item, true));
    const CResItem* holder = &item;
    while (holder && !CSegmCfg::HasSRXStore(*holder)) holder = holder->GetParent();
    auto& segmentator = cache_[{type, type == CSegmUtil::SEGM_SRX ? holder : nullptr}];
    if (!segmentator) segmentator.reset(CSegmUtil::CreateSegmentator(type, item, lang_));
    std::vector<std::u16string_view> pieces;
    size_t start = 0;
    if (segmentator) {
      for (int at : segmentator->GetBreaks(std::u16string(text))) {
        pieces.push_back(text.substr(start, static_cast<size_t>(at) - start));
        start = static_cast<size_t>(at);
      }
    }
    pieces.push_back(text.substr(start));
    return pieces;
  }

 private:
  int lang_;
  std::map<std::pair<int, const CResItem*>, std::unique_ptr<ISegmentator>> cache_;
};

class Exporter {
 public:
  Exporter(const CResItem& item, const XliffExportOptions& options, std::ostream& out)
      : top_(TopOf(item)), item_(item), options_(options), ids_(top_), out_(out),
        v2_(options.version == XliffVersion::V2_0),
        sourceSegments_(CLangMap::Instance().GetLangByCulName(options.sourceLang)),
        targetSegments_(options.targetLang) {}

  // Empty on success, else the reason.
  std::string Run(XliffExportReport& report) {
    const std::u16string target = CultureOf(options_.targetLang);
    if (target.empty()) return "language " + std::to_string(options_.targetLang) + " is not in the language table";
    if (!IsLanguageTag(target)) return "the culture name of the target language is not a language tag";
    if (!IsLanguageTag(options_.sourceLang)) return "the source language is not a language tag";
    if (options_.segment && CLangMap::Instance().GetLangByCulName(options_.sourceLang) < 0)
      return "segmentation needs a source language of the language table";
    WriteHeader(target);
    if (std::string error = WriteTree(); !error.empty()) return error;
    if (report_.units == 0) return "nothing to export: no item holds a text in the property '" + PropText() + "'";
    out_.Raw(v2_ ? "</file>\n</xliff>\n" : "</body>\n</file>\n</xliff>\n");
    out_.Flush();
    if (!out_.ok()) return "cannot write the output";
    report = report_;
    return std::string();
  }

 private:
  struct Frame {
    const CResItem* item;
    std::string positions;
    size_t nextChild = 0;
    bool isUnit = false;
    bool opened = false;
  };

  static const CResItem& TopOf(const CResItem& item) {
    const CResItem* top = &item;
    while (top->GetParent()) top = top->GetParent();
    return *top;
  }

  std::string PropText() const {
    const CPropName& name = options_.textProp;
    if (name.IsStr()) return Utf16ToUtf8(name.GetStr());
    std::string text = "#";
    return text += std::to_string(name.GetInt());
  }

  void WriteHeader(const std::u16string& target) {
    out_.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    const std::u16string original = options_.original.empty() ? u"project" : options_.original;
    if (v2_) {
      out_.Raw("<xliff xmlns=\"").Raw(xliff::kXliff20Namespace).Raw("\" xmlns:lm=\"").Raw(kXliffStatusNamespace)
          .Raw("\" version=\"2.0\"");
      out_.Attribute("srcLang", options_.sourceLang, XmlOut::Controls::Replace);
      out_.Attribute("trgLang", target, XmlOut::Controls::Replace);
      out_.Raw(">\n<file id=\"f1\"");
      out_.Attribute("original", original, XmlOut::Controls::Replace);
      out_.Raw(">\n");
    } else {
      out_.Raw("<xliff xmlns=\"").Raw(xliff::kXliff12Namespace).Raw("\" xmlns:lm=\"").Raw(kXliffStatusNamespace)
          .Raw("\" version=\"1.2\">\n<file");
      out_.Attribute("original", original, XmlOut::Controls::Replace);
      out_.Attribute("source-language", options_.sourceLang, XmlOut::Controls::Replace);
      out_.Attribute("target-language", target, XmlOut::Controls::Replace);
      out_.Raw(" datatype=\"plaintext\">\n<body>\n");
    }
  }

  // The item's source text, or null when it is no unit.
  const CStrProp* SourceOf(const CResItem& item) {
    const CProp* prop = item.GetPropW(options_.textProp);
    if (!prop) return nullptr;
    const auto* text = dynamic_cast<const CStrProp*>(prop);
    if (!text) ++report_.wrongClass;
    return text;
  }

  std::string WriteTree() {
    std::vector<Frame> stack;
    auto visit = [&](const CResItem& item, std::string positions) -> std::string {
      const CStrProp* source = SourceOf(item);
      Frame frame{&item, std::move(positions)};
      frame.isUnit = source != nullptr;
      if (!item.GetResItems().empty()) {
        stack.push_back(frame);
        if (source) return WriteUnit(stack, stack.back(), *source);
      } else if (source) {
        return WriteUnit(stack, frame, *source);
      }
      return std::string();
    };
    if (std::string error = visit(item_, xliff::UnitIds::PositionsOf(item_)); !error.empty()) return error;
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const auto& children = frame.item->GetResItems();
      if (frame.nextChild == children.size()) {
        if (frame.opened) out_.Raw("</group>\n");
        stack.pop_back();
        continue;
      }
      const size_t at = frame.nextChild++;
      std::string positions = frame.positions;
      if (!positions.empty()) positions += '.';
      positions += std::to_string(at);
      if (std::string error = visit(*children[at], std::move(positions)); !error.empty()) return error;
    }
    return std::string();
  }

  // Opens the groups on the stack not opened yet, outermost first.
  void OpenGroups(std::vector<Frame>& stack) {
    for (Frame& frame : stack) {
      if (frame.opened) continue;
      frame.opened = true;
      out_.Raw("<group");
      Ids(*frame.item, frame.positions, true);
      out_.Raw(">\n");
      if (!frame.isUnit) WriteNote(*frame.item);
    }
  }

  void Ids(const CResItem& item, const std::string& positions, bool group) {
    std::string id = ids_.IdOf(item, positions);
    if (group) id.insert(id.begin(), xliff::kGroupPrefix);
    out_.Raw(" id=\"").Raw(id).Raw("\"");
    out_.Attribute(v2_ ? "name" : "resname", item.GetResId(), XmlOut::Controls::Replace);
  }

  void WriteNote(const CResItem& item) {
    if (item.GetComment().empty()) return;
    out_.Raw(v2_ ? "<notes><note>" : "<note>");
    out_.Text(item.GetComment(), XmlOut::Controls::Replace);
    out_.Raw(v2_ ? "</note></notes>\n" : "</note>\n");
  }

  std::string WriteUnit(std::vector<Frame>& stack, const Frame& frame, const CStrProp& sourceProp) {
    OpenGroups(stack);
    const CResItem& item = *frame.item;
    const std::u16string& source = sourceProp;
    const CTransItem* trans = item.GetTranslation(options_.targetLang);
    const std::u16string target = trans ? trans->GetStr() : std::u16string();
    const bool translated = !target.empty();

    std::vector<std::u16string_view> sources{source}, targets{target};
    if (options_.segment) {
      sources = sourceSegments_.Split(item, source);
      if (translated) {
        targets = targetSegments_.Split(item, target);
        // A translation that splits otherwise than its source stays whole.
        if (targets.size() != sources.size()) sources = {source}, targets = {target};
      } else {
        targets.assign(sources.size(), std::u16string_view());
      }
    }

    out_.Raw(v2_ ? "<unit" : "<trans-unit");
    Ids(item, frame.positions, false);
    if (item.IsReadOnly() || item.IsItemLocked()) out_.Raw(" translate=\"no\"");
    if (trans) out_.Raw(" lm:").Raw(xliff::kStatusAttribute).Raw("=\"").Raw(std::to_string(trans->GetStatus())).Raw("\"");
    if (xliff::NeedsPreserve(source) || xliff::NeedsPreserve(target)) out_.Raw(" xml:space=\"preserve\"");
    out_.Raw(">\n");
    std::string error = v2_ ? WriteSegments20(item, sources, targets, translated)
                            : WriteSegments12(item, source, sources, target, targets, translated);
    if (!error.empty()) return error;
    out_.Raw(v2_ ? "</unit>\n" : "</trans-unit>\n");
    ++report_.units;
    return std::string();
  }

  std::string WriteText(const CResItem& item, std::u16string_view text) {
    switch (out_.Text(text, v2_ ? XmlOut::Controls::Cp : XmlOut::Controls::Refuse)) {
      case XmlOut::Result::Ok: return std::string();
      case XmlOut::Result::Control:
        return "item " + Utf16ToUtf8(item.GetResId()) +
               ": a control character XLIFF 1.2 cannot carry (XLIFF 2.0 can)";
      case XmlOut::Result::Surrogate: break;
    }
    return "item " + Utf16ToUtf8(item.GetResId()) + ": a text holds an unpaired surrogate";
  }

  std::string WriteSegments20(const CResItem& item, const std::vector<std::u16string_view>& sources,
                              const std::vector<std::u16string_view>& targets, bool translated) {
    WriteNote(item);
    for (size_t i = 0; i < sources.size(); ++i) {
      out_.Raw(translated ? "<segment state=\"translated\"><source>" : "<segment state=\"initial\"><source>");
      if (std::string error = WriteText(item, sources[i]); !error.empty()) return error;
      out_.Raw("</source>");
      if (translated) {
        out_.Raw("<target>");
        if (std::string error = WriteText(item, targets[i]); !error.empty()) return error;
        out_.Raw("</target>");
      }
      out_.Raw("</segment>\n");
    }
    return std::string();
  }

  // 1.2 keeps the whole source and, when segmented, the sentences as
  // <mrk mtype="seg"> in <seg-source> and in the target.
  std::string WriteSegments12(const CResItem& item, const std::u16string& source,
                              const std::vector<std::u16string_view>& sources, const std::u16string& target,
                              const std::vector<std::u16string_view>& targets, bool translated) {
    out_.Raw("<source>");
    if (std::string error = WriteText(item, source); !error.empty()) return error;
    out_.Raw("</source>\n");
    const bool marked = sources.size() > 1;
    auto writeMarked = [&](const std::vector<std::u16string_view>& pieces) -> std::string {
      for (size_t i = 0; i < pieces.size(); ++i) {
        out_.Raw("<mrk mtype=\"seg\" mid=\"").Raw(std::to_string(i)).Raw("\">");
        if (std::string error = WriteText(item, pieces[i]); !error.empty()) return error;
        out_.Raw("</mrk>");
      }
      return std::string();
    };
    if (marked) {
      out_.Raw("<seg-source>");
      if (std::string error = writeMarked(sources); !error.empty()) return error;
      out_.Raw("</seg-source>\n");
    }
    if (translated) {
      out_.Raw("<target state=\"translated\">");
      if (std::string error = marked ? writeMarked(targets) : WriteText(item, target); !error.empty()) return error;
      out_.Raw("</target>\n");
    } else {
      out_.Raw("<target state=\"new\"/>\n");
    }
    WriteNote(item);
    return std::string();
  }

  const CResItem& top_;
  const CResItem& item_;
  const XliffExportOptions& options_;
  xliff::UnitIds ids_;
  XmlOut out_;
  bool v2_;
  Segmentators sourceSegments_, targetSegments_;
  XliffExportReport report_;
};

}  // namespace

Status ExportXliff(const CResItem& item, const XliffExportOptions& options, std::ostream& out,
                   XliffExportReport* report) {
  XliffExportReport ignored;
  const std::string error = Exporter(item, options, out).Run(report ? *report : ignored);
  return error.empty() ? Status::Ok() : Status::Error(Status::Kind::kBadArgument, u"(stream)", error);
}

Status ExportXliffFile(const CResItem& item, const XliffExportOptions& options, const std::u16string& path,
                       XliffExportReport* report) {
  XliffExportReport ignored;
  std::string error;
  const std::string replaced = ReplaceFileWith(path, [&](const std::u16string& newFile) {
    std::ofstream out(NativePath(newFile), std::ios::binary);
    if (!out) return false;
    error = Exporter(item, options, out).Run(report ? *report : ignored);
    out.close();
    return error.empty() && out.good();
  });
  if (!error.empty()) return Status::Error(Status::Kind::kBadArgument, path, error);
  if (!replaced.empty()) return Status::Error(Status::Kind::kWriteFailed, path, replaced);
  return Status::Ok();
}

}  // namespace locmodel
