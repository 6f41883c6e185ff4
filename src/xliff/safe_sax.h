// A libxml2 SAX2 handler locked down for untrusted documents, read as a
// stream: nothing is loaded from the network or from disk, a declared
// external entity stops the parse before anything could load it, the
// external subset is never read, and libxml2's limits on
// text size and entity amplification stay on. Internal entities are
// substituted while parsing, where libxml2 checks their amplification.
// Nothing the document holds is kept except entity declarations, and
// those are counted and bounded, so memory does not grow with the file.
// The settings are per parser context: the process-wide ones, which a host
// may rely on, are never touched.
#pragma once

#include <libxml/parser.h>

#include <string>
#include <string_view>

namespace locmodel::xliff {

// What the handlers learn during a parse. The parser context's _private
// points to it (or to a class derived from it).
struct SaxGuard {
  bool failed = false;
  std::string reason;
  int line = 0;  // where the first failure was seen

  void Fail(xmlParserCtxtPtr ctxt, std::string_view why);
};

SaxGuard& GuardOf(void* ctx);

// SAX2 defaults with every handler that could load, expand without bound,
// keep document content or print replaced; the caller then sets its own
// element and text handlers.
void HardenSax(xmlSAXHandler& sax);

// Silences this thread's libxml2 message handlers for its lifetime (some
// messages bypass the parser context), then puts the host's back.
class QuietLibxml {
 public:
  QuietLibxml();
  ~QuietLibxml();
  QuietLibxml(const QuietLibxml&) = delete;
  QuietLibxml& operator=(const QuietLibxml&) = delete;

 private:
  xmlGenericErrorFunc generic_;
  void* genericContext_;
  xmlStructuredErrorFunc structured_;
  void* structuredContext_;
};

}  // namespace locmodel::xliff
