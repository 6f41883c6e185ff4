// Entity decoding, encoding and hiding over arbitrary UTF-16 text.
#include <cstdlib>

#include "fuzz_text.h"
#include "locmodel/util/char_entities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using H = CCharEntitiesHelper;
  const std::u16string text = FuzzUnits(data, size);

  std::u16string decoded = text;
  H::HTMLEntitiesToUnicode(decoded);
  if (decoded.size() > text.size()) std::abort();  // a reference never grows

  std::u16string hidden = text;
  H::HideHTMLEntities(hidden);
  if (hidden.size() != text.size()) std::abort();

  std::u16string xml = text;
  H::XMLEntitiesToUnicode(xml);
  H::HideEntities(H::GetXMLEntityToUnicodeMap(), hidden);

  // Encoding leaves no "&" that is not a reference's, so decoding gives the
  // text back; XML names are all letters.
  std::u16string encoded = text;
  H::UnicodeToXMLEntities(encoded);
  H::XMLEntitiesToUnicode(encoded);
  if (encoded != text) std::abort();

  int start = 0, end = 0;
  H::GetNextEntity(H::GetHTMLEntityToUnicodeMap(), text, size % 7, start, end);
  return 0;
}
