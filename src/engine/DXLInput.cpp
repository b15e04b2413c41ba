#include "engine/DXLInput.h"

#include "engine/DXLLog.h"
#include "platform/os/WindowSystem.h"

namespace di = plat::input;

DXLInput::~DXLInput() {
  DeleteDevices(kInputMouse | kInputKeyboard | kInputThird);
  di_.reset();
}

bool DXLInput::IsValid() const { return window_ != 0 && window_ != plat::kInvalidWindow && di_ != nullptr; }

i32 DXLInput::InitDirectInput() {
  if (di_) return 0;
  const i32 hr = di::DirectInput8Create(plat::GetModuleHandle(), di::DIRECTINPUT_VERSION, &di_);
  if (di::Failed(hr)) {
    DXLLogDXError(-1, "DirectInput8Create: ", hr);
    di_.reset();
    return hr;
  }
  return 0;
}

i32 DXLInput::CreateDevices(u32 mask) {
  if (!di_) return kInputGeneralFailure;
  if ((mask & kInputMouse) && !mouse_) mouse_ = std::make_unique<DXLMouse>(this);
  if ((mask & kInputKeyboard) && !keyboard_) keyboard_ = std::make_unique<DXLKeyboard>(this);
  return 0;
}

i32 DXLInput::InitDevices(u32 mask) {
  i32 codes = 0;
  if (mask & kInputMouse) {
    if (!mouse_ || mouse_->Create() < 0) codes |= kInputMouseFailed;
  }
  if (mask & kInputKeyboard) {
    if (!keyboard_ || keyboard_->Create() < 0) codes |= kInputKeyboardFailed;
  }
  if (mask & kInputThird) {
    if (!third_ || third_->Create() < 0) codes |= kInputThirdFailed;
  }
  return codes;
}

template <typename Fn>
i32 DXLInput::ForEach(u32 mask, Fn fn) {
  i32 result = 0;
  if ((mask & kInputMouse) && mouse_) result = fn(mouse_.get());
  if ((mask & kInputKeyboard) && keyboard_) result = fn(keyboard_.get());
  if ((mask & kInputThird) && third_) result = fn(third_.get());
  return result;
}

i32 DXLInput::Poll(u32 mask) {
  const u32 both = kInputMouse | kInputKeyboard;
  if ((mask & both) != both || !mouse_ || !keyboard_ || !mouse_->CanPollBuffered() ||
      !keyboard_->CanPollBuffered()) {
    return ForEach(mask, [](DXLInputDevice* d) { return d->Poll(); });
  }
  // Both devices buffered: their events are handled in the order they
  // happened, so a key and a click inside one poll reach the game as made
  // (a Shift pressed before a click counts for it).
  u32 mouseCount = 0, keyCount = 0;
  const i32 mouseStart = mouse_->StartBufferedPoll(&mouseCount);
  const i32 keyStart = keyboard_->StartBufferedPoll(&keyCount);
  u32 m = 0, k = 0;
  while (m < mouseCount || k < keyCount) {
    // Sequence numbers grow through their wrap.
    const bool mouseFirst =
        k == keyCount ||
        (m < mouseCount && static_cast<i32>(mouse_->Event(m).sequence - keyboard_->Event(k).sequence) < 0);
    if (mouseFirst) {
      mouse_->HandleEvent(mouse_->Event(m++));
    } else {
      keyboard_->HandleEvent(keyboard_->Event(k++));
    }
  }
  mouse_->EndBufferedPoll(mouseStart);
  keyboard_->EndBufferedPoll(keyStart);
  return (mask & kInputThird) && third_ ? third_->Poll() : 0;
}

i32 DXLInput::Enable(u32 mask) {
  return ForEach(mask, [](DXLInputDevice* d) { return d->Enable(); });
}

i32 DXLInput::Disable(u32 mask) {
  return ForEach(mask, [](DXLInputDevice* d) {
    d->Disable();
    return 0;
  });
}

i32 DXLInput::ResetState(u32 mask) {
  return ForEach(mask, [](DXLInputDevice* d) {
    d->ResetState();
    return 0;
  });
}

bool DXLInput::HasDevice(u32 bit) const {
  switch (bit) {
    case kInputMouse:
      return mouse_ != nullptr;
    case kInputKeyboard:
      return keyboard_ != nullptr;
    case kInputThird:
      return third_ != nullptr;
    default:
      return false;
  }
}

void DXLInput::DeleteDevices(u32 mask) {
  if (mask & kInputMouse) {
    mouse_.reset();
  }
  if (mask & kInputKeyboard) {
    keyboard_.reset();
  }
  if (mask & kInputThird) {
    third_.reset();
  }
}
