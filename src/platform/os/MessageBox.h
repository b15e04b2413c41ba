// A message box for failures the player must see. Without a window system
// that can show one, the text goes to standard error (and into the caller's
// log). Tests install a hook to see what would have been shown.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

constexpr uint32_t kMessageBoxIconError = 0x10;

void ShowMessageBox(uintptr_t window, std::u16string_view text, std::u16string_view caption, uint32_t flags);

using MessageBoxHook = void (*)(uintptr_t window, std::u16string_view text, std::u16string_view caption,
                                uint32_t flags);
void SetMessageBoxHook(MessageBoxHook hook);  // null restores standard error

}  // namespace plat
