#include "engine/text/DigitalFont.h"

#include <vector>

#include "base/LittleEndian.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"

void DigitalFont::TextureWatch::Notify(DXLNotifyObject* sender, u32 code) {
  if (code == kNotifyDestroyed && sender == font_->texture_) font_->texture_ = nullptr;
}

DigitalFont::DigitalFont() = default;

DigitalFont::~DigitalFont() {
  if (texture_) texture_->RemoveListener(&watch_);
}

void DigitalFont::SetTexture(DXLTexture* texture) {
  if (texture == texture_) return;
  if (texture_) texture_->RemoveListener(&watch_);
  texture_ = texture;
  if (texture_) texture_->AddListener(&watch_);
}

void DigitalFont::SetGlyphWidth(i32 glyph, i32 width) {
  if (glyph >= 0 && glyph < kDigitGlyphs) widths_[glyph] = width;
}

// The header is checked in full before anything is allocated: its size, a
// mode count within the cap whose table size matches (in 64 bits, so a huge
// count cannot wrap into a match), and a table that lies inside the section.
bool DigitalFont::Read(kis::BaseDataFileReader* reader, DXLTextures* list) {
  if (!reader) return false;
  textureList_ = list;
  u8 header[kHeaderSize];
  if (!reader->Read(header, kHeaderSize)) return false;
  if (kis::GetU32LE(header) != kHeaderSize) return false;
  const u32 flags = kis::GetU32LE(header + 4);
  const i32 count = static_cast<i32>(kis::GetU32LE(header + 64));
  const u32 tableSize = kis::GetU32LE(header + 68);
  if (count < 0 || count > kMaxModes) return false;
  if (static_cast<u64>(count) * kModeSize != tableSize) return false;
  const u32 position = reader->GetPosition();
  if (position == 0xFFFFFFFFu || tableSize > reader->GetSectionSize() - position) return false;

  std::vector<u8> table(tableSize);
  if (tableSize > 0 && !reader->Read(table.data(), tableSize)) return false;

  Clear();
  headerValue_ = kis::GetU32LE(header + 8);
  for (i32 k = 0; k < kDigitGlyphs; ++k) widths_[k] = static_cast<i32>(kis::GetU32LE(header + 12 + 4 * k));
  spacing_ = static_cast<i32>(kis::GetU32LE(header + 56));
  hasMinus_ = header[60] != 0 ? 1 : 0;

  // The texture comes before the modes are built, so their quads take it.
  bool ok = true;
  if (flags & kFlagTexture) {
    DXLTexture* texture = nullptr;
    ok = DXLReadTextureHeader(reader, list, &texture);
    SetTexture(ok ? texture : nullptr);
  }
  for (i32 i = 0; i < count; ++i) {
    const u8* row = table.data() + static_cast<size_t>(i) * kModeSize;
    AddMode(static_cast<i32>(kis::GetU32LE(row)), static_cast<i32>(kis::GetU32LE(row + 4)),
            static_cast<i32>(kis::GetU32LE(row + 8)), static_cast<i32>(kis::GetU32LE(row + 12)));
  }
  return ok;
}

bool DigitalFont::Write(kis::BaseDataFileWriter* writer) const {
  if (!writer) return false;
  const std::vector<u8> entry = Encode();
  return writer->Write(entry.data(), static_cast<u32>(entry.size()));
}

std::vector<u8> DigitalFont::Encode() const {
  const u32 count = static_cast<u32>(modes_.GetCount());
  std::vector<u8> out(kHeaderSize + count * kModeSize + (texture_ ? kTextureHeaderSize : 0), 0);
  u8* header = out.data();
  kis::PutU32LE(header, kHeaderSize);
  kis::PutU32LE(header + 4, texture_ ? kFlagTexture : 0);
  kis::PutU32LE(header + 8, headerValue_);
  for (i32 k = 0; k < kDigitGlyphs; ++k) kis::PutU32LE(header + 12 + 4 * k, static_cast<u32>(widths_[k]));
  kis::PutU32LE(header + 56, static_cast<u32>(spacing_));
  kis::PutU32LE(header + 60, hasMinus_);
  kis::PutU32LE(header + 64, count);
  kis::PutU32LE(header + 68, count * kModeSize);
  for (i32 i = 0; i < modes_.GetCount(); ++i) {
    const DIGITALFONTMODE* m = modes_.Get(i);
    u8* row = header + kHeaderSize + static_cast<size_t>(i) * kModeSize;
    kis::PutU32LE(row, static_cast<u32>(m->x));
    kis::PutU32LE(row + 4, static_cast<u32>(m->y));
    kis::PutU32LE(row + 8, static_cast<u32>(m->height));
    kis::PutU32LE(row + 12, static_cast<u32>(m->gap));
  }
  if (!texture_) return out;
  DXLPutTextureHeader(header + kHeaderSize + count * kModeSize, texture_->GetName());
  return out;
}

void DigitalFont::AddMode(i32 x, i32 y, i32 height, i32 gap) {
  auto* mode = new DIGITALFONTMODE{};
  mode->x = x;
  mode->y = y;
  mode->height = height;
  mode->gap = gap;
  BuildQuads(mode);
  modes_.Add(mode);
}

void DigitalFont::RebuildModes() {
  for (i32 i = 0; i < modes_.GetCount(); ++i) BuildQuads(modes_.Get(i));
}

void DigitalFont::Clear() { modes_.Clear(); }

// Glyph k shows the k-th cell of the row; the cells follow each other from x
// with `gap` pixels between them. A height of 0 or less reaches down to the
// bottom of the texture once the texture is there to tell it.
void DigitalFont::BuildQuads(DIGITALFONTMODE* mode) {
  if (mode->height <= 0 && texture_ && texture_->IsReady()) mode->height = texture_->GetImageHeight() - mode->y;
  const i32 glyphs = hasMinus_ ? kDigitGlyphs : kDigitMinus;
  i64 x = mode->x;
  for (i32 k = 0; k < glyphs; ++k) {
    DXLQUAD* quad = &mode->quads[k];
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(mode->y);
    const float w = static_cast<float>(widths_[k]);
    const float h = static_cast<float>(mode->height);
    if (texture_) {
      texture_->MakeQuadPart(quad, 0.0f, 0.0f, left, top, w, h, 0xFFFFFFFFu, false, false);
    } else {
      // Like the textured quads, the plain rectangle stands at (0, 0), so a
      // number lays out the same with or without its picture.
      *quad = DXLQUAD{};
      SetQuadRect24(quad->v, 0.0f, 0.0f, w, h, false, true);
      for (DXLVERTEX& v : quad->v) v.color = 0xFFFFFFFFu;
    }
    x += static_cast<i64>(widths_[k]) + mode->gap;
  }
}
