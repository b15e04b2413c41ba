// plat::HeldFolder - a folder held open through its own descriptor: what is
// done below it through that descriptor reaches that folder, whatever
// becomes of its path (the folder moved away, another put in its place),
// and it can say whether its path still names it.
//
// The game's per-user folder is held so (its single-instance lock is taken
// on it, plat::SingleInstance) and installed as the process's
// (PlatformServices::userFolder). Below it, the calls that change the disk
// (FileReplacement; CreateDirectory, DeleteFile, RemoveDirectory and the
// renames of FileSystem.h; CreateFile and OpenFile for writing, File.h)
// resolve their path from the held descriptor one name at a time
// (HeldPath), never following a link: a link on the way or in the file's
// place fails the call with ELOOP, and nothing is made where a link
// points. What they make there is private whatever the umask: folders
// 0700, files 0600. The calls that save the player's files refuse, with
// ESTALE, once the folder's path names another folder (a restore from a
// backup swapped it while the game ran): nothing is written into the new
// one, whose files another copy of the game may be playing. Opening a file
// for writing (the game's log) goes on into the held folder.
#pragma once

#include <string>
#include <string_view>

namespace plat {

class HeldFolder {
 public:
  HeldFolder() = default;
  ~HeldFolder() { Close(); }
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;

  // Opens the folder for reading (links on its path are followed); false
  // with errno when it cannot be.
  bool Open(const std::string& path);
  // Holds `fd`, a folder opened by the caller (the holder's from now on),
  // as the folder of `path`.
  void Hold(int fd, const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  const std::string& Path() const { return path_; }  // as given to Open
  // Whether the path still names the folder held.
  bool InPlace() const;

 private:
  int fd_ = -1;
  std::string path_;
};

// A path resolved below the process's per-user folder (above). A path that
// is not below it, or no folder is held: Below() is false, and the caller
// uses the path as it stands. Else the folder holding the path's last name
// is opened from the held descriptor, one name at a time without following
// a link (Folder(), Name()), or Error() says why not: ELOOP a link on the
// way, ENOTDIR a file on it, ENOENT a folder missing, EINVAL a ".." in it,
// ESTALE the folder's path names another folder (checked when `inPlace`).
class HeldPath {
 public:
  HeldPath(std::string_view path, bool inPlace);
  HeldPath(std::u16string_view path, bool inPlace);
  ~HeldPath();
  HeldPath(const HeldPath&) = delete;
  HeldPath& operator=(const HeldPath&) = delete;

  bool Below() const { return below_; }
  bool Ok() const { return below_ && error_ == 0; }
  int Folder() const { return folder_; }  // -1 unless Ok()
  const std::string& Name() const { return name_; }
  int Error() const { return error_; }
  // Sets errno to Error() and gives false (for the callers' failures).
  bool Fail() const;

 private:
  bool below_ = false;
  bool own_ = false;  // Folder() was opened here (else it is the held one)
  int folder_ = -1;
  int error_ = 0;
  std::string name_;
};

}  // namespace plat
