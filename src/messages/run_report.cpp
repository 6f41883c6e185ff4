#include "locmodel/messages/run_report.h"

#include <cstdio>
#include <memory>

#include "locmodel/util/native_path.h"
#include "locmodel/util/coding.h"
#include "util/platform.h"

namespace MiscUtil {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File Open(const std::u16string& name, const char* mode) {
  return File(std::fopen(locmodel::NativePath(name).c_str(), mode));
}

}  // namespace

bool RunReportFile::Write() const {
  File file = Open(fileName_, "wb");
  if (!file) return false;
  std::string bytes(4 + 2 * text_.size(), '\0');
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  locmodel::coding::EncodeFixed32(out, result_);
  locmodel::coding::EncodeUtf16(out + 4, text_.data(), text_.size());
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  return std::fclose(file.release()) == 0 && written;
}

bool RunReportFile::Read() {
  File file = Open(fileName_, "rb");
  if (!file) return false;
  unsigned char bytes[4 + 2 * kMaxTextUnits];
  const size_t got = std::fread(bytes, 1, sizeof bytes, file.get());
  if (got < 4) return false;
  std::u16string text;
  locmodel::coding::DecodeUtf16(text, bytes + 4, (got - 4) / 2);
  text.resize(std::min(text.size(), text.find(u'\0')));
  result_ = locmodel::coding::DecodeFixed32(bytes);
  text_ = std::move(text);
  return true;
}

bool RunReportFile::Exists() const {
  return locmodel::platform::PathExists(locmodel::NativePath(fileName_));
}

bool RunReportFile::Delete() const {
  return locmodel::platform::RemoveFile(locmodel::NativePath(fileName_));
}

RunReportFileHolder& RunReportFileHolder::Instance() {
  static RunReportFileHolder holder;
  return holder;
}

RunReportFileHolder::~RunReportFileHolder() {
  if (!GetFileName().empty()) Write();
}

}  // namespace MiscUtil
