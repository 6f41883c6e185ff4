// Status: the outcome of a file-level operation of the library. Every
// function that opens, reads or writes a file returns one: ok, or the kind of
// failure with a one-line reason in words and the file it concerns.
//
//   const locmodel::Status status = locmodel::LoadProject(path, root);
//   if (!status.ok()) std::cerr << status.ToString() << '\n';  // "a.lmp: malformed project file"
#pragma once

#include <string>

namespace locmodel {

class Status {
 public:
  enum class Kind {
    kOk,
    kCannotOpen,   // the file could not be opened, read or created
    kMalformed,    // its bytes are not a sound file of the kind expected
    kTooLarge,     // a guard refused: nesting too deep, a file too large
    kBadArgument,  // the request itself cannot be met: an option out of range, a target that exists
    kWriteFailed,  // writing or replacing the file failed
    kDatabase,     // the database engine reported errors
  };

  // Ok.
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(Kind kind, std::u16string path, std::string reason) {
    return Status(kind, std::move(path), std::move(reason));
  }
  static Status CannotOpen(std::u16string path = {}, std::string reason = "cannot open file") {
    return Status(Kind::kCannotOpen, std::move(path), std::move(reason));
  }
  static Status Malformed(std::string reason, std::u16string path = {}) {
    return Status(Kind::kMalformed, std::move(path), std::move(reason));
  }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  // The file, or empty when the operation did not know it (bytes in memory).
  const std::u16string& path() const { return path_; }
  // The one-line reason without the file, or empty when ok.
  const std::string& reason() const { return reason_; }
  // The same status naming `path`: for layers that learn the file only above
  // the one that failed.
  Status WithPath(std::u16string path) const& { return Status(kind_, std::move(path), reason_); }

  // "<path>: <reason>", the reason alone without a path, or "ok".
  std::string ToString() const;

 private:
  Status(Kind kind, std::u16string path, std::string reason)
      : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

  Kind kind_ = Kind::kOk;
  std::u16string path_;
  std::string reason_;
};

}  // namespace locmodel
