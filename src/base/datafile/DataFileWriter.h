// kis::BaseDataFileWriter / kis::DataFileWriterW - writing side of the
// sectioned container. Sections are appended one after the other; sub-
// directories are opened and closed around them; the directory tree and its
// offset are written when the file is closed.
//
// Safe save: over an existing file the new content goes to name + ".bak",
// is flushed to the disk, and only then replaces the old file with one atomic
// rename. On any failure the old file is left as it was and the ".bak" file is
// removed; Close reports the real outcome. (When the ".bak" file cannot be
// created, or the name has 256 characters or more, the file is written in
// place, and a failure then deletes it.)
#pragma once

#include <string>

#include "base/datafile/BaseDataFile.h"

namespace kis {

class BaseDataFileWriter : public BaseDataFile {
 public:
  using BaseDataFile::BaseDataFile;

  bool BeginSection(u32 id, u32 subId);  // at the current end of the file
  bool Write(const void* buffer, u32 count);
  // Write, and continue the running CRC-32 over the bytes when one is given.
  bool WriteCrc(const void* buffer, u32 count, u32* runningCrc);
  bool EndSection();  // fails the file when no section is open

  // Opens a new sub-directory of the current one; the sections and
  // directories that follow land in it until EndDirectory.
  bool BeginDirectory(u32 id, u32 subId);
  bool EndDirectory();

 protected:
  bool Header() override;
  bool Finish() override;  // writes the directory and its offset

 private:
  u32 depth_ = 0;
};

class DataFileWriterW final : public BaseDataFileWriter {
 public:
  DataFileWriterW(u32 signature1, u32 signature2, u32 version)
      : BaseDataFileWriter(signature1, signature2, version) {}
  ~DataFileWriterW() override { Close(); }

  bool Open(const wchar* name, bool safe) { return BaseDataFile::Open(name, true, safe, &name_, &bakName_); }
  const std::u16string& GetFileName() const { return name_; }

 protected:
  void Commit() override;

 private:
  std::u16string name_;
  std::u16string bakName_;  // empty unless a safe save is under way
};

// Creates the named file with its header; `safe` saves through ".bak".
// Null on failure. The caller deletes the writer, which closes the file.
DataFileWriterW* CreateDataFileWriterW(const wchar* name, u32 signature1, u32 signature2, u32 version,
                                       bool safe);

}  // namespace kis
