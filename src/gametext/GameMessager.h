// GameMessager - rations the game's messages: a message id may be shown
// again only when at least 10,000 ms have passed since it last was, and at
// most 8 ids are tracked (a ninth new id is refused). While the game's
// messages are switched off (TextServices::messagesOff) every message is
// refused. Times come from the
// platform clock and wrap like it.
#pragma once

#include "base/Types.h"

class GameMessager {
 public:
  static constexpr u32 kMaxIds = 8;
  static constexpr u32 kInterval = 10000;

  GameMessager() = default;
  GameMessager(const GameMessager&) = delete;
  GameMessager& operator=(const GameMessager&) = delete;
  virtual ~GameMessager() = default;

  bool CanSend(u32 id);
  i32 GetCount() const { return count_; }

 private:
  struct Entry {
    u32 id;
    u32 time;
  };
  Entry entries_[kMaxIds] = {};
  i32 count_ = 0;
};
