#include "locmodel/config/job_params.h"

#include "items/read_depth.h"
#include "locmodel/util/coding.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/parent_substituter.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/strategies.h"
#include "locmodel/util/file_util.h"

namespace {

// Job files are gzip at this level, fast rather than small: they live only
// for one run.
constexpr uint32_t kJobGzipLevel = 2;

// A member the create-localized record cannot do without: an absent node
// fails the record, where DoNode would leave the member alone.
template <typename T>
bool DoRequired(Serial::ISerialStream& stream, const char16_t* name, T& member) {
  if (!stream.EnterNode(Serial::NodeName(name))) return false;
  const bool ok = Serial::DoValue(stream, member);
  stream.LeaveNode();
  return ok;
}

// Reads one job from `in` with the sequential reader: `body` does the
// record, "Root" must close right after it, and the byte stream is read to
// its end so that a gzip source meets (and checks) its trailer.
bool ReadJob(Serial::IStreamIn& in, const std::function<bool(Serial::ISerialStream&)>& body) {
  Serial::Binary::BinarySerialIn reader(in);
  if (!body(reader)) return false;
  reader.LeaveNode();
  unsigned char rest[4096];
  while (in.read(rest, sizeof rest) > 0) {
  }
  return true;
}

bool ReadJobFile(const std::u16string& path, const std::function<bool(Serial::IStreamIn&)>& load) {
  Serial::GZFileStreamIn in(path);
  const bool ok = load(in);
  if (in.HasError()) throw Serial::Exceptions::FormatIO();
  return ok;
}

// What a save of either record shares: the serial stream over `out`.
bool WriteJob(Serial::IStreamOut& out, const std::function<bool(Serial::ISerialStream&)>& body) {
  Serial::Binary::BinarySerialOut writer(out);
  return body(writer);
}

// Hands a chain that belongs to a substituter back to it, whatever happens
// while the record holding it is written.
struct Lend {
  std::unique_ptr<CResItem>& slot;
  ~Lend() { (void)slot.release(); }
};

locmodel::Status ReplaceJobFile(const std::u16string& path, const locmodel::JobSaveOptions& options,
                                const std::function<bool(Serial::ISerialStream&)>& body,
                                const std::function<bool(const std::u16string&)>& readBack) {
  bool unreadable = false;
  const std::string failure = locmodel::ReplaceFileWith(path, [&](const std::u16string& file) {
    Serial::GZFileStreamOut out(file, kJobGzipLevel);
    if (!out.IsOpen()) return false;
    const bool written = WriteJob(out, body);
    if (!out.Close() || !written) return false;
    if (!options.verify) return true;
    try {
      unreadable = !readBack(file);
    } catch (const Serial::Exceptions::FormatIO&) {
      unreadable = true;
    }
    return !unreadable;
  }, {.sync = options.sync, .unnamed = true});
  if (unreadable)
    return locmodel::Status::Error(locmodel::Status::Kind::kWriteFailed, path, "the job file written does not read back");
  if (!failure.empty()) return locmodel::Status::Error(locmodel::Status::Kind::kWriteFailed, path, failure);
  return locmodel::Status::Ok();
}

template <typename Job>
locmodel::Status LoadChecked(Serial::IStreamIn& in, const std::function<std::string()>& damage,
                             const std::u16string& name, Job& job) {
  locmodel::item_reading::ResetTooDeep();
  bool read = false, malformed = false;
  try {
    read = job.Load(in);
  } catch (const Serial::Exceptions::FormatIO&) {
    malformed = true;
  }
  using locmodel::Status;
  if (const std::string reason = damage(); !reason.empty())
    return Status::Malformed("malformed job file: " + reason, name);
  if (locmodel::item_reading::WasTooDeep())
    return Status::Error(Status::Kind::kTooLarge, name, "malformed job file: " + locmodel::item_reading::TooDeepMessage());
  if (malformed) return Status::Malformed("malformed job file: the data do not follow the job layout", name);
  if (!read) return Status::Malformed("incomplete job file: a member of the record does not read", name);
  return Status::Ok();
}

}  // namespace

bool CCommonParseFileParam::Do(Serial::ISerialStream& stream) {
  using Serial::DoNode;
  DoNode(stream, u"ParseLng", parseLang);
  DoNode(stream, u"NtvLng", nativeLang);
  DoNode(stream, u"ProjectFolder", projectFolder);
  DoNode(stream, u"OriginalFile", originalFile);
  DoNode(stream, u"IsScanForChanges", scanForChanges);
  return true;
}

// ---------------------------------------------------------------- parse

CSerialParseFileParam::CSerialParseFileParam() = default;

CSerialParseFileParam::CSerialParseFileParam(CParseParam& param)
    : CCommonParseFileParam(param),
      substituter_(std::make_unique<CParentSubstituter>(param.GetItem())) {
  item_.reset(substituter_->GetTopParent());
}

