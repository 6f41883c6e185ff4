// CHhpInfo: an HTML Help source project (.hhp), as a scanner found it, held
// so that a builder can write a localized .hhp for every language: the
// [OPTIONS] values, the window definitions (CWindowEntry), the merged
// files, the topic files and the context-help aliases (CAliasEntry).
//
// A project stores it on an item as a CHhpInfoProp (class "HhpInfoProp").
// ToString gives the complete .hhp text, each line ended by one LF; that
// text is the contract. Writing it to a file (line ends, encoding) is
// hhp_writer.h's business.
//
// Every field is optional in the serialized form: Do leaves a member whose
// node is absent or unreadable as it was, and always returns true (the
// sequential reader still throws on a missing node, as it does for any
// class). The values have no order: operator< is always true, so never sort
// them or use them as keys of an ordered container.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "locmodel/props/prop.h"
#include "locmodel/util/win_types.h"

// One context-help alias: [ALIAS] maps the help context number to a topic
// file, [MAP] defines the number.
struct CAliasEntry {
  CAliasEntry() = default;
  CAliasEntry(uint32_t id, std::u16string val) : id(id), val(std::move(val)) {}

  uint32_t id = 0;     // the help context number
  std::u16string val;  // the topic file

  bool operator==(const CAliasEntry&) const = default;
  // "id" then "val".
  bool Do(Serial::ISerialStream& stream);
};

// One [WINDOWS] line: a window type of the HTML Help viewer. ValidMask says
// which numeric fields the definition gives (the valid-member flags of the
// viewer's window type); NotifyId is always written.
struct CWindowEntry {
  // The bits of ValidMask, by the field they make present.
  enum MaskBit : int32_t {
    kNavPaneStyle = 1 << 1,
    kStyle = 1 << 2,
    kStyleEx = 1 << 3,
    kPosition = 1 << 4,
    kWidth = 1 << 5,
    kShowState = 1 << 6,
    kButtonsShow = 1 << 8,
    kIsClosed = 1 << 9,
    kDefaultPaneTab = 1 << 10,
    kDefaultPane = 1 << 13,
  };

  // Member names are the serial names, in the order of the data.
  int32_t ValidMask = 0;
  std::u16string WindowType;    // the window's name
  std::u16string TitleBarText;  // always quoted
  std::u16string TOCFile;       // this and the next seven: quoted, or nothing
  std::u16string IndexFile;
  std::u16string DefaultFile;
  std::u16string HomeFile;
  std::u16string Jump1File;
  std::u16string Jump1Text;
  std::u16string Jump2File;
  std::u16string Jump2Text;
  uint32_t NavPaneStyle = 0;
  int32_t Width = 0;
  uint32_t bfButtonsShow = 0;
  RECT Position;
  uint32_t Style = 0;
  uint32_t StyleEx = 0;
  int32_t ShowState = 0;
  uint32_t IsClosed = 0;
  uint32_t DefaultPane = 0;
  uint32_t DefaultPaneTab = 0;
  uint32_t NotifyId = 0;

  bool operator==(const CWindowEntry&) const = default;
  bool Do(Serial::ISerialStream& stream);

  // The [WINDOWS] line without its line end:
  //   name="title","toc.hhc",,,,,,,,,,,,,,,,,,0x0
  std::u16string ToString() const;

  // Each appends one comma, then the value: a non-empty string quoted; a
  // present number as "0x%X" (a negative one as its 32-bit two's
  // complement); a present rectangle as "[left,top,right,bottom]".
  static void AddStr(std::u16string& text, const std::u16string& value);
  static void AddInt(std::u16string& text, uint32_t value, bool present);
  static void AddRect(std::u16string& text, const RECT& rect, bool present);
};

class CHhpInfo {
 public:
  // Version, Lcid and IsFullTextSearch, which an .hhp always states, start
  // at 0 and false until the scanner sets them.
  CHhpInfo() = default;

  // Member names are the serial names ("Lcid" is stored as "lcid"), in the
  // order of the data. AutoTOC and Lcid are kept but never written.
  uint32_t Version = 0;  // 2 writes "Compatibility=1.0", any other "1.1 or later"
  bool AutoIndex = true;
  int32_t AutoTOC = 0;
  bool CreateCHI = false;
  std::u16string TargetFile = u"out.chm";
  std::u16string ErrorLogFile = u"error.log";
  std::u16string ContentsFile;
  std::u16string IndexFile;
  std::u16string DefaultTopic;
  std::u16string Title;
  uint32_t Lcid = 0;
  int32_t Language = 0;
  bool IsFullTextSearch = false;
  std::u16string DefaultWindow;
  bool IsBinaryIndex = true;
  bool IsBinaryTOC = false;
  std::u16string DefaultFont;
  std::vector<CWindowEntry> Windows;
  std::vector<std::u16string> MergeList;
  std::vector<CAliasEntry> AliasList;
  std::vector<std::u16string> Files;

  bool operator==(const CHhpInfo&) const = default;
  // No order: see the top of this file.
  bool operator<(const CHhpInfo&) const { return true; }

  bool Do(Serial::ISerialStream& stream);

  // The .hhp text: [OPTIONS], then [WINDOWS], [MERGE FILES], [FILES],
  // [ALIAS] and [MAP] for those that have entries, each section closed by
  // an empty line, and one more empty line at the end. Linear in the size
  // of the project; the fields are written as they are (see hhp_writer.h for
  // values no .hhp can hold).
  std::u16string ToString() const;

  // Fills options the source project left empty from a window definition:
  // the last window named DefaultWindow (case-sensitive), else the first.
  // Empty IndexFile, ContentsFile, DefaultTopic and Title take the window's
  // IndexFile, TOCFile, HomeFile and TitleBarText. No windows, no change.
  void InitSkippedFields();
};

LOCMODEL_DECLARE_PROP(CHhpInfoProp, CHhpInfo);
