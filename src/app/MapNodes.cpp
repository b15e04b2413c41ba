#include "app/MapNodes.h"

#include "app/MapAnimals.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/Maths.h"
#include "base/NumberText.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteSet.h"
#include "hud/HudPieces.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kNodeSelectionColour = 0x20C0FFA0u;
constexpr u32 kNodeGlowColour = 0x00FFFFBEu;
constexpr u32 kNodeGlowAlpha = 0xA0;
constexpr u32 kSignNumberColour = 0xFF417F93u;

// The picture drawn with the colour, and again additively when hovered.
void DrawNodeImage(ImageSprite* image, u32 color, bool hovered, const DXLMATRIX& at) {
  DXLViewer* viewer = GetGameViewer();
  if (!image || !viewer) return;
  viewer->SetTransform(&at);
  image->SetColor(color | 0x00FFFFFFu);
  image->Draw();
  if (!hovered) return;
  const u32 a = color >> 24;
  const u32 extra = a == 255 ? 0x40 : a / 4;
  viewer->SetTransform(&at);
  image->SetDrawState(MapHoverDrawState());
  image->SetColor((extra << 24) | 0x00FFFFFFu);
  image->Draw();
  image->SetDrawState(nullptr);
}

// A quad of the picture's first frame centred on (0, 0) with the colour.
bool CentredQuad(Sprite* sprite, u32 colour, DXLQUAD* out) {
  *out = DXLQUAD{};
  if (!sprite) return false;
  const i32 w = sprite->GetFrameWidth(), h = sprite->GetFrameHeight();
  sprite->MakeQuad(out, DXLRECT{-w / 2, -h / 2, w - w / 2, h - h / 2}, colour);
  return true;
}

// A prepared quad of the picture drawn with the colour in the blend mode.
void DrawCentredSprite(Sprite* sprite, DXLQUAD quad, u32 colour, u32 blend) {
  if (!sprite || !sprite->GetTexture()) return;
  for (DXLVERTEX& v : quad.v) v.color = colour;
  sprite->GetTexture()->SetBlendMode(blend);
  GetGameViewer()->ApplyTransform(nullptr);
  BindDrawTexture(sprite->GetTexture());
  DrawQuad(&quad);
}

// Each channel of the colour scaled by the tint's (the alpha cleared).
u32 TintColour(u32 colour, u32 tint) {
  u32 out = 0;
  for (u32 shift = 0; shift < 24; shift += 8)
    out |= (((colour >> shift) & 0xFF) * ((tint >> shift) & 0xFF) / 255) << shift;
  return out;
}

u32 EffectAlpha(const SpriteEffectList* effects) {
  return effects ? GetEffectColor(effects, 0xFFFFFFFFu) >> 24 : 255;
}

KGETextSpriteW* LevelNumberText(i32 level, u32 font) {
  wchar text[16];
  kis::UIntToStr(text, 16, static_cast<u32>(level + 1));
  return MakePanelText(text, font);
}

}  // namespace

// The additive pass over a hovered decoration, built once.
const DXLDRAWSTATE* MapHoverDrawState() {
  static const DXLDRAWSTATE state = [] {
    DXLDRAWSTATE s{};
    DXLMakeDrawState(&s, 1, 1, 3, 3, 3, 4, 4);
    return s;
  }();
  return &state;
}

Sprite* LoadSelectMapPicture(u32 set, const wchar* name) {
  Sprite* sprite = GetSpriteByName(set, name);
  if (!sprite) return nullptr;
  if (!sprite->IsLoaded()) sprite->Init();
  return sprite->IsLoaded() ? sprite : nullptr;
}

u32 MapStateMask(u32 state) { return state <= 2 ? 1u << state : kMapMaskFinished; }

MapNodePictures LookUpMapNodePictures() {
  MapNodePictures p;
  p.sign = LoadSelectMapPicture(kSelectionMapSpriteSet, u"sign");
  p.medals = LoadSelectMapPicture(kHudSpriteSet, u"map_medals");
  return p;
}

