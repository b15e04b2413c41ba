// One running copy of the program per user (and per key): an exclusive lock
// (flock) on the file "<name>-<key hash>.lock" in a private folder, held
// until Release or destruction. The first instance also listens on a local
// socket "<name>-<key hash>.sock" beside it; a later instance that finds the
// lock taken connects to it with SignalFirstInstance, and the first one sees
// each connection as a request to bring its window forward
// (TakeForwardRequests; the window system does this when it watches the
// lock).
//
// The folder must be private: a folder (not a link) of this user that no
// one else may enter. Anywhere else another user could take the lock first,
// plant a link under its name or talk to the socket, so such a folder is
// refused (Unavailable, and Why says why). The lock is opened without
// following a link and must be a plain file of this user; the socket is
// made 0600 whatever the umask.
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
  Unavailable      // no private folder, or the lock file could not be made (Why)
};

class SingleInstance {
 public:
  // Folder for the lock and socket; empty: DefaultFolder(). Instances of
  // one name with different keys (the game: its per-user folder) do not
  // exclude each other; empty: one key for all.
  explicit SingleInstance(std::string folder = std::string(), std::string key = std::string());
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
  std::string LockPath() const { return FilePath(".lock"); }

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

  std::string folder_;
  std::string key_;
  std::string why_;
  std::u16string name_;
  std::string fileName_;  // the name made safe for a file name
  int lockFd_ = -1;
  int listenFd_ = -1;
};

}  // namespace plat
