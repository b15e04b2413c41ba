#include "app/LogoSequence.h"

#include <algorithm>

#include "base/Maths.h"
#include "base/Path.h"
#include "base/text/TdrRowReader.h"
#include "engine/DXLApp.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ColorEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"

namespace {

constexpr u32 kLogoPathLength = 260;
constexpr u32 kLogoBlendMode = kBlendAlpha;

}  // namespace

LogoSequence::LogoSequence(const wchar* listFile)
    : textures_(std::make_unique<DXLTextures>(GetResourceServices().viewer)) {
  kis::TdrDocument* doc = nullptr;
  if (listFile && kis::LoadTdrDocument(listFile, &doc)) {
    doc->SetCurrentNode(nullptr);
    const u32 rows = kis::TdrRowCount(*doc);
    for (u32 i = 0; i < rows; ++i) {
      wchar picture[kLogoPathLength] = {};
      u32 colour = 0, duration = 0, notSkippable = 0;
      if (!kis::ReadTdrRow(*doc, i, u"Z[260],x4,u4,{b4}", false, &picture, &colour, &duration, &notSkippable))
        continue;
      wchar full[kLogoPathLength];
      if (!picture[0] || !kis::CombinePathW(full, kLogoPathLength, listFile, picture, true)) continue;
      // The logo is scaled to the game area: its padding repeats its edges.
      DXLTexture* texture = DXLLoadTextureFile(textures_.get(), full, kLogoBlendMode, nullptr, true,
                                               kTextureEdgeRight | kTextureEdgeBottom);
      if (!texture) continue;
      if (!texture->IsReady()) {
        delete texture;
        continue;
      }
      logos_.push_back(GAMELOGO{texture, colour & 0x00FFFFFFu,
                                std::clamp(duration, kLogoMinDuration, kLogoMaxDuration), notSkippable ? 1u : 0u});
    }
    delete doc;
  }
  finished_ = logos_.empty();
}

LogoSequence::~LogoSequence() { DeleteSpriteEffects(&effects_); }

bool LogoSequence::Next(bool skip) {
  if (finished_) return false;
  if (index_ >= 0 && skip && logos_[static_cast<u32>(index_)].notSkippable) return false;
  DeleteSpriteEffects(&effects_);
  alpha_ = 0;
  if (static_cast<u32>(index_ + 1) >= logos_.size()) {
    finished_ = true;
    return false;
  }
  ++index_;
  const GAMELOGO& logo = logos_[static_cast<u32>(index_)];
  AttachSpriteEffect(&effects_, new SEffect_Logo(logo.duration));
  const ResourceServices& g = GetResourceServices();
  const float scale = static_cast<float>(g.screen.height) / 800.0f;
  const i32 w = kis::RoundToInt(static_cast<float>(logo.texture->GetImageWidth()) * scale);
  const i32 h = kis::RoundToInt(static_cast<float>(logo.texture->GetImageHeight()) * scale);
  logo.texture->MakeQuadSized(&quad_, static_cast<float>((g.screen.width - w) / 2),
                              static_cast<float>((g.screen.height - h) / 2), static_cast<float>(w),
                              static_cast<float>(h), 0xFF000000u, false, false);
  return true;
}

bool LogoSequence::Draw() {
  if (finished_) return false;
  if (index_ < 0 && !Next(false)) return false;
  // The effect ends (and empties its list) once the logo's time is over.
  while (!UpdateSpriteEffects(&effects_)) {
    if (!Next(false)) return false;
  }
  alpha_ = GetEffectColor(effects_, 0xFFFFFFFFu) >> 24;
  const GAMELOGO& logo = logos_[static_cast<u32>(index_)];
  const u32 a = alpha_;
  auto faded = [a](u32 channel) { return (channel * a + 127) / 255; };
  const u32 bg = logo.background;
  const u32 clear = 0xFF000000u | faded(bg >> 16 & 0xFF) << 16 | faded(bg >> 8 & 0xFF) << 8 | faded(bg & 0xFF);
  ResourceServices& g = GetResourceServices();
  if (g.viewer) g.viewer->Clear(clear);
  const u32 colour = 0xFF000000u | a << 16 | a << 8 | a;
  for (DXLVERTEX& v : quad_.v) v.color = colour;
  // The quad is placed in the game area: its place on a screen wider than the game.
  LoadGameAreaTransform();
  if (g.viewer) g.viewer->ApplyTransform(nullptr);
  BindDrawTexture(logo.texture);
  DrawQuad(&quad_);
  UnbindDrawTexture();
  if (g.viewer) g.viewer->ResetWorldTransform();
  return true;
}

bool DrawLogoFrame(LogoSequence* logos) { return logos && logos->Draw(); }

void SkipLogo(LogoSequence* logos) {
  if (logos) logos->Next(true);
}
