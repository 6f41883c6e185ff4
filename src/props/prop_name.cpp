#include "locmodel/props/prop_name.h"

#include <mutex>
#include <unordered_map>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/strategies.h"
#include "locmodel/util/unicode.h"

namespace {

// Keyed by a view of each text's own characters. Never destroyed: names in
// static objects may die after any other static.
struct InternTable {
  std::mutex lock;
  std::unordered_map<std::u16string_view, const void*> texts;
};

InternTable& Table() {
  static InternTable* table = new InternTable;
  return *table;
}

}  // namespace

const CPropName::Text* CPropName::Intern(std::u16string_view text) {
  if (text.empty()) return nullptr;
  InternTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  const auto found = table.texts.find(text);
  if (found != table.texts.end()) {
    const auto* shared = static_cast<const Text*>(found->second);
    shared->refs.fetch_add(1, std::memory_order_relaxed);
    return shared;
  }
  const auto* shared = new Text{{1}, std::u16string(text)};
  table.texts.emplace(shared->value, shared);
  return shared;
}

void CPropName::Release(const Text* text) {
  // Only the last reference needs the table. The count goes from 1 to 0
  // under the lock alone, so Intern never revives a text being deleted: a
  // lookup that raced ahead of us just leaves it above 1.
  int32_t refs = text->refs.load(std::memory_order_relaxed);
  while (refs > 1) {
    if (text->refs.compare_exchange_weak(refs, refs - 1, std::memory_order_release,
                                         std::memory_order_relaxed))
      return;
  }
  InternTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  if (text->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  table.texts.erase(text->value);
  delete text;
}

const std::u16string& CPropName::EmptyText() {
  static const std::u16string empty;
  return empty;
}

size_t CPropName::InternedTextCount() {
  InternTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  return table.texts.size();
}

std::u16string CPropName::ToString() const {
  if (IsStr()) return u"@" + GetStr();
  std::u16string text = u"#";
  text += locmodel::Utf8ToUtf16(std::to_string(static_cast<uint32_t>(id_)));
  return text;
}

void CPropName::FromString(const std::u16string& text) {
  CPropName name;
  if (text.empty() || text[0] != u'#') {
    name.text_ = Intern(std::u16string_view(text).substr(!text.empty() && text[0] == u'@' ? 1 : 0));
  } else {
    // An unsigned decimal number; the digits that follow it are all it reads.
    uint32_t id = 0;
    for (size_t i = 1; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
      id = id * 10 + static_cast<uint32_t>(text[i] - u'0');
    name.id_ = static_cast<CPropId>(id);
  }
  *this = std::move(name);
}

template <typename S>
bool CPropName::DoWith(S& stream) {
  Serial::DoEnum<uint16_t>(stream, id_);
  if (!stream.IsReading()) {
    // Writing leaves the text as it is.
    Serial::Do(stream, const_cast<std::u16string&>(GetStr()));
    return true;
  }
  // Read into a buffer that keeps its capacity: a name already interned
  // costs no allocation. An unusually long one does not stay held.
  thread_local std::u16string read;
  if (Serial::Do(stream, read)) {
    const Text* text = Intern(read);
    if (text_) Release(text_);
    text_ = text;
  }
  if (read.capacity() > 256) std::u16string().swap(read);
  return true;
}

bool CPropName::Do(Serial::ISerialStream& stream) { return DoWith(stream); }
bool CPropName::Do(Serial::Binary::BinarySerialOut& stream) { return DoWith(stream); }
