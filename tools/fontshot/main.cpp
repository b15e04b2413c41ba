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
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/FontResolver.h"
#include "platform/Utf.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: fontshot [--folder DIR] [--no-system] [--bold|--weight N] [--italic] [--underline]\n"
               "                [--strike] [--mono] [--no-kern] FACE POINTS TEXT OUT.png\n");
  return 2;
}

bool WritePng(const char* path, const plat::FontCanvas& canvas) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.Width()), static_cast<png_uint_32>(canvas.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(canvas.Width()) * 3);
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) {
        const uint32_t p = canvas.Pixel(x, y);
        row[x * 3 + 0] = static_cast<png_byte>(p >> 16);
        row[x * 3 + 1] = static_cast<png_byte>(p >> 8);
        row[x * 3 + 2] = static_cast<png_byte>(p);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
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
