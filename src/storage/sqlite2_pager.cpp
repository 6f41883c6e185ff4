#include "storage/sqlite2_pager.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "locmodel/util/coding.h"

namespace locmodel::sqlite2 {

Status Pager::CheckLength(uint64_t length, uint32_t* page_count) {
  // The engine would read a partial last page as zero-padded; a project file
  // is always whole pages, so anything else is damage (a truncated copy).
  if (length % kPageSize != 0)
    return sqlite2::Malformed("file length " + std::to_string(length) +
                                    " is not a multiple of " + std::to_string(kPageSize));
  // Page 1 is the header and page 2 the schema root: a database has both.
  if (length < 2 * kPageSize) return sqlite2::Malformed("file shorter than two pages");
  if (length / kPageSize > UINT32_MAX) return sqlite2::Malformed("file too large");
  *page_count = static_cast<uint32_t>(length / kPageSize);
  return Status();
}

Status Pager::OpenFile(const std::string& native_path, std::unique_ptr<Pager>* pager) {
  // A directory opens for reading too, and then reads as nothing.
  std::error_code error;
  if (!std::filesystem::is_regular_file(native_path, error)) return Status::CannotOpen();
  std::unique_ptr<Pager> p(new Pager);
  p->file_ = std::fopen(native_path.c_str(), "rb");
  if (!p->file_) return Status::CannotOpen();
  if (fseeko(p->file_, 0, SEEK_END) != 0) return Status::CannotOpen();
  const off_t length = ftello(p->file_);
  if (length < 0) return Status::CannotOpen();
  Status status = CheckLength(static_cast<uint64_t>(length), &p->page_count_);
  if (status.ok()) *pager = std::move(p);
  return status;
}

Status Pager::FromBytes(std::string bytes, std::unique_ptr<Pager>* pager) {
  std::unique_ptr<Pager> p(new Pager);
  Status status = CheckLength(bytes.size(), &p->page_count_);
  p->bytes_ = std::move(bytes);
  if (status.ok()) *pager = std::move(p);
  return status;
}

Pager::~Pager() {
  if (file_) std::fclose(file_);
}

const unsigned char* Pager::Read(uint32_t number, unsigned char* scratch) const {
  if (number < 1 || number > page_count_) return nullptr;
  const uint64_t offset = uint64_t{number - 1} * kPageSize;
  if (!file_) return reinterpret_cast<const unsigned char*>(bytes_.data()) + offset;
  // One positioned read per page: no seek, and cursors sharing the file
  // never disturb each other's position.
  size_t done = 0;
  while (done < kPageSize) {
    const ssize_t got = pread(fileno(file_), scratch + done, kPageSize - done, static_cast<off_t>(offset + done));
    if (got <= 0) return nullptr;
    done += static_cast<size_t>(got);
  }
  return scratch;
}

uint16_t Pager::U16(const unsigned char* at) const {
  return big_endian_ ? coding::DecodeFixedBigEndian<uint16_t>(at)
                     : coding::DecodeFixed<uint16_t>(at);
}

uint32_t Pager::U32(const unsigned char* at) const {
  return big_endian_ ? coding::DecodeFixedBigEndian<uint32_t>(at)
                     : coding::DecodeFixed<uint32_t>(at);
}

bool PageSet::Take(uint32_t page, std::string& reason) {
  if (page == 0 || page >= used_.size()) {
    reason = "page number " + std::to_string(page) + " out of range";
    return false;
  }
  if (used_[page]) {
    reason = "page " + std::to_string(page) + " used twice";
    return false;
  }
  used_[page] = true;
  return true;
}

}  // namespace locmodel::sqlite2
