#include "gametext/KGEBitmapFont.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "base/Identifier.h"
#include "base/Path.h"
#include "base/Strings.h"
#include "base/text/TdrDocument.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "gametext/KGECellLayout.h"
#include "platform/encoding/Ascii.h"

namespace {

constexpr u32 kMaxPath = 260;
constexpr u32 kCharsetNameSize = 12;  // 11 characters and the terminator

struct CharsetName {
  const wchar* name;
  u32 charset;
};

constexpr CharsetName kCharsetNames[] = {
    {u"ansi", 0},         {u"default", 1},      {u"shiftjis", 128},    {u"hangul", 129},
    {u"hangeul", 129},    {u"johab", 130},      {u"gb2312", 134},      {u"chinesebig5", 136},
    {u"greek", 161},      {u"turkish", 162},    {u"vietnamese", 163},  {u"hebrew", 177},
    {u"arabic", 178},     {u"baltic", 186},     {u"russian", 204},     {u"cyrillic", 204},
    {u"thai", 222},       {u"easteurope", 238},
};

struct CellRecord {
  i32 x, y, width;
};

struct OffsetRecord {
  i32 x, y;
};

// A key that is present must read; a missing one is not an error.
bool Absent(const kis::TdrDocument* doc) { return doc->GetStatus() == kis::kTdrNotFound; }
bool Failed(const kis::TdrDocument* doc) { return doc->GetStatus() != 0 && !Absent(doc); }


// "default" (any case) as the whole value, blanks or a comment after it.
bool IsDefaultWord(const wchar* v) {
  if (!v) return false;
  static constexpr wchar kWord[] = u"default";
  for (u32 i = 0; kWord[i]; ++i) {
    if (plat::AsciiToLower(v[i]) != kWord[i]) return false;
  }
  return kis::IsRestEmptyW(v + 7);
}

// An integer, or kDefaultValue for "default" and a missing key.
bool ReadIntOrDefault(kis::TdrDocument* doc, const wchar* name, i32* out) {
  *out = KGEFont::kDefaultValue;
  const wchar* v = doc->GetValue(name, nullptr);
  if (!v) return Absent(doc);
  if (IsDefaultWord(v)) return true;
  const i32 value = doc->ReadInt(name, 0);
  if (doc->GetStatus() != 0) return false;
  *out = value;
  return true;
}

// Records of any list read from a description at most; a document of the
// largest size cannot hold more.
constexpr u32 kMaxListRecords = 1u << 20;

// A list of records of `format`; false when present and malformed.
template <class R>
bool ReadList(kis::TdrDocument* doc, const wchar* name, const wchar* format, std::vector<R>* out, bool* present) {
  out->clear();
  *present = false;
  const u32 n = doc->CountValues(name, format);
  if (Absent(doc)) return true;
  if (doc->GetStatus() != 0 || n > kMaxListRecords) return false;
  *present = true;
  out->resize(n == 0 ? 1 : n);
  const u32 read = doc->ReadArray(name, format, out->data(), static_cast<i32>(n), static_cast<u32>(sizeof(R)));
  if (doc->GetStatus() != 0 || read != n) return false;
  out->resize(n);
  return true;
}

}  // namespace

bool KGEFindCharsetName(const wchar* name, u32* charset) {
  const u32 id = name ? kis::NameId(name) : 0;
  if (id == 0) return false;
  for (const CharsetName& c : kCharsetNames) {
    if (kis::NameId(c.name) == id) {
      if (charset) *charset = c.charset;
      return true;
    }
  }
  return false;
}

// --- Life ---------------------------------------------------------------------------

KGEBitmapFont::KGEBitmapFont(DXLViewer* viewer) : KGEFont(kKGEBitmapFontSignature1, kKGEBitmapFontSignature2, viewer) {}

KGEBitmapFont::~KGEBitmapFont() {
  Release(true);
  if (ownsImage_) delete image_;
  image_ = nullptr;
}

void KGEBitmapFont::SetPicture(DXLTexture* picture, bool owned) {
  if (picture == image_) {
    ownsImage_ = owned ? 1 : 0;
    return;
  }
  if (ownsImage_) delete image_;
  image_ = picture;
  ownsImage_ = picture && owned ? 1 : 0;
}

bool KGEBitmapFont::PictureSizesChanged() const {
  if (!image_) return true;
  const u32 sizes[4] = {static_cast<u32>(image_->GetImageWidth()), static_cast<u32>(image_->GetImageHeight()),
                        static_cast<u32>(image_->GetWidth()), static_cast<u32>(image_->GetHeight())};
  return !std::equal(sizes, sizes + 4, seenSizes_);
}

