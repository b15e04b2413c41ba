// A message box for failures the player must see. Without a window system
// that can show one, the text goes to standard error (and into the caller's
// log). A hook installed in the platform services
// (PlatformServices::messageBoxHook) shows it instead: the program's window
// backend, or a test that sees what would have been shown.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

constexpr uint32_t kMessageBoxIconError = 0x10;

void ShowMessageBox(uintptr_t window, std::u16string_view text, std::u16string_view caption, uint32_t flags);

using MessageBoxHook = void (*)(uintptr_t window, std::u16string_view text, std::u16string_view caption,
                                uint32_t flags);

}  // namespace plat
