// Job records: what a host hands a scanner (parse a file into items) or a
// builder (create the localized version of a file), and the job files that
// carry them between processes.
//
// A job holds the file's item under copies of its ancestors (see
// CParentSubstituter), so that whoever reads it sees the configuration the
// item inherits without the rest of the project. The layout is described in
// doc/job-file.md.
//
// Job files are gzip files (level 2) of one binary serial stream at the
// current scheme version, read back by the sequential reader. The record
// kind is told by the first node inside "Root": "FileName" for a
// create-localized job, "ParseLng" for a parse job (DetectJobKind).
//
// Ownership: a record owns the item chain it read. A parse record made from
// a live item owns the substituter instead, which owns the chain and gives
// the item back to the live tree when the record is destroyed. Records move
// (the pointers pass over and become null in the source) and never copy.
//
// Failure: Save and Do follow the serial convention (false). Load throws
// Serial::Exceptions::FormatIO for bytes that are not a job, and passes on
// a record the sequential reader cannot place (a missing node). The checked
// entry points (SaveChecked, LoadJob) report a locmodel::Status instead.
// Job files are untrusted input: items nest at most CResItem::kMaxReadDepth
// deep, a negative count fails the read, and a file must close "Root" and end
// its gzip stream cleanly (trailer checked), so every truncated or damaged
// file fails.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "locmodel/config/lang_set.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/serial/serial_stream.h"
#include "locmodel/serial/streams.h"
#include "locmodel/util/status.h"

class CResItem;
class CParentSubstituter;

namespace locmodel {

struct JobSaveOptions {
  // As ReplaceOptions::sync (util/file_util.h).
  bool sync = true;
  // Reads the new file back through Load before it replaces the old one.
  bool verify = false;
};

}  // namespace locmodel

// What a scanner and its serial form share.
class CCommonParseFileParam {
 public:
  int parseLang = CLangId::NoLang;     // "ParseLng"
  int nativeLang = CLangId::NoLang;    // "NtvLng"
  std::u16string projectFolder;        // "ProjectFolder"
  bool scanForChanges = false;         // "IsScanForChanges"
  std::u16string originalFile;         // "OriginalFile"

 protected:
  // "ParseLng", "NtvLng", "ProjectFolder", "OriginalFile",
  // "IsScanForChanges", in this order; an absent node leaves its member as
  // it was. Always true.
  bool Do(Serial::ISerialStream& stream);
};

// A parse request for a file item of the live project tree.
class CParseParam : public CCommonParseFileParam {
 public:
  explicit CParseParam(CResItem& item) : item_(&item) {}
  CParseParam(CResItem& item, const CCommonParseFileParam& common)
      : CCommonParseFileParam(common), item_(&item) {}
  CResItem& GetItem() const { return *item_; }

 private:
  CResItem* item_;  // not owned
};

// The serial form of a parse request.
class CSerialParseFileParam : public CCommonParseFileParam {
 public:
  CSerialParseFileParam();
  // Copies the common members; the item of `param` now hangs under copies of
  // its ancestors until this record is destroyed (item events are held back
  // meanwhile). Destroy the record before the project tree is used again.
  explicit CSerialParseFileParam(CParseParam& param);
  // The target first lets go of what it holds, as the destructor does.
  CSerialParseFileParam(CSerialParseFileParam&& other) noexcept;
  CSerialParseFileParam& operator=(CSerialParseFileParam&& other) noexcept;
  // Gives a substituted item back to the live tree, or destroys a chain that
  // was read.
  ~CSerialParseFileParam();

  std::u16string fileName;  // "FileName"

  // The top of the item chain, or null.
  CResItem* GetItem() const { return item_.get(); }
  // From the top, the first child as long as there is one. This walks on
  // below the file item when that item has children of its own (a file
  // already scanned): the result is then its first leaf, not the file item.
  // Cached after the first call.
  CResItem* GetFileItem() const;

  // The common members, "Item" (null flag, then the item's data), then
  // "FileName". Always true; reading replaces the chain.
  bool Do(Serial::ISerialStream& stream);

  // Our job-file pair for parse requests, in the create-localized form:
  // writes the record made from `param` with `fileName` and restores the
  // live tree; the result of Do.
  static bool Save(const std::u16string& path, const std::u16string& fileName, CParseParam& param);
  // The checked save, as CreateLocalizedTempFile::SaveChecked.
  static locmodel::Status SaveChecked(const std::u16string& path, const std::u16string& fileName,
                                      CParseParam& param, const locmodel::JobSaveOptions& options = {});
  // Like CreateLocalizedTempFile::Load; false also when the item could not
  // be read, although Do reports true then.
  bool Load(const std::u16string& path);
  bool Load(Serial::IStreamIn& in);

 private:
  // Do, telling whether the item was read.
  bool DoMembers(Serial::ISerialStream& stream, bool& itemRead);
  void Release();

