// The options the tools that make a game system font (KGEWinFont) from a
// face share: where faces are looked for, the style, kerning, the glyph
// colour, an outline in black and extra pixels after every glyph.
// Header-only; include as "common/WinFontOptions.h".
#pragma once

#include <cstdlib>
#include <string>

#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontResolver.h"

namespace tools {

struct WinFontOptions {
  u8 style = 0;
  u32 flags = 0;  // kKGEWinFont... of the options given
  u32 color = 0xFFFFFF;
  i32 tracking = 0;
  DXLOUTLINE outline{};
  bool wholeOutline = false;  // the outline's radius in whole pixels

  // Takes argv[i] (and its value, moving i past it) when it is one of
  //   --folder DIR --no-system --bold --italic --kern --color RRGGBB
  //   --outline R --tracking N
  // and false otherwise. --folder and --no-system go to the default face
  // finder.
  bool Take(int argc, char** argv, int& i) {
    const std::string a = argv[i];
    const bool value = i + 1 < argc;
    if (a == "--folder" && value) {
      plat::DefaultFontResolver().SetFolder(plat::Utf8ToUtf16(argv[++i]));
    } else if (a == "--no-system") {
      plat::DefaultFontResolver().SetUseSystemFonts(false);
    } else if (a == "--bold") {
      style |= kKGEStyleBold;
    } else if (a == "--italic") {
      style |= kKGEStyleItalic;
    } else if (a == "--kern") {
      flags |= kKGEWinFontKerning;
    } else if (a == "--color" && value) {
      color = static_cast<u32>(std::strtoul(argv[++i], nullptr, 16)) & 0xFFFFFF;
    } else if (a == "--outline" && value) {
      const char* r = argv[++i];
      DXLMakeOutline(&outline, 1, wholeOutline ? static_cast<float>(std::atoi(r)) : static_cast<float>(std::atof(r)),
                     0xFF000000u, 1, 0);
      flags |= kKGEWinFontOutline;
    } else if (a == "--tracking" && value) {
      tracking = std::atoi(argv[++i]);
    } else {
      return false;
    }
    return true;
  }
};

}  // namespace tools
