#include "gametext/KGEFontBaker.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "engine/DXLTexture.h"
#include "engine/image/SaveBitmapTGA.h"
#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxTypes.h"

namespace {

bool WriteBytes(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

std::string Hex(u32 v, int digits) {
  char b[16];
  std::snprintf(b, sizeof(b), "%0*X", digits, v);
  return b;
}

std::string Unit(u32 c) { return "U+" + Hex(c & 0xFFFF, 4); }

// The characters as a quoted value.
std::string Quoted(const std::u16string& text) {
  std::string out = "\"";
  for (const char c : plat::Utf16ToUtf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

const char* CharsetName(u32 charset) {
  switch (charset) {
    case 0: return "ansi";
    case 128: return "shiftjis";
    case 129: return "hangul";
    case 130: return "johab";
    case 134: return "gb2312";
    case 136: return "chinesebig5";
    case 161: return "greek";
    case 162: return "turkish";
    case 163: return "vietnamese";
    case 177: return "hebrew";
    case 178: return "arabic";
    case 186: return "baltic";
    case 204: return "russian";
    case 222: return "thai";
    case 238: return "easteurope";
    default: return "default";
  }
}

bool WritePicture(DXLTexture* texture, const std::string& path) {
  const i32 w = texture->GetImageWidth(), h = texture->GetImageHeight();
  if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF || texture->GetFormat() != plat::gfx::D3DFMT_A8R8G8B8) {
    return false;
  }
  const u8* bits = texture->Lock(0);
  if (!bits) return false;
  std::vector<u32> argb(static_cast<size_t>(w) * h);
  for (i32 y = 0; y < h; ++y) {
    const u8* row = bits + static_cast<size_t>(y) * texture->GetLockPitch();
    for (i32 x = 0; x < w; ++x) argb[static_cast<size_t>(y) * w + x] = kis::GetU32LE(row + x * 4);
  }
  texture->Unlock();
  const std::vector<u8> file = DXLEncodeTGA32(static_cast<u32>(w), static_cast<u32>(h), argb.data());
  return WriteBytes(path, file.data(), file.size());
}

}  // namespace

i32 KGEBakeBitmapFont(const KGEWinFont* font, const std::string& picturePath, const std::string& descriptionPath,
                      const std::string& pictureName) {
  if (!font || !font->IsBuilt() || !font->GetTexture() || font->GetHeight() != font->GetCellHeight()) {
    return KGE_E_FAIL;
  }
  if (!WritePicture(font->GetTexture(), picturePath)) return KGE_E_FAIL;

  const KGEGLYPH* glyphs = font->GetGlyphs();
  const u32 count = font->GetGlyphCount();
  std::u16string chars;
  std::string widths, offsets, cells, cellOf, kerning;
  bool ownCells = true;
  for (u32 i = 0; i < count; ++i) {
    const KGEGLYPH& g = glyphs[i];
    const std::string sep = i == 0 ? "" : ", ";
    chars.push_back(static_cast<char16_t>(g.code));
    widths += sep + std::to_string(g.advance);
    offsets += sep + "(" + std::to_string(g.xOffset) + ", " + std::to_string(g.yOffset) + ")";
    cellOf += sep + std::to_string(g.image);
    ownCells = ownCells && g.image == i;
    for (u32 k = g.kernStart; k < g.kernStart + g.kernCount && k < font->GetKerningCount(); ++k) {
      const KGEKERNPAIR& p = font->GetKerningPairs()[k];
      if (p.second >= count) continue;
      kerning += std::string(kerning.empty() ? "" : ", ") + "(" + Unit(g.code) + ", " + Unit(glyphs[p.second].code) +
                 ", " + std::to_string(p.amount) + ")";
    }
  }
  for (u32 i = 0; i < font->GetImageCount(); ++i) {
    const KGEGLYPHIMAGE& c = font->GetImages()[i];
    cells += std::string(i == 0 ? "" : ", ") + "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
             std::to_string(c.width) + ")";
  }

  std::string d = "\xEF\xBB\xBF// Bitmap font made from a system font\r\nglyphs {\r\n";
  auto key = [&](const std::string& name, const std::string& value) { d += "\t" + name + " = " + value + "\r\n"; };
  key("image", Quoted(plat::Utf8ToUtf16(pictureName)));
  key("height", std::to_string(font->GetCellHeight()));
  if (!cells.empty()) key("glyphs", cells);
  key("charset", CharsetName(font->GetCharset()));
  key("chars", Quoted(chars));
  key("ascent", std::to_string(font->GetAscent()));
  key("space", std::to_string(font->GetSpace()));
  key("defchar", Unit(font->GetDefaultChar()));
  if (!ownCells && count != 0) key("glyphlist", cellOf);
  if (count != 0) {
    key("widthlist", widths);
    key("offsetlist", offsets);
  }
  if (!kerning.empty()) key("kerning", kerning);
  key("tracking", std::to_string(font->GetTracking()));
  key("leading", std::to_string(font->GetLeading()));
  key("color", Hex(font->GetColor(), 8));
  d += "}\r\n";
  return WriteBytes(descriptionPath, d.data(), d.size()) ? KGE_S_OK : KGE_E_FAIL;
}
