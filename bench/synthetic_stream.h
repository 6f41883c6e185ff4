// A synthetic project file for benchmarks of the serial readers.
//
// The model mirrors the shape of a saved localization project: a project
// item holding file items, each holding resource items; every item has a
// property container, a resource id, type, children, translations, comment,
// tab number, state, raw data and a configuration container, each member in
// its own byte-named node; translations sit in the map form (an anonymous
// entry holding the language and the translation) and carry their text as a
// string property plus "Key", "Lng" and "St" nodes. Integers are 4-byte
// fields, texts short UTF-16 strings, and one resource in five carries a
// 1 KB blob of raw data (a dialog or form image).
//
// Item::Do both writes and reads, as the library's Do functions do, so a
// benchmark can read the stream back through any ISerialStream.
//
// Header-only and self-contained: include it from any benchmark file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/streams.h"
#include "locmodel/serial/values.h"

namespace synthetic {

// Enters `name`, runs `body` and leaves; an absent node skips the body.
template <typename Body>
bool InNode(Serial::ISerialStream& s, const Serial::NodeName& name, Body&& body) {
  if (!s.EnterNode(name)) return false;
  const bool ok = body();
  s.LeaveNode();
  return ok;
}

inline Serial::NodeName ByteName(char c) { return Serial::NodeName(static_cast<unsigned char>(c)); }

// The container form: a count field, then one anonymous node per element.
// Reading without `keep` reuses one element for all, for readers that only
// walk the data.
template <typename T, typename Each>
bool DoList(Serial::ISerialStream& s, std::vector<T>& list, Each&& each, bool keep = true) {
  int count = static_cast<int>(list.size());
  if (!Serial::Do(s, count)) return false;
  if (s.IsReading()) list.clear();
  for (int i = 0; i < count; ++i) {
    if (s.IsReading() && (keep || list.empty())) list.emplace_back();
    T& element = s.IsReading() ? list.back() : list[i];
    if (!InNode(s, Serial::NodeName(), [&] { return each(element); })) return false;
  }
  return true;
}

// The null flag and class name of a present polymorphic value.
inline bool DoClass(Serial::ISerialStream& s, Serial::NodeName& class_name) {
  bool null = false;
  return Serial::Do(s, null) && !null && class_name.Do(s);
}

struct Prop {
  short id = 0;
  std::u16string name;
  bool is_text = false;
  int number = 0;
  std::u16string text;

  bool Do(Serial::ISerialStream& s) {
    return InNode(s, Serial::NodeName(), [&] { return Serial::Do(s, id) && Serial::Do(s, name); }) &&
           InNode(s, Serial::NodeName(), [&] {
             Serial::NodeName class_name = ByteName(is_text ? 'd' : 'f');
             if (!DoClass(s, class_name)) return false;
             is_text = class_name == ByteName('d');
             return is_text ? Serial::Do(s, text) : Serial::Do(s, number);
           });
  }
};

inline bool DoProps(Serial::ISerialStream& s, std::vector<Prop>& props) {
  return InNode(s, ByteName(1), [&] { return DoList(s, props, [&](Prop& p) { return p.Do(s); }); });
}

struct Translation {
  std::vector<Prop> props;
  int key = 9999999, lang = 7777, status = 0;

  bool Do(Serial::ISerialStream& s) {
    return InNode(s, Serial::NodeName(), [&] { return DoProps(s, props); }) &&
           InNode(s, Serial::NodeName(u"Key"), [&] { return Serial::Do(s, key); }) &&
           InNode(s, Serial::NodeName(u"Lng"), [&] { return Serial::Do(s, lang); }) &&
           InNode(s, Serial::NodeName(u"St"), [&] { return Serial::Do(s, status); });
  }
};

struct Item {
  std::vector<Prop> props;
  std::u16string res_id = u"@";
  int type = 0;
  std::vector<Item> children;
  std::vector<std::pair<int, Translation>> translations;
  std::u16string comment;
  int tab = 0, state = 0;
  std::vector<unsigned char> data;
  std::vector<Prop> config;