CSerialParseFileParam::CSerialParseFileParam(CSerialParseFileParam&& other) noexcept {
  *this = std::move(other);
}

CSerialParseFileParam& CSerialParseFileParam::operator=(CSerialParseFileParam&& other) noexcept {
  if (this == &other) return *this;
  Release();
  static_cast<CCommonParseFileParam&>(*this) = other;
  fileName = other.fileName;
  item_ = std::move(other.item_);
  substituter_ = std::move(other.substituter_);
  fileItem_ = other.fileItem_;
  other.fileItem_ = nullptr;  // it pointed into the chain that moved
  return *this;
}

CSerialParseFileParam::~CSerialParseFileParam() { Release(); }

void CSerialParseFileParam::Release() {
  // A substituter owns its chain: forget the item before it goes.
  if (substituter_) (void)item_.release();
  substituter_.reset();
  item_.reset();
  fileItem_ = nullptr;
}

CResItem* CSerialParseFileParam::GetFileItem() const {
  if (!fileItem_ && item_) {
    CResItem* at = item_.get();
    while (!at->GetResItems().empty()) at = at->GetResItems()[0];
    fileItem_ = at;
  }
  return fileItem_;
}

bool CSerialParseFileParam::DoMembers(Serial::ISerialStream& stream, bool& itemRead) {
  if (stream.IsReading()) Release();
  CCommonParseFileParam::Do(stream);
  itemRead = DoRequired(stream, u"Item", item_);
  Serial::DoNode(stream, u"FileName", fileName);
  return true;
}

bool CSerialParseFileParam::Do(Serial::ISerialStream& stream) {
  bool itemRead = false;
  return DoMembers(stream, itemRead);
}

bool CSerialParseFileParam::Save(const std::u16string& path, const std::u16string& fileName,
                                 CParseParam& param) {
  CSerialParseFileParam job(param);
  job.fileName = fileName;
  Serial::GZFileStreamOut out(path, kJobGzipLevel);
  return WriteJob(out, [&](Serial::ISerialStream& s) { return job.Do(s); });
}

locmodel::Status CSerialParseFileParam::SaveChecked(const std::u16string& path,
                                                    const std::u16string& fileName, CParseParam& param,
                                                    const locmodel::JobSaveOptions& options) {
  CSerialParseFileParam job(param);
  job.fileName = fileName;
  return ReplaceJobFile(
      path, options, [&](Serial::ISerialStream& s) { return job.Do(s); },
      [](const std::u16string& file) { return CSerialParseFileParam().Load(file); });
}

bool CSerialParseFileParam::Load(const std::u16string& path) {
  return ReadJobFile(path, [&](Serial::IStreamIn& in) { return Load(in); });
}

bool CSerialParseFileParam::Load(Serial::IStreamIn& in) {
  fileItem_ = nullptr;
  CSerialParseFileParam loaded;
  bool itemRead = false;
  if (!ReadJob(in, [&](Serial::ISerialStream& s) { return loaded.DoMembers(s, itemRead); }) || !itemRead)
    return false;
  *this = std::move(loaded);
  return true;
}

// ---------------------------------------------------------------- create-localized

bool CCreateLocalizedParam::Do(Serial::ISerialStream& stream) {
  using Serial::DoNode;
  DoNode(stream, u"ntv_lng", nativeLang);
  DoNode(stream, u"tgt_lng", targetLang);
  DoNode(stream, u"cProjectDir", projectDir);
  DoNode(stream, u"cTgtCultureName", targetCultureName);
  DoNode(stream, u"TgtLangs", targetLangs);
  return true;
}

CreateLocalizedTempFile::CreateLocalizedTempFile() = default;

CreateLocalizedTempFile::CreateLocalizedTempFile(CreateLocalizedTempFile&& other) noexcept {
  *this = std::move(other);
}

CreateLocalizedTempFile& CreateLocalizedTempFile::operator=(CreateLocalizedTempFile&& other) noexcept {
  if (this == &other) return *this;
  fileName = other.fileName;
  originalFileName = other.originalFileName;
  param = other.param;
  fileItemLevel = other.fileItemLevel;
  item_ = std::move(other.item_);
  fileItem_ = other.fileItem_;
  other.fileItem_ = nullptr;  // it pointed into the chain that moved
  return *this;
}

CreateLocalizedTempFile::~CreateLocalizedTempFile() = default;

CResItem* CreateLocalizedTempFile::GetFileItem() const {
  if (fileItem_ || !item_ || fileItemLevel < 0) return fileItem_;
  CResItem* at = item_.get();
  // The level comes from the file: walk only as far as the chain goes.
  for (int i = 0; i < fileItemLevel; ++i) {
    if (at->GetResItems().empty()) return nullptr;
    at = at->GetResItems()[0];
  }
  return fileItem_ = at;
}