void KGEBitmapFont::LayOutGrid() {
  if (!grid_ || !images_) return;
  DXLRECT area{0, 0, 0, 0};
  if (grid_->flags & kKGEGridRect) {
    area = grid_->rect;
  } else if (image_ && image_->IsReady()) {
    area = DXLRECT{0, 0, image_->GetImageWidth(), image_->GetImageHeight()};
  }
  if (grid_->flags & kKGEGridBorders) {
    // 64-bit so that hostile insets cannot wrap; an area turned inside out
    // is empty.
    const i64 l = static_cast<i64>(area.left) + grid_->borders.left;
    const i64 t = static_cast<i64>(area.top) + grid_->borders.top;
    const i64 r = static_cast<i64>(area.right) - grid_->borders.right;
    const i64 b = static_cast<i64>(area.bottom) - grid_->borders.bottom;
    if (r <= l || b <= t || l < INT32_MIN || t < INT32_MIN || r > INT32_MAX || b > INT32_MAX) {
      const i32 cl = static_cast<i32>(std::clamp<i64>(l, INT32_MIN, INT32_MAX));
      const i32 ct = static_cast<i32>(std::clamp<i64>(t, INT32_MIN, INT32_MAX));
      area = DXLRECT{cl, ct, cl, ct};
    } else {
      area = DXLRECT{static_cast<i32>(l), static_cast<i32>(t), static_cast<i32>(r), static_cast<i32>(b)};
    }
  }
  const i32 hskip = (grid_->flags & kKGEGridSkips) ? grid_->hskip : 0;
  const i32 vskip = (grid_->flags & kKGEGridSkips) ? grid_->vskip : 0;
  KGELayoutCells(images_.get(), imageCount_, cellHeight_, area, hskip, vskip, false, nullptr);
}

i32 KGEBitmapFont::BuildGlyphs() {
  if (!image_) return KGE_E_NOPICTURE;
  if (ownsImage_ && !image_->IsReady()) image_->Load();
  if (!image_->IsReady()) return KGE_E_NOPICTURE;
  if (grid_ && (!built_ || PictureSizesChanged())) LayOutGrid();
  return KGEFont::BuildGlyphs();
}

void KGEBitmapFont::FreeGlyphs() {
  KGEFont::FreeGlyphs();
  if (ownsImage_ && image_) image_->Unload();
}

i32 KGEBitmapFont::RestoreAfterDeviceLoss() {
  if (useCount_ == 0) return KGE_S_OK;
  if (ownsImage_ && image_ && !image_->IsReady()) image_->Load();
  if (image_ && image_->IsReady()) {
    const i32 hr = BuildGlyphs();
    if (hr < 0) {
      FreeGlyphs();
      built_ = 0;
      return hr;
    }
    built_ = 1;
  } else if (built_) {
    FreeGlyphs();
    built_ = 0;
  }
  return KGE_S_OK;
}

// --- Description ---------------------------------------------------------------------

i32 KGEBitmapFont::ReadPicture(kis::TdrDocument* doc, DXLTextures* textures) {
  wchar file[kMaxPath] = {};
  doc->ReadStringW(u"image", file, kMaxPath, nullptr);
  if (doc->GetStatus() != 0 || file[0] == 0) return KGE_E_BADDESCRIPTION;
  wchar name[kMaxPath] = {};
  kis::ExtractFileNameW(name, kMaxPath, file, false);
  if (textures) {
    if (DXLTexture* found = textures->FindTextureI(name)) {
      SetPicture(found, false);
      return KGE_S_OK;
    }
  }
  wchar own[kMaxPath] = {};
  wchar path[kMaxPath] = {};
  doc->GetFileName(own, kMaxPath);
  if (own[0] == 0 || !kis::CombinePathW(path, kMaxPath, own, file, true)) kis::StrCopyW(path, kMaxPath, file);

  DXLTexture* picture = textures ? new (std::nothrow) DXLTexture(textures) : new (std::nothrow) DXLTexture(viewer_);
  if (!picture) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  picture->SetImageFilter(1);
  picture->SetFileName(path, true);
  picture->SetName(name);
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 1, 3, 1, 4);
  picture->SetDrawState(state);
  // A picture in a list is the list's; it is loaded now so that the list
  // holds it ready. An own picture loads on the first use.
  if (textures) picture->Load();
  SetPicture(picture, textures == nullptr);
  return KGE_S_OK;
}

