#include "cli/dump_stream.h"

#include <algorithm>
#include <vector>

#include "cli/command.h"
#include "cli/json.h"
#include "locmodel/serial/binary_scanner.h"
#include "util/coding.h"

namespace locmodel::cli {
namespace {

using Serial::NodeName;
using Serial::Binary::BinaryScanner;

// Output is gathered in a string and handed to the stream in large pieces.
class Sink {
 public:
  explicit Sink(std::ostream& out) : out_(out) {}
  ~Sink() { Flush(); }
  std::string& text() { return text_; }
  void MaybeFlush() {
    if (text_.size() >= (1u << 16)) Flush();
  }

 private:
  void Flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }
  std::ostream& out_;
  std::string text_;
};

void AppendJsonName(std::string& out, const NodeName& name) {
  switch (name.GetType()) {
    case NodeName::String: AppendJsonString(out, name.GetStrValue()); break;
    case NodeName::Byte: out += std::to_string(name.GetByteValue()); break;
    default: out += "null";
  }
}

void PrintJson(BinaryScanner& scanner, Sink& sink) {
  std::string& out = sink.text();
  // Whether the list of the node at each depth is still empty.
  std::vector<bool> empty{true};
  out += "{\"items\":[";
  for (;;) {
    const auto item = scanner.Next();
    if (item == BinaryScanner::Item::LeaveNode) {
      out += "]}";
      empty.pop_back();
    } else if (item == BinaryScanner::Item::EnterNode || item == BinaryScanner::Item::Field) {
      if (!empty.back()) out.push_back(',');
      empty.back() = false;
      if (item == BinaryScanner::Item::EnterNode) {
        out += "{\"node\":";
        AppendJsonName(out, scanner.name());
        out += ",\"items\":[";
        empty.push_back(true);
      } else {
        out += "{\"field\":\"";
        AppendHex(out, scanner.field_data(), scanner.field_size());
        out += "\"}";
      }
    } else {
      break;
    }
    sink.MaybeFlush();
  }
  out += "]}\n";
}

// A field as text when it reads as short printable UTF-16.
bool LooksLikeText(const unsigned char* bytes, uint32_t size) {
  if (size < 2 || size % 2 != 0 || size > 160) return false;
  for (uint32_t i = 0; i < size; i += 2) {
    const unsigned unit = bytes[i] | (bytes[i + 1] << 8);
    const bool control = unit < 0x20 && unit != '\t' && unit != '\n' && unit != '\r';
    if (control || (unit >= 0x7F && unit < 0xA0)) return false;
  }
  return true;
}

void PrintText(BinaryScanner& scanner, Sink& sink) {
  constexpr uint32_t kMaxIndent = 40;  // deeper levels show their depth instead
  constexpr uint32_t kPreviewBytes = 16;
  std::string& out = sink.text();
  for (;;) {
    const auto item = scanner.Next();
    if (item != BinaryScanner::Item::EnterNode && item != BinaryScanner::Item::Field) {
      if (item == BinaryScanner::Item::LeaveNode) continue;
      break;
    }
    const uint32_t depth = scanner.depth() - (item == BinaryScanner::Item::EnterNode ? 1 : 0);
    out.append(2 * std::min(depth, kMaxIndent), ' ');
    if (depth > kMaxIndent) out += "(depth " + std::to_string(depth) + ") ";
    if (item == BinaryScanner::Item::EnterNode) {
      const NodeName& name = scanner.name();
      out += "node ";
      if (name.GetType() == NodeName::String) AppendJsonString(out, name.GetStrValue());
      else if (name.GetType() == NodeName::Byte) out += "#" + std::to_string(name.GetByteValue());
      else out += "(anonymous)";
    } else {
      const unsigned char* data = scanner.field_data();
      const uint32_t size = scanner.field_size();
      out += "field [" + std::to_string(size) + "]";
      if (size) out.push_back(' ');
      for (uint32_t i = 0; i < std::min(size, kPreviewBytes); ++i) {
        if (i) out.push_back(' ');
        AppendHex(out, data + i, 1);
      }
      if (size > kPreviewBytes) out += " ...";
      if (size == 4) out += "  = " + std::to_string(coding::DecodeFixed<int32_t>(data));
      if (LooksLikeText(data, size)) {
        std::u16string text;
        coding::DecodeUtf16(text, data, size / 2);
        out += "  ";
        AppendJsonString(out, text);
      }
    }
    out.push_back('\n');
    sink.MaybeFlush();
  }
}

}  // namespace

std::optional<StreamDamage> CheckStream(Input& input) {
  BinaryScanner scanner(input.Stream());
  bool empty = true;
  for (;;) {
    const auto item = scanner.Next();
    if (item == BinaryScanner::Item::End || item == BinaryScanner::Item::Malformed) {
      // A damaged gzip member cuts the data short: name the real cause.
      if (input.Corrupt()) return StreamDamage{scanner.item_offset(), "corrupt gzip data"};
      if (item == BinaryScanner::Item::Malformed)
        return StreamDamage{scanner.item_offset(), scanner.error()};
      if (empty) return StreamDamage{0, "empty stream"};
      return std::nullopt;
    }
    empty = false;
  }
}

void PrintStream(Input& input, bool json, std::ostream& out) {
  BinaryScanner scanner(input.Stream());
  Sink sink(out);
  if (json) PrintJson(scanner, sink);
  else PrintText(scanner, sink);
}

int RunDumpStream(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  auto input = OpenInput(path);
  if (!input) return Fail(err, path + ": cannot open file");
  if (const auto damage = CheckStream(*input)) {
    return Fail(err, path + ": malformed stream at byte " + std::to_string(damage->offset) +
                         ": " + damage->reason);
  }
  // The check consumed the stream; print from a fresh one.
  input = OpenInput(path);
  if (!input) return Fail(err, path + ": cannot open file");
  PrintStream(*input, args.Has("--json"), out);
  return kOk;
}

}  // namespace locmodel::cli
