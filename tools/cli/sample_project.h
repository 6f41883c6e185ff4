// The sample project of the demo command: small, but with every kind of
// content a real project holds.
#pragma once

#include <memory>

class CResItem;

namespace locmodel::cli {

// A root with project settings, languages and brands; folders, files and
// resources of a few types; translations in German, French and Japanese;
// configuration values set on a folder for everything below it. The same tree on every call.
std::unique_ptr<CResItem> MakeSampleProject();

// Items, translations and parent links equal down the whole tree
// (CResItem::operator== leaves children and translations out).
bool SameTree(const CResItem& a, const CResItem& b);

// Item types of the sample (the host's codes; the library gives them no meaning).
enum SampleItemType { kProject = 1, kFolder = 2, kFile = 3, kDialog = 10, kStringTable = 11, kString = 12, kMenu = 13 };

}  // namespace locmodel::cli
