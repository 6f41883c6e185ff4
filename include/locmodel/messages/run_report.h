// The run report: a small binary file in which a run of a tool leaves its
// result code and a text for the process that started it.
//
// Format (little-endian, no header): the result as 4 bytes, then the text as
// UTF-16 code units without terminator or byte-order mark.
#pragma once

#include <cstdint>
#include <string>

namespace MiscUtil {

class RunReportFile {
 public:
  static constexpr uint32_t RES_OK = 0;
  // Longest text Read takes; a longer one is cut.
  static constexpr size_t kMaxTextUnits = 1024;

  RunReportFile& SetFileName(std::u16string name) { fileName_ = std::move(name); return *this; }
  RunReportFile& SetText(std::u16string text) { text_ = std::move(text); return *this; }
  RunReportFile& SetResult(uint32_t result) { result_ = result; return *this; }
  const std::u16string& GetFileName() const { return fileName_; }
  const std::u16string& GetText() const { return text_; }
  uint32_t GetResult() const { return result_; }

  // Creates or truncates the file; false when it cannot be fully written.
  bool Write() const;
  // Takes the result and at most kMaxTextUnits of text (ending at the first
  // zero unit); false, changing nothing, when the file cannot be opened or
  // is shorter than 4 bytes.
  bool Read();
  bool Exists() const;
  bool Delete() const;

 private:
  std::u16string fileName_;
  std::u16string text_;
  uint32_t result_ = RES_OK;
};

// The process-wide report, written when the process ends (if it has a file
// name).
class RunReportFileHolder final : public RunReportFile {
 public:
  static RunReportFileHolder& Instance();
  ~RunReportFileHolder();

 private:
  RunReportFileHolder() = default;
};

}  // namespace MiscUtil
