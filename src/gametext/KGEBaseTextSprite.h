// KGEBaseTextSprite / KGETextSpriteW - a text object rendered once into a
// texture of its own (A8R8G8B8) and drawn as one quad: for texts that rarely
// change. The texture covers the text's ink, grown by the outline and the
// drop shadow of its KGESPRITEPARAMS, which are drawn into it; it is cut to
// the maximum size by the text's alignment.
//
// Every render starts from a texture cleared to transparent white, whether
// the texture is new or reused. Glyphs are taken from the glyph textures of
// fonts in use. The sprite owns its texture and keeps its own copy of the
// text it laid out: when the device is made anew the texture asks the sprite
// for its pixels again (it is the texture's source), and a render that found
// a font's glyphs gone is tried again by Restore (Draw calls it) until the
// fonts are back, so the text shows again without being set anew.
#pragma once

#include <memory>
#include <string>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "engine/DXLTextureSource.h"
#include "gametext/KGECustomText.h"

class DXLTexture;
class KGELayout;

class KGEBaseTextSprite : public KGECustomText, public DXLTextureSource {
 public:
  static constexpr i32 kDefaultMaxSide = 2048;

  KGEBaseTextSprite(DXLViewer* viewer, u32 charWidth);
  ~KGEBaseTextSprite() override;

  i32 SetText(const wchar* text, u32 length) override;
  void Draw() override;
  void SetColor(u32 argb) override;
  void SetAlpha(u32 argb) override;
  // Renders the kept text again into the texture (texture source).
  void LoadTexture(DXLTexture* texture) override;

  using KGECustomText::SetText;

  // Renders the kept text again when the device took the texture's pixels
  // or the last render missed glyphs of a font that was gone; callers that
  // draw the texture themselves call it before drawing.
  void Restore();
  bool IsRestorePending() const { return restorePending_; }

  // Copies the block (all zero for null); an outline or shadow that would not
  // be drawn is switched off.
  void SetSpriteParams(const KGESPRITEPARAMS* params);
  const KGESPRITEPARAMS& GetSpriteParams() const { return sprite_; }
  DXLTexture* GetTexture() const { return texture_.get(); }
  // Where the texture's top-left lies in the text's coordinates, and its size.
  const DXLRECT& GetTextureRect() const { return rect_; }
  const DXLQUAD& GetQuad() const { return quad_; }

 private:
  i32 Render(const KGELayout& layout);
  i32 LayOutAndRender(const wchar* text, u32 length, KGELayout& layout);
  DXLRECT InkBounds(const KGELayout& layout) const;
  void ChooseRect(DXLRECT* rect, i32* width, i32* height) const;

  KGESPRITEPARAMS sprite_{};
  std::unique_ptr<DXLTexture> texture_;
  DXLRECT rect_{0, 0, 0, 0};
  DXLQUAD quad_{};
  bool empty_ = true;
  std::u16string kept_;          // the text laid out last
  bool missedGlyphs_ = false;    // the last render skipped glyphs of a font without pixels
  bool restorePending_ = false;  // the device came back; render again until nothing is missed
};

class KGETextSpriteW : public KGEBaseTextSprite {
 public:
  explicit KGETextSpriteW(DXLViewer* viewer) : KGEBaseTextSprite(viewer, 1) {}
};

// Allocates a KGETextSpriteW, sets its font, blocks and text as
// KGECreateTextW does.
i32 KGECreateTextSpriteW(DXLViewer* viewer, KGEFont* font, const KGETEXTPARAMS* params,
                         const KGESPRITEPARAMS* spriteParams, const wchar* text, u32 length,
                         KGETEXTCALLBACK callback, KGETextSpriteW** out);