// --- Decorations -----------------------------------------------------------------------------------

BaseMLS::~BaseMLS() { DeleteSpriteEffects(&effects_); }

void BaseMLS::Show(u32 delay) {
  AttachSpriteEffect(&effects_, new SEffect_Alpha(0.0f, 1.0f, kMapNodeFadeMs, true, delay));
}

void BaseMLS::Hide(u32 delay) {
  AttachSpriteEffect(&effects_, new SEffect_Alpha(1.0f, 0.0f, kMapNodeFadeMs, true, delay));
}

MLSSprite::MLSSprite(const MAPNODEITEM& item, bool centred) : BaseMLS(item.stateMask) {
  x_ = static_cast<float>(item.x);
  y_ = static_cast<float>(item.y);
  Sprite* sprite = LoadSelectMapPicture(kSelectionMapSpriteSet, item.sprite);
  if (!sprite) return;
  image_.reset(sprite->CreateImageSprite(item.imageFlag != 0));
  if (!image_) return;
  const float scale = item.scale;  // above 0: the map section's reader refuses other items
  image_->SetScale(scale, scale);
  if (centred) {
    x_ -= static_cast<float>(sprite->GetFrameWidth()) * scale / 2;
    y_ -= static_cast<float>(sprite->GetFrameHeight()) * scale / 2;
  }
  if (item.frameTime > 0 && sprite->GetFrameCount() > 1) {
    animated_ = true;
    DXLFrameSeqInit(&seq_, item.frameMode, 0, static_cast<u32>(sprite->GetFrameCount()), item.frameTime, 0, 0);
  }
}

MLSSprite::~MLSSprite() = default;

void MLSSprite::Begin() {
  if (!animated_) return;
  seq_.elapsed = 0;
  if (image_) image_->SetFrame(static_cast<i32>(DXLFrameSeqGetFrame(&seq_)));
}

void MLSSprite::Update(u32 ms) {
  if (!animated_) return;
  seq_.elapsed += ms;
  if (image_) image_->SetFrame(static_cast<i32>(DXLFrameSeqGetFrame(&seq_)));
}

void MLSSprite::Draw(u32 color, bool hovered) {
  DXLViewer* viewer = GetGameViewer();
  if (!image_ || !viewer) return;
  DXLMATRIX at{};
  viewer->Translate(x_, y_);
  viewer->GetTransform(&at);
  DrawNodeImage(image_.get(), color, hovered, at);
}

MLSSign::MLSSign(const MAPNODEITEM& item, i32 level, Sprite* sign) : BaseMLS(item.stateMask) {
  x_ = static_cast<float>(item.x + kMapSignLeft);
  y_ = static_cast<float>(item.y + kMapSignTop);
  if (sign) image_.reset(sign->CreateImageSprite(false));
  number_.reset(LevelNumberText(level, 4));
  if (number_) {
    numberX_ = std::floor(22.0f - static_cast<float>(number_->GetWidth()) / 2);
    numberY_ = std::floor(29.0f - static_cast<float>(number_->GetHeight()) / 2);
  }
}

MLSSign::~MLSSign() = default;

void MLSSign::Show(u32 delay) { AttachSpriteEffect(&effects_, new SEffect_Build(kMapNodeFadeMs, delay)); }

void MLSSign::Hide(u32 delay) {
  AttachSpriteEffect(&effects_, new SEffect_Scale(1.0f, 0.0f, kMapNodeFadeMs, true, delay));
}

void MLSSign::Draw(u32 color, bool hovered) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX at{};
  viewer->Translate(x_, y_);
  viewer->GetTransform(&at);
  DrawNodeImage(image_.get(), color, hovered, at);
  if (!number_) return;
  viewer->SetTransform(&at);
  viewer->Translate(numberX_, numberY_);
  viewer->ApplyTransform(nullptr);
  // The sign's ink tinted white when hovered, else 0xA0A0A0.
  number_->SetColor(TintColour(kSignNumberColour, hovered ? 0xFFFFFFu : 0xA0A0A0u) | (color & 0xFF000000u));
  number_->Draw();
}

