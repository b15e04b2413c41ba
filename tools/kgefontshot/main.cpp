// kgefontshot: makes a game font (KGEWinFont) on a headless viewer and writes
// two PNGs for a person to look at: the glyph texture over a dark checker
// board (OUT-glyphs.png) and TEXT drawn with the font, line breaks included,
// on a dark background (OUT-line.png).
//
//   kgefontshot [options] FACE POINTS TEXT OUT
//     --folder DIR      look for faces in DIR first (as the game's "Fonts/")
//     --no-system       do not ask fontconfig (only the folder)
//     --bold --italic   style
//     --kern            use the face's kerning pairs
//     --color RRGGBB    glyph colour (default ffffff)
//     --outline R       outline of radius R in black
//     --shadow DX DY    drop shadow in half-transparent black
//     --tracking N      extra pixels after every glyph
// The glyph set is printable ASCII, Latin-1 and the characters of TEXT.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/ToolViewer.h"
#include "common/WinFontOptions.h"
#include "engine/DXLTexture.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/gfx/PngFile.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: kgefontshot [--folder DIR] [--no-system] [--bold] [--italic] [--kern] [--color RRGGBB]\n"
               "                   [--outline R] [--shadow DX DY] [--tracking N] FACE POINTS TEXT OUT\n");
  return 2;
}

// `pixels` are 0xAARRGGBB rows without padding; written opaque.
bool WriteOpaquePng(const std::string& path, u32 width, u32 height, std::vector<u32> pixels) {
  for (u32& p : pixels) p |= 0xFF000000u;
  return plat::WritePng(path, pixels, width, height, nullptr);
}

// The texture's texels blended over a checker board of two dark greys.
std::vector<u32> Composite(DXLTexture* texture, u32* width, u32* height) {
  std::vector<u32> out;
  const u8* bits = texture->Lock(0);
  if (!bits) return out;
  *width = static_cast<u32>(texture->GetWidth());
  *height = static_cast<u32>(texture->GetHeight());
  out.resize(static_cast<size_t>(*width) * *height);
  for (u32 y = 0; y < *height; ++y) {
    const u32* row = reinterpret_cast<const u32*>(bits + static_cast<size_t>(y) * texture->GetLockPitch());
    for (u32 x = 0; x < *width; ++x) {
      const u32 back = ((x / 8 + y / 8) % 2) ? 0x303030 : 0x202020;
      const u32 p = row[x], a = p >> 24;
      u32 mixed = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const u32 s = (p >> shift) & 0xFF, d = (back >> shift) & 0xFF;
        mixed |= ((s * a + d * (255 - a) + 127) / 255) << shift;
      }
      out[static_cast<size_t>(y) * *width + x] = mixed;
    }
  }
  texture->Unlock();
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  tools::WinFontOptions options;
  KGESHADOW shadow{};
  std::vector<const char*> args;
  for (int i = 1; i < argc; ++i) {
    if (options.Take(argc, argv, i)) continue;
    const std::string a = argv[i];
    if (a == "--shadow" && i + 2 < argc) {
      const i32 dx = std::atoi(argv[++i]);
      const i32 dy = std::atoi(argv[++i]);
      shadow = KGESHADOW{1, dx, dy, 0xA0000000u};
      options.flags |= kKGEWinFontShadow;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return Usage();
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 4) return Usage();
  const std::u16string face = plat::Utf8ToUtf16(args[0]);
  const i32 points = std::atoi(args[1]);
  const std::u16string text = plat::Utf8ToUtf16(args[2]);
  const std::string out = args[3];

  const std::u16string chars = tools::LatinGlyphSet(text);

  // A headless window and device big enough for the line.
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  if (!tools::CreateToolWindow(viewer, u"KgeFontShot")) {
    std::fprintf(stderr, "kgefontshot: no window\n");
    return 1;
  }
  KGEWinFont* raw = nullptr;
  i32 hr = KGECreateWinFont(&viewer, options.flags, points, 0, 1, options.style, 0, 0, options.color, face.c_str(),
                            KGEWinFont::kMeasureSpace, chars.c_str(), static_cast<u32>(chars.size()), u'?',
                            &options.outline, &shadow, options.tracking, 0, 0xFFFFFFFFu, &raw);
  std::unique_ptr<KGEWinFont> font(raw);
  if (hr != 0) {
    std::fprintf(stderr, "kgefontshot: font creation failed (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }
  KGESIZE size{};
  font->MeasureText(&size, text.c_str(), KGEFont::kWholeText);
  const u32 width = static_cast<u32>(std::max(size.cx + 32, 64)), height = static_cast<u32>(std::max(size.cy + 32, 32));

  if (tools::SetToolDisplayMode(viewer, width, height) != 0) {
    std::fprintf(stderr, "kgefontshot: no device\n");
    return 1;
  }
  hr = font->Acquire();
  if (hr != 0) {
    std::fprintf(stderr, "kgefontshot: glyph texture failed (0x%08X)\n", static_cast<unsigned>(hr));
    return 1;
  }

  u32 tw = 0, th = 0;
  const std::vector<u32> glyphs = Composite(font->GetTexture(), &tw, &th);
  if (glyphs.empty() || !WriteOpaquePng(out + "-glyphs.png", tw, th, glyphs)) {
    std::fprintf(stderr, "kgefontshot: cannot write %s-glyphs.png\n", out.c_str());
    return 1;
  }

  viewer.BeginFrame();
  viewer.Clear(0xFF202020u);
  font->DrawTextAt(16.0f, 16.0f, text.c_str());
  viewer.Present();
  plat::gfx::SoftDevice* soft = viewer.GetDevice()->GetSoftDevice();
  std::vector<u32> frame(static_cast<size_t>(width) * height);
  for (u32 y = 0; y < height; ++y)
    for (u32 x = 0; x < width; ++x) frame[static_cast<size_t>(y) * width + x] = soft->FramePixel(x, y);
  if (!WriteOpaquePng(out + "-line.png", width, height, frame)) {
    std::fprintf(stderr, "kgefontshot: cannot write %s-line.png\n", out.c_str());
    return 1;
  }
  std::printf("%u glyphs, %u kerning pairs, height %d, ascent %d, space %d, cell height %d, texture %ux%u, "
              "line %dx%d\n",
              font->GetGlyphCount(), font->GetKerningCount(), font->GetHeight(), font->GetAscent(), font->GetSpace(),
              font->GetCellHeight(), font->GetTextureWidth(), font->GetTextureHeight(), size.cx, size.cy);
  font.reset();
  return 0;
}
