// Builds small SQLite 2.1 database files byte by byte, in either byte order,
// so that tests can make big-endian files and the damage a real engine never
// writes. Only what the tests need: b-tree pages packed from the top,
// overflow chains, row records, page 1 and a one-page schema. ReadRows gives
// a table read back in the same row shape, for comparing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/util/coding.h"

class Sqlite2Builder {
 public:
  static constexpr uint32_t kPage = 1024;

  struct Entry {
    std::string key, data;
    uint32_t left_child = 0;
  };
  using Row = std::vector<std::optional<std::string>>;

  // Pages 1 (header) and 2 (schema root) exist from the start.
  explicit Sqlite2Builder(bool big_endian = false) : big_(big_endian), bytes_(2 * kPage, '\0') {}

  uint32_t AddPage() {
    bytes_.append(kPage, '\0');
    return page_count();
  }
  uint32_t page_count() const { return static_cast<uint32_t>(bytes_.size() / kPage); }
  std::string& bytes() { return bytes_; }

  // Integers in the file's byte order at `offset` of page `page`.
  void Put16(uint32_t page, uint32_t offset, uint16_t v) { Put(page, offset, v); }
  void Put32(uint32_t page, uint32_t offset, uint32_t v) { Put(page, offset, v); }

  static std::string Key(int32_t rowid) {
    std::string key(4, '\0');
    locmodel::coding::EncodeFixedBigEndian<uint32_t>(At(key, 0), static_cast<uint32_t>(rowid) ^ 0x80000000u);
    return key;
  }

  static std::string Record(const Row& columns) {
    std::string body;
    for (const auto& c : columns)
      if (c) body += *c + '\0';
    const size_t n = columns.size() + 1;
    const size_t width = n + body.size() < 0x100 ? 1 : 2 * n + body.size() < 0x10000 ? 2 : 3;
    std::string record(width * n, '\0');
    size_t offset = record.size();
    for (size_t i = 0; i < n; ++i) {
      locmodel::coding::EncodeVarWidth(At(record, width * i), static_cast<uint32_t>(offset), width);
      if (i < columns.size() && columns[i]) offset += columns[i]->size() + 1;
    }
    return record + body;
  }

  // Writes a b-tree page holding `entries` in this order, cells packed from
  // offset 8 and the rest as one free block. Payloads over 236 bytes spill
  // into new overflow pages.
  void WriteNode(uint32_t page, const std::vector<Entry>& entries, uint32_t right_child = 0) {
    std::memset(PageBytes(page), 0, kPage);
    Put32(page, 0, right_child);
    uint32_t offset = 8;
    for (size_t i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      const std::string payload = e.key + e.data;
      const uint32_t size = payload.size() <= 236 ? 12 + ((payload.size() + 3) & ~size_t{3}) : 252;
      if (offset + size > kPage) throw std::logic_error("entries do not fit a page");
      if (i == 0) Put16(page, 4, static_cast<uint16_t>(offset));
      Put32(page, offset, e.left_child);
      Put16(page, offset + 4, static_cast<uint16_t>(e.key.size()));
      Put16(page, offset + 6, static_cast<uint16_t>(i + 1 < entries.size() ? offset + size : 0));
      PageBytes(page)[offset + 8] = static_cast<unsigned char>(e.key.size() >> 16);
      PageBytes(page)[offset + 9] = static_cast<unsigned char>(e.data.size() >> 16);
      Put16(page, offset + 10, static_cast<uint16_t>(e.data.size()));
      std::memcpy(PageBytes(page) + offset + 12, payload.data(), std::min<size_t>(payload.size(), 236));
      if (payload.size() > 236) Put32(page, offset + 248, WriteOverflow(payload.substr(236)));
      offset += size;
    }
    if (offset < kPage) {
      Put16(page, 6, static_cast<uint16_t>(offset));
      Put16(page, offset, static_cast<uint16_t>(kPage - offset));
    }
  }

  // A table with a single leaf root holding `rows` (rowid, columns).
  uint32_t AddTable(const std::string& name, const std::string& sql,
                    const std::vector<std::pair<int32_t, Row>>& rows) {
    const uint32_t root = AddPage();
    std::vector<Entry> entries;
    for (const auto& [rowid, columns] : rows) entries.push_back({Key(rowid), Record(columns), 0});
    WriteNode(root, entries);
    AddSchemaRow({"table", name, name, std::to_string(root), sql});
    return root;
  }
  void AddSchemaRow(const Row& row) { schema_.push_back(row); }

  // Writes page 1 and the schema page; returns the file.
  const std::string& Finish() {
    std::memcpy(PageBytes(1), "** This file contains an SQLite 2.1 database **", 48);
    Put32(1, 48, 0xDAE37528u);
    Put32(1, 64, 4);
    std::vector<Entry> entries;
    for (size_t i = 0; i < schema_.size(); ++i)
      entries.push_back({Key(static_cast<int32_t>(i + 1)), Record(schema_[i]), 0});
    WriteNode(2, entries);
    return bytes_;
  }

 private:
  static unsigned char* At(std::string& s, size_t offset) {
    return reinterpret_cast<unsigned char*>(s.data()) + offset;
  }
  unsigned char* PageBytes(uint32_t page) { return At(bytes_, size_t{page - 1} * kPage); }

  template <typename T>
  void Put(uint32_t page, uint32_t offset, T v) {
    unsigned char* at = PageBytes(page) + offset;
    if (big_) locmodel::coding::EncodeFixedBigEndian<T>(at, v);
    else locmodel::coding::EncodeFixed<T>(at, v);
  }

  uint32_t WriteOverflow(const std::string& rest) {
    const uint32_t first = page_count() + 1;
    for (size_t done = 0; done < rest.size(); done += kPage - 4) {
      const uint32_t page = AddPage();
      const size_t chunk = std::min<size_t>(kPage - 4, rest.size() - done);
      std::memcpy(PageBytes(page) + 4, rest.data() + done, chunk);
      Put32(page, 0, done + chunk < rest.size() ? page + 1 : 0);
    }
    return first;
  }

  bool big_;
  std::string bytes_;
  std::vector<Row> schema_;
};

// Every row of `table` as (rowid, columns), up to its end or the first damage,
// which `status` (when given) receives.
inline std::vector<std::pair<int32_t, Sqlite2Builder::Row>> ReadRows(const locmodel::Sqlite2File& file,
                                                                     const locmodel::Sqlite2Table& table,
                                                                     locmodel::Status* status = nullptr) {
  std::vector<std::pair<int32_t, Sqlite2Builder::Row>> rows;
  auto cursor = file.Rows(table);
  while (cursor.Next()) {
    Sqlite2Builder::Row& row = rows.emplace_back(cursor.row().rowid, Sqlite2Builder::Row{}).second;
    for (const auto& column : cursor.row().columns)
      row.push_back(column ? std::optional<std::string>(*column) : std::nullopt);
  }
  if (status) *status = cursor.status();
  return rows;
}
