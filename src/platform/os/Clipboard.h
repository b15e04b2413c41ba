// The clipboard as the edit box uses it: open it for a window, empty it, put
// UTF-16 text on it or take the text off it, close it. Text is kept in the
// shape of CF_UNICODETEXT: a zero-terminated UTF-16 string, so text handed
// in ends at its first zero unit.
//
// Only one window may hold the clipboard open at a time; opening it again
// for the window that holds it succeeds. Empty, SetText and GetText work
// only while it is open. Where the text lives is up to the implementation:
// MemoryClipboard keeps it in the process (headless runs and tests), the SDL
// backend keeps it on the desktop's clipboard.
//
// Test seam: FailNextOpen makes the next Open fail.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/WindowTypes.h"

namespace plat {

constexpr uint32_t CF_UNICODETEXT = 13;

class Clipboard {
 public:
  Clipboard() = default;
  virtual ~Clipboard() = default;
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

  bool Open(WindowHandle owner);  // false while another window holds it
  bool Close();                   // false when it was not open
  bool Empty();                   // drops the text
  bool SetText(std::u16string_view text);    // replaces the text (up to its first zero)
  std::optional<std::u16string> GetText();   // nothing when closed or without text
  bool IsOpen() const { return open_; }
  WindowHandle Holder() const { return holder_; }

  void FailNextOpen() { failOpen_ = true; }

 protected:
  // The store behind the clipboard; an empty text stands for no text.
  virtual bool Store(std::u16string_view text) = 0;
  virtual std::u16string Load() = 0;

 private:
  bool open_ = false;
  WindowHandle holder_ = 0;
  bool failOpen_ = false;
};

// Keeps the text in the process.
class MemoryClipboard : public Clipboard {
 protected:
  bool Store(std::u16string_view text) override;
  std::u16string Load() override;

 private:
  std::u16string text_;
};

// The installed clipboard (PlatformServices::clipboard); a process-wide
// memory clipboard by default.
Clipboard& GetClipboard();

}  // namespace plat
