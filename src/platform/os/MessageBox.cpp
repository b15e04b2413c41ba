#include "platform/os/MessageBox.h"

#include <cstdio>
#include <string>

#include "platform/encoding/Utf.h"
#include "platform/os/PlatformServices.h"

namespace plat {

void ShowMessageBox(uintptr_t window, std::u16string_view text, std::u16string_view caption, uint32_t flags) {
  if (MessageBoxHook hook = GetPlatformServices().messageBoxHook) return hook(window, text, caption, flags);
  const std::string line = Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
}

}  // namespace plat
