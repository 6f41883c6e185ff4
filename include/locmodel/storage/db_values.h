// Reading single values out of a project database, and the decoding of
// stored column texts into integers, wide strings and bytes.
//
// Every column comes out of the database as UTF-8 text or null: integers in
// decimal, binary data in SQLite 2's binary text encoding. Failures are posted to the message proxy as storage errors
// (CMessagePanelMsg type 2); nothing here throws, and a failed read leaves
// its output as it was.
#pragma once

#include <string>

#include "locmodel/lang/lang_text.h"  // LoadStr, the text decoder of this family
#include "locmodel/util/str_util.h"   // BufferDeleter, for the buffers below

namespace locmodel::sqlite_api {
struct sqlite;
}  // namespace locmodel::sqlite_api

// `out` = the first column of the first row of `query`, as LoadInt reads it.
// Unchanged when there is no row or the column is null. "IO error: GetIntVal"
// is posted when the query cannot be compiled.
void GetIntVal(locmodel::sqlite_api::sqlite* db, const std::u16string& query, int& out);
// The same for a UTF-8 text ("IO error: GetStrVal").
void GetStrVal(locmodel::sqlite_api::sqlite* db, const std::u16string& query, std::u16string& out);
// The same for encoded bytes ("IO error: GetBinary"): a buffer the caller
// frees with locmodel::ReleaseBuffer (or holds in a std::unique_ptr with
// locmodel::BufferDeleter; never delete[]), with `size` set; null (size
// unchanged) without a row. A text that does not decode gives a buffer of 0
// bytes.
unsigned char* GetBinaryVal(locmodel::sqlite_api::sqlite* db, const std::u16string& query, unsigned int& size);
// The integer `query` yields, or 9999999 when it yields no row.
int GetKey(locmodel::sqlite_api::sqlite* db, const std::u16string& query);

// Posts `message` (an SQLite message, UTF-8) as a storage error and releases
// it with sqlite_freemem. False, and nothing posted, for null.
bool ProcessError(char* message);
// True when the file at `path` starts with the header of an SQLite database:
// SQLite 3 (the databases this library creates) or SQLite 2 (those of the
// older format).
bool IsSQLiteFormat(const std::u16string& path);

// The decimal value of `text`: optional blanks, an optional sign, digits (0
// when there are none); `def` for null or empty text. Digits past the range
// wrap: the value is the low 32 bits of the 64-bit sum. The flag has no
// effect.
int LoadInt(const char* text, int def, bool = false);
// A buffer of strlen(text) + 1 bytes holding the decoded bytes of an
// encoded text, their number in `size` (0 when the text does not decode).
// Null text reads as empty. The flag has no effect. Freed with
// locmodel::ReleaseBuffer (locmodel::BufferDeleter), never delete[].
unsigned char* LoadBinary(const char* text, unsigned int& size, bool = false);
// A buffer of 3 × size + 2 bytes holding the encoded text of `data`,
// NUL-terminated ("x" for no bytes). Freed with locmodel::ReleaseBuffer
// (locmodel::BufferDeleter), never delete[].
unsigned char* EncodeBinary(const unsigned char* data, unsigned int size);

namespace locmodel {
// Posts `text` to the message proxy as a storage error: type 2, no item,
// empty texts, number -1.
void PostStorageError(const std::u16string& text);
}  // namespace locmodel
