// One running copy of the program per folder: an exclusive lock (flock) on
// the file "<name>.lock" in the folder, held until Release or destruction.
// The lock file is the folder's own, so every copy that reaches the folder
// meets it, however the folder's path is written ("//", "/./", a link on
// the way). The first instance also listens on a local socket
// "<name>.sock" beside it; a later instance that finds the lock taken
// connects to it with SignalFirstInstance, and the first one sees each
// connection as a request to bring its window forward
// (TakeForwardRequests; the window system does this when it watches the
// lock). The socket is reached through an address that is short whatever
// the folder's path (see Acquire).
//
// The folder is the caller's: the game's per-user folder (whoever may
// write there has the profiles already), or a private folder for a lock
// of the whole user (PrivateFolder: one that no one else may enter, where
// nobody can take the lock first). In any folder the lock is opened
// without following a link and must be a plain file of this user, made
// 0600; the socket is made 0600 whatever the umask, and only a socket
// (never another file of that name) is removed in its place.
//
// A folder this process may not write into (a read-only per-user folder)
// still takes the lock: the lock file an earlier start made is opened for
// reading (a lock needs no more); where there is none, the folder itself
// is locked, as every copy that cannot make the file does. Such a folder
// has no forward channel.
//
// The lock is per open file, so two locks in one process exclude each other
// as two processes do. The lock file is never removed (removing it would
// let a third instance lock a new file while the second still waits on the
// old one); the socket is removed by its owner. Neither is inherited by
// started programs.
#pragma once

#include <string>
#include <string_view>

namespace plat {

enum class InstanceStatus {
  First,           // this process holds the lock
  AlreadyRunning,  // another instance holds it
  Unavailable      // no folder, or no lock to be had in it (Why)
};

class SingleInstance {
 public:
  // Folder for the lock and socket; empty: DefaultFolder().
  explicit SingleInstance(std::string folder = std::string());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock for the name (the window class name); calling it again
  // while holding a lock releases that one first.
  InstanceStatus Acquire(std::u16string_view name);
  void Release();
  bool Held() const { return lockFd_ >= 0; }
  const std::u16string& Name() const { return name_; }
  const std::string& Why() const { return why_; }  // after Unavailable: what went wrong
  // The lock's path (the folder's when the folder itself is locked).
  std::string LockPath() const;
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
  void Listen();

  std::string folder_;
  std::string why_;
  std::string channelWhy_;
  std::u16string name_;
  std::string fileName_;  // the name made safe for a file name
  int folderFd_ = -1;     // the folder, open while the lock is held
  int lockFd_ = -1;
  int listenFd_ = -1;
  bool folderLocked_ = false;  // the folder itself holds the lock
};

}  // namespace plat
