// The headless backend's user: a list of timed actions played into the
// window system as the installed clock (a FakeClock in tests) reaches their
// times. Every PeekMessage plays what is due, in the order written; actions
// given for the same time run in one go.
//
// Writing a script:
//   script.At(1000).KeyDown(DIK_A).After(50).KeyUp(DIK_A).Text(u"a")
//         .MouseMove(300, 200).ButtonDown(0).After(10).ButtonUp(0)
//         .After(100).Minimise().After(5000).Restore().Close();
// At sets the time of the following actions (absolute clock milliseconds),
// After moves it forward. Positions are screen coordinates. Window actions
// (Minimise, Restore, Close) go to the main window; Activate brings it to the
// front, Deactivate hands the front to another program. Activating a
// minimised window leaves it minimised; restore it to bring it back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os/WindowSystem.h"

namespace plat::headless {

class Script : public EventSource {
 public:
  Script& At(uint32_t timeMs);
  Script& After(uint32_t ms);

  Script& KeyDown(uint8_t dik);
  Script& KeyUp(uint8_t dik);
  Script& Text(std::u16string_view text);   // UTF-16 units, one WM_CHAR each
  Script& MouseMove(int32_t x, int32_t y);
  Script& ButtonDown(uint32_t button);      // 0 left, 1 right, 2 middle
  Script& ButtonUp(uint32_t button);
  Script& Wheel(int32_t delta);              // WHEEL_DELTA per notch
  Script& Activate();
  Script& Deactivate();
  Script& Minimise();
  Script& Restore();
  Script& Close();

  void Pump(WindowSystem& windows) override;
  size_t Pending() const { return actions_.size() - next_; }
  bool Done() const { return Pending() == 0; }
  void Clear();

 private:
  struct Action {
    uint32_t time;
    std::function<void(WindowSystem&)> run;
  };
  Script& Add(std::function<void(WindowSystem&)> run);

  std::vector<Action> actions_;
  size_t next_ = 0;
  uint32_t cursor_ = 0;
};

}  // namespace plat::headless
