// KGEFont - the font of the game's text objects: at most 4,096 glyphs for
// UTF-16 code units, each pointing to a cell of one glyph texture, with
// per-glyph advance and offset, kerning pairs grouped by their first glyph,
// line metrics, tracking, leading and a vertex colour.
//
// A glyph is found by one access to a 65,536-entry code index (kNoGlyph for
// none; 8-bit text goes through a 256-entry byte index made from the code page
// of the font's character set). The first Acquire builds the glyph quads (and,
// in subclasses, the texture); the last Release, at the latest the destructor,
// frees them. A failed build leaves the font unbuilt and nothing is drawn.
//
// The font measures, hit-tests and draws plain text itself with the pen walk
// of KGEPenWalk.h, which the text layout shares. Positions are computed in 64
// bits and results are clamped to 32 bits, so no advance can wrap.
//
// A failed allocation calls KGEOutOfMemory(): by default the player sees
// "Out of memory!" under "Error" and the program ends with exit code 3. Tests
// replace the handler; the failing operation then returns KGE_E_OUTOFMEMORY.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class DXLTexture;
class DXLViewer;

namespace kis {
class BaseDataFileWriter;
}

// Status codes of the font code.
constexpr i32 KGE_S_OK = 0;
constexpr i32 KGE_E_FAIL = static_cast<i32>(0x80004005u);
constexpr i32 KGE_E_OUTOFMEMORY = static_cast<i32>(0x89C50001u);
constexpr i32 KGE_E_NOCHARS = static_cast<i32>(0x89C5006Cu);
constexpr i32 KGE_E_NOGLYPHLIST = static_cast<i32>(0x89C5006Eu);
constexpr i32 KGE_E_NOOFFSETLIST = static_cast<i32>(0x89C5006Fu);
constexpr i32 KGE_E_NOWIDTHLIST = static_cast<i32>(0x89C50070u);
constexpr i32 KGE_E_TOOMANYKERNPAIRS = static_cast<i32>(0x89C50071u);
constexpr i32 KGE_E_BADDESCRIPTION = static_cast<i32>(0x89C50073u);
constexpr i32 KGE_E_NOPICTURE = static_cast<i32>(0x89C50078u);
constexpr i32 KGE_E_NOOUTLINE = static_cast<i32>(0x89C50096u);
constexpr i32 KGE_E_NOSHADOW = static_cast<i32>(0x89C50097u);
constexpr i32 KGE_E_FONTCONTEXT = static_cast<i32>(0x89C5009Bu);
constexpr i32 KGE_E_GLYPHTEXTURE = static_cast<i32>(0x89C5009Cu);

// Font kinds (the first two words of a font's data record).
constexpr u32 kKGEWinFontSignature1 = 0x9756B8CCu;
constexpr u32 kKGEWinFontSignature2 = 0x3EFE8585u;
constexpr u32 kKGEBitmapFontSignature1 = 0xB0E1FDFDu;
constexpr u32 kKGEBitmapFontSignature2 = 0x40E90DB4u;

// One glyph, 32 bytes.
struct KGEGLYPH {
  u16 code;        // code unit
  u16 index;       // own index in the glyph array
  u32 image;       // cell in the image array
  u32 hasImage;    // low byte: the cell is visible in the texture
  i32 advance;     // pixels
  i32 xOffset;     // cell relative to the pen
  i32 yOffset;
  u32 kernCount;   // kerning pairs that start with this glyph
  u32 kernStart;   // index of the first of them
};
static_assert(sizeof(KGEGLYPH) == 32, "glyph records are 32 bytes");

// One cell of the glyph texture, 16 bytes: (x, y, x + width, y + cell height).
struct KGEGLYPHIMAGE {
  i32 x;
  i32 y;
  i32 width;
  u8 visible;
  u8 reserved[3];
};
static_assert(sizeof(KGEGLYPHIMAGE) == 16, "glyph cells are 16 bytes");

// Amount added to the advance of a glyph when `second` follows it, 8 bytes.
struct KGEKERNPAIR {
  u32 second;  // glyph index
  i32 amount;
};
static_assert(sizeof(KGEKERNPAIR) == 8, "kerning pairs are 8 bytes");