  // Reading without `keep_children` walks the subtree but keeps only the
  // last child of each item.
  bool Do(Serial::ISerialStream& s, bool keep_children = true) {
    // Every member in its own node; an absent node keeps the default.
    InNode(s, Serial::NodeName(), [&] { return DoProps(s, props); });
    InNode(s, ByteName('e'), [&] { return Serial::Do(s, res_id); });
    InNode(s, ByteName('f'), [&] { return Serial::Do(s, type); });
    InNode(s, ByteName('g'), [&] {
      return DoList(
          s, children,
          [&](Item& child) {
            bool null = false;
            return Serial::Do(s, null) && !null && child.Do(s, keep_children);
          },
          keep_children);
    });
    InNode(s, ByteName('h'), [&] {
      return DoList(s, translations, [&](std::pair<int, Translation>& entry) {
        return InNode(s, Serial::NodeName(), [&] { return Serial::Do(s, entry.first); }) &&
               InNode(s, Serial::NodeName(), [&] {
                 bool null = false;
                 return Serial::Do(s, null) && !null && entry.second.Do(s);
               });
      });
    });
    InNode(s, ByteName('i'), [&] { return Serial::Do(s, comment); });
    InNode(s, ByteName('j'), [&] { return Serial::Do(s, tab); });
    InNode(s, ByteName('k'), [&] { return Serial::Do(s, state); });
    InNode(s, ByteName('l'), [&] {
      if (!s.IsReading()) {
        s.WriteField(static_cast<unsigned>(data.size()), data.data());
        return true;
      }
      unsigned size = 0;
      const auto* bytes = static_cast<const unsigned char*>(s.ReadField(size));
      if (!bytes) return false;
      data.assign(bytes, bytes + size);
      return true;
    });
    InNode(s, ByteName('m'), [&] { return DoProps(s, config); });
    return true;
  }
};

// Deterministic, so every run reads the same bytes.
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

inline std::u16string MakeText(Rng& rng, uint32_t min_len, uint32_t max_len) {
  static const char16_t kLetters[] = u"abcdefghijklmnopqrstuvwxyz ABCDEFG";
  std::u16string text(min_len + rng.Next(max_len - min_len + 1), u' ');
  for (char16_t& c : text) c = kLetters[rng.Next(sizeof kLetters / sizeof kLetters[0] - 1)];
  return text;
}

inline Prop TextProp(short id, std::u16string text) {
  Prop p;
  p.id = id;
  p.is_text = true;
  p.text = std::move(text);
  return p;
}

inline Prop IntProp(short id, std::u16string name, int number) {
  Prop p;
  p.id = id;
  p.name = std::move(name);
  p.number = number;
  return p;
}

inline Item MakeResource(Rng& rng, uint32_t index) {
  Item item;
  item.res_id = u"IDS_" + MakeText(rng, 6, 14);
  item.type = 6 + static_cast<int>(rng.Next(10));
  item.props.push_back(TextProp(1, MakeText(rng, 8, 40)));
  item.props.push_back(IntProp(0, u"Flags", static_cast<int>(rng.Next(1000))));
  static const int kLanguages[] = {1031, 1036, 1040};
  for (int lang : kLanguages) {
    Translation t;
    t.props.push_back(TextProp(1, MakeText(rng, 8, 40)));
    t.key = static_cast<int>(index);
    t.lang = lang;
    t.status = static_cast<int>(rng.Next(4));
    item.translations.emplace_back(lang, std::move(t));
  }
  item.tab = static_cast<int>(rng.Next(3));
  item.state = static_cast<int>(rng.Next(8));
  if (rng.Next(5) == 0) {
    item.data.resize(1024);
    for (unsigned char& b : item.data) b = static_cast<unsigned char>(rng.Next(256));
  }
  return item;
}

inline Item MakeFileItem(uint32_t seed) {
  Rng rng(seed);
  Item file;
  file.res_id = u"forms\\" + MakeText(rng, 4, 12) + u".dfm";
  file.type = 2;
  file.config.push_back(IntProp(0, u"Encoding", 65001));
  file.config.push_back(TextProp(2, u"$(CultureName)\\" + MakeText(rng, 4, 12)));
  for (uint32_t i = 0; i < 40; ++i) file.children.push_back(MakeResource(rng, seed * 40 + i));
  return file;
}

// A project of about `target_bytes` (never less than one file item), in the
// binary encoding with the version header and "Root".
inline std::vector<unsigned char> MakeProjectLikeStream(size_t target_bytes) {
  Serial::MemoryStreamOut probe;
  {
    Serial::Binary::BinarySerialOut out(probe);
    MakeFileItem(0).Do(out);
  }
  const size_t per_file = probe.GetData().size();
  Item project;
  project.res_id = u"Project";
  project.config.push_back(IntProp(0, u"NativeLang", 1033));
  for (size_t i = 0; i == 0 || (i + 1) * per_file <= target_bytes; ++i)
    project.children.push_back(MakeFileItem(static_cast<uint32_t>(i)));

  Serial::MemoryStreamOut stream;
  {
    Serial::Binary::BinarySerialOut out(stream);
    project.Do(out);
  }
  return stream.GetData();
}

}  // namespace synthetic
