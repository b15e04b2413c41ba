// fontshot: draws a line of text with a given face and size through plat::Font
// and writes it as a PNG (dark text on white) for a person to look at.
//
//   fontshot [options] FACE POINTS TEXT OUT.png
//     --folder DIR   look for faces in DIR first (as the game's "Fonts/" folder)
//     --no-system    do not ask fontconfig (only the folder)
//     --weight N     weight 1..1000 (--bold is 700)
//     --italic --underline --strike
//     --mono         non-antialiased (quality 3)
//     --no-kern      ignore the font's kerning pairs
#include "platform/gfx/PngFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/encoding/Utf.h"
#include "platform/font/Font.h"
#include "platform/font/FontResolver.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: fontshot [--folder DIR] [--no-system] [--bold|--weight N] [--italic] [--underline]\n"
               "                [--strike] [--mono] [--no-kern] FACE POINTS TEXT OUT.png\n");
  return 2;
}

bool WritePng(const char* path, const plat::FontCanvas& canvas) {
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(canvas.Width()) * static_cast<size_t>(canvas.Height()));
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) pixels.push_back(canvas.Pixel(x, y) | 0xFF000000u);
  return plat::WritePng(path, pixels, static_cast<uint32_t>(canvas.Width()), static_cast<uint32_t>(canvas.Height()),
                        nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  plat::FontRequest request;
  plat::FontResolver resolver;
  bool kern = true;
  std::vector<const char*> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--folder" && i + 1 < argc) {
      resolver.SetFolder(plat::Utf8ToUtf16(argv[++i]));
    } else if (a == "--no-system") {
      resolver.SetUseSystemFonts(false);
    } else if (a == "--bold") {
      request.weight = 700;
    } else if (a == "--weight" && i + 1 < argc) {
      request.weight = std::atoi(argv[++i]);
    } else if (a == "--italic") {
      request.italic = true;
    } else if (a == "--underline") {
      request.underline = true;
    } else if (a == "--strike") {
      request.strikeOut = true;
    } else if (a == "--mono") {
      request.quality = plat::kFontQualityNonAntialiased;
    } else if (a == "--no-kern") {
      kern = false;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return Usage();
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 4) {
    return Usage();
  }
  request.face = plat::Utf8ToUtf16(args[0]);
  request.height = plat::FontHeightFromPoints(std::atoi(args[1]));
  const std::u16string text = plat::Utf8ToUtf16(args[2]);

  plat::Font font;
  if (!font.Create(request, resolver)) {
    std::fprintf(stderr, "fontshot: no font for \"%s\"\n", args[0]);
    return 1;
  }
  plat::FontMetrics m;
  font.GetMetrics(m);
  std::vector<plat::KernPair> pairs;
  if (kern) {
    font.GetKerningPairs(pairs);
  }
  auto kerning = [&](char16_t a, char16_t b) {
    for (const plat::KernPair& p : pairs) {
      if (p.first == a && p.second == b) return p.amount;
    }
    return 0;
  };

  // Pen positions first, so the canvas fits the line with a margin of one em.
  std::vector<int> pens;
  int pen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    pens.push_back(pen);
    int w = 0;
    font.GetCharWidth(text[i], w);
    pen += w + (i + 1 < text.size() ? kerning(text[i], text[i + 1]) : 0);
  }
  const int margin = m.emHeight;
  plat::FontCanvas canvas;
  if (!canvas.Create(pen + 2 * margin, m.height + 2 * margin)) {
    std::fprintf(stderr, "fontshot: line too large\n");
    return 1;
  }
  canvas.Clear(0xFFFFFF);
  for (size_t i = 0; i < text.size(); ++i) {
    font.DrawChar(canvas, margin + pens[i], margin, nullptr, text[i], 0x000000);
  }
  if (!WritePng(args[3], canvas)) {
    std::fprintf(stderr, "fontshot: cannot write %s\n", args[3]);
    return 1;
  }
  std::printf("%s (%s)%s%s: height %d, ascent %d, descent %d, em %d, %zu kerning pairs, %dx%d\n",
              font.Family().c_str(), font.FilePath().c_str(), font.SynthesisedBold() ? " synthesised bold" : "",
              font.SynthesisedItalic() ? " synthesised italic" : "", m.height, m.ascent, m.descent, m.emHeight,
              pairs.size(), canvas.Width(), canvas.Height());
  return 0;
}
