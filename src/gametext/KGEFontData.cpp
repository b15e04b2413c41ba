#include "gametext/KGEFontData.h"

#include <memory>
#include <new>
#include <vector>

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/RecordFields.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEWinFont.h"

namespace {

using kis::GetU16LE;
using kis::GetU32LE;
using kis::PutU16LE;
using kis::PutU32LE;

// Little-endian words and whole records appended to a byte buffer.
class Bytes {
 public:
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
  // n more bytes, zero, for a record's field list to fill.
  u8* Grow(size_t n) {
    data_.resize(data_.size() + n, 0);
    return data_.data() + data_.size() - n;
  }
  void PatchU32(size_t at, u32 v) { PutU32LE(data_.data() + at, v); }
  u32 Crc(size_t from, size_t to) const { return kis::Crc32(data_.data() + from, to - from); }
  size_t Size() const { return data_.size(); }
  const u8* Data() const { return data_.data(); }

 private:
  std::vector<u8> data_;
};

i32 I32At(const u8* p) { return static_cast<i32>(GetU32LE(p)); }

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

// --- The records' layouts: each table is walked by the reader and by the writer ---------

// The creation parameters; the byte after the quality is zero.
constexpr RecordField kWinFontParamsFields[] = {
    TM_FIELD(KGEWINFONTPARAMS, size, 0, kU32, 1),
    TM_FIELD(KGEWINFONTPARAMS, weight, 4, kU32, 1),
    TM_FIELD(KGEWINFONTPARAMS, charset, 8, kU32, 1),
    TM_FIELD(KGEWINFONTPARAMS, style, 12, kBytes, 1),
    TM_FIELD(KGEWINFONTPARAMS, pitchAndFamily, 13, kBytes, 1),
    TM_FIELD(KGEWINFONTPARAMS, quality, 14, kBytes, 1),
    TM_FIELD(KGEWINFONTPARAMS, color, 16, kU32, 1),
    TM_FIELD(KGEWINFONTPARAMS, face, 20, kText, 32)};
constexpr RecordLayout kWinFontParamsLayout = MakeLayout(84, kWinFontParamsFields);

constexpr RecordField kOutlineFields[] = {
    TM_FIELD(DXLOUTLINE, mode, 0, kU32, 1),        TM_FIELD(DXLOUTLINE, radius, 4, kF32, 1),
    TM_FIELD(DXLOUTLINE, colour, 8, kU32, 1),      TM_FIELD(DXLOUTLINE, strength, 12, kBytes, 1),
    TM_FIELD(DXLOUTLINE, soft, 16, kU32, 1)};
constexpr RecordLayout kOutlineLayout = MakeLayout(20, kOutlineFields);

constexpr RecordField kShadowFields[] = {
    TM_FIELD(KGESHADOW, mode, 0, kU32, 1), TM_FIELD(KGESHADOW, x, 4, kU32, 1), TM_FIELD(KGESHADOW, y, 8, kU32, 1),
    TM_FIELD(KGESHADOW, color, 12, kU32, 1)};
constexpr RecordLayout kShadowLayout = MakeLayout(16, kShadowFields);

// A cell: x, y, width, the visible flag and three bytes of 0.
constexpr RecordField kCellFields[] = {
    TM_FIELD(KGEGLYPHIMAGE, x, 0, kU32, 1), TM_FIELD(KGEGLYPHIMAGE, y, 4, kU32, 1),
    TM_FIELD(KGEGLYPHIMAGE, width, 8, kU32, 1), TM_FIELD(KGEGLYPHIMAGE, visible, 12, kBytes, 1)};
constexpr RecordLayout kCellLayout = MakeLayout(16, kCellFields);

constexpr RecordField kGridFields[] = {
    TM_FIELD(KGEGLYPHLAYOUT, flags, 0, kU32, 1), TM_FIELD(KGEGLYPHLAYOUT, hskip, 4, kU32, 1),
    TM_FIELD(KGEGLYPHLAYOUT, vskip, 8, kU32, 1), TM_RECORDS(KGEGLYPHLAYOUT, rect, 12, kDXLRectLayout, 1),
    TM_RECORDS(KGEGLYPHLAYOUT, borders, 28, kDXLRectLayout, 1)};
constexpr RecordLayout kGridLayout = MakeLayout(KGEBitmapFont::kGridSize, kGridFields);

constexpr RecordField kGlyphFields[] = {
    TM_FIELD(KGEGLYPH, code, 0, kU16, 1),       TM_FIELD(KGEGLYPH, index, 2, kU16, 1),
    TM_FIELD(KGEGLYPH, image, 4, kU32, 1),      TM_FIELD(KGEGLYPH, hasImage, 8, kU32, 1),
    TM_FIELD(KGEGLYPH, advance, 12, kU32, 1),   TM_FIELD(KGEGLYPH, xOffset, 16, kU32, 1),
    TM_FIELD(KGEGLYPH, yOffset, 20, kU32, 1),   TM_FIELD(KGEGLYPH, kernCount, 24, kU32, 1),
    TM_FIELD(KGEGLYPH, kernStart, 28, kU32, 1)};
constexpr RecordLayout kGlyphLayout = MakeLayout(32, kGlyphFields);

constexpr RecordField kKernPairFields[] = {TM_FIELD(KGEKERNPAIR, second, 0, kU32, 1),
                                           TM_FIELD(KGEKERNPAIR, amount, 4, kU32, 1)};
constexpr RecordLayout kKernPairLayout = MakeLayout(8, kKernPairFields);

static_assert(LayoutFits(kWinFontParamsLayout) && LayoutFits(kOutlineLayout) && LayoutFits(kShadowLayout) &&
              LayoutFits(kCellLayout) && LayoutFits(kGridLayout) && LayoutFits(kGlyphLayout) &&
              LayoutFits(kKernPairLayout));

// Appends the record in its layout to the buffer.
template <class R>
void Append(Bytes& bytes, const RecordLayout& layout, const R& record) {
  WriteRecord(layout, &record, bytes.Grow(layout.size));
}

}  // namespace