// A kerning pair by characters, as fonts and descriptions give them.
struct KGEKERNENTRY {
  wchar first;
  wchar second;
  i32 amount;
};

struct KGESIZE {
  i32 cx;
  i32 cy;
};

// --- Out of memory ------------------------------------------------------------

// The handler is TextServices::outOfMemory (TextServices.h); null there is
// the default (message box, then exit code 3).
using KGEOutOfMemoryHandler = void (*)();
// Reports a failed allocation through the current handler.
void KGEOutOfMemory();
// Tests may make allocations of the font code, and the growth of a
// language's lists, fail: the hook, TextServices::allocationHook, is asked
// before each one with its bytes, and a true answer fails it.
using KGEAllocationHook = bool (*)(size_t bytes);

// An array of `count` value-initialised items, or null after KGEOutOfMemory.
template <typename T>
std::unique_ptr<T[]> KGEAllocArray(size_t count);

// --- The font -----------------------------------------------------------------

class KGEFont {
 public:
  static constexpr u32 kMaxGlyphs = 4096;
  static constexpr u32 kMaxTextLength = 8192;  // code units walked at most
  static constexpr u32 kWholeText = 0x80000000u;  // length: up to the terminating 0
  static constexpr i32 kDefaultValue = static_cast<i32>(0x80000000u);
  static constexpr u16 kNoGlyph = 0xFFFF;
  static constexpr u32 kCodeIndexSize = 65536;

  KGEFont(u32 signature1, u32 signature2, DXLViewer* viewer);
  KGEFont(const KGEFont&) = delete;
  KGEFont& operator=(const KGEFont&) = delete;

  virtual i32 BuildGlyphs();
  virtual void FreeGlyphs();
  virtual i32 SaveToDataFile(kis::BaseDataFileWriter* writer) = 0;
  virtual ~KGEFont();
  virtual i32 RestoreAfterDeviceLoss() = 0;

  // Takes a use; the first builds the glyphs. A failed build is returned and
  // the use is not counted.
  i32 Acquire();
  // Gives a use back (all of them with `force`); the last frees the glyphs.
  void Release(bool force);

  // height kDefaultValue: the cell height; ascent kDefaultValue: the height.
  void SetMetrics(i32 height, i32 ascent, i32 space, u32 defaultChar);
  void SetStyle(i32 tracking, i32 leading, u32 color);

  // Width and height in pixels of a text (kWholeText or a count of code units).
  KGESIZE* MeasureText(KGESIZE* out, const wchar* text, u32 length) const;
  // The caret index nearest to x pixels from the start of the first line.
  i32 GetCharIndexAt(i32 x, const wchar* text, u32 length) const;
  // Draws under the viewer's current 2-D transform.
  void DrawText(const wchar* text);
  // Draws with the top-left at (x, y) in world coordinates.
  void DrawTextAt(float x, float y, const wchar* text);

  // --- Lookups ------------------------------------------------------------------
  // The glyph of a code unit, or null (the default glyph is not substituted).
  const KGEGLYPH* FindGlyph(wchar code) const;
  // The pair for `first` followed by `second`, or null.
  const KGEKERNPAIR* FindKerning(const KGEGLYPH* first, const KGEGLYPH* second) const;
  // The prepared quad of a glyph's cell while built, else null.
  const DXLQUAD* GetGlyphQuad(const KGEGLYPH* glyph) const;

  // --- Queries --------------------------------------------------------------------
  u32 GetSignature1() const { return signature_[0]; }
  u32 GetSignature2() const { return signature_[1]; }
  DXLViewer* GetViewer() const { return viewer_; }
  bool IsBuilt() const { return built_ != 0; }
  u32 GetUseCount() const { return useCount_; }
  DXLTexture* GetTexture() const { return image_; }
  i32 GetCellHeight() const { return cellHeight_; }
  u32 GetImageCount() const { return imageCount_; }
  const KGEGLYPHIMAGE* GetImages() const { return images_.get(); }
  u32 GetColor() const { return color_; }
  u32 GetCharset() const { return charset_; }
  u32 GetCodePage() const { return codePage_; }
  i32 GetHeight() const { return height_; }
  i32 GetAscent() const { return ascent_; }
  i32 GetDescent() const { return descent_; }
  i32 GetSpace() const { return space_; }
  u32 GetDefaultChar() const { return defaultChar_; }
  u32 GetGlyphCount() const { return glyphCount_; }
  const KGEGLYPH* GetGlyphs() const { return glyphs_.get(); }
  const KGEGLYPH* GetDefaultGlyph() const { return defaultGlyph_; }
  u32 GetKerningCount() const { return kernCount_; }
  const KGEKERNPAIR* GetKerningPairs() const { return kerning_.get(); }
  i32 GetTracking() const { return tracking_; }
  i32 GetLeading() const { return leading_; }
  // 65,536 entries, or null before the character set is chosen.
  const u16* GetCodeIndex() const { return codeIndex_.get(); }
  const u16* GetByteIndex() const { return byteIndex_; }