i32 KGEBitmapFont::ReadCells(kis::TdrDocument* doc) {
  const i32 cellHeight = doc->ReadInt(u"height", 0);
  const bool heightRead = doc->GetStatus() == 0;
  // "height = default" is the line height's business; the cells then have none.
  if (Failed(doc) && !IsDefaultWord(doc->GetValue(u"height", nullptr))) return KGE_E_BADDESCRIPTION;
  const i32 height = heightRead ? cellHeight : 0;

  bool present = false;
  std::vector<CellRecord> cells;
  if (!ReadList(doc, u"glyphs", u"i4,i4,i4", &cells, &present)) return KGE_E_BADDESCRIPTION;
  grid_.reset();
  if (present) {
    // More cells than a font can hold are cut to the cap.
    i32 hr = AllocImages(static_cast<u32>(std::min<size_t>(cells.size(), kMaxGlyphs)), height);
    if (hr < 0) return hr;
    for (u32 i = 0; i < imageCount_; ++i) {
      images_[i].x = cells[i].x;
      images_[i].y = cells[i].y;
      images_[i].width = cells[i].width;
    }
    return KGE_S_OK;
  }

  auto grid = std::unique_ptr<KGEGLYPHLAYOUT>(new (std::nothrow) KGEGLYPHLAYOUT{});
  if (!grid) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  grid->flags = kKGEGridOn;
  std::vector<i32> widths;
  if (!ReadList(doc, u"widthlist", u"i4", &widths, &present)) return KGE_E_BADDESCRIPTION;
  if (present) {
    grid->flags |= kKGEGridWidthList;
  } else {
    const i32 width = doc->ReadInt(u"width", 0);
    if (Failed(doc)) return KGE_E_BADDESCRIPTION;
    widths.assign(kMaxGlyphs, width);
  }
  i32 sx = 0, sy = 0;
  if (doc->ReadValues(u"skip", u"i4,i4", 1, &sx, &sy) == 1) {
    grid->flags |= kKGEGridSkips;
    grid->hskip = sx;
    grid->vskip = sy;
  } else if (Failed(doc)) {
    return KGE_E_BADDESCRIPTION;
  }
  i32 r[4] = {};
  if (doc->ReadValues(u"rect", u"l,l,l,l", 1, &r[0], &r[1], &r[2], &r[3]) == 1) {
    const i64 right = static_cast<i64>(r[0]) + r[2], bottom = static_cast<i64>(r[1]) + r[3];
    if (r[2] > 0 && r[3] > 0 && right <= INT32_MAX && bottom <= INT32_MAX) {
      grid->flags |= kKGEGridRect;
      grid->rect = DXLRECT{r[0], r[1], static_cast<i32>(right), static_cast<i32>(bottom)};
    }
  } else if (Failed(doc)) {
    return KGE_E_BADDESCRIPTION;
  }
  if (doc->ReadValues(u"borders", u"l,l,l,l", 1, &r[0], &r[1], &r[2], &r[3]) == 1) {
    grid->flags |= kKGEGridBorders;
    grid->borders = DXLRECT{r[0], r[1], r[2], r[3]};
  } else if (Failed(doc)) {
    return KGE_E_BADDESCRIPTION;
  }
  i32 hr = AllocImages(static_cast<u32>(std::min<size_t>(widths.size(), kMaxGlyphs)), height);
  if (hr < 0) return hr;
  for (u32 i = 0; i < imageCount_; ++i) images_[i].width = widths[i] < 0 ? 0 : widths[i];
  grid_ = std::move(grid);
  return KGE_S_OK;
}

