// kis::BaseDataFileReader / kis::DataFileReaderW - reading side of the
// sectioned container. Opening reads the header and the whole directory tree;
// every count in it is checked against the bytes the file really has, every
// section must lie inside the file and the nesting depth is limited, so a
// damaged or hostile file fails cleanly.
// Sections are then opened by (id, sub-id; -1 = any) in the current directory
// and read sequentially or by seeking, never past their end.
#pragma once

#include <string>

#include "base/datafile/BaseDataFile.h"

namespace kis {

class BaseDataFileReader : public BaseDataFile {
 public:
  using BaseDataFile::BaseDataFile;

  bool OpenSection(u32 id, u32 subId);  // a missing section fails the file
  bool HasSection(u32 id, u32 subId);   // the same search, without failing
  // An entry of the current directory; reopening the open one keeps the position.
  bool OpenEntry(const DATAFILEENTRY* entry);
  bool CloseSection();
  u32 GetSectionSize() const;  // size of the open section; 0 without one
  // The directory entry of the open section; null without one or when the
  // file is not in order.
  const DATAFILEENTRY* GetOpenEntry() const { return state_ == 0 ? section_ : nullptr; }

  bool Read(void* buffer, u32 count);
  // Read, then the CRC-32 of the bytes read must equal `crc`.
  bool ReadChecked(void* buffer, u32 count, u32 crc);
  // Read, and continue the running CRC-32 over the bytes when one is given.
  bool ReadCrc(void* buffer, u32 count, u32* runningCrc);
  bool Seek(u32 position);  // up to the section's size
  // Reads `count` bytes at `position` of an entry of any directory of the
  // file, leaving the current directory, the open section and its read
  // position as they were. False, with the file still in order, for an entry
  // that is not the file's or bytes that are not all there.
  bool ReadEntryBytes(const DATAFILEENTRY* entry, u32 position, void* buffer, u32 count);

  bool EnterDirectory(u32 id, u32 subId);
  bool LeaveDirectory();  // at the root this fails the file
  // Absolute file offset of the read position; -1 when not in order or no
  // section is open.
  u32 GetFilePos() const;

 protected:
  bool Header() override;
  bool Finish() override { return true; }
  void Commit() override {}

 private:
  DATAFILEENTRY* FindEntry(u32 id, u32 subId);
  bool OwnsEntry(const DATAFILEDIR* node, const DATAFILEENTRY* entry) const;
  bool ReadDirectory(DATAFILEDIR* node, u32 depth, u64* remaining);

  u64 fileSize_ = 0;
};

class DataFileReaderW final : public BaseDataFileReader {
 public:
  DataFileReaderW(u32 signature1, u32 signature2, u32 version)
      : BaseDataFileReader(signature1, signature2, version) {}
  ~DataFileReaderW() override { Close(); }

  bool Open(const wchar* name) { return BaseDataFile::Open(name, false, &name_, nullptr); }
  const std::u16string& GetFileName() const { return name_; }

 private:
  std::u16string name_;
};

// Opens the named file and reads header and directory; version 0xFFFFFFFF
// accepts any version. Null on any failure. The caller deletes the reader,
// which closes the file.
DataFileReaderW* OpenDataFileReaderW(const wchar* name, u32 signature1, u32 signature2, u32 version);

}  // namespace kis
