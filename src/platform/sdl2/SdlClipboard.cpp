#include "platform/sdl2/SdlClipboard.h"

#include <SDL.h>

#include <string>

#include "platform/encoding/Utf.h"

namespace plat::sdl2 {

bool SdlClipboard::Store(std::u16string_view text) {
  return SDL_SetClipboardText(Utf16ToUtf8(text).c_str()) == 0;
}

std::u16string SdlClipboard::Load() {
  if (SDL_HasClipboardText() != SDL_TRUE) return std::u16string();
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return std::u16string();
  std::u16string wide = Utf8ToUtf16(text);
  SDL_free(text);
  return wide;
}

}  // namespace plat::sdl2
