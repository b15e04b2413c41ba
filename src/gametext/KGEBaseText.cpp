#include "gametext/KGEBaseText.h"

#include <new>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEFont.h"
#include "gametext/KGELayout.h"
#include "gametext/TextServices.h"

void KGEBaseText::Clear() {
  KGECustomText::Clear();
  runs_.Clear();
  quads_.Clear();
}

i32 KGEBaseText::SetText(const wchar* text, u32 length) {
  i32 hr = KGECustomText::SetText(text, length);
  KGELayout& layout = GetTextServices().layout;
  if (hr >= 0) hr = layout.Layout<wchar>(font_, &params_, LayoutText(text), LayoutLength(length));
  if (hr >= 0) hr = BuildQuads(layout);
  if (hr < 0) {
    Clear();
    return hr;
  }
  laidOut_ = 1;
  width_ = layout.Width();
  height_ = layout.Height();
  return KGE_S_OK;
}

i32 KGEBaseText::AddQuad(DXLTexture* texture, const DXLQUAD& quad) {
  if (!quads_.Add(&quad)) return KGE_E_OUTOFMEMORY;
  if (runs_.Count() == 0 || runs_.Back().texture != texture) {
    const TextureRun run{texture, 0};
    if (!runs_.Add(&run)) {
      quads_.Pop();
      return KGE_E_OUTOFMEMORY;
    }
  }
  runs_.Back().end = quads_.Count();
  return KGE_S_OK;
}

i32 KGEBaseText::BuildQuads(const KGELayout& layout) {
  runs_.Clear();
  quads_.Clear();
  if (!quads_.Reserve(layout.GlyphCount() + layout.ImageCount())) return KGE_E_OUTOFMEMORY;
  const KGERUN* runs = layout.Runs();
  const KGELAYOUTGLYPH* glyphs = layout.Glyphs();
  for (u32 l = 0; l < layout.LineCount(); ++l) {
    const KGELINE& line = layout.Lines()[l];
    for (u32 r = line.firstRun; r < line.firstRun + line.runCount; ++r) {
      const KGERUN& run = runs[r];
      if (run.kind == kKGERunGlyphs && run.font) {
        for (u32 k = run.first; k < run.first + run.count; ++k) {
          const KGELAYOUTGLYPH& g = glyphs[k];
          const DXLQUAD* prepared = (g.glyph->hasImage & 0xFF) ? run.font->GetGlyphQuad(g.glyph) : nullptr;
          if (!prepared) continue;
          DXLQUAD quad = *prepared;
          const float dx = static_cast<float>(static_cast<i64>(run.x) + g.x);
          const float dy = static_cast<float>(KGELayout::GlyphTop(line, run, g));
          for (DXLVERTEX& v : quad.v) {
            v.x += dx;
            v.y += dy;
            v.color = g.color;
          }
          const i32 hr = AddQuad(run.font->GetTexture(), quad);
          if (hr < 0) return hr;
        }
      } else if (run.kind == kKGERunImage) {
        const KGELAYOUTIMAGE& image = layout.Images()[run.image];
        DXLTexture* texture = image.texture;
        if (!texture || !texture->IsReady() || image.width == 0 || image.height == 0) continue;
        const DXLRECT& s = image.source;
        DXLQUAD quad;
        texture->MakeQuadPartScaled(&quad, static_cast<float>(layout.ImageLeft(run)),
                                    static_cast<float>(layout.ImageTop(line, run)), static_cast<float>(image.width),
                                    static_cast<float>(image.height), static_cast<float>(s.left),
                                    static_cast<float>(s.top), static_cast<float>(s.right - s.left),
                                    static_cast<float>(s.bottom - s.top), image.color, false, false);
        for (DXLVERTEX& v : quad.v) v.color = image.color;
        const i32 hr = AddQuad(texture, quad);
        if (hr < 0) return hr;
      }
    }
  }
  return KGE_S_OK;
}

// The viewer's transform is put on the device first, so a text lands where
// its owner placed the viewer and never where the last drawing left the
// device.
void KGEBaseText::Draw() {
  if (!viewer_ || !viewer_->HasDevice() || quads_.Count() == 0) return;
  viewer_->ApplyDrawState(drawState_);
  DXLMATRIX m;
  viewer_->GetTransform(&m);
  viewer_->ApplyTransform(&m);
  DXLTexture* bound = nullptr;
  u32 start = 0;
  for (u32 r = 0; r < runs_.Count(); ++r) {
    const TextureRun& run = runs_[r];
    bool draw = bound && run.texture == bound;
    if (!draw && run.texture && run.texture->IsReady() && run.texture->Select(false)) {
      if (bound) bound->Deselect(false);
      bound = run.texture;
      draw = true;
    }
    if (draw) viewer_->DrawQuads(run.end - start, quads_.Data() + start);
    start = run.end;
  }
  if (bound) bound->Deselect(true);
}

void KGEBaseText::SetColor(u32 argb) {
  if (argb == color_) return;
  color_ = argb;
  for (u32 i = 0; i < quads_.Count(); ++i)
    for (DXLVERTEX& v : quads_[i].v) v.color = argb;
}

void KGEBaseText::SetAlpha(u32 argb) {
  if ((argb >> 24) == (color_ >> 24)) return;
  const u32 alpha = argb & 0xFF000000u;
  color_ = (color_ & 0xFFFFFFu) | alpha;
  // Each glyph keeps its own colour; only the opacity changes.
  for (u32 i = 0; i < quads_.Count(); ++i)
    for (DXLVERTEX& v : quads_[i].v) v.color = (v.color & 0xFFFFFFu) | alpha;
}

i32 KGECreateTextW(DXLViewer* viewer, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text, u32 length,
                   KGETEXTCALLBACK callback, KGETextW** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  KGETextW* t = new (std::nothrow) KGETextW(viewer);
  if (!t) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  t->SetFont(font, params);
  *out = t;
  return t->SetText(text, length, callback);
}
