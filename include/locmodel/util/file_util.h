// Whole-file reading and writing, folder removal, PE checksums, the
// program's, data and temporary locations, the registry and the last error.
//
// Paths are UTF-16 and may use either separator; they reach the system as
// UTF-8 with "/". A null `const char16_t*` counts as an empty path. Nothing
// throws: failures give the empty, false, -1 or 0 results stated below and
// leave errno saying why, which GetLastErrorStrAndClear turns into text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// --- Whole files -------------------------------------------------------------
// Only regular files count: a directory, FIFO or device "cannot be opened"
// (and opening one never blocks).

// The size in bytes; -1 when the file cannot be opened or is 2 GiB or more.
int GetFileSize(const char16_t* path);

// The whole file, or its first `maxSize` bytes when `maxSize` is not
// negative; `size` receives the count. The buffer is the caller's, freed
// with locmodel::ReleaseBuffer; an empty file gives a non-null buffer of
// size 0. Null (size 0) when the file cannot be opened or read, or when it
// is 2 GiB or more and `maxSize` does not bound it. The buffer grows with
// the bytes that actually arrive, never from a size the system reports.
unsigned char* ReadFile(const char16_t* path, int& size, int maxSize);

// Creates or truncates the file and writes `size` bytes; false when it
// cannot be opened, when not every byte was written, or when closing fails.
bool WriteFile(const char16_t* path, const unsigned char* data, int size);

// Deletes the folder with everything in it, stopping at the first failure.
// Symbolic links are never followed, even when an entry is swapped for one
// during the walk: a link in the tree is removed as a link, and a `path`
// that is itself a link loses only the link. A subfolder without owner
// write permission is given it so that it can be emptied. Neither the stack
// nor the descriptor limit bounds the depth. Failures are not reported
// (errno tells).
void DeleteFolder(const std::u16string& path);

// The PE image checksum of NormalizePath(path): the file's 16-bit
// little-endian words summed with end-around carry (a final odd byte is a
// word with high byte 0), the optional header's CheckSum field counted as
// zero when the headers are valid, folded to 16 bits, plus the file length.
// A file without valid headers is summed whole; 0 for an empty or
// unreadable file.
unsigned long GetChecksum(const std::u16string& path);

namespace locmodel {
// The same checksum over bytes in memory.
uint32_t PeChecksum(const unsigned char* data, size_t size);
}  // namespace locmodel

// --- Locations ---------------------------------------------------------------

// The directory of the running executable, with its trailing "/"; empty when
// it cannot be found.
std::u16string GetProgramDir();

// $XDG_DATA_HOME when set and absolute, else $HOME/.local/share (the home
// from the password database when HOME is unset); not created; empty when
// neither is known.
std::u16string GetLocalAppDataDir();

// The name of a new file "LOCxxxxxx.tmp" in $TMPDIR (when that names a
// directory) or /tmp, which was created and then deleted again; empty when
// no name could be made. Another process may take the name meanwhile:
// callers must create the file exclusively (O_EXCL) and retry on failure.
std::u16string getTempFileName();

namespace locmodel {

struct ReplaceOptions {
  // The new file's data reach the disk before it takes the old one's place,
  // and its name after, so that a crash or power loss leaves either the old
  // or the new file complete. Only for scratch files that a crash may lose
  // should a host turn this off: it costs a disk flush per save.
  bool sync = true;
  // The writer opens only the name it is given, for writing, and nothing
  // beside it (unlike a database, which puts its journal beside the file).
  // The new file then has no name at all until it is complete, where the
  // file system allows it (O_TMPFILE), so that even a killed process leaves
  // nothing behind; the writer gets a /proc/self/fd name.
  bool unnamed = false;
};

// Replaces the file `path` whole or not at all. `write` fills a new file
// beside `path` (same folder, so the rename is one step; never an existing
// name or a link), which then takes its place.
//
// The new file keeps the replaced file's permissions, and its owner and
// group where the process may set them; where there was none (or a
// symbolic link, which is replaced, never followed), it gets 0666 less the
// umask, as open() gives. Anything at `path` that is not a regular file or
// a link (a folder, device, FIFO or socket) is refused before `write` runs.
//
// Where the new file has a name while it is written, the name is
// "<path>.locmodel-XXXXXX" (and `write` may put "<that>-suffix" files
// beside it); the next replacement of `path` removes such files that a
// killed process left behind, never those of a save still running.
//
// Empty on success; otherwise the reason ("cannot create file: ...",
// "cannot write file[: ...]", "cannot replace file: ..."), `path`
// untouched and the new file gone, except that a folder that fails to
// sync after the rename leaves the new file in place.
std::string ReplaceFileWith(const std::u16string& path,
                            const std::function<bool(const std::u16string& newFile)>& write,
                            ReplaceOptions options = {});

}  // namespace locmodel

// --- Registry ----------------------------------------------------------------
// This platform has no registry and no .NET Framework: every read finds no
// key, exactly as on a Windows machine without the keys. The roots exist so
// that ported callers compile.

enum HKEY : uint32_t {
  HKEY_CLASSES_ROOT = 0x80000000u,
  HKEY_CURRENT_USER = 0x80000001u,
  HKEY_LOCAL_MACHINE = 0x80000002u,
  HKEY_USERS = 0x80000003u,
};

// Empty (errno ENOENT).
std::u16string ReadRegistryStr(HKEY root, const char16_t* subKey, const char16_t* name);
// False.
bool IsNetfx10Installed();
bool IsNetfx11Installed();
bool IsNetfx20Installed();
bool IsNetfx30Installed();
bool IsNetfx40Installed();

// --- Errors ------------------------------------------------------------------

// The system's text for the thread's errno ("Success" for none), no line
// end; errno is then cleared.
std::u16string GetLastErrorStrAndClear();
