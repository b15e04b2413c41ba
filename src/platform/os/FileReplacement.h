// plat::FileReplacement - replacing a file whole or not at all.
//
// The new content goes to a temporary file beside the file it replaces; once
// it is complete and on the disk, one atomic rename puts it in the file's
// place. At no moment does the file's name show a torn file: a save that fails
// or is killed leaves the old file byte for byte (or, for a first save, no
// file at all). A file is never truncated or written into.
//
// - A symbolic link is followed: the file it names is the one replaced (the
//   temporary file goes beside that file), and the link stays a link.
//   Below the per-user folder (HeldFolder.h) no link is followed: one on
//   the way or in the file's place fails Begin with ELOOP, the new file is
//   0600 whatever the umask or the old file's mode, and Begin and Commit
//   fail with ESTALE once the per-user folder's path names another folder
//   (Commit too when that came about at its rename: the file went into the
//   folder moved away).
// - A read-only file (no owner write permission, or not writable by us) and
//   anything that is not a plain file are refused: Begin fails.
// - Elsewhere the replacement keeps the old file's permission bits; a new
//   file gets the usual ones (0666 less the umask).
// - The temporary file is named after the file. Backup: "name.bak", reused
//   (replaced) by the next save when a dead one left it. Unique: "name.~PID.N",
//   one per save, so that saves by several processes never meet; the
//   temporaries of dead processes are removed when the next save begins. When
//   such a name would exceed the file system's name length, a short name
//   made from a hash of the file's name stands in ("~XXXXXXXX.bak" and
//   "~XXXXXXXX.~PID.N").
// - When no temporary file can be made (a read-only folder, a folder in the
//   way, no space or inodes left) Begin fails and nothing changes.
// - A failure keeps the system's error (errno) of the step that failed
//   (Error), so a caller can say why: no space left, not allowed.
// - A FileFaults handed in at construction stands in for the disk's failures.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace plat {

class FileFaults;

class FileReplacement {
 public:
  enum class Temp { Backup, Unique };

  explicit FileReplacement(FileFaults* faults = nullptr) : faults_(faults) {}
  ~FileReplacement() { Abandon(); }
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Prepares to replace `path` and creates the temporary file, open for
  // writing. False (nothing made) when the file cannot be replaced.
  bool Begin(std::u16string_view path, Temp temp);
  bool IsActive() const { return active_; }

  // Writes all the bytes to the temporary file (while this object holds its
  // descriptor).
  bool Write(std::string_view bytes);
  // Hands the temporary file's descriptor over: the caller writes it, pushes
  // it to the disk and closes it before calling Commit. -1 when not held.
  int TakeDescriptor();

  // Puts the temporary file in the file's place (a descriptor still held is
  // synced and closed first). On any failure the temporary file is removed
  // and the old file stays as it was. False when nothing was begun.
  bool Commit();
  // Removes the temporary file; the old file stays. Nothing when inactive.
  void Abandon();

  // The errno value of the last step that failed (0: none failed since the
  // last Begin).
  int Error() const { return error_; }

  const std::string& Target() const { return target_; }        // native path of the file replaced
  const std::string& Temporary() const { return temporary_; }  // native path of the temporary file

 private:
  bool Failed(int error);  // keeps the error; false
  void CloseFolder();
  bool CloseFolder(int error);  // and Failed(error)

  FileFaults* faults_;
  int error_ = 0;
  bool active_ = false;
  bool held_ = false;   // below the per-user folder
  int folderFd_ = -1;   // the file's folder, from Begin to Commit or Abandon
  std::string name_;    // the file's name in it
  std::string tempName_;
  int fd_ = -1;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  std::string target_;
  std::string temporary_;
};

}  // namespace plat
