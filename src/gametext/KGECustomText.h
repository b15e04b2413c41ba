// KGECustomText - the base of the game's text objects: a font (not owned,
// it must outlive the text), a parameter block, optionally the text object's
// own copy of the text, and the size of the last layout. Subclasses lay the
// text out with the shared KGELayout and turn the result into something to
// draw: KGEBaseText keeps textured quads grouped by glyph texture,
// KGEBaseTextSprite renders into a texture of its own.
//
// SetFont normalises the block as it copies it; it does not lay the text out
// again, callers set the text afterwards. A failed SetText leaves the object
// cleared: nothing is drawn and its size is 0.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "gametext/KGETextParams.h"

class DXLViewer;
class KGEFont;

// Status codes of the text objects.
constexpr i32 KGE_E_NULLTEXT = static_cast<i32>(0x89C500C9u);
constexpr i32 KGE_E_SPRITETEXTURE = static_cast<i32>(0x89C500D2u);

class KGECustomText {
 public:
  KGECustomText(DXLViewer* viewer, u32 charWidth);
  KGECustomText(const KGECustomText&) = delete;
  KGECustomText& operator=(const KGECustomText&) = delete;

  // Keeps the text (a copy with kKGEOwnCopy); subclasses lay it out.
  virtual i32 SetText(const wchar* text, u32 length);
  virtual void SetFont(KGEFont* font, const KGETEXTPARAMS* params);
  virtual void Clear();
  virtual ~KGECustomText();
  virtual void Draw() = 0;
  virtual void SetColor(u32 argb) = 0;
  virtual void SetAlpha(u32 argb) = 0;

  // Length normalisation, bracket names through the callback, then SetText
  // (a failure clears the object).
  i32 SetText(const wchar* text, u32 length, KGETEXTCALLBACK callback);
  // Sets the context words the callback receives, then SetText.
  i32 SetTextEx(const wchar* text, u32 length, uintptr_t context1, uintptr_t context2, KGETEXTCALLBACK callback);

  // kKGEWholeText and 0xFFFFFFFF: up to the terminating 0 (nothing for a null
  // text), at most 8,192; any other length is capped at 8,192. A null text
  // with a length fails with KGE_E_NULLTEXT.
  static i32 NormalizeLength(const wchar* text, u32* length);

  const wchar* GetText() const { return text_.get(); }  // the own copy, or null
  u32 GetTextLength() const { return length_; }
  u32 GetTextCapacity() const { return capacity_; }
  bool IsLaidOut() const { return laidOut_ != 0; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  u32 GetColor() const { return color_; }
  KGEFont* GetFont() const { return font_; }
  const KGETEXTPARAMS& GetParams() const { return params_; }
  DXLViewer* GetViewer() const { return viewer_; }
  const DXLDRAWSTATE& GetDrawState() const { return drawState_; }
  void SetDrawState(const DXLDRAWSTATE& state) { drawState_ = state; }

 protected:
  // Length normalisation and bracket names: `text` and `length` become what
  // is to be laid out.
  i32 PrepareText(const wchar** text, u32* length, KGETEXTCALLBACK callback);
  // The characters to lay out: the own copy or the caller's.
  const wchar* LayoutText(const wchar* text) const;
  u32 LayoutLength(u32 length) const;

  DXLViewer* viewer_;
  KGEFont* font_ = nullptr;
  KGETEXTPARAMS params_;
  u32 charWidth_;  // 1 wide, 0 8-bit
  u32 capacity_ = 0;
  u32 length_ = 0;
  std::unique_ptr<wchar[]> text_;
  u32 laidOut_ = 0;
  i32 width_ = 0;
  i32 height_ = 0;
  u32 color_ = 0xFFFFFFFFu;
  DXLDRAWSTATE drawState_;
};

// Grows an integer rectangle by d on every side.
void InflateRectBy(DXLRECT* rect, i32 d);
