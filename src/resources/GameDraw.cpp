#include "resources/GameDraw.h"

#include <cmath>

#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/ResourceServices.h"

void BindDrawTexture(DXLTexture* texture) {
  ResourceServices& g = GetResourceServices();
  if (!texture) {
    UnbindDrawTexture();
    return;
  }
  if (texture == g.drawTexture) {
    // Still bound: nothing to do. A text sprite or a font selects its own
    // texture and clears the viewer's after it, behind this record: the
    // texture is then bound afresh (else its quads would draw untextured).
    if (!g.viewer || g.viewer->GetCurrentTexture() == texture) return;
    g.drawTexture = nullptr;
  }
  DXLTexture* previous = g.drawTexture;
  if (previous) previous->Deselect(!texture->IsReady());
  if (g.blendState && !previous && g.viewer) g.viewer->ApplyDrawState(*g.blendState);
  g.drawTexture = texture;
  texture->Select(g.blendState == nullptr);
}

void UnbindDrawTexture() {
  ResourceServices& g = GetResourceServices();
  if (!g.drawTexture) return;
  g.drawTexture->Deselect(true);
  g.drawTexture = nullptr;
}

DXLTexture* GetDrawTexture() { return GetResourceServices().drawTexture; }

const DXLDRAWSTATE* SetBlendState(const DXLDRAWSTATE* record) {
  ResourceServices& g = GetResourceServices();
  const DXLDRAWSTATE* previous = g.blendState;
  g.blendState = record;
  if (g.drawTexture) {
    if (record) {
      if (g.viewer) g.viewer->ApplyDrawState(*record);
    } else {
      g.drawTexture->ApplyDrawState();
    }
  }
  return previous;
}

const DXLDRAWSTATE* GetBlendState() { return GetResourceServices().blendState; }

void DrawQuad(const DXLQUAD* quad) {
  ResourceServices& g = GetResourceServices();
  if (!quad) return;
  if (g.batch.IsCollecting()) {
    g.batch.AddQuad(quad);
  } else if (g.viewer) {
    g.viewer->DrawQuad(quad);
  }
}

void DrawScreenBorders() {
  ResourceServices& g = GetResourceServices();
  const SCREENBORDERS& b = g.borders;
  if (b.count == 0 || !b.quads || !g.viewer) return;
  BindDrawTexture(b.texture);
  g.viewer->ResetWorldTransform();
  g.viewer->DrawQuads(b.count, b.quads);
  UnbindDrawTexture();
}

void LoadGameAreaTransform() {
  DXLViewer* viewer = GetResourceServices().viewer;
  if (!viewer) return;
  const GAMESCREENAREA& s = GetResourceServices().screen;
  viewer->LoadIdentity(nullptr);
  viewer->Translate(static_cast<float>(s.rect.left), static_cast<float>(s.rect.top));
  if (s.scaling) viewer->Scale(s.scale);
}

void TellPlace(const std::string& what, const DXLRECT& rect) {
  const ResourceServices& g = GetResourceServices();
  if (!g.tellPlaces) return;
  const float scale = g.screen.scaling ? g.screen.scale : 1.0f;
  const auto scaled = [scale](i32 v) { return static_cast<i32>(std::lround(static_cast<float>(v) * scale)); };
  const auto x = [&](i32 v) { return g.screen.rect.left + scaled(v); };
  const auto y = [&](i32 v) { return g.screen.rect.top + scaled(v); };
  const std::string line = "Placed " + what + " " + std::to_string(x(rect.left)) + " " + std::to_string(y(rect.top)) +
                           " " + std::to_string(x(rect.right) - x(rect.left)) + " " +
                           std::to_string(y(rect.bottom) - y(rect.top));
  DXLLogLine(0, line.c_str());
}

void TellGone(const std::string& what) {
  if (GetResourceServices().tellPlaces) DXLLogLine(0, ("Gone " + what).c_str());
}

KGEFont* GetGameFont(u32 number) {
  if (number >= 1 && number <= kGameFontCount) {
    const GameLanguage* language = GetGameLanguage();
    return language ? language->GetFont(number - 1) : nullptr;
  }
  if (number >= 5 && number < 5 + kGameFontSlots) return GetResourceServices().fonts[number - 5];
  return nullptr;
}

u32 UpdateAnimFrame(DXLFRAMESEQ* seq) {
  if (!seq) return 0;
  seq->current = DXLFrameSeqFrameAt(seq, GameFrameTime() - seq->elapsed);
  return seq->current;
}

SpriteBatch& GetSpriteBatch() { return GetResourceServices().batch; }
