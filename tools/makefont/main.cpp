// makefont: makes a game bitmap font from a system face. The face is rendered
// as a game system font (KGEWinFont) on a headless viewer; its glyph texture
// becomes OUT.tga and its cells, characters, metrics and kerning OUT.txt, a
// description that loads back as a bitmap font measuring the same.
//
//   makefont [options] FACE POINTS OUT
//     --folder DIR      look for faces in DIR first (as the game's "Fonts/")
//     --no-system       do not ask fontconfig (only the folder)
//     --bold --italic   style
//     --kern            use the face's kerning pairs
//     --color RRGGBB    colour of the glyph texture (default ffffff)
//     --outline R       outline of whole pixels R in black
//     --tracking N      extra pixels after every glyph
//     --leading N       extra pixels between lines
//     --chars TEXT      characters besides printable ASCII and Latin-1
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/ToolViewer.h"
#include "common/WinFontOptions.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/KGEFontBaker.h"
#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: makefont [--folder DIR] [--no-system] [--bold] [--italic] [--kern] [--color RRGGBB]\n"
               "                [--outline R] [--tracking N] [--leading N] [--chars TEXT] FACE POINTS OUT\n");
  return 2;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  tools::WinFontOptions options;
  options.wholeOutline = true;
  i32 leading = 0;
  std::u16string extra;
  std::vector<const char*> args;
  for (int i = 1; i < argc; ++i) {
    if (options.Take(argc, argv, i)) continue;
    const std::string a = argv[i];
    if (a == "--leading" && i + 1 < argc) {
      leading = std::atoi(argv[++i]);
    } else if (a == "--chars" && i + 1 < argc) {
      extra = plat::Utf8ToUtf16(argv[++i]);
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return Usage();
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 3) return Usage();
  const std::u16string face = plat::Utf8ToUtf16(args[0]);
  const i32 points = std::atoi(args[1]);
  const std::string out = args[2];

  const std::u16string chars = tools::LatinGlyphSet(extra);

  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  if (!tools::CreateToolWindow(viewer, u"MakeFont")) {
    std::fprintf(stderr, "makefont: no window\n");
    return 1;
  }
  const i32 mode = tools::SetToolDisplayMode(viewer, 320, 240);
  if (mode != 0) {
    std::fprintf(stderr, "makefont: no device (0x%08X)\n", static_cast<unsigned>(mode));
    return 1;
  }

  KGEWinFont* raw = nullptr;
  i32 hr = KGECreateWinFont(&viewer, options.flags, points, 0, 1, options.style, 0, 0, options.color, face.c_str(),
                            KGEWinFont::kMeasureSpace, chars.c_str(), static_cast<u32>(chars.size()), u'?',
                            &options.outline, nullptr, options.tracking, leading, 0xFFFFFFFFu, &raw);
  std::unique_ptr<KGEWinFont> font(raw);
  if (hr == 0) hr = font->Acquire();
  if (hr != 0) {
    std::fprintf(stderr, "makefont: font failed (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }
  hr = KGEBakeBitmapFont(font.get(), out + ".tga", out + ".txt", BaseName(out) + ".tga");
  if (hr != 0) {
    std::fprintf(stderr, "makefont: cannot write %s.tga and %s.txt\n", out.c_str(), out.c_str());
    return 1;
  }
  std::printf("%u glyphs, %u kerning pairs, height %d, ascent %d, space %d, texture %ux%u\n", font->GetGlyphCount(),
              font->GetKerningCount(), font->GetHeight(), font->GetAscent(), font->GetSpace(),
              font->GetTextureWidth(), font->GetTextureHeight());
  return 0;
}
