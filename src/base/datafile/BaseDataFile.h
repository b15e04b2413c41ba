// kis::BaseDataFile - the sectioned container behind the resource archives,
// settings, profiles, language cache and font files.
//
// A file is a 20-byte header (two signature words, the constant 16, a version,
// the directory offset), the section bytes one after the other, and at the end
// a directory tree listing each section by (id, sub-id) with its offset and
// size. Every field is a little-endian u32.
//
// Errors are sticky: the first failure records itself, closes the file (a
// writer's partial output is deleted) and every later operation returns false,
// so callers chain operations and test the last result or IsOk().
// Files are limited to 2 GB: positions of 2^31 and beyond fail the file.
// A reader refuses at opening a directory entry whose range does not lie
// inside the file, so a section's size bounds what its readers allocate.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/Types.h"

namespace plat {
class FileReplacement;
}

namespace kis {

// One section of a directory: absolute file offset and size in bytes.
struct DATAFILEENTRY {
  u32 id;
  u32 subId;
  u32 offset;
  u32 size;
};

// A directory node. Children are owned by their parent; the root lives in the
// file object and holds the file's version in its sub-id.
struct DATAFILEDIR {
  u32 id = 0;
  u32 subId = 0;
  DATAFILEDIR* parent = nullptr;
  DATAFILEDIR* next = nullptr;
  DATAFILEDIR* firstChild = nullptr;
  DATAFILEDIR* lastChild = nullptr;
  u32 childCount = 0;
  std::vector<DATAFILEENTRY> entries;
  DATAFILEDIR* returnLink = nullptr;  // the directory current before entering this one

  DATAFILEDIR() = default;
  DATAFILEDIR(const DATAFILEDIR&) = delete;
  DATAFILEDIR& operator=(const DATAFILEDIR&) = delete;
  ~DATAFILEDIR() { FreeChildren(); }

  DATAFILEDIR* AddChild(u32 childId, u32 childSubId);  // appended last
  void FreeChildren();
};

// Directories nest at most this deep (the root is depth 0), in files read and
// written alike.
constexpr u32 kDataFileMaxDepth = 64;
// The largest file position the format allows.
constexpr u64 kDataFileMaxPosition = 0x80000000u;

class BaseDataFile {
 public:
  BaseDataFile(u32 signature1, u32 signature2, u32 version);
  BaseDataFile(const BaseDataFile&) = delete;
  BaseDataFile& operator=(const BaseDataFile&) = delete;
  virtual ~BaseDataFile();

  bool IsOk() const { return state_ == 0; }  // open and no error recorded
  u32 GetPosition() const;                    // read position in the section; -1 when not in order
  u32 GetVersion() const { return root_.subId; }
  // The current directory (sections and children); null when not in order.
  const DATAFILEDIR* GetDirectory() const { return state_ == 0 ? current_ : nullptr; }

  // Finishes the file (a writer writes its directory and commits), closes it
  // and frees the directory tree. True when no error was recorded; on a closed
  // file it repeats the earlier verdict.
  bool Close();
  // Records the first error and closes the file. Always false.
  bool Fail();
  // The system's error (errno) behind the first failure of a writer's file
  // operations, when one was met; 0 otherwise.
  int GetError() const { return error_; }

 protected:
  static constexpr u32 kStateFailed = 1;
  static constexpr u32 kStateClosed = 2;

  virtual bool Header() = 0;  // read or write the header after opening
  virtual bool Finish() = 0;  // runs in Close while the file is in order
  virtual void Commit() = 0;  // runs in Close once, after the handle is closed

  // Opens `name` (at most 259 characters) for reading or writing. A writer
  // given a `replacement` saves safely: it writes a temporary file beside the
  // name, which its Commit puts in the name's place (plat::FileReplacement);
  // when no temporary file can be made the open fails. Without one a writer
  // writes the name itself, never a read-only file.
  bool Open(const wchar* name, bool write, std::u16string* nameOut, plat::FileReplacement* replacement);

  bool ReadBytes(void* buffer, u64 count);
  bool WriteBytes(const void* buffer, u64 count);
  bool SeekFile(u64 position);
  bool GetFileOffset(u64* position);

  // Keeps the first system error for GetError.
  void NoteError(int error) {
    if (error_ == 0) error_ = error;
  }

  u32 state_ = kStateFailed | kStateClosed;
  int error_ = 0;
  std::FILE* file_ = nullptr;
  bool writing_ = false;
  u32 signature1_;
  u32 signature2_;
  DATAFILEDIR root_;
  DATAFILEDIR* current_ = &root_;
  DATAFILEENTRY* section_ = nullptr;
  // Reader: read position inside the open section. Writer: the file position
  // of the header's directory-offset field.
  u64 position_ = 0;
};

// Closes and deletes a reader or writer. False for null or when the file had
// an error (for a writer: when its directory or commit failed).
bool CloseDataFile(BaseDataFile* file);

}  // namespace kis
