#include "xliff/safe_sax.h"

#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>

namespace locmodel::xliff {
namespace {

// A document may declare entities for its own use, but not without bound:
// declarations are the one part of it the parser keeps.
constexpr int kMaxEntityDeclarations = 10'000;


void IgnoreMessage(void*, const char*, ...) {}
void IgnoreStructured(void*, xmlErrorPtr) {}

void OnParserError(void* ctx, xmlErrorPtr error) {
  if (error && error->level >= XML_ERR_ERROR) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    GuardOf(ctx).Fail(ctxt, error->message ? error->message : "XML error");
  }
}

void StopOnExternal(void* ctx, const char* what) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  GuardOf(ctx).Fail(ctxt, what);
  xmlStopParser(ctxt);
}

void OnEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                  xmlChar* content) {
  if (type == XML_EXTERNAL_GENERAL_PARSED_ENTITY || type == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY ||
      type == XML_EXTERNAL_PARAMETER_ENTITY || systemId != nullptr) {
    StopOnExternal(ctx, "external entity declared");
    return;
  }
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  if (ctxt->myDoc && ctxt->myDoc->intSubset && ctxt->myDoc->intSubset->entities &&
      xmlHashSize(static_cast<xmlHashTablePtr>(ctxt->myDoc->intSubset->entities)) >= kMaxEntityDeclarations) {
    StopOnExternal(ctx, "too many entity declarations");
    return;
  }
  xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void OnUnparsedEntityDecl(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
  StopOnExternal(ctx, "external entity declared");
}

void IgnoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

xmlParserInputPtr ResolveNothing(void* ctx, const xmlChar*, const xmlChar*) {
  StopOnExternal(ctx, "external resource requested");
  return nullptr;
}

}  // namespace

void SaxGuard::Fail(xmlParserCtxtPtr ctxt, std::string_view why) {
  if (failed) return;
  failed = true;
  // One line, whatever the message quotes from the document (libxml2 shows
  // names and bytes of it, and breaks some messages into lines).
  constexpr size_t kMax = 200;
  reason.clear();
  for (char c : why.substr(0, kMax)) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (c != ' ' || (!reason.empty() && reason.back() != ' ')) reason += c;
  }
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  line = ctxt && ctxt->input ? ctxt->input->line : 0;
}

SaxGuard& GuardOf(void* ctx) { return *static_cast<SaxGuard*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }

void HardenSax(xmlSAXHandler& sax) {
  xmlSAXVersion(&sax, 2);
  sax.serror = OnParserError;
  sax.warning = IgnoreMessage;
  sax.error = IgnoreMessage;
  sax.fatalError = IgnoreMessage;
  sax.entityDecl = OnEntityDecl;
  sax.unparsedEntityDecl = OnUnparsedEntityDecl;
  sax.externalSubset = IgnoreExternalSubset;
  sax.resolveEntity = ResolveNothing;
  // Declarations used only for validation, comments and processing
  // instructions would be kept in the document the parser builds on the
  // side; none of them matters to the reader.
  sax.elementDecl = nullptr;
  sax.attributeDecl = nullptr;
  sax.notationDecl = nullptr;
  sax.comment = nullptr;
  sax.processingInstruction = nullptr;
  sax.startElement = nullptr;
  sax.endElement = nullptr;
  sax.reference = nullptr;
}

QuietLibxml::QuietLibxml()
    : generic_(xmlGenericError),
      genericContext_(xmlGenericErrorContext),
      structured_(xmlStructuredError),
      structuredContext_(xmlStructuredErrorContext) {
  xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  xmlSetStructuredErrorFunc(nullptr, IgnoreStructured);
}

QuietLibxml::~QuietLibxml() {
  xmlSetGenericErrorFunc(genericContext_, generic_);
  xmlSetStructuredErrorFunc(structuredContext_, structured_);
}

}  // namespace locmodel::xliff