  std::unique_ptr<CResItem> item_;  // not owned while substituter_ is set
  std::unique_ptr<CParentSubstituter> substituter_;
  mutable CResItem* fileItem_ = nullptr;
};

// The parameters of a create-localized run.
class CCreateLocalizedParam {
 public:
  int nativeLang = CLangId::NoLang;       // "ntv_lng"
  int targetLang = CLangId::NoLang;       // "tgt_lng"
  CLangSet targetLangs;                   // "TgtLangs"
  std::u16string projectDir = u"##";      // "cProjectDir"
  std::u16string targetCultureName = u"##";  // "cTgtCultureName"
  // The host's own value, copied with the record and never serialized.
  int hostValue = 1;

  // "ntv_lng", "tgt_lng", "cProjectDir", "cTgtCultureName", "TgtLangs", in
  // this order; an absent node leaves its member as it was. Always true.
  bool Do(Serial::ISerialStream& stream);
};

// The job file of a create-localized run.
class CreateLocalizedTempFile {
 public:
  CreateLocalizedTempFile();
  CreateLocalizedTempFile(CreateLocalizedTempFile&& other) noexcept;
  CreateLocalizedTempFile& operator=(CreateLocalizedTempFile&& other) noexcept;
  ~CreateLocalizedTempFile();

  std::u16string fileName;          // "FileName"
  std::u16string originalFileName;  // "OriginalFileName"
  CCreateLocalizedParam param;      // "Param"
  int fileItemLevel = 0;            // "FileItemLevel": levels below the top item

  // The top of the item chain, or null.
  CResItem* GetItem() const { return item_.get(); }
  // From the top, the first child fileItemLevel times; null when there is no
  // item, the level is negative or the chain ends before it. Cached after
  // the first call that finds it.
  CResItem* GetFileItem() const;

  // "FileName", "OriginalFileName", "Param", "FileItemLevel", "Item", in this
  // order; false at the first member whose node is absent or whose Do fails.
  bool Do(Serial::ISerialStream& stream);

  // Writes the job for `item` (hung under copies of its ancestors for the
  // call) to a gzip file at level 2 and restores the live tree. The result of
  // Do, even when the file could not be created.
  static bool Save(const std::u16string& path, const std::u16string& fileName,
                   const std::u16string& originalFileName, CResItem& item,
                   const CCreateLocalizedParam& param);
  // The checked save for hosts and tools: the job file is written beside
  // `path` and renamed over it only when every byte was written (and, with
  // options.verify, read back). A file that cannot be created, a short
  // write, a failed close and a failed read-back are errors.
  static locmodel::Status SaveChecked(const std::u16string& path, const std::u16string& fileName,
                                      const std::u16string& originalFileName, CResItem& item,
                                      const CCreateLocalizedParam& param,
                                      const locmodel::JobSaveOptions& options = {});
  // Reads a job file (gzip, or plain as it stands) with the sequential
  // reader: the result of Do. Throws Serial::Exceptions::FormatIO for a file
  // that is absent, malformed, truncated or too deeply nested. The record is
  // replaced only when the whole job was read.
  bool Load(const std::u16string& path);
  // The same from a byte stream, read to its end so that a gzip source
  // checks its trailer; a source that can be corrupt is asked by the caller
  // afterwards (GZFileStreamIn::HasError).
  bool Load(Serial::IStreamIn& in);

 private:
  // Runs `use` on the record of `item`, which hangs under copies of its
  // ancestors for the call; the record borrows that chain.
  static void WithJob(CResItem& item, const std::u16string& fileName,
                      const std::u16string& originalFileName, const CCreateLocalizedParam& param,
                      const std::function<void(CreateLocalizedTempFile&)>& use);

  std::unique_ptr<CResItem> item_;
  mutable CResItem* fileItem_ = nullptr;
};

namespace locmodel {

enum class JobKind { kNone, kCreateLocalized, kParse };

// The kind of job a serial stream holds, from the first node inside "Root";
// kNone for anything else (a project file, damaged bytes). Reads only the
// head of the stream, and gives the stream's scheme version in `scheme` for
// a job.
JobKind DetectJobKind(Serial::IStreamIn& in, Serial::VersionInfo* scheme = nullptr);

// Load with the outcome as a status naming `name`: "malformed job file:
// REASON" for bytes that are no job (damage is asked after the read:
// why the byte source failed, such as damaged or overlong compressed data;
// empty when it did not), "incomplete job
// file: REASON" when the record's members do not all read.
Status LoadJob(Serial::IStreamIn& in, const std::function<std::string()>& damage,
               const std::u16string& name, CreateLocalizedTempFile& job);
Status LoadJob(Serial::IStreamIn& in, const std::function<std::string()>& damage,
               const std::u16string& name, CSerialParseFileParam& job);

}  // namespace locmodel
