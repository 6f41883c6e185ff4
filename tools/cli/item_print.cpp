#include "cli/item_print.h"

#include <string>
#include <vector>

#include "cli/json.h"
#include "cli/prop_json.h"
#include "locmodel/items/res_item.h"

namespace locmodel::cli {
namespace {

// Walks the tree in pre-order without recursion: `open` is called for each
// item as it is reached, `close` after its last child.
template <typename Open, typename Close>
void Walk(const CResItem& root, Open open, Close close) {
  struct Frame {
    const CResItem* item;
    size_t next;
  };
  std::vector<Frame> stack{{&root, 0}};
  open(root, 0u, 0u);
  while (!stack.empty()) {
    Frame& top = stack.back();
    const auto& children = top.item->GetResItems();
    if (top.next < children.size()) {
      const size_t index = top.next++;
      const CResItem* child = children[index];
      open(*child, stack.size(), index);
      stack.push_back({child, 0});
    } else {
      close(*top.item);
      stack.pop_back();
    }
  }
}

// Items deeper than this are indented as at this depth and carry their depth
// as a number, so that a tree nested a million levels deep still prints in
// lines of bounded width instead of a terabyte of blanks.
constexpr size_t kMaxIndentDepth = 64;

std::string Indent(size_t depth) {
  if (depth <= kMaxIndentDepth) return std::string(2 * depth, ' ');
  return std::string(2 * kMaxIndentDepth, ' ') + "[" + std::to_string(depth) + "] ";
}

void AppendNameText(std::string& out, const CPropName& name) {
  std::string quoted;
  AppendJsonString(quoted, name.ToString());
  out.append(quoted, 1, quoted.size() - 2);
}

void AppendValue(std::string& out, const CProp& value) {
  if (!AppendPropValue(out, value)) out += "null";
}

void AppendPropsJson(std::string& out, const CPropContainer& props) {
  out.push_back('[');
  bool first = true;
  for (const auto& [name, value] : props.GetPropCont()) {
    if (!first) out.push_back(',');
    first = false;
    AppendPropJson(out, name, *value);
  }
  out.push_back(']');
}

void AppendPropsText(std::string& out, const CPropContainer& props, const char* label,
                     const std::string& indent) {
  for (const auto& [name, value] : props.GetPropCont()) {
    out += indent;
    out += label;
    AppendNameText(out, name);
    out += " = ";
    out += value->GetClass().GetTypeName();
    out.push_back('(');
    AppendValue(out, *value);
    out += ")\n";
  }
}

}  // namespace

void AppendPropJson(std::string& out, const CPropName& name, const CProp& value) {
  out += "{\"name\":";
  AppendJsonString(out, name.ToString());
  out += ",\"class\":\"";
  out += value.GetClass().GetTypeName();
  out += "\",\"value\":";
  AppendValue(out, value);
  out.push_back('}');
}

void PrintItemTree(const CResItem& root, std::ostream& out) {
  std::string text;
  std::vector<size_t> positions;  // the position path of the item being printed
  Walk(
      root,
      [&](const CResItem& item, size_t depth, size_t index) {
        const std::string indent = Indent(depth);
        positions.resize(depth);
        if (depth > 0) positions.back() = index;
        text += indent + "item " + (depth ? "" : "/");
        for (size_t position : positions) (text += '/') += std::to_string(position);
        text += " type=" + std::to_string(item.GetType()) + " resId=";
        AppendJsonString(text, item.GetResId());
        text += " state=" + std::to_string(item.GetState()) +
                " tabNum=" + std::to_string(item.GetTabNum()) +
                " data=" + std::to_string(item.GetDataSize()) + " bytes\n";
        const std::string inner = indent + "  ";
        if (!item.GetComment().empty()) {
          text += inner + "comment ";
          AppendJsonString(text, item.GetComment());
          text.push_back('\n');
        }
        AppendPropsText(text, item, "prop ", inner);
        AppendPropsText(text, item.GetCfgProps(), "cfg ", inner);
        for (const auto& [lang, trans] : item.GetTransMap()) {
          text += inner + "translation " + std::to_string(lang) +
                  " status=" + std::to_string(trans->GetStatus()) +
                  " key=" + std::to_string(trans->GetKey()) + "\n";
          AppendPropsText(text, *trans, "prop ", inner + "  ");
        }
        if (text.size() > (1u << 16)) out << text, text.clear();
      },
      [](const CResItem&) {});
  out << text;
}

void WriteItemJson(const CResItem& root, std::string& json, std::ostream& out) {
  Walk(
      root,
      [&](const CResItem& item, size_t depth, size_t index) {
        if (depth > 0 && index > 0) json.push_back(',');
        json += "{\"type\":" + std::to_string(item.GetType()) + ",\"resId\":";
        AppendJsonString(json, item.GetResId());
        json += ",\"comment\":";
        AppendJsonString(json, item.GetComment());
        json += ",\"tabNum\":" + std::to_string(item.GetTabNum()) +
                ",\"state\":" + std::to_string(item.GetState()) + ",\"data\":\"";
        AppendHex(json, item.GetData(), item.GetDataSize());
        json += "\",\"props\":";
        AppendPropsJson(json, item);
        json += ",\"cfg\":";
        AppendPropsJson(json, item.GetCfgProps());
        json += ",\"translations\":[";
        bool first = true;
        for (const auto& [lang, trans] : item.GetTransMap()) {
          if (!first) json.push_back(',');
          first = false;
          json += "{\"lang\":" + std::to_string(lang) + ",\"status\":" +
                  std::to_string(trans->GetStatus()) + ",\"key\":" +
                  std::to_string(trans->GetKey()) + ",\"props\":";
          AppendPropsJson(json, *trans);
          json.push_back('}');
        }
        json += "],\"children\":[";
        if (json.size() > (1u << 16)) out << json, json.clear();
      },
      [&](const CResItem&) { json += "]}"; });
}

void PrintItemTreeJson(const CResItem& root, std::ostream& out) {
  std::string json = "{\"root\":";
  WriteItemJson(root, json, out);
  json += "}\n";
  out << json;
}

}  // namespace locmodel::cli
