// A fixture that gives each test a fresh folder of its own, removed after.
// The process id keeps test runs of other checkouts out of it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "locmodel/util/unicode.h"

namespace testing_support {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("locmodel-") + test->test_suite_name() + "-" + test->name() + "-" +
            std::to_string(getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The path of `name` in the folder, as UTF-8 and as the library's UTF-16.
  std::string In(const std::string& name) const { return (dir_ / name).string(); }
  std::u16string Path(const std::string& name) const { return locmodel::Utf8ToUtf16(In(name)); }

  std::filesystem::path dir_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename Bytes>
std::string WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

}  // namespace testing_support
