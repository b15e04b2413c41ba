#include "resources/Sprite.h"

#include <cmath>
#include <cstring>

#include "base/Maths.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "engine/DXLTexture.h"
#include "resources/GameDraw.h"
#include "resources/NameIndex.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"

Sprite::Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, const SPRITEGRID& grid, bool flipH,
               bool flipV, i32 turn)
    : form_(kGridForm), wantedCount_(grid.frameCount), grid_(grid), set_(set), texture_(texture),
      flipV_(flipV ? 1 : 0), flipH_(flipH ? 1 : 0), turn_(turn) {
  NameIndex<Sprite>::CopyToBuffer(name_, name && name[0] ? name : texture ? texture->GetName() : nullptr);
  if (set_) set_->AddSprite(this);
}

Sprite::Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, i32 frameCount, const DXLRECT* rects,
               bool flipH, bool flipV, i32 turn)
    : Sprite(set, name, texture, frameCount, KeptRects{nullptr}, flipH, flipV, turn) {
  if (wantedCount_ > 0) {
    ownRects_ = std::make_unique<DXLRECT[]>(static_cast<size_t>(wantedCount_));
    if (rects) std::memcpy(ownRects_.get(), rects, sizeof(DXLRECT) * static_cast<size_t>(wantedCount_));
    rects_ = ownRects_.get();
  }
}

Sprite::Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, i32 frameCount, KeptRects rects, bool flipH,
               bool flipV, i32 turn)
    : form_(kExplicitForm), wantedCount_(frameCount > 0 ? frameCount : 0), rects_(rects.rects), set_(set),
      texture_(texture), flipV_(flipV ? 1 : 0), flipH_(flipH ? 1 : 0), turn_(turn) {
  NameIndex<Sprite>::CopyToBuffer(name_, name && name[0] ? name : texture ? texture->GetName() : nullptr);
  if (set_) set_->AddSprite(this);
}

Sprite::~Sprite() {
  Release(true);
  if (set_) set_->RemoveSprite(this);
}

void Sprite::operator delete(Sprite* sprite, std::destroying_delete_t) {
  const bool pooled = sprite->pooled_ != 0;
  sprite->~Sprite();
  if (!pooled) ::operator delete(sprite);
}

// The texture is loaded when it is not ready; the first load builds the
// frames, and only a load that has frames counts. The texture gains its user
// only then too: counted before the frames, a sprite that builds none would
// add a user on every call that no release ever takes back.
void Sprite::Init() {
  if (!texture_) return;
  if (!texture_->IsReady()) {
    texture_->Load();
    if (!texture_->IsReady()) return;
  }
  if (initCount_ == 0) {
    if (BuildFrames() <= 0) return;
    texture_->SetUserWord(texture_->GetUserWord() + 1);
    if (defaultAnimation_ && defaultAnimation_->count == 0) defaultAnimation_->count = static_cast<u32>(frameCount_);
  }
  ++initCount_;
}

void Sprite::Release(bool force) {
  if (!DropInit(force)) return;
  if (texture_ && texture_->GetUserWord() > 0) texture_->SetUserWord(texture_->GetUserWord() - 1);
  FreeFrames();
}

bool Sprite::GetFrameRect(i32 frame, DXLRECT* out) const {
  if (frame < 0 || frame >= frameCount_ || !frameRects_) {
    if (out) *out = DXLRECT{0, 0, 0, 0};
    return false;
  }
  if (out) *out = frameRects_[frame];
  return true;
}

const DXLQUAD* Sprite::GetQuad(i32 frame, bool mirrored) const {
  if (frame < 0 || frame >= frameCount_ || !quads_) return nullptr;
  return mirrored && mirrored_ ? &mirrored_[frame] : &quads_[frame];
}

void Sprite::SetDrawState(const DXLDRAWSTATE* state) {
  if (state) {
    drawState_ = *state;
  } else {
    drawState_.reset();
  }
}

void Sprite::SetDefaultAnimation(const DXLFRAMESEQ* seq) {
  if (seq) {
    defaultAnimation_ = *seq;
  } else {
    defaultAnimation_.reset();
  }
}

void Sprite::InitFrameState(SpriteFrameState* state, bool randomFrame, bool mirror) {
  if (!state) return;
  if (!IsLoaded()) *state = SpriteFrameState{};
  state->sprite = this;
  state->mirror = mirror && hasMirror_ ? 1 : 0;
  if (!defaultAnimation_) {
    state->frame = randomFrame ? static_cast<i32>(kis::RandomShort(static_cast<u32>(frameCount_))) : 0;
    state->animated = 0;
  } else {
    state->frame = 0;
    state->animated = 1;
    state->seq = *defaultAnimation_;
    state->seq.elapsed = GameFrameTime();
  }
}

