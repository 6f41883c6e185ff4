#include "cli/dump_stream.h"

#include <algorithm>
#include <vector>

#include "cli/command.h"
#include "cli/json.h"
#include "cli/prop_json.h"
#include "locmodel/props/prop_container.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/binary_scanner.h"
#include "locmodel/util/coding.h"

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

constexpr uint32_t kMaxIndent = 40;  // deeper levels show their depth instead

void Indent(std::string& out, uint32_t depth) {
  out.append(2 * std::min(depth, kMaxIndent), ' ');
  if (depth > kMaxIndent) out.append("(depth ").append(std::to_string(depth)).append(") ");
}

void AppendNodeLine(std::string& out, const NodeName& name, uint32_t depth) {
  Indent(out, depth);
  out += "node ";
  if (name.GetType() == NodeName::String) AppendJsonString(out, name.GetStrValue());
  else if (name.GetType() == NodeName::Byte) out.append("#").append(std::to_string(name.GetByteValue()));
  else out += "(anonymous)";
  out.push_back('\n');
}

void AppendFieldLine(std::string& out, const unsigned char* data, uint32_t size, uint32_t depth) {
  constexpr uint32_t kPreviewBytes = 16;
  Indent(out, depth);
  out.append("field [").append(std::to_string(size)).append("]");
  if (size) out.push_back(' ');
  for (uint32_t i = 0; i < std::min(size, kPreviewBytes); ++i) {
    if (i) out.push_back(' ');
    AppendHex(out, data + i, 1);
  }
  if (size > kPreviewBytes) out += " ...";
  if (size == 4) out.append("  = ").append(std::to_string(coding::DecodeFixed<int32_t>(data)));
  if (LooksLikeText(data, size)) {
    std::u16string text;
    coding::DecodeUtf16(text, data, size / 2);
    out += "  ";
    AppendJsonString(out, text);
  }
  out.push_back('\n');
}

// The items of the node the scanner just entered, up to its leave tag,
// copied into a complete stream of their own (inside "Root").
std::vector<unsigned char> CaptureNode(BinaryScanner& scanner) {
  Serial::MemoryStreamOut copy;
  {
    Serial::Binary::BinarySerialOut writer(copy);
    writer.EnterNode(scanner.name());
    const uint32_t depth = scanner.depth();
    while (scanner.depth() >= depth) {
      switch (scanner.Next()) {
        case BinaryScanner::Item::EnterNode: writer.EnterNode(scanner.name()); break;
        case BinaryScanner::Item::LeaveNode: writer.LeaveNode(); break;
        case BinaryScanner::Item::Field: writer.WriteField(scanner.field_size(), scanner.field_data()); break;
        default: return {};  // cannot happen: the stream was checked
      }
    }
  }
  return copy.GetData();
}

// A property map read from a captured node, one entry a line; false when
// the node does not hold exactly a map of known classes.
bool AppendProperties(std::string& out, const std::vector<unsigned char>& node, uint32_t depth) {
  CPropContainer props;
  try {
    Serial::MemoryStreamIn in(node.data(), static_cast<uint32_t>(node.size()));
    Serial::Binary::BinarySerialIn reader(in);
    props.Do(reader);
    reader.LeaveNode();  // "Root": the map must have been all the node held
  } catch (const Serial::Exceptions::FormatIO&) {
    return false;
  }
  std::string lines;
  for (const auto& [name, value] : props.GetPropCont()) {
    Indent(lines, depth);
    // The name as text, with the escapes of a JSON string but no quotes.
    std::string quoted;
    AppendJsonString(quoted, name.ToString());
    lines.append(quoted, 1, quoted.size() - 2);
    lines += " = ";
    lines += value->GetClass().GetTypeName();
    lines.push_back('(');
    if (!AppendPropValue(lines, *value)) return false;
    lines += ")\n";
  }
  out += lines;
  return true;
}

