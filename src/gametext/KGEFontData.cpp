#include "gametext/KGEFontData.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEWinFont.h"

namespace {

using kis::GetU16LE;
using kis::GetU32LE;
using kis::PutU16LE;
using kis::PutU32LE;

// Little-endian fields appended to a byte buffer.
class Bytes {
 public:
  void U8(u8 v) { data_.push_back(v); }
  void U16(u16 v) {
    u8 b[2];
    PutU16LE(b, v);
    data_.insert(data_.end(), b, b + 2);
  }
  void U32(u32 v) {
    u8 b[4];
    PutU32LE(b, v);
    data_.insert(data_.end(), b, b + 4);
  }
  void I32(i32 v) { U32(static_cast<u32>(v)); }
  void F32(float v) {
    u32 bits = 0;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  void PatchU32(size_t at, u32 v) { PutU32LE(data_.data() + at, v); }
  u32 Crc(size_t from, size_t to) const { return kis::Crc32(data_.data() + from, to - from); }
  size_t Size() const { return data_.size(); }
  const u8* Data() const { return data_.data(); }

 private:
  std::vector<u8> data_;
};

i32 I32At(const u8* p) { return static_cast<i32>(GetU32LE(p)); }

float F32At(const u8* p) {
  const u32 bits = GetU32LE(p);
  float v = 0;
  std::memcpy(&v, &bits, 4);
  return v;
}

bool WriteAll(kis::BaseDataFileWriter* writer, const Bytes& bytes) {
  return bytes.Size() == 0 || writer->Write(bytes.Data(), static_cast<u32>(bytes.Size()));
}

// Bytes left in the reader's open section.
u64 Remaining(kis::BaseDataFileReader* reader) {
  const u32 pos = reader->GetPosition();
  const u32 size = reader->GetSectionSize();
  return pos == 0xFFFFFFFFu || pos > size ? 0 : static_cast<u64>(size) - pos;
}

bool ReadSignature(kis::BaseDataFileReader* reader, u32 sig1, u32 sig2) {
  u8 b[8];
  return reader->Read(b, 8) && GetU32LE(b) == sig1 && GetU32LE(b + 4) == sig2;
}

// Reads `size` bytes checked against `crc`; nothing is read for size 0.
bool ReadArray(kis::BaseDataFileReader* reader, u64 size, u32 crc, std::vector<u8>* out) {
  out->clear();
  if (size == 0) return true;
  if (size > Remaining(reader)) return false;
  out->resize(static_cast<size_t>(size));
  return reader->ReadChecked(out->data(), static_cast<u32>(size), crc);
}

void PutOutline(Bytes& b, const DXLOUTLINE* o) {
  const DXLOUTLINE z{};
  if (!o) o = &z;
  b.U32(o->mode);
  b.F32(o->radius);
  b.U32(o->colour);
  b.U8(o->strength);
  b.U8(0);
  b.U16(0);
  b.U32(o->soft);
}

DXLOUTLINE OutlineAt(const u8* p) {
  DXLOUTLINE o{};
  o.mode = GetU32LE(p);
  o.radius = F32At(p + 4);
  o.colour = GetU32LE(p + 8);
  o.strength = p[12];
  o.soft = GetU32LE(p + 16);
  return o;
}

void PutShadow(Bytes& b, const KGESHADOW* s) {
  const KGESHADOW z{};
  if (!s) s = &z;
  b.U32(s->mode);
  b.I32(s->x);
  b.I32(s->y);
  b.U32(s->color);
}

KGESHADOW ShadowAt(const u8* p) { return KGESHADOW{GetU32LE(p), I32At(p + 4), I32At(p + 8), GetU32LE(p + 12)}; }

}  // namespace

// --- System fonts ---------------------------------------------------------------------

i32 KGEWriteWinFontData(kis::BaseDataFileWriter* writer, const KGEWinFont* font) {
  if (!writer || !font) return KGE_E_FAIL;
  const u32 n = font->GetGlyphCount();
  Bytes chars;
  for (u32 i = 0; i < n; ++i) chars.U16(font->GetGlyphs()[i].code);

  const KGEWINFONTPARAMS& p = font->GetParams();
  Bytes h;
  h.U32(kKGEWinFontSignature1);
  h.U32(kKGEWinFontSignature2);
  const size_t base = h.Size();
  h.U32(kKGEWinFontHeaderSize);
  h.U32(0);  // header CRC, below
  h.I32(p.size);
  h.I32(p.weight);
  h.U32(p.charset);
  h.U8(p.style);
  h.U8(p.pitchAndFamily);
  h.U8(p.quality);
  h.U8(0);
  h.U32(p.color);
  for (u32 i = 0; i < 32; ++i) h.U16(p.face[i]);
  h.U32(font->GetFlags());
  h.I32(font->GetSpaceParam());
  h.U32(font->GetDefaultChar());
  h.U32(n);
  h.U32(2 * n);
  h.U32(chars.Crc(0, chars.Size()));
  h.I32(font->GetTracking());
  h.I32(font->GetLeading());
  h.U32(font->GetColor());
  PutOutline(h, font->GetOutline());
  PutShadow(h, font->GetShadow());
  // The check covers bytes 8 to 155 of the header, not the last eight.
  h.PatchU32(base + 4, h.Crc(base + 8, base + 156));
  if (!WriteAll(writer, h) || !WriteAll(writer, chars)) return KGE_E_FAIL;
  return KGE_S_OK;
}

i32 KGELoadWinFont(DXLViewer* viewer, kis::BaseDataFileReader* reader, KGEWinFont** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  if (!reader || !ReadSignature(reader, kKGEWinFontSignature1, kKGEWinFontSignature2)) return KGE_E_FAIL;
  u8 h[kKGEWinFontHeaderSize];
  if (!reader->Read(h, kKGEWinFontHeaderSize)) return KGE_E_FAIL;
  if (GetU32LE(h) != kKGEWinFontHeaderSize || GetU32LE(h + 4) != kis::Crc32(h + 8, 148)) return KGE_E_FAIL;

  KGEWINFONTPARAMS params{};
  params.size = I32At(h + 8);
  params.weight = I32At(h + 12);
  params.charset = GetU32LE(h + 16);
  params.style = h[20];
  params.pitchAndFamily = h[21];
  params.quality = h[22];
  params.color = GetU32LE(h + 24);
  for (u32 i = 0; i < 32; ++i) params.face[i] = GetU16LE(h + 28 + 2 * i);
  const u32 flags = GetU32LE(h + 92);
  const i32 space = I32At(h + 96);
  const u32 defaultChar = GetU32LE(h + 100);
  const u32 n = GetU32LE(h + 104);
  const u32 listSize = GetU32LE(h + 108);
  const u32 listCrc = GetU32LE(h + 112);
  const DXLOUTLINE outline = OutlineAt(h + 128);
  const KGESHADOW shadow = ShadowAt(h + 148);

  if (static_cast<u64>(listSize) != 2ull * n) return KGE_E_FAIL;
  std::vector<u8> list;
  if (n != 0 && !ReadArray(reader, listSize, listCrc, &list)) return KGE_E_FAIL;
  std::vector<wchar> chars(n + 1u, 0);
  for (u32 i = 0; i < n; ++i) chars[i] = GetU16LE(list.data() + 2 * i);

  KGEWinFont* font = new (std::nothrow) KGEWinFont(viewer);
  if (!font) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  const i32 hr = font->Create(flags, params, space, defaultChar, n, chars.data(), &outline, &shadow);
  if (hr < 0) {
    delete font;
    return hr;
  }
  font->SetStyle(I32At(h + 116), I32At(h + 120), GetU32LE(h + 124));
  *out = font;
  return KGE_S_OK;
}

// --- Bitmap fonts ---------------------------------------------------------------------

i32 KGEBitmapFont::SaveToDataFile(kis::BaseDataFileWriter* writer) {
  if (!writer) return KGE_E_FAIL;
  Bytes cells;
  for (u32 i = 0; i < imageCount_; ++i) {
    const KGEGLYPHIMAGE& c = images_[i];
    cells.I32(c.x);
    cells.I32(c.y);
    cells.I32(c.width);
    cells.U8(c.visible);
    cells.U8(0);
    cells.U16(0);
  }
  Bytes grid;
  if (grid_) {
    const KGEGLYPHLAYOUT& g = *grid_;
    grid.U32(g.flags);
    grid.I32(g.hskip);
    grid.I32(g.vskip);
    for (i32 v : {g.rect.left, g.rect.top, g.rect.right, g.rect.bottom}) grid.I32(v);
    for (i32 v : {g.borders.left, g.borders.top, g.borders.right, g.borders.bottom}) grid.I32(v);
  }
  Bytes glyphs;
  for (u32 i = 0; i < glyphCount_; ++i) {
    const KGEGLYPH& g = glyphs_[i];
    glyphs.U16(g.code);
    glyphs.U16(g.index);
    glyphs.U32(g.image);
    glyphs.U32(g.hasImage);
    glyphs.I32(g.advance);
    glyphs.I32(g.xOffset);
    glyphs.I32(g.yOffset);
    glyphs.U32(g.kernCount);
    glyphs.U32(g.kernStart);
  }
  Bytes pairs;
  for (u32 i = 0; i < kernCount_; ++i) {
    pairs.U32(kerning_[i].second);
    pairs.I32(kerning_[i].amount);
  }

  Bytes h;
  h.U32(kKGEBitmapFontSignature1);
  h.U32(kKGEBitmapFontSignature2);
  const size_t base = h.Size();
  h.U32(kHeaderSize);
  h.U32(0);  // header CRC, below
  h.I32(cellHeight_);
  h.U32(imageCount_);
  h.U32(static_cast<u32>(cells.Size()));
  h.U32(static_cast<u32>(grid.Size()));
  h.U32(cells.Crc(0, cells.Size()));
  h.U32(grid.Crc(0, grid.Size()));
  h.U32(charset_);
  h.I32(height_);
  h.I32(ascent_);
  h.I32(space_);
  h.U32(defaultChar_);
  h.U32(glyphCount_);
  h.U32(static_cast<u32>(glyphs.Size()));
  h.U32(glyphs.Crc(0, glyphs.Size()));
  h.U32(kernCount_);
  h.U32(static_cast<u32>(pairs.Size()));
  h.U32(pairs.Crc(0, pairs.Size()));
  h.I32(tracking_);
  h.I32(leading_);
  h.U32(color_);
  // The check covers bytes 8 to 79 of the header, not the last eight.
  h.PatchU32(base + 4, h.Crc(base + 8, base + 80));
  if (!WriteAll(writer, h) || !WriteAll(writer, cells) || !WriteAll(writer, grid) || !WriteAll(writer, glyphs) ||
      !WriteAll(writer, pairs)) {
    return KGE_E_FAIL;
  }
  return KGE_S_OK;
}

i32 KGEBitmapFont::ReadData(kis::BaseDataFileReader* reader) {
  u8 h[kHeaderSize];
  if (!reader->Read(h, kHeaderSize)) return KGE_E_FAIL;
  if (GetU32LE(h) != kHeaderSize || GetU32LE(h + 4) != kis::Crc32(h + 8, 72)) return KGE_E_FAIL;

  // Cells: the count is capped and the array must be exactly that many.
  u32 cellCount = GetU32LE(h + 12);
  if (cellCount > kMaxGlyphs) cellCount = kMaxGlyphs;
  if (GetU32LE(h + 16) != 16u * cellCount) return KGE_E_FAIL;
  std::vector<u8> bytes;
  if (!ReadArray(reader, 16u * cellCount, GetU32LE(h + 24), &bytes)) return KGE_E_FAIL;
  i32 hr = AllocImages(cellCount, I32At(h + 8));
  if (hr < 0) return hr;
  for (u32 i = 0; i < imageCount_; ++i) {
    const u8* p = bytes.data() + 16 * i;
    images_[i] = KGEGLYPHIMAGE{I32At(p), I32At(p + 4), I32At(p + 8), p[12], {0, 0, 0}};
  }

  const u32 gridSize = GetU32LE(h + 20);
  grid_.reset();
  if (gridSize != 0) {
    if (gridSize != kGridSize || !ReadArray(reader, kGridSize, GetU32LE(h + 28), &bytes)) return KGE_E_FAIL;
    grid_.reset(new (std::nothrow) KGEGLYPHLAYOUT{});
    if (!grid_) {
      KGEOutOfMemory();
      return KGE_E_OUTOFMEMORY;
    }
    const u8* p = bytes.data();
    grid_->flags = GetU32LE(p);
    grid_->hskip = I32At(p + 4);
    grid_->vskip = I32At(p + 8);
    grid_->rect = DXLRECT{I32At(p + 12), I32At(p + 16), I32At(p + 20), I32At(p + 24)};
    grid_->borders = DXLRECT{I32At(p + 28), I32At(p + 32), I32At(p + 36), I32At(p + 40)};
  }

  hr = InitCharset(GetU32LE(h + 32), GetU32LE(h + 52));
  if (hr < 0) return hr;
  if (GetU32LE(h + 56) != 32u * glyphCount_) return KGE_E_FAIL;
  if (!ReadArray(reader, 32u * glyphCount_, GetU32LE(h + 60), &bytes)) return KGE_E_FAIL;
  for (u32 i = 0; i < glyphCount_; ++i) {
    const u8* p = bytes.data() + 32 * i;
    glyphs_[i] = KGEGLYPH{GetU16LE(p),     GetU16LE(p + 2),  GetU32LE(p + 4),  GetU32LE(p + 8), I32At(p + 12),
                          I32At(p + 16),   I32At(p + 20),    GetU32LE(p + 24), GetU32LE(p + 28)};
  }
  SetMetrics(I32At(h + 36), I32At(h + 40), I32At(h + 44), GetU32LE(h + 48));
  BuildIndex();

  const u32 k = GetU32LE(h + 64);
  if (static_cast<u64>(k) > static_cast<u64>(glyphCount_) * glyphCount_) return KGE_E_TOOMANYKERNPAIRS;
  if (static_cast<u64>(GetU32LE(h + 68)) != 8ull * k) return KGE_E_FAIL;
  if (!ReadArray(reader, 8ull * k, GetU32LE(h + 72), &bytes)) return KGE_E_FAIL;
  // Every glyph's run must lie within the pairs and every pair must name a
  // glyph: the pen walk indexes both.
  for (u32 i = 0; i < glyphCount_; ++i) {
    const KGEGLYPH& g = glyphs_[i];
    if (g.kernCount != 0 && static_cast<u64>(g.kernStart) + g.kernCount > k) return KGE_E_FAIL;
  }
  kerning_.reset();
  kernCount_ = 0;
  if (k != 0) {
    kerning_ = KGEAllocArray<KGEKERNPAIR>(k);
    if (!kerning_) return KGE_E_OUTOFMEMORY;
    for (u32 i = 0; i < k; ++i) {
      const u8* p = bytes.data() + 8 * i;
      kerning_[i] = KGEKERNPAIR{GetU32LE(p), I32At(p + 4)};
      if (kerning_[i].second >= glyphCount_) {
        kerning_.reset();
        return KGE_E_FAIL;
      }
    }
    kernCount_ = k;
  }
  SetStyle(I32At(h + 76), I32At(h + 80), GetU32LE(h + 84));
  return KGE_S_OK;
}

i32 KGELoadBitmapFont(DXLViewer* viewer, DXLTexture* picture, kis::BaseDataFileReader* reader, KGEBitmapFont** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  if (!reader || !ReadSignature(reader, kKGEBitmapFontSignature1, kKGEBitmapFontSignature2)) return KGE_E_FAIL;
  KGEBitmapFont* font = new (std::nothrow) KGEBitmapFont(viewer);
  if (!font) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  font->SetPicture(picture, false);
  const i32 hr = font->ReadData(reader);
  if (hr < 0) {
    delete font;
    return hr;
  }
  *out = font;
  return KGE_S_OK;
}
