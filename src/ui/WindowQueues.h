// MessageWindowQueue and AwardWindowQueue - the pop-up queues of in-game
// messages and award notices as the window manager sees them: stepped once
// per frame and placed again after a change of screen size. The game's
// windows implement them; the game's set-up hands one of each to the window
// manager, which deletes them. Each may have a host window (the level
// panel), which the manager forgets when that window goes away.
#pragma once

class GameWindow;

class WindowQueue {
 public:
  WindowQueue() = default;
  WindowQueue(const WindowQueue&) = delete;
  WindowQueue& operator=(const WindowQueue&) = delete;
  virtual ~WindowQueue() = default;

  // Per frame: the queue's base offset and the stacking of its windows.
  virtual void UpdateOrigin() = 0;
  // After the screen size changed.
  virtual void UpdatePositions() = 0;

  GameWindow* GetHost() const { return host_; }
  void SetHost(GameWindow* host) { host_ = host; }

 private:
  GameWindow* host_ = nullptr;
};

class MessageWindowQueue : public WindowQueue {};
class AwardWindowQueue : public WindowQueue {};
