// One running copy of the program per user: an exclusive lock (flock) on the
// file "<name>-<uid>.lock" in a folder, held until Release or destruction.
// The first instance also listens on a local socket "<name>-<uid>.sock"
// beside it; a
// later instance that finds the lock taken connects to it with
// SignalFirstInstance, and the first one sees each connection as a request
// to bring its window forward (TakeForwardRequests; the window system does
// this when it watches the lock).
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
  Unavailable      // the lock file could not be made; nothing can be said
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

  // From a later instance: asks the holder to come forward. False when
  // nobody listens.
  bool SignalFirstInstance() const;
  // In the holder: the number of requests that arrived since the last call.
  // Never blocks.
  int TakeForwardRequests();

  // $XDG_RUNTIME_DIR, else the temporary folder.
  static std::string DefaultFolder();

 private:
  std::string FilePath(const char* extension) const;

  std::string folder_;
  std::u16string name_;
  std::string fileName_;  // the name made safe for a file name
  int lockFd_ = -1;
  int listenFd_ = -1;
};

}  // namespace plat
