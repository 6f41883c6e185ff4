// Reading SRX files with libxml2. The file may come from anywhere (a
// project shared by mail, a download), so the parse is locked down per
// context, never through libxml2's process-wide settings, which a host may
// rely on: the bytes are read by our file layer (libxml2 would accept URLs
// and decompress gzip), nothing is loaded from the network or from disk, a
// declared external entity stops the parse before anything could load it,
// and libxml2's default limits on depth, text size and entity
// amplification stay on. Internal entities are substituted while parsing,
// where libxml2 checks their amplification; expanding them later, from the
// tree, would let a small file grow without bound.
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "locmodel/segm/srx_store.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr const char* kSrxNamespace = "http://www.lisa.org/srx20";
// XPath steps for all the queries of one load: far beyond what a real rule
// file needs (a few per rule), small enough that a hostile document cannot
// keep a load busy for long, however its maps and rules are arranged.
constexpr unsigned long kXPathOpLimit = 200'000'000;

// What the handlers learn during one parse; the parser context's _private.
struct ParseState {
  bool failed = false;
  std::string reason;

  void Fail(std::string_view why) {
    if (!failed) reason = why;
    failed = true;
  }
};

ParseState& StateOf(void* ctx) {
  return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

// Parser messages: an error fails the load, nothing reaches stderr.
void OnParserError(void* ctx, xmlErrorPtr error) {
  if (error && error->level >= XML_ERR_ERROR) {
    StateOf(ctx).Fail(error->message ? error->message : "XML error");
  }
}

void IgnoreMessage(void*, const char*, ...) {}

void StopOnExternal(void* ctx, const char* what) {
  StateOf(ctx).Fail(what);
  xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void OnEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                  const xmlChar* systemId, xmlChar* content) {
  if (type == XML_EXTERNAL_GENERAL_PARSED_ENTITY || type == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY ||
      type == XML_EXTERNAL_PARAMETER_ENTITY || systemId != nullptr) {
    StopOnExternal(ctx, "external entity declared");
    return;
  }
  xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void OnUnparsedEntityDecl(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
  StopOnExternal(ctx, "external entity declared");
}

// The external subset is never read; its declaration alone is harmless.
void IgnoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

xmlParserInputPtr ResolveNothing(void* ctx, const xmlChar*, const xmlChar*) {
  StopOnExternal(ctx, "external resource requested");
  return nullptr;
}

void OnXPathError(void* data, xmlErrorPtr error) {
  static_cast<ParseState*>(data)->Fail(error && error->message ? error->message : "XPath error");
}

// Some libxml2 messages (encoding conversion failures, for one) bypass the
// parser context and go to the thread's generic or structured handler,
// whose default is stderr. For the length of one load this thread's
// handlers are silenced, then the host's own are put back.
class QuietThreadHandlers {
 public:
  QuietThreadHandlers()
      : generic_(xmlGenericError),
        genericContext_(xmlGenericErrorContext),
        structured_(xmlStructuredError),
        structuredContext_(xmlStructuredErrorContext) {
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
    xmlSetStructuredErrorFunc(nullptr, IgnoreStructured);
  }
  ~QuietThreadHandlers() {
    xmlSetGenericErrorFunc(genericContext_, generic_);
    xmlSetStructuredErrorFunc(structuredContext_, structured_);
  }
  QuietThreadHandlers(const QuietThreadHandlers&) = delete;
  QuietThreadHandlers& operator=(const QuietThreadHandlers&) = delete;

 private:
  static void IgnoreStructured(void*, xmlErrorPtr) {}

  xmlGenericErrorFunc generic_;
  void* genericContext_;
  xmlStructuredErrorFunc structured_;
  void* structuredContext_;
};

struct DocFree {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct ParserFree {
  void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct XPathContextFree {
  void operator()(xmlXPathContextPtr ctxt) const { xmlXPathFreeContext(ctxt); }
};
struct XPathCompiledFree {
  void operator()(xmlXPathCompExprPtr expr) const { xmlXPathFreeCompExpr(expr); }
};
struct XPathObjectFree {
  void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};
struct FileBufferFree {
  void operator()(unsigned char* buffer) const { locmodel::ReleaseBuffer(buffer); }
};
using XPathResult = std::unique_ptr<xmlXPathObject, XPathObjectFree>;

// Null when the bytes are not a well-formed document or any error or stop
// was reported, even if libxml2 recovered a tree.
std::unique_ptr<xmlDoc, DocFree> Parse(const unsigned char* data, int size) {
  std::unique_ptr<xmlParserCtxt, ParserFree> ctxt(xmlNewParserCtxt());
  if (!ctxt || !ctxt->sax) return nullptr;
  ParseState state;
  ctxt->_private = &state;
  xmlSAXHandler& sax = *ctxt->sax;
  sax.serror = OnParserError;
  sax.warning = IgnoreMessage;
  sax.error = IgnoreMessage;
  sax.fatalError = IgnoreMessage;
  sax.entityDecl = OnEntityDecl;
  sax.unparsedEntityDecl = OnUnparsedEntityDecl;
  sax.externalSubset = IgnoreExternalSubset;
  sax.resolveEntity = ResolveNothing;

  std::unique_ptr<xmlDoc, DocFree> doc(xmlCtxtReadMemory(ctxt.get(), reinterpret_cast<const char*>(data),
                                                         size, nullptr, nullptr,
                                                         XML_PARSE_NONET | XML_PARSE_NOENT));
  if (!doc || state.failed || !ctxt->wellFormed || ctxt->errNo != XML_ERR_OK) return nullptr;
  return doc;
}

// The node after `node` in document order within the tree under `top`,
// null after the last. Iterative: the parser bounds the depth, but the
// stack should not depend on it.
xmlNodePtr NextInTree(xmlNodePtr node, xmlNodePtr top) {
  if (node->type == XML_ELEMENT_NODE && node->children) return node->children;
  while (node != top && node->next == nullptr) node = node->parent;
  return node == top ? nullptr : node->next;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The element's text as a DOM without whitespace preservation gives it:
// all text below it, trimmed at both ends except where the text comes from
// a CDATA section or lies under xml:space="preserve". `trimmed` learns
// whether anything was cut.
std::u16string ElementText(xmlNodePtr element, bool& trimmed) {
  struct Piece {
    std::string_view text;
    bool trimmable;
  };
  std::vector<Piece> pieces;
  for (xmlNodePtr node = element; node != nullptr; node = NextInTree(node, element)) {
    if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && node->content) {
      const bool trimmable =
          node->type == XML_TEXT_NODE && xmlNodeGetSpacePreserve(node->parent) != 1;
      pieces.push_back({reinterpret_cast<const char*>(node->content), trimmable});
    }
  }
  auto length = [&pieces] {
    size_t total = 0;
    for (const Piece& piece : pieces) total += piece.text.size();
    return total;
  };
  const size_t untrimmed = length();
  for (auto it = pieces.begin(); it != pieces.end(); ++it) {
    if (!it->trimmable) break;
    while (!it->text.empty() && IsXmlSpace(it->text.front())) it->text.remove_prefix(1);
    if (!it->text.empty()) break;
  }
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
    if (!it->trimmable) break;
    while (!it->text.empty() && IsXmlSpace(it->text.back())) it->text.remove_suffix(1);
    if (!it->text.empty()) break;
  }
  trimmed = length() != untrimmed;
  std::string text;
  for (const Piece& piece : pieces) text += piece.text;
  return locmodel::Utf8ToUtf16(text);
}

// Null when the attribute is missing.
std::unique_ptr<std::u16string> Attribute(xmlNodePtr node, const char* name) {
  xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return nullptr;
  auto text = std::make_unique<std::u16string>(locmodel::Utf8ToUtf16(reinterpret_cast<const char*>(value)));
  xmlFree(value);
  return text;
}

// A query or message as one short line: it may carry a rule name of any
// length and content from the file.
std::string Shown(const std::string& text) {
  constexpr size_t kMax = 120;
  std::string shown = text;
  if (shown.size() > kMax) {
    // Cut before the character that straddles the limit, then mark the cut.
    size_t end = kMax;
    while (end > 0 && (static_cast<unsigned char>(shown[end]) & 0xC0) == 0x80) --end;
    shown.resize(end);
    shown += "...";
  }
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return shown;
}

// Runs the XPath queries of one load; a query that fails throws.
class Queries {
 public:
  Queries(xmlDocPtr doc, const std::u16string& path) : path_(path), ctxt_(xmlXPathNewContext(doc)) {
    if (!ctxt_) throw CSRXStore::CLoadError(path_, "no XPath context");
    ctxt_->error = OnXPathError;
    ctxt_->userData = &state_;
    ctxt_->opLimit = kXPathOpLimit;
    if (xmlXPathRegisterNs(ctxt_.get(), reinterpret_cast<const xmlChar*>("t"),
                           reinterpret_cast<const xmlChar*>(kSrxNamespace)) != 0) {
      throw CSRXStore::CLoadError(path_, "cannot bind the SRX namespace");
    }
  }

  // The nodes `query` selects, relative to `context` (the document when null).
  XPathResult Select(const std::string& query, xmlNodePtr context = nullptr) {
    state_ = ParseState();
    ctxt_->node = context;
    xmlXPathCompExprPtr compiled = Compile(query);
    XPathResult result(compiled ? xmlXPathCompiledEval(compiled, ctxt_.get()) : nullptr);
    if (!result || state_.failed || result->type != XPATH_NODESET) {
      if (ctxt_->opCount >= ctxt_->opLimit) {
        throw CSRXStore::CLoadError(path_, "reading it takes more than " + std::to_string(kXPathOpLimit) +
                                               " XPath steps, the limit for one file");
      }
      throw CSRXStore::CLoadError(path_, "query " + Shown(query) + " failed" +
                                             (state_.failed ? ": " + Shown(state_.reason) : std::string()));
    }
    return result;
  }

  static int Count(const XPathResult& result) {
    return result->nodesetval ? result->nodesetval->nodeNr : 0;
  }
  static xmlNodePtr At(const XPathResult& result, int i) { return result->nodesetval->nodeTab[i]; }

  // The text of the first node `query` selects below `context`, empty when
  // none; `trimmed` is set when white space was cut from it.
  std::u16string SingleText(const char* query, xmlNodePtr context, bool& trimmed) {
    XPathResult result = Select(query, context);
    bool cut = false;
    std::u16string text = Count(result) > 0 ? ElementText(At(result, 0), cut) : std::u16string();
    trimmed = trimmed || cut;
    return text;
  }

 private:
  // Each query is compiled once per load: the per-rule ones run thousands of times.
  xmlXPathCompExprPtr Compile(const std::string& query) {
    auto& compiled = compiled_[query];
    if (!compiled) {
      compiled.reset(xmlXPathCtxtCompile(ctxt_.get(), reinterpret_cast<const xmlChar*>(query.c_str())));
    }
    return compiled.get();
  }

  const std::u16string& path_;
  ParseState state_;
  std::unique_ptr<xmlXPathContext, XPathContextFree> ctxt_;
  std::map<std::string, std::unique_ptr<xmlXPathCompExpr, XPathCompiledFree>> compiled_;
};

bool HasSrx20Element(xmlDocPtr doc) {
  const xmlNodePtr root = xmlDocGetRootElement(doc);
  for (xmlNodePtr node = root; node != nullptr; node = NextInTree(node, root)) {
    if (node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
        std::string_view(reinterpret_cast<const char*>(node->ns->href)) == kSrxNamespace) {
      return true;
    }
  }
  return false;
}

// One language rule as the maps that name it receive it.
struct ReadRules {
  CSRXStore::CRules rules;
  bool trimmed = false;  // white space was cut from a pattern
  bool missing = false;  // no language rule has the name
};

constexpr const char* kLanguageRules = "/t:srx/t:body/t:languagerules/t:languagerule";

// The language rules by name, each name's in document order: one pass over
// them, where a query per map would scan them all for every map.
using LanguageRuleIndex = std::map<std::u16string, std::vector<xmlNodePtr>>;

LanguageRuleIndex IndexLanguageRules(Queries& queries) {
  LanguageRuleIndex index;
  XPathResult rules = queries.Select(kLanguageRules);
  for (int i = 0; i < Queries::Count(rules); ++i) {
    xmlNodePtr node = Queries::At(rules, i);
    if (auto name = Attribute(node, "languagerulename")) index[std::move(*name)].push_back(node);
  }
  return index;
}

bool IsSrxElement(xmlNodePtr node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
         std::string_view(reinterpret_cast<const char*>(node->ns->href)) == kSrxNamespace &&
         std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

// The rules of the language rules named `name`, as the query
// <kLanguageRules>[@languagerulename="<name>"]/t:rule selects them.
ReadRules ReadLanguageRule(Queries& queries, const LanguageRuleIndex& index, const std::u16string& name) {
  if (name.find(u'"') != std::u16string::npos) {
    // The name cannot stand in that query, which fails as it always has.
    queries.Select(std::string(kLanguageRules) + "[@languagerulename=\"" + locmodel::Utf16ToUtf8(name) + "\"]");
  }
  ReadRules read;
  const auto found = index.find(name);
  read.missing = found == index.end();
  if (read.missing) return read;
  for (xmlNodePtr languageRule : found->second) {
    for (xmlNodePtr node = languageRule->children; node != nullptr; node = node->next) {
      if (!IsSrxElement(node, "rule")) continue;
      auto isBreak = Attribute(node, "break");
      auto before = queries.SingleText("t:beforebreak", node, read.trimmed);
      read.rules.emplace_back(!isBreak || *isBreak == u"yes", std::move(before),
                              queries.SingleText("t:afterbreak", node, read.trimmed));
    }
  }
  return read;
}

// The language rules no map named, for the report.
void ReportUnmapped(Queries& queries, const std::map<std::u16string, ReadRules>& named,
                    CSRXStore::LoadReport& report) {
  XPathResult rules = queries.Select(kLanguageRules);
  for (int i = 0; i < Queries::Count(rules); ++i) {
    auto name = Attribute(Queries::At(rules, i), "languagerulename");
    if (name && !named.contains(*name)) report.unmappedRules.push_back(std::move(*name));
  }
}

}  // namespace

bool CSRXStore::Load(const std::u16string& path, LoadReport* report) {
  int size = 0;
  std::unique_ptr<unsigned char, FileBufferFree> bytes(ReadFile(path.c_str(), size, MAX_FILE_SIZE + 1));
  return bytes && size <= MAX_FILE_SIZE && LoadFromMemory(bytes.get(), size, path, report);
}

bool CSRXStore::LoadFromMemory(const unsigned char* data, int size, const std::u16string& name,
                               LoadReport* report) {
  if (size < 0 || size > MAX_FILE_SIZE) return false;
  xmlInitParser();
  QuietThreadHandlers quiet;
  std::unique_ptr<xmlDoc, DocFree> doc = Parse(data, size);
  if (!doc) return false;

  Queries queries(doc.get(), name);
  XPathResult header = queries.Select("/t:srx/t:header");
  if (Queries::Count(header) > 0) {
    if (auto cascade = Attribute(Queries::At(header, 0), "cascade")) cascade_ = *cascade == u"yes";
  }

  LoadReport ignored;
  LoadReport& found = report ? *report : ignored;
  found = LoadReport();
  found.hasSrx20Elements = HasSrx20Element(doc.get());
  // Each language rule is read once, however many maps name it.
  std::map<std::u16string, ReadRules> named;
  const LanguageRuleIndex index = IndexLanguageRules(queries);
  size_t loaded = 0;
  XPathResult maps = queries.Select("/t:srx/t:body/t:maprules/t:languagemap");
  for (int i = 0; i < Queries::Count(maps); ++i) {
    xmlNodePtr map = Queries::At(maps, i);
    auto ruleName = Attribute(map, "languagerulename");
    if (!ruleName) continue;
    auto langPattern = Attribute(map, "languagepattern");
    if (!langPattern) continue;

    auto [read, isNew] = named.try_emplace(*ruleName);
    if (isNew) read->second = ReadLanguageRule(queries, index, *ruleName);
    // Every map holds its own copy: a small file naming one big rule from
    // many maps must not grow without bound.
    loaded += read->second.rules.size();
    if (loaded > MAX_LOADED_RULES) {
      throw CLoadError(name, "its maps hold more than " + std::to_string(MAX_LOADED_RULES) +
                                 " rules (each map counts the rules it names), the limit for one file");
    }
    if (read->second.trimmed) found.trimmedPatterns.push_back(*ruleName);
    if (read->second.missing) found.missingRules.push_back(*ruleName);
    entries_.emplace_back(CCultureEntry(std::move(*ruleName), std::move(*langPattern)),
                          read->second.rules);
  }
  if (report) ReportUnmapped(queries, named, *report);
  return true;
}