// --- System fonts ---------------------------------------------------------------------

i32 KGEWriteWinFontData(kis::BaseDataFileWriter* writer, const KGEWinFont* font) {
  if (!writer || !font) return KGE_E_FAIL;
  const u32 n = font->GetGlyphCount();
  Bytes chars;
  for (u32 i = 0; i < n; ++i) chars.U16(font->GetGlyphs()[i].code);

  Bytes h;
  h.U32(kKGEWinFontSignature1);
  h.U32(kKGEWinFontSignature2);
  const size_t base = h.Size();
  h.U32(kKGEWinFontHeaderSize);
  h.U32(0);  // header CRC, below
  Append(h, kWinFontParamsLayout, font->GetParams());
  h.U32(font->GetFlags());
  h.I32(font->GetSpaceParam());
  h.U32(font->GetDefaultChar());
  h.U32(n);
  h.U32(2 * n);
  h.U32(chars.Crc(0, chars.Size()));
  h.I32(font->GetTracking());
  h.I32(font->GetLeading());
  h.U32(font->GetColor());
  Append(h, kOutlineLayout, font->GetOutline() ? *font->GetOutline() : DXLOUTLINE{});
  Append(h, kShadowLayout, font->GetShadow() ? *font->GetShadow() : KGESHADOW{});
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
  ReadRecord(kWinFontParamsLayout, h + 8, &params);
  const u32 flags = GetU32LE(h + 92);
  const i32 space = I32At(h + 96);
  const u32 defaultChar = GetU32LE(h + 100);
  const u32 n = GetU32LE(h + 104);
  const u32 listSize = GetU32LE(h + 108);
  const u32 listCrc = GetU32LE(h + 112);
  DXLOUTLINE outline{};
  ReadRecord(kOutlineLayout, h + 128, &outline);
  KGESHADOW shadow{};
  ReadRecord(kShadowLayout, h + 148, &shadow);

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
  for (u32 i = 0; i < imageCount_; ++i) Append(cells, kCellLayout, images_[i]);
  Bytes grid;
  if (grid_) Append(grid, kGridLayout, *grid_);
  Bytes glyphs;
  for (u32 i = 0; i < glyphCount_; ++i) Append(glyphs, kGlyphLayout, glyphs_[i]);
  Bytes pairs;
  for (u32 i = 0; i < kernCount_; ++i) Append(pairs, kKernPairLayout, kerning_[i]);

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
    images_[i] = KGEGLYPHIMAGE{};
    ReadRecord(kCellLayout, bytes.data() + kCellLayout.size * i, &images_[i]);
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
    ReadRecord(kGridLayout, bytes.data(), grid_.get());
  }

  hr = InitCharset(GetU32LE(h + 32), GetU32LE(h + 52));
  if (hr < 0) return hr;
  if (GetU32LE(h + 56) != 32u * glyphCount_) return KGE_E_FAIL;
  if (!ReadArray(reader, 32u * glyphCount_, GetU32LE(h + 60), &bytes)) return KGE_E_FAIL;
  for (u32 i = 0; i < glyphCount_; ++i) ReadRecord(kGlyphLayout, bytes.data() + kGlyphLayout.size * i, &glyphs_[i]);
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
      ReadRecord(kKernPairLayout, bytes.data() + kKernPairLayout.size * i, &kerning_[i]);
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
