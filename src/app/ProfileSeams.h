// The two seams through which the profiles reach the screens above them,
// installed on the ProfileStore by the game (tests install recording
// fakes): the level-selection map hears of every recorded result, and the
// game's notice queues are cleared when another profile is chosen and show
// a profile operation's error.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

struct LEVELRESULT;

class LevelResultListener {
 public:
  virtual ~LevelResultListener() = default;
  // Before a result changes the profile: the level about to be recorded
  // (the map keeps the level states as they were, for its animation).
  virtual void RememberLevel(i32 level) = 0;
  // After the profile changed: the record of the result.
  virtual void SetLevelResult(const LEVELRESULT& result) = 0;
};

class ProfileNotices {
 public:
  virtual ~ProfileNotices() = default;
  // Another profile becomes current: the message and award queues are emptied.
  virtual void ClearQueues() = 0;
  // A message window with the texts of the language's "profile_errors"
  // section: the caption "error" and the text of `textKey`.
  virtual void ShowError(const wchar* captionKey, const wchar* textKey) = 0;
  // Something about the profiles' files the player must hear of (a damaged
  // file put aside, a save that failed): a message notice of the language's
  // "profile_errors" text `textKey`, each "%1", "%2", ... in it replaced by
  // the argument of that number. The same id again while its notice is up
  // renews that notice.
  virtual void ShowFileNotice(u32 id, const wchar* textKey, const std::vector<std::u16string>& args) = 0;
};