void Sprite::DrawFrame(i32 frame, u32 color, bool mirrored) {
  if (frame < 0 || frame >= frameCount_ || !quads_) return;
  BindDrawTexture(texture_);
  DXLQUAD& quad = mirrored && mirrored_ ? mirrored_[frame] : quads_[frame];
  if (quad.v[0].color != color)
    for (DXLVERTEX& v : quad.v) v.color = color;
  if (drawState_) {
    const DXLDRAWSTATE* previous = SetBlendState(&*drawState_);
    DrawQuad(&quad);
    SetBlendState(previous);
  } else {
    DrawQuad(&quad);
  }
}

void Sprite::DrawFrameState(SpriteFrameState* state, u32 color) {
  if (!state) return;
  const i32 frame = state->animated ? static_cast<i32>(UpdateAnimFrame(&state->seq)) : state->frame;
  DrawFrame(frame, color, state->mirror != 0);
}

ImageSprite* Sprite::CreateImageSprite(bool mirror) { return set_ ? set_->CreateImageSprite(this, mirror) : nullptr; }

void Sprite::MakeQuad(DXLQUAD* out, const DXLRECT& rect, u32 color) {
  if (!out) return;
  if (!IsLoaded() || frameCount_ <= 0) {
    std::memset(static_cast<void*>(out), 0, sizeof *out);
    return;
  }
  texture_->MakeQuadRects(out, rect, frameRects_[0], color, flipH_ != 0, flipV_ != 0);
}

void Sprite::MakeDrawItem(SPRITEDRAWITEM* out, i32 frame, const DXLRECTF& dest, const DXLRECT* source, u32 color,
                          bool mirror, i32 turn) {
  if (!out) return;
  if (frame < 0) frame = static_cast<i32>(kis::RandomShort(static_cast<u32>(frameCount_)));
  if (!IsLoaded() || frame >= frameCount_) {
    std::memset(static_cast<void*>(out), 0, sizeof *out);
    return;
  }
  const bool mirrored = mirror && hasMirror_;
  const bool hasSource = source && source->right > source->left && source->bottom > source->top;
  float w = dest.right - dest.left, h = dest.bottom - dest.top;
  if (w == 0.0f) w = static_cast<float>(hasSource ? source->right - source->left : frameWidth_);
  if (h == 0.0f) h = static_cast<float>(hasSource ? source->bottom - source->top : frameHeight_);
  DXLRECTF place{dest.left, dest.top, dest.left + w, dest.top + h};
  const DXLRECT& from = hasSource ? *source : frameRects_[frame];
  const DXLRECTF fromF{static_cast<float>(from.left), static_cast<float>(from.top), static_cast<float>(from.right),
                       static_cast<float>(from.bottom)};
  out->texture = texture_;
  texture_->MakeQuadRectsF(&out->quad, place, fromF, color, (flipH_ != 0) != mirrored, flipV_ != 0);
  TransformQuadVertices(nullptr, &out->quad, turn);
  if (EffectiveTurn(turn) & 1) place = DXLRECTF{place.left, place.top, place.left + h, place.top + w};
  out->flags = 0xFFFFFFFFu;
  out->dest = place;
  // Frames of any size give bounds inside the integer range.
  out->bounds = DXLRECT{kis::FloorToInt(place.left), kis::FloorToInt(place.top), kis::CeilToInt(place.right),
                        kis::CeilToInt(place.bottom)};
}

void Sprite::MakeDrawItemRect(SPRITEDRAWITEM* out, i32 frame, const DXLRECT& dest, const DXLRECT* source,
                              u32 color, bool mirror, i32 turn) {
  const DXLRECTF place{static_cast<float>(dest.left), static_cast<float>(dest.top), static_cast<float>(dest.right),
                       static_cast<float>(dest.bottom)};
  MakeDrawItem(out, frame, place, source, color, mirror, turn);
}

void Sprite::MakeDrawItemAt(SPRITEDRAWITEM* out, i32 frame, float x, float y, const DXLRECT* source, u32 color,
                            bool mirror, i32 turn) {
  MakeDrawItem(out, frame, DXLRECTF{x, y, x, y}, source, color, mirror, turn);
}

void Sprite::MakeDrawItemAtI(SPRITEDRAWITEM* out, i32 frame, i32 x, i32 y, const DXLRECT* source, u32 color,
                             bool mirror, i32 turn) {
  MakeDrawItemAt(out, frame, static_cast<float>(x), static_cast<float>(y), source, color, mirror, turn);
}
