// The desktop's clipboard through SDL: text goes out as UTF-8 and comes back
// as UTF-16 (text that is not valid UTF-8 reads with U+FFFD in place of the
// bad bytes). Needs SDL's video subsystem running, as the SDL session keeps it.
#pragma once

#include "platform/os/Clipboard.h"

namespace plat::sdl2 {

class SdlClipboard : public Clipboard {
 protected:
  bool Store(std::u16string_view text) override;
  std::u16string Load() override;
};

}  // namespace plat::sdl2
