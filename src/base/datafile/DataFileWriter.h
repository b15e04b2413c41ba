// kis::BaseDataFileWriter / kis::DataFileWriterW - writing side of the
// sectioned container. Sections are appended one after the other; sub-
// directories are opened and closed around them; the directory tree and its
// offset are written when the file is closed.
//
// Safe save: the new content goes to a temporary file beside the file
// (name + ".bak", or a short name when that one would be too long), is
// flushed to the disk, and only then takes the file's place in one atomic
// rename. This holds for a first save too, so the name never shows a torn
// file, whenever the save stops. When no temporary file can be made the save
// fails at once; on any later failure the temporary file is removed. Either
// way the old file stays byte for byte, and Close reports the real outcome.
// A symbolic link is saved through (its file is replaced, beside it), a
// read-only file is refused, and the replacement keeps the old file's mode
// (see plat::FileReplacement). Without `safe` the file is written in place
// (for files built from scratch); a failure then deletes it.
#pragma once

#include <string>

#include "base/datafile/BaseDataFile.h"
#include "platform/os/FileReplacement.h"

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
  DataFileWriterW(u32 signature1, u32 signature2, u32 version, plat::FileFaults* faults = nullptr)
      : BaseDataFileWriter(signature1, signature2, version), replacement_(faults) {}
  ~DataFileWriterW() override { Close(); }

  bool Open(const wchar* name, bool safe) {
    return BaseDataFile::Open(name, true, &name_, safe ? &replacement_ : nullptr);
  }
  const std::u16string& GetFileName() const { return name_; }

 protected:
  void Commit() override;

 private:
  std::u16string name_;
  plat::FileReplacement replacement_;  // active while a safe save is under way
};

// Creates the named file with its header; `safe` saves through a temporary
// file. Null on failure (for a safe save: also when no temporary file can be
// made or the file is read-only).
// Null on failure. The caller deletes the writer, which closes the file.
// `faults` stands in for the disk's failures (tests); `error` receives the
// system's error of a failed open (0 when it opened).
DataFileWriterW* CreateDataFileWriterW(const wchar* name, u32 signature1, u32 signature2, u32 version,
                                       bool safe, plat::FileFaults* faults = nullptr, int* error = nullptr);

}  // namespace kis