MLSParticles::MLSParticles(const MAPNODEITEM& item) : BaseMLS(item.stateMask) {
  scale_ = std::isfinite(item.emitterScale) && item.emitterScale != 0.0f ? item.emitterScale : 1.0f;
  space_ = std::make_unique<GPSSpace>(0);
  const u32 count = std::min(item.emitterCount, kMapNodeEmitterMax);
  for (u32 i = 0; i < count; ++i) {
    const MAPNODEEMITTER& e = item.emitters[i];
    const GPSSYSTEM* system = FindParticleSystem(e.systemId);
    if (!system) continue;
    new GPSEmiter(space_.get(), system, nullptr, static_cast<float>(e.x) / scale_, static_cast<float>(e.y) / scale_);
  }
}

MLSParticles::~MLSParticles() = default;

void MLSParticles::Begin() { space_->StartEmitters(); }
void MLSParticles::End() { space_->StopEmitters(true); }
void MLSParticles::Update(u32 ms) { space_->Update(static_cast<float>(ms)); }

void MLSParticles::Draw(u32 color, bool) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->Scale(scale_);
  space_->SetAlpha(static_cast<float>(color >> 24) / 255.0f);
  space_->Draw();
}

// --- The node --------------------------------------------------------------------------------------

MapLevelSprite::MapLevelSprite(MapNodeOwner* owner, i32 level, i32 x, i32 y, const MAPNODE* node)
    : owner_(owner), level_(level), node_(node), x_(x), y_(y) {
  selection_ = LoadSelectMapPicture(kSelectionMapSpriteSet, u"selection");
  if (!CentredQuad(selection_, kNodeSelectionColour, &selectionQuad_)) selection_ = nullptr;
  hex_ = LoadSelectMapPicture(kSelectionMapSpriteSet, u"hex");
  if (!CentredQuad(hex_, kNodeGlowColour | (kNodeGlowAlpha << 24), &hexQuad_)) hex_ = nullptr;
}

MapLevelSprite::~MapLevelSprite() {
  for (u32 i = 0; i < kMapNodeItemSlots; ++i) DeleteChild(i);
  DeleteSpriteEffects(&resultEffects_);
  DeleteSpriteEffects(&glowEffects_);
}

void MapLevelSprite::DeleteChild(u32 slot) {
  delete children_[slot];
  children_[slot] = nullptr;
}

BaseMLS* MapLevelSprite::MakeChild(const MAPNODEITEM& item) const {
  switch (item.kind) {
    case kMapItemSprite: return new MLSSprite(item, false);
    case kMapItemSpot: return new MLSSprite(item, true);
    case kMapItemSign: return new MLSSign(item, level_, owner_ ? owner_->GetNodePictures().sign : nullptr);
    case kMapItemParticles: return new MLSParticles(item);
    case kMapItemCharacters: return new MLSChars(item);
    default: return nullptr;
  }
}

