// CPrjLangs: the languages of a project, which travel together as the value
// of the configuration property "PrjLangs" (CPrjConfig::PrjLangs) and are
// inherited down the item tree like every configuration value.
//
// One native (source) language, the selected languages the project is
// translated into, the current target language and a secondary language;
// CLangId::NoLang (7777) stands for "none". The setters keep the four
// consistent and refuse, silently, a change that would break a rule; the
// rules look a language up in the selected set by its 16-bit part,
// sign-extended, so only brand-0 entries of the set count as selected.
// Values are read from project files as stored: a value that breaks the
// rules is kept, and each setter applies its rule to what it finds.
#pragma once

#include <utility>

#include "locmodel/config/lang_set.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/props/prop.h"

class CPrjLangs {
 public:
  // No native language, so the property class can build a value from {}.
  CPrjLangs() : CPrjLangs(CLangId::NoLang) {}
  // No target, no secondary, nothing selected.
  explicit CPrjLangs(int native) : native_(native) {}
  // A value exactly as a project file may hold it, no rule applied: for
  // readers of stored forms and for tools that show or rebuild them.
  static CPrjLangs FromStored(int native, int target, int secondary, CLangSet selected) {
    CPrjLangs langs(native);
    langs.target_ = target;
    langs.secondary_ = secondary;
    langs.selected_ = std::move(selected);
    return langs;
  }

  int getNative() const { return native_; }
  int getTarget() const { return target_; }
  int getSecondary() const { return secondary_; }
  const CLangSet& getSelectedLangs() const { return selected_; }

  // Takes `lang` when it is selected, or when it is another brand of the
  // native language (same 16-bit part, another value).
  void setTarget(int lang);
  // As setTarget; NoLang is always taken.
  void setSecondary(int lang);
  // Refuses, as a whole, a set holding the native language's 16-bit part.
  // Otherwise takes the set and moves the other fields into it: with an
  // empty set the secondary becomes NoLang and the target the native
  // language's part (keeping the target's brand); else a target outside
  // the set becomes the part of its smallest element (keeping the target's
  // brand), and a secondary outside it becomes NoLang.
  void setSelectedLangs(const CLangSet& langs);
  // Inserts `lang` with no check at all, the native language included.
  void addSelectedLang(int lang) { selected_.insert(lang); }

  bool operator==(const CPrjLangs& other) const;
  // Project languages have no order.
  bool operator<(const CPrjLangs&) const { return false; }

  // The nodes "Selected", "Target", "Native" and "Secondary", in this order;
  // false at the first one that fails, leaving the rest unread.
  bool Do(Serial::ISerialStream& stream);

 private:
  bool IsSelected(int lang) const;
  bool IsOtherBrandOfNative(int lang) const;

  CLangSet selected_;
  int native_;
  int target_ = CLangId::NoLang;
  int secondary_ = CLangId::NoLang;
};

LOCMODEL_DECLARE_PROP(CPrjLangsProp, CPrjLangs);
