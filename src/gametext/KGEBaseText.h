// KGEBaseText / KGETextW - a text object that keeps its laid-out glyphs as
// textured quads (the fonts' prepared glyph quads moved into place, images as
// quads of their textures), grouped in runs of one texture so that one bind
// serves a run. Draw puts them on screen under the viewer's current
// transform every frame; SetColor and SetAlpha change the vertex colours
// without a new layout.
//
// Glyphs are drawn only from fonts in use (KGEFont::Acquire): a font that is
// not built has no quads to give.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "gametext/KGECustomText.h"
#include "gametext/KGEGrowArray.h"

class DXLTexture;
class KGELayout;

class KGEBaseText : public KGECustomText {
 public:
  // One texture and where its quads end in the quad array.
  struct TextureRun {
    DXLTexture* texture;
    u32 end;
  };

  KGEBaseText(DXLViewer* viewer, u32 charWidth) : KGECustomText(viewer, charWidth) {}

  i32 SetText(const wchar* text, u32 length) override;
  void Clear() override;
  void Draw() override;
  void SetColor(u32 argb) override;
  void SetAlpha(u32 argb) override;

  using KGECustomText::SetText;

  u32 GetQuadCount() const { return quads_.Count(); }
  const DXLQUAD* GetQuads() const { return quads_.Data(); }
  u32 GetRunCount() const { return runs_.Count(); }
  const TextureRun* GetRuns() const { return runs_.Data(); }

 private:
  i32 BuildQuads(const KGELayout& layout);
  i32 AddQuad(DXLTexture* texture, const DXLQUAD& quad);

  KGEGrowArray<TextureRun> runs_;
  KGEGrowArray<DXLQUAD> quads_;
};

class KGETextW : public KGEBaseText {
 public:
  explicit KGETextW(DXLViewer* viewer) : KGEBaseText(viewer, 1) {}
};

// Allocates a KGETextW, sets its font and block, stores it in `out` and sets
// its text. KGE_E_OUTOFMEMORY (out null) when it cannot be allocated.
i32 KGECreateTextW(DXLViewer* viewer, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text, u32 length,
                   KGETEXTCALLBACK callback, KGETextW** out);