void MapLevelSprite::SetState(u32 state, bool animate, u32 delay) {
  // A state above gold would index past the medal's frames: kept at gold.
  state_ = std::min(state, kMapNodeStates - 1);
  if (state_ <= 2) {
    medal_.reset();
    DeleteSpriteEffects(&resultEffects_);
    number_.reset();
    medalFrame_ = -1;
  } else {
    DeleteSpriteEffects(&resultEffects_);
    if (!medal_) {
      if (Sprite* sprite = owner_ ? owner_->GetNodePictures().medals : nullptr) {
        medal_.reset(sprite->CreateImageSprite(false));
        if (medal_) {
          // The pivot (fractions of the frame): the middle, 17 pixels below the top.
          medal_->SetPivot(0.5f, 17.0f / static_cast<float>(std::max(sprite->GetFrameHeight(), 1)));
          medal_->SetDrawStateValues(1, 1, 3, 3, 1, 5, 4);
        }
      }
    }
    // The grade the profile holds, whatever state the node shows meanwhile.
    const u32 grade = owner_ ? std::min(owner_->GetLevelState(level_), kMapNodeStates - 1) : state_;
    medalFrame_ = grade >= 4 ? static_cast<i32>(grade) - 4 : -1;
    if (medal_ && medalFrame_ >= 0) medal_->SetFrame(medalFrame_);
    if (animate)
      AttachSpriteEffect(&resultEffects_, new SEffect_Alpha(0.0f, 1.0f, kMapNodeFadeMs, true, delay + kMapNodeFadeMs));
    if (!number_) {
      number_.reset(LevelNumberText(level_, 8));
      if (number_) {
        numberX_ = static_cast<float>(-(number_->GetWidth() / 2) - 1);
        numberY_ = static_cast<float>(23 - number_->GetHeight() / 2);
      }
    }
  }
  SetChildren(MapStateMask(state_), animate, delay);
  DeleteSpriteEffects(&glowEffects_);
  if (state_ != 2 && glow_) {
    glow_ = false;
    if (animate) AttachSpriteEffect(&glowEffects_, new SEffect_Alpha(1.0f, 0.0f, kMapNodeFadeMs, true, delay));
  } else if (state_ == 2 && !glow_) {
    glow_ = true;
    if (animate)
      AttachSpriteEffect(&glowEffects_, new SEffect_Alpha(0.0f, 1.0f, kMapNodeFadeMs, true, delay + kMapNodeFadeMs));
  }
}

void MapLevelSprite::SetChildren(u32 mask, bool animate, u32 delay) {
  const u32 count = node_ ? std::min(node_->itemCount, kMapNodeItemSlots) : 0;
  for (u32 i = 0; i < count; ++i) {
    const MAPNODEITEM& item = node_->items[i];
    BaseMLS* child = children_[i];
    if (!child || child->hiding) {
      const bool wanted = (item.stateMask & mask) != 0;
      // A hiding one goes at once when nothing fades, or when a new one takes its slot.
      if (child && (!animate || wanted)) DeleteChild(i);
      if (!wanted) continue;
      BaseMLS* made = MakeChild(item);
      if (!made) continue;
      children_[i] = made;
      if (!animate) {
        made->Begin();
        made->begun = true;
      } else {
        made->Show(state_ >= 1 ? delay + kMapNodeFadeMs : delay);
      }
    } else if (!(child->GetMask() & mask)) {
      if (!animate) {
        DeleteChild(i);
        continue;
      }
      child->hiding = true;
      if (child->begun) {
        child->End();
        child->begun = false;
      }
      child->Hide(delay);
    }
  }
}

void MapLevelSprite::FinishEffects() {
  for (BaseMLS* child : children_) {
    if (!child || !child->GetEffects()) continue;
    DeleteSpriteEffects(child->EffectSlot());
    if (!child->begun && !child->hiding) {
      child->Begin();
      child->begun = true;
    }
  }
  DeleteSpriteEffects(&resultEffects_);
  DeleteSpriteEffects(&glowEffects_);
}

void MapLevelSprite::Update(u32 ms) {
  for (BaseMLS* child : children_)
    if (child) child->Update(ms);
}

