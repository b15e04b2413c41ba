#include "platform/headless/Script.h"

#include <algorithm>

#include "platform/os/Clock.h"

namespace plat::headless {

namespace {

// Times compare through the wrap of the 32-bit clock.
bool Due(uint32_t time, uint32_t now) { return static_cast<int32_t>(now - time) >= 0; }
bool Before(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

}  // namespace

Script& Script::At(uint32_t timeMs) {
  cursor_ = timeMs;
  return *this;
}

Script& Script::After(uint32_t ms) {
  cursor_ += ms;
  return *this;
}

// Keeps the list in time order; an action goes behind those of the same time.
Script& Script::Add(std::function<void(WindowSystem&)> run) {
  auto at = std::upper_bound(actions_.begin() + static_cast<std::ptrdiff_t>(next_), actions_.end(), cursor_,
                             [](uint32_t t, const Action& a) { return Before(t, a.time); });
  actions_.insert(at, Action{cursor_, std::move(run)});
  return *this;
}

Script& Script::KeyDown(uint8_t dik) {
  return Add([dik](WindowSystem& w) { w.UserKey(dik, true); });
}

Script& Script::KeyUp(uint8_t dik) {
  return Add([dik](WindowSystem& w) { w.UserKey(dik, false); });
}

Script& Script::Text(std::u16string_view text) {
  return Add([t = std::u16string(text)](WindowSystem& w) { w.UserText(t); });
}

Script& Script::MouseMove(int32_t x, int32_t y) {
  return Add([x, y](WindowSystem& w) { w.UserPointer(Point{x, y}); });
}

Script& Script::ButtonDown(uint32_t button) {
  return Add([button](WindowSystem& w) { w.UserButton(button, true); });
}

Script& Script::ButtonUp(uint32_t button) {
  return Add([button](WindowSystem& w) { w.UserButton(button, false); });
}

Script& Script::Wheel(int32_t delta) {
  return Add([delta](WindowSystem& w) { w.UserWheel(delta); });
}

Script& Script::Activate() {
  return Add([](WindowSystem& w) { w.UserActivate(0); });
}

Script& Script::Deactivate() {
  return Add([](WindowSystem& w) { w.UserDeactivate(); });
}

Script& Script::Minimise() {
  return Add([](WindowSystem& w) { w.UserCommand(0, SC_MINIMIZE); });
}

Script& Script::Restore() {
  return Add([](WindowSystem& w) { w.UserCommand(0, SC_RESTORE); });
}

Script& Script::Close() {
  return Add([](WindowSystem& w) { w.UserClose(0); });
}

void Script::Pump(WindowSystem& windows) {
  const uint32_t now = GetTimeMs();
  // An action may write more of the script; index, never hold an iterator.
  while (next_ < actions_.size() && Due(actions_[next_].time, now)) {
    auto run = std::move(actions_[next_].run);
    ++next_;
    run(windows);
  }
  if (next_ == actions_.size()) Clear();
}

void Script::Clear() {
  actions_.clear();
  next_ = 0;
}

}  // namespace plat::headless
