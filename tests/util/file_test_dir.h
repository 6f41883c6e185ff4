// A fresh folder under the system's temporary directory, removed with all
// it holds when the test ends.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

class TestDir {
 public:
  TestDir() {
    std::string name = (std::filesystem::temp_directory_path() / "locmodel-test-XXXXXX").string();
    path_ = ::mkdtemp(name.data());
  }
  ~TestDir() {
    // Tests leave folders without write permission behind on failure.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error))
      if (it->is_directory(error) && !it->is_symlink(error)) ::chmod(it->path().c_str(), 0700);
    std::filesystem::remove_all(path_, error);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