void MapLevelSprite::Draw(const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&base);
  viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  DXLMATRIX at{};
  viewer->GetTransform(&at);
  if (IsHovered())
    DrawCentredSprite(selection_, selectionQuad_, kNodeSelectionColour, kBlendAdd);
  const bool glowFades = UpdateSpriteEffects(&glowEffects_);
  viewer->SetTransform(&at);
  if (glow_ || glowFades) {
    const u32 alpha = glowFades ? EffectAlpha(glowEffects_) * kNodeGlowAlpha / 255 : kNodeGlowAlpha;
    DrawCentredSprite(hex_, hexQuad_, kNodeGlowColour | (alpha << 24), kBlendAlpha);
  }
  for (u32 i = 0; i < kMapNodeItemSlots; ++i) {
    BaseMLS* child = children_[i];
    if (!child) continue;
    viewer->SetTransform(&at);
    if (node_ && node_->items[i].kind == kMapItemSign) viewer->Translate(0.0f, signShift_);
    if (child->GetEffects() || child->hiding) {
      const bool running = UpdateSpriteEffects(child->EffectSlot());
      if (!running && child->hiding) {
        DeleteChild(i);
        continue;
      }
      if (!child->begun) {
        child->Begin();
        child->begun = true;
      }
    }
    child->Draw(EffectAlpha(child->GetEffects()) << 24, IsHovered());
  }
  viewer->SetTransform(&base);
}

bool MapLevelSprite::GetSignBounds(DXLRECT* out) const {
  const Sprite* sign = owner_ ? owner_->GetNodePictures().sign : nullptr;
  const u32 count = node_ ? std::min(node_->itemCount, kMapNodeItemSlots) : 0;
  for (u32 i = 0; sign && i < count; ++i) {
    const MAPNODEITEM& item = node_->items[i];
    if (item.kind != kMapItemSign) continue;
    const i32 left = x_ + item.x + kMapSignLeft;
    const i32 top = y_ + item.y + kMapSignTop + static_cast<i32>(std::floor(signShift_));
    *out = DXLRECT{left, top, left + sign->GetFrameWidth(), top + sign->GetFrameHeight()};
    return true;
  }
  return false;
}

DXLRECT MapLevelSprite::GetResultBounds() const {
  DXLRECT r{0, 0, 0, 0};
  if (const Sprite* medal = owner_ ? owner_->GetNodePictures().medals : nullptr) {
    const i32 w = medal->GetFrameWidth();
    r = DXLRECT{-(w / 2), -17, w - w / 2, medal->GetFrameHeight() - 17};
  }
  // The number as SetState places it (made here when not yet shown).
  std::unique_ptr<KGETextSpriteW> made;
  const KGETextSpriteW* number = number_.get();
  if (!number) {
    made.reset(LevelNumberText(level_, 8));
    number = made.get();
  }
  if (number) {
    const i32 x = -(number->GetWidth() / 2) - 1, y = 23 - number->GetHeight() / 2;
    r = DXLRECT{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + number->GetWidth()),
                std::max(r.bottom, y + number->GetHeight())};
  }
  return r;
}

void MapLevelSprite::DrawResult(const DXLMATRIX& base) {
  if (medalFrame_ < 0 && !number_) return;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  UpdateSpriteEffects(&resultEffects_);
  const u32 alpha = EffectAlpha(resultEffects_);
  viewer->SetTransform(&base);
  viewer->Translate(static_cast<float>(x_) + kMapMedalX, static_cast<float>(y_) + kMapMedalY + medalShift_);
  // The medal and its number keep the screen's scale, not the map's zoom,
  // on whole pixels.
  viewer->SetScale(GetResourceServices().screen.scale);
  viewer->RoundTranslation();
  DXLMATRIX at{};
  viewer->GetTransform(&at);
  if (medal_ && medalFrame_ >= 0) {
    medal_->SetColor((IsHovered() ? 0xA0A0A0u : 0x808080u) | (alpha << 24));
    medal_->Draw();
  }
  if (number_) {
    viewer->SetTransform(&at);
    viewer->Translate(numberX_, numberY_);  // below the medal
    viewer->ApplyTransform(nullptr);
    number_->SetColor(0x00FFFFFFu | (alpha << 24));
    number_->Draw();
  }
  viewer->SetTransform(&base);
}