// Prints a captured node as it stands, without looking for properties in it.
void PrintCapturedRaw(const std::vector<unsigned char>& node, uint32_t depth, Sink& sink) {
  Serial::MemoryStreamIn in(node.data(), static_cast<uint32_t>(node.size()));
  BinaryScanner scanner(in);
  // Skip the version nodes and enter "Root".
  while (scanner.Next() == BinaryScanner::Item::EnterNode && scanner.depth() == 1 &&
         scanner.name() != NodeName(u"Root")) {
    while (scanner.depth() > 0) scanner.Next();
  }
  std::string& out = sink.text();
  for (;;) {
    const auto item = scanner.Next();
    if (item == BinaryScanner::Item::EnterNode) {
      AppendNodeLine(out, scanner.name(), depth + scanner.depth() - 2);
    } else if (item == BinaryScanner::Item::Field) {
      AppendFieldLine(out, scanner.field_data(), scanner.field_size(), depth + scanner.depth() - 1);
    } else if (item != BinaryScanner::Item::LeaveNode || scanner.depth() == 0) {
      break;
    }
    sink.MaybeFlush();
  }
}

void PrintText(BinaryScanner& scanner, Sink& sink, bool props) {
  static const NodeName kPropertyMap(static_cast<unsigned char>(0x01));
  std::string& out = sink.text();
  for (;;) {
    const auto item = scanner.Next();
    if (item == BinaryScanner::Item::EnterNode) {
      const uint32_t depth = scanner.depth() - 1;
      if (props && scanner.name() == kPropertyMap) {
        const std::vector<unsigned char> node = CaptureNode(scanner);
        std::string entries;
        if (AppendProperties(entries, node, depth + 1)) {
          Indent(out, depth);
          out += "properties\n" + entries;
        } else {
          PrintCapturedRaw(node, depth, sink);
        }
      } else {
        AppendNodeLine(out, scanner.name(), depth);
      }
    } else if (item == BinaryScanner::Item::Field) {
      AppendFieldLine(out, scanner.field_data(), scanner.field_size(), scanner.depth());
    } else if (item != BinaryScanner::Item::LeaveNode) {
      break;
    }
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
      // A damaged or too large gzip member cuts the data short: name the real cause.
      if (std::string damage = input.Damage(); !damage.empty())
        return StreamDamage{scanner.item_offset(), std::move(damage)};
      if (item == BinaryScanner::Item::Malformed)
        return StreamDamage{scanner.item_offset(), scanner.error()};
      if (empty) return StreamDamage{0, "empty stream"};
      return std::nullopt;
    }
    empty = false;
  }
}

void PrintStream(Input& input, bool json, bool props, std::ostream& out) {
  BinaryScanner scanner(input.Stream());
  Sink sink(out);
  if (json) PrintJson(scanner, sink);
  else PrintText(scanner, sink, props);
}

int RunDumpStream(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  if (args.Has("--json") && args.Has("--props")) {
    err << "locmodel: --props shows properties in the text tree; it does not go with --json\n";
    return kUsage;
  }
  // A pipe is read once, whole, and then read from memory like a file.
  std::string bytes;
  const bool streamed = IsStreamedInput(path);
  if (std::string error; streamed && !ReadStreamedInput(path, kMaxStreamedInput, bytes, error)) {
    return Fail(err, error);
  }
  const auto open = [&] {
    return streamed ? OpenInput(bytes.data(), static_cast<uint32_t>(bytes.size())) : OpenInput(path);
  };
  auto input = open();
  if (!input) return Fail(err, path + ": cannot open file");
  if (const auto damage = CheckStream(*input)) {
    return Fail(err, InputName(path) + ": malformed stream at byte " + std::to_string(damage->offset) +
                         ": " + damage->reason);
  }
  // The check consumed the stream; print from a fresh one.
  input = open();
  if (!input) return Fail(err, path + ": cannot open file");
  PrintStream(*input, args.Has("--json"), args.Has("--props"), out);
  return kOk;
}

}  // namespace locmodel::cli
