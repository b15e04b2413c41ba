// One running copy of the program per folder, held until Release or
// destruction, on one of two things (LockOn):
//
// - The folder itself (Folder: the game's per-user folder): an exclusive
//   lock (flock) on the folder's own descriptor, which the instance holds
//   open (Folder(), a HeldFolder: the process's per-user folder once the
//   frame installs it). Every copy on that folder meets it however the
//   folder's path is written ("//", "/./", a link on the way), whoever it
//   runs as (root, or the player with a folder made read-only) and whatever
//   was done to the files in it: nothing a clean-up removes or replaces, and
//   no file another user left there, stands in for it. A folder moved away
//   and another put in its place takes a lock of its own; the held one says
//   so (HeldFolder::InPlace). A folder of this user that others may enter
//   is closed to them (0700) once locked; one of another user is only
//   reported (FolderNote). With the start of its path that is taken as
//   given (the game's XDG_DATA_HOME), the folder is reached as ssh's strict
//   modes reach a user's files: the given folder is made when missing, and
//   every folder from it up to "/" that other users may write must have
//   the sticky bit; below it each folder is opened from the one above
//   without following a link, made (0700) when missing, and must be this
//   user's (closed to others when it was open to them). Else the lock is
//   Unavailable and Why says, in words the player can act on, what is in
//   the way: whose folder it is, with the command that gives it back when
//   a start as root made it (the topmost such folder below HOME), and
//   where to point XDG_DATA_HOME instead of another user's folder, a link
//   or a folder open to others.
// - A lock file "<name>.lock" in the folder (NamedFile: a private folder of
//   the user for a lock of the whole user, PrivateFolder: one no one else
//   may enter, where nobody can take the lock first), opened without
//   following a link; it must be a plain file of this user, made 0600, and
//   is never removed (that would let a third instance lock a new file while
//   the second still waits on the old one).
//
// A lock call that fails with anything but "would block" (ENOLCK: a file
// system without its lock service) leaves the instance Unguarded: it runs,
// but nothing keeps a second copy off its files (Why says why; the caller
// tells the player). The lock call is the platform services' (lockCall),
// flock unless a test installs another.
//
// The first instance also listens on a local socket "<name>.sock" in the
// folder; a later instance that finds the lock taken connects to it with
// SignalFirstInstance, and the first one sees each connection as a request
// to bring its window forward (TakeForwardRequests; the window system does
// this when it watches the lock). The socket is reached through an address
// that is short whatever the folder's path (see Acquire), made 0600
// whatever the umask, and only a socket (never another file of that name)
// is removed in its place. A folder this process may not write into has no
// forward channel; the lock holds all the same.
//
// The lock is per open file, so two locks in one process exclude each other
// as two processes do. Neither the lock nor the socket is inherited by
// started programs.
#pragma once

#include <string>
#include <string_view>

#include "platform/os/HeldFolder.h"

namespace plat {

enum class InstanceStatus {
  First,           // this process holds the lock
  AlreadyRunning,  // another instance holds it
  Unguarded,       // the lock call failed (Why): this process runs without the lock
  Unavailable      // no folder, or no lock file to be had in it (Why)
};

enum class LockOn { NamedFile, Folder };

class SingleInstance {
 public:
  // Folder for the lock and socket; empty: DefaultFolder(). `given`: in
  // Folder mode, the start of the folder's path taken as given (above).
  explicit SingleInstance(std::string folder = std::string(), LockOn on = LockOn::NamedFile,
                          std::string given = std::string());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock for the name (the window class name); calling it again
  // while holding a lock releases that one first.
  InstanceStatus Acquire(std::u16string_view name);
  void Release();
  bool Held() const { return locked_; }
  bool Unguarded() const { return unguarded_; }
  const std::u16string& Name() const { return name_; }
  const std::string& Why() const { return why_; }  // after Unavailable or Unguarded: what went wrong
  int LockError() const { return lockError_; }      // after Unguarded: the lock call's errno
  // The lock's path (the folder's when the folder itself is locked).
  std::string LockPath() const;
  // The folder, held open while the lock is held (or the instance runs
  // unguarded).
  const HeldFolder& Folder() const { return held_; }
  // In Folder mode, once held: what was done about others' access to the
  // folder ("" when they had none).
  const std::string& FolderNote() const { return folderNote_; }
  // In the holder: whether the forward channel listens; when not,
  // ChannelWhy says why (the lock holds all the same).
  bool Listening() const { return listenFd_ >= 0; }
  const std::string& ChannelWhy() const { return channelWhy_; }

  // From a later instance: asks the holder to come forward. False when
  // nobody listens.
  bool SignalFirstInstance() const;
  // In the holder: the number of requests that arrived since the last call.
  // Never blocks.
  int TakeForwardRequests();

  // A folder only this user may enter: $XDG_RUNTIME_DIR when it is one
  // (absolute, a folder of this user without access for others), else
  // "single-instance-lock" made with mode 0700 in `fallbackParent`. Empty,
  // with the reason in `why`, when neither can be had.
  static std::string PrivateFolder(const std::string& fallbackParent, std::string* why);
  // PrivateFolder beside the running program.
  static std::string DefaultFolder();
  // Whether the folder is private (see above); `why` says why not.
  static bool IsPrivateFolder(const std::string& folder, std::string* why);

 private:
  std::string FilePath(const char* extension) const;
  // The descriptor to lock (the lock file's, opened; the folder's), or -1
  // with why_ set.
  int LockTarget();
  // The folder reached from the given one (above) into held_; false with
  // why_ set.
  bool OpenOwnFolder();
  void CloseToOthers();
  void Listen();

  std::string folder_;
  std::string given_;  // without a closing "/"
  LockOn on_;
  std::string why_;
  std::string channelWhy_;
  std::string folderNote_;
  std::u16string name_;
  std::string fileName_;  // the name made safe for a file name
  HeldFolder held_;       // the folder, open while the lock is held
  int lockFd_ = -1;       // the lock file (NamedFile)
  int listenFd_ = -1;
  int lockError_ = 0;
  bool locked_ = false;
  bool unguarded_ = false;
};

}  // namespace plat
