// An item tree as text or as JSON, for the commands that show projects.
#pragma once

#include <ostream>
#include <string>

class CProp;
class CPropName;
class CResItem;

namespace locmodel::cli {

// An indented tree: each item's fields, properties, configuration,
// translations and children.
void PrintItemTree(const CResItem& root, std::ostream& out);

// {"root":ITEM}, compact, one trailing newline, where ITEM is
// {"type":N,"resId":S,"comment":S,"tabNum":N,"state":N,"data":HEX,
//  "props":[PROP...],"cfg":[PROP...],"translations":[TRANS...],"children":[ITEM...]},
// TRANS is {"lang":N,"status":N,"key":N,"props":[PROP...]} and PROP is
// {"name":NAME,"class":CLASS,"value":V}.
void PrintItemTreeJson(const CResItem& root, std::ostream& out);

// Appends ITEM for `root` and its whole subtree to `json`, handing what has
// gathered to `out` now and then so that a large tree is never held whole;
// the caller writes the rest of `json`.
void WriteItemJson(const CResItem& root, std::string& json, std::ostream& out);
// Appends PROP: {"name":NAME,"class":CLASS,"value":V}.
void AppendPropJson(std::string& out, const CPropName& name, const CProp& value);

}  // namespace locmodel::cli
