#include "platform/os/MessageBox.h"

#include <cstdio>
#include <string>

#include "platform/encoding/Utf.h"

namespace plat {

namespace {
MessageBoxHook g_hook = nullptr;
}

void ShowMessageBox(uintptr_t window, std::u16string_view text, std::u16string_view caption, uint32_t flags) {
  if (g_hook) return g_hook(window, text, caption, flags);
  const std::string line = Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
}

void SetMessageBoxHook(MessageBoxHook hook) { g_hook = hook; }

}  // namespace plat
