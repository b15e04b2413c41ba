#include "platform/os/Clipboard.h"

#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

// CF_UNICODETEXT text ends at its terminator.
std::u16string_view UpToZero(std::u16string_view text) {
  const size_t zero = text.find(u'\0');
  return zero == std::u16string_view::npos ? text : text.substr(0, zero);
}

}  // namespace

bool Clipboard::Open(WindowHandle owner) {
  if (failOpen_) {
    failOpen_ = false;
    return false;
  }
  if (open_ && holder_ != owner) return false;
  open_ = true;
  holder_ = owner;
  return true;
}

bool Clipboard::Close() {
  if (!open_) return false;
  open_ = false;
  holder_ = 0;
  return true;
}

bool Clipboard::Empty() { return open_ && Store(std::u16string_view()); }

bool Clipboard::SetText(std::u16string_view text) { return open_ && Store(UpToZero(text)); }

std::optional<std::u16string> Clipboard::GetText() {
  if (!open_) return std::nullopt;
  std::u16string text = Load();
  text.resize(UpToZero(text).size());
  if (text.empty()) return std::nullopt;
  return text;
}

bool MemoryClipboard::Store(std::u16string_view text) {
  text_.assign(text);
  return true;
}

std::u16string MemoryClipboard::Load() { return text_; }

Clipboard& GetClipboard() {
  if (Clipboard* installed = GetPlatformServices().clipboard) return *installed;
  static MemoryClipboard fallback;
  return fallback;
}

}  // namespace plat