bool CreateLocalizedTempFile::Do(Serial::ISerialStream& stream) {
  if (stream.IsReading()) item_.reset(), fileItem_ = nullptr;
  return DoRequired(stream, u"FileName", fileName) &&
         DoRequired(stream, u"OriginalFileName", originalFileName) &&
         DoRequired(stream, u"Param", param) &&
         DoRequired(stream, u"FileItemLevel", fileItemLevel) &&
         DoRequired(stream, u"Item", item_);
}

void CreateLocalizedTempFile::WithJob(CResItem& item, const std::u16string& fileName,
                                      const std::u16string& originalFileName,
                                      const CCreateLocalizedParam& param,
                                      const std::function<void(CreateLocalizedTempFile&)>& use) {
  CParentSubstituter substituter(item);
  CreateLocalizedTempFile job;  // destroyed before the substituter restores the tree
  job.fileName = fileName;
  job.originalFileName = originalFileName;
  job.param = param;
  job.fileItemLevel = substituter.GetItemLevel();
  job.item_.reset(substituter.GetTopParent());
  const Lend lend{job.item_};
  use(job);
}

bool CreateLocalizedTempFile::Save(const std::u16string& path, const std::u16string& fileName,
                                   const std::u16string& originalFileName, CResItem& item,
                                   const CCreateLocalizedParam& param) {
  bool ok = false;
  WithJob(item, fileName, originalFileName, param, [&](CreateLocalizedTempFile& job) {
    Serial::GZFileStreamOut out(path, kJobGzipLevel);
    ok = WriteJob(out, [&](Serial::ISerialStream& s) { return job.Do(s); });
  });
  return ok;
}

locmodel::Status CreateLocalizedTempFile::SaveChecked(const std::u16string& path,
                                                      const std::u16string& fileName,
                                                      const std::u16string& originalFileName,
                                                      CResItem& item, const CCreateLocalizedParam& param,
                                                      const locmodel::JobSaveOptions& options) {
  locmodel::Status status;
  WithJob(item, fileName, originalFileName, param, [&](CreateLocalizedTempFile& job) {
    status = ReplaceJobFile(
        path, options, [&](Serial::ISerialStream& s) { return job.Do(s); },
        [](const std::u16string& file) { return CreateLocalizedTempFile().Load(file); });
  });
  return status;
}

bool CreateLocalizedTempFile::Load(const std::u16string& path) {
  return ReadJobFile(path, [&](Serial::IStreamIn& in) { return Load(in); });
}

bool CreateLocalizedTempFile::Load(Serial::IStreamIn& in) {
  fileItem_ = nullptr;
  CreateLocalizedTempFile loaded;
  if (!ReadJob(in, [&](Serial::ISerialStream& s) { return loaded.Do(s); })) return false;
  *this = std::move(loaded);
  return true;
}

// ---------------------------------------------------------------- files

namespace locmodel {

JobKind DetectJobKind(Serial::IStreamIn& in, Serial::VersionInfo* scheme) {
  using Item = Serial::Binary::BinaryScanner::Item;
  Serial::Binary::BinaryScanner scanner(in);
  // The head: "Major", "Minor", "Build", "SubBuild" with a 4-byte field
  // each, then "Root". Anything else is no job.
  uint32_t version[4] = {};
  const char16_t* const names[] = {u"Major", u"Minor", u"Build", u"SubBuild"};
  for (int i = 0; i < 4; ++i) {
    if (scanner.Next() != Item::EnterNode || !scanner.NameIs(Serial::NodeName(names[i])) ||
        scanner.Next() != Item::Field || scanner.field_size() != 4 || scanner.Next() != Item::LeaveNode)
      return JobKind::kNone;
    version[i] = locmodel::coding::DecodeFixed32(scanner.field_data());
  }
  if (scanner.Next() != Item::EnterNode || !scanner.NameIs(Serial::NodeName(u"Root")) ||
      scanner.Next() != Item::EnterNode)
    return JobKind::kNone;
  if (scheme) *scheme = Serial::VersionInfo(version[0], version[1], version[2], version[3]);
  if (scanner.NameIs(Serial::NodeName(u"FileName"))) return JobKind::kCreateLocalized;
  if (scanner.NameIs(Serial::NodeName(u"ParseLng"))) return JobKind::kParse;
  return JobKind::kNone;
}

Status LoadJob(Serial::IStreamIn& in, const std::function<std::string()>& damage,
               const std::u16string& name, CreateLocalizedTempFile& job) {
  return LoadChecked(in, damage, name, job);
}

Status LoadJob(Serial::IStreamIn& in, const std::function<std::string()>& damage,
               const std::u16string& name, CSerialParseFileParam& job) {
  return LoadChecked(in, damage, name, job);
}

}  // namespace locmodel