i32 KGEBitmapFont::ReadGlyphs(kis::TdrDocument* doc) {
  wchar setName[kCharsetNameSize] = {};
  doc->ReadStringW(u"charset", setName, kCharsetNameSize, u"default");
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  u32 charset = 1;
  if (!KGEFindCharsetName(setName, &charset)) return KGE_E_BADDESCRIPTION;

  // "chars" may be repeated; the values are joined in order.
  // "chars" may be repeated; the values are joined in order. Only the first
  // 4,096 characters can become glyphs, so a longer value may be cut.
  std::u16string chars;
  std::vector<wchar> part(kMaxGlyphs + 1);
  bool found = false;
  for (bool first = true; chars.size() < kMaxGlyphs; first = false) {
    const u32 got = doc->ReadStringExW(u"chars", first, part.data(), kMaxGlyphs + 1, nullptr);
    if (Absent(doc)) break;
    if (doc->GetStatus() != 0 && doc->GetStatus() != kis::kTdrCut) return KGE_E_BADDESCRIPTION;
    found = true;
    chars.append(part.data(), got);
  }
  if (!found) return KGE_E_NOCHARS;
  if (chars.size() > kMaxGlyphs) chars.resize(kMaxGlyphs);

  i32 hr = InitCharset(charset, static_cast<u32>(chars.size()));
  if (hr < 0) return hr;
  hr = SetGlyphChars(chars.c_str());
  if (hr < 0) return hr;

  i32 height = kDefaultValue, ascent = kDefaultValue;
  if (!ReadIntOrDefault(doc, u"height", &height) || !ReadIntOrDefault(doc, u"ascent", &ascent)) {
    return KGE_E_BADDESCRIPTION;
  }
  const i32 space = doc->ReadInt(u"space", 0);
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  const wchar defChar = doc->ReadChar(u"defchar", 0);
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  SetMetrics(height, ascent, space, defChar);

  bool present = false;
  std::vector<i32> cellOf;
  if (!IsDefaultWord(doc->GetValue(u"glyphlist", nullptr))) {
    if (!ReadList(doc, u"glyphlist", u"i4", &cellOf, &present)) return KGE_E_BADDESCRIPTION;
    if (present && cellOf.size() != glyphCount_) return KGE_E_NOGLYPHLIST;
  }
  for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].image = present ? static_cast<u32>(cellOf[i]) : i;

  auto cellWidth = [&](u32 image) { return image < imageCount_ ? images_[image].width : 0; };
  std::vector<i32> advances;
  if (!ReadList(doc, u"widthlist", u"i4", &advances, &present)) return KGE_E_BADDESCRIPTION;
  if (present && advances.size() != glyphCount_) return KGE_E_NOWIDTHLIST;
  for (u32 i = 0; i < glyphCount_; ++i) {
    const i32 a = present ? advances[i] : -1;
    glyphs_[i].advance = (a == -1 || a == kDefaultValue) ? cellWidth(glyphs_[i].image) : a;
  }

  std::vector<OffsetRecord> offsets;
  if (!ReadList(doc, u"offsetlist", u"l,l", &offsets, &present)) return KGE_E_BADDESCRIPTION;
  if (present && offsets.size() != glyphCount_) return KGE_E_NOOFFSETLIST;
  for (u32 i = 0; i < glyphCount_; ++i) {
    glyphs_[i].xOffset = present ? offsets[i].x : 0;
    glyphs_[i].yOffset = present ? offsets[i].y : 0;
  }
  BuildIndex();

  std::vector<KGEKERNENTRY> kerning;
  if (!ReadList(doc, u"kerning", u"W,W,i4", &kerning, &present)) {
    return doc->GetStatus() == 0 ? KGE_E_TOOMANYKERNPAIRS : KGE_E_BADDESCRIPTION;
  }
  hr = SetKerningPairs(kerning.data(), static_cast<u32>(kerning.size()), false);
  if (hr < 0) return hr;

  const i32 tracking = doc->ReadInt(u"tracking", 0);
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  const i32 leading = doc->ReadInt(u"leading", 0);
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  const u32 color = doc->ReadHex(u"color", 0xFFFFFFFFu);
  if (Failed(doc)) return KGE_E_BADDESCRIPTION;
  SetStyle(tracking, leading, color);
  return KGE_S_OK;
}

i32 KGEBitmapFont::ReadDescription(kis::TdrDocument* doc, DXLTextures* textures, bool load) {
  if (!doc) return KGE_E_FAIL;
  if (!doc->FindChild(u"glyphs", true)) return KGE_E_BADDESCRIPTION;
  i32 hr = KGE_S_OK;
  if (textures || load) hr = ReadPicture(doc, textures);
  if (hr >= 0) hr = ReadCells(doc);
  if (hr >= 0) hr = ReadGlyphs(doc);
  doc->GoParent();
  return hr;
}

// --- Factories ---------------------------------------------------------------------------

i32 KGECreateBitmapFont(DXLViewer* viewer, DXLTexture** picture, DXLTextures* textures, bool load,
                        kis::TdrDocument* doc, KGEBitmapFont** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  KGEBitmapFont* font = new (std::nothrow) KGEBitmapFont(viewer);
  if (!font) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  if (!load && picture) font->SetPicture(*picture, false);
  const i32 hr = font->ReadDescription(doc, textures, load);
  if (hr < 0) {
    delete font;
    return hr;
  }
  if (load && picture) *picture = font->GetPicture();
  *out = font;
  return KGE_S_OK;
}

i32 KGELoadBitmapFontFile(DXLViewer* viewer, DXLTexture** picture, DXLTextures* textures, bool load,
                          const wchar* fileName, const wchar* nodePath, KGEBitmapFont** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  kis::TdrDocument* doc = nullptr;
  if (!kis::LoadTdrDocument(fileName, &doc)) return KGE_E_BADDESCRIPTION;
  std::unique_ptr<kis::TdrDocument> owner(doc);
  if (nodePath && nodePath[0] && !doc->FindChild(nodePath, true)) return KGE_E_BADDESCRIPTION;
  return KGECreateBitmapFont(viewer, picture, textures, load, doc, out);
}
