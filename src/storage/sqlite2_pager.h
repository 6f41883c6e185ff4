// Page access for the SQLite 2 reader: where the pages come from, the byte
// order they are written in, and the record of pages already used.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "locmodel/storage/sqlite2_file.h"

namespace locmodel::sqlite2 {

// The status of damage found in the file: `reason` says what and where.
inline Status Malformed(const std::string& reason) {
  return Status::Malformed("malformed legacy database: " + reason);
}

// Fixed when the engine was compiled and recorded nowhere in the file; 1024
// is the size every project database has.
constexpr uint32_t kPageSize = 1024;

// The file's pages, from an open file or from memory.
class Pager {
 public:
  // Opens `native_path`; the page count is the length / kPageSize. A length
  // that is not a whole number of pages is refused.
  static Status OpenFile(const std::string& native_path, std::unique_ptr<Pager>* pager);
  static Status FromBytes(std::string bytes, std::unique_ptr<Pager>* pager);
  ~Pager();

  uint32_t page_count() const { return page_count_; }
  bool big_endian() const { return big_endian_; }
  void set_big_endian(bool big) { big_endian_ = big; }

  // The kPageSize bytes of page `number`, which must be 1..page_count(): a
  // pointer into the pager's memory, or into `scratch` (kPageSize bytes)
  // where the page is read from the file. Null when the read fails (the file
  // shrank since it was opened).
  const unsigned char* Read(uint32_t number, unsigned char* scratch) const;

  // Integers of the page and cell headers, in the file's byte order.
  uint16_t U16(const unsigned char* at) const;
  uint32_t U32(const unsigned char* at) const;

 private:
  Pager() = default;
  static Status CheckLength(uint64_t length, uint32_t* page_count);

  std::FILE* file_ = nullptr;
  std::string bytes_;  // the whole file when it came from memory
  uint32_t page_count_ = 0;
  bool big_endian_ = false;
};

// The pages a walk has used. A page reached twice is corruption: this catches
// every loop of child, overflow and free-list links, and a page shared by two
// structures, with one rule.
class PageSet {
 public:
  // Page 1 holds the file header and never belongs to a structure.
  explicit PageSet(uint32_t page_count) : used_(size_t{page_count} + 1) { used_[1] = true; }
  // Takes `page` for the caller; false (with `reason` set) when it is out of
  // range or already taken.
  bool Take(uint32_t page, std::string& reason);

 private:
  std::vector<bool> used_;
};

}  // namespace locmodel::sqlite2