  // Code units of a text that a walk takes: up to the terminating 0 for
  // kWholeText, else the count; never more than kMaxTextLength.
  template <typename Char>
  static u32 WalkLength(const Char* text, u32 length);

 protected:
  // Stores the character set, finds its code page and byte table, clears the
  // code index and allocates the glyph array for `count` glyphs (at most
  // kMaxGlyphs). Kerning is cleared.
  i32 InitCharset(u32 charset, u32 count);
  // Fills the glyph slots from a list of characters, keeping codes above 32;
  // the glyph count becomes the number kept.
  i32 SetGlyphChars(const wchar* chars);
  i32 SetGlyphBytes(const u8* chars);
  i32 AllocImages(u32 count, i32 cellHeight);
  // Own indexes, code index, byte index and default glyph from the glyphs;
  // clears every has-image flag and negative advances.
  void BuildIndex();
  // Stores the pairs whose characters both have glyphs (with `nonZeroOnly`,
  // only pairs with an amount), grouped in runs by their first glyph.
  i32 SetKerningPairs(const KGEKERNENTRY* entries, u32 count, bool nonZeroOnly);

  void DrawWith(const wchar* text, u32 length, DXLMATRIX m);

  u32 signature_[2];
  DXLViewer* viewer_;
  u32 built_ = 0;
  u32 useCount_ = 0;
  u32 seenSizes_[4] = {};
  DXLTexture* image_ = nullptr;  // owned or not as the subclass says
  i32 cellHeight_ = 0;
  u32 imageCount_ = 0;
  std::unique_ptr<KGEGLYPHIMAGE[]> images_;
  u32 color_ = 0xFFFFFFFFu;
  std::unique_ptr<DXLQUAD[]> quads_;
  u32 charset_ = 1;
  u32 codePage_ = 0;
  i32 height_ = 0;
  i32 ascent_ = 0;
  i32 descent_ = 0;
  i32 space_ = 0;
  u32 defaultChar_ = 0;
  u32 glyphCount_ = 0;
  std::unique_ptr<KGEGLYPH[]> glyphs_;
  std::unique_ptr<u16[]> codeIndex_;
  u16 byteIndex_[256] = {};
  const KGEGLYPH* defaultGlyph_ = nullptr;
  u32 kernCount_ = 0;
  std::unique_ptr<KGEKERNPAIR[]> kerning_;
  i32 tracking_ = 0;
  i32 leading_ = 0;
};

// Fails with KGE_E_FAIL when either is missing, else the font's record.
i32 KGESaveFont(kis::BaseDataFileWriter* writer, KGEFont* font);

// --- Template definitions -------------------------------------------------------

namespace kgedetail {
bool AllocationAllowed(size_t bytes);
}

template <typename T>
std::unique_ptr<T[]> KGEAllocArray(size_t count) {
  if (count == 0) count = 1;
  std::unique_ptr<T[]> p;
  if (count <= (static_cast<size_t>(-1) >> 1) / sizeof(T) && kgedetail::AllocationAllowed(count * sizeof(T))) {
    p.reset(new (std::nothrow) T[count]());
  }
  if (!p) KGEOutOfMemory();
  return p;
}

template <typename Char>
u32 KGEFont::WalkLength(const Char* text, u32 length) {
  if (!text) return 0;
  if (length != kWholeText) return length < kMaxTextLength ? length : kMaxTextLength;
  u32 n = 0;
  while (n < kMaxTextLength && text[n] != 0) ++n;
  return n;
}
