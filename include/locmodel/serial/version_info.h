// The scheme version recorded at the head of every serial stream.
#pragma once

#include <cstdint>
#include <string>

namespace Serial {

class ISerialStream;

class VersionInfo {
 public:
  constexpr VersionInfo(uint32_t major, uint32_t minor, uint32_t build, uint32_t subBuild)
      : major_(major), minor_(minor), build_(build), subBuild_(subBuild) {}

  uint32_t getMajor() const { return major_; }
  uint32_t getMinor() const { return minor_; }
  uint32_t getBuild() const { return build_; }
  uint32_t getSubBuild() const { return subBuild_; }

  bool operator==(const VersionInfo& other) const = default;
  // Lexicographic: major, minor, build, sub-build.
  bool operator<(const VersionInfo& other) const;

  // "major.minor.build", with ".subBuild" only when it is not 0.
  std::u16string ToString() const;
  // Reads up to four dot-separated numbers as scanf's "%d.%d.%d.%d" would;
  // the numbers it cannot read stay 1, 0, 0, 0. Never fails.
  static VersionInfo FromString(const std::u16string& text);

  // Each number in its own node ("Major", "Minor", "Build", "SubBuild"); an
  // absent node leaves its number unchanged. Always true.
  bool Do(ISerialStream& stream);

 private:
  uint32_t major_, minor_, build_, subBuild_;
};

// Stands for "no version given": BinarySerialOut writes CURRENT_SCHEME_VERSION
// in its place.
inline constexpr VersionInfo UNDEFINED_SCHEME_VERSION{1, 0, 0, 0};
// The version of the data this library writes.
inline constexpr VersionInfo CURRENT_SCHEME_VERSION{9, 0, 8298, 0};

}  // namespace Serial
