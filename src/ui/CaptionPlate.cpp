#include "ui/CaptionPlate.h"

#include <algorithm>

#include "base/Maths.h"
#include "engine/DXLTexture.h"
#include "gametext/KGEBaseTextSprite.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/ControlState.h"
#include "ui/SkinTable.h"

namespace {

constexpr u32 kTitleFont = 2;
constexpr u32 kTitleFlags = kKGEOwnCopy | kKGESingleLine;
constexpr u32 kTitleMaxChars = 32;
constexpr i32 kTitleBoxWidth = 512;
constexpr i32 kTitleBoxHeight = 128;
constexpr u32 kPlateBlack = 0xFF000000u;

}  // namespace

CaptionPlate::CaptionPlate() = default;
CaptionPlate::~CaptionPlate() = default;

u32 CaptionPlate::StateColor(u32 state) {
  switch (state & kStateBaseMask) {
    case kStatePressed:
      return 0xFF606060u;
    case kStateHover:
      return 0xFF303030u;
    default:
      return kPlateBlack;
  }
}

void CaptionPlate::Release() {
  text_.reset();
  textImage_ = nullptr;
}

// The plate's colour is added to the picture's (texture plus diffuse), so a
// black plate shows the picture as it is and lighter ones brighten it.
void CaptionPlate::Build(i32 left, i32 top, i32 right, i32 bottom, const wchar* title, const ControlState* state) {
  Release();
  state_ = state;
  image_ = GetResourceServices().interfaceImage;
  color_ = kPlateBlack;
  DXLMakeDrawState(&plateState_, 1, 1, plat::gfx::D3DTADDRESS_CLAMP, plat::gfx::D3DTADDRESS_CLAMP, kBlendAlpha,
                   plat::gfx::D3DTOP_ADD, plat::gfx::D3DTOP_SELECTARG1);
  if (image_) {
    const SkinPiece& s = skins::kCaptionPlate;
    const i32 middle = std::max(right - left - s.left - s.right, 0);
    image_->MakeQuadPartInt(&plate_[0], left, top, s.x, s.y, s.left, s.frameHeight, color_);
    image_->MakeQuadPartScaledInt(&plate_[1], left + s.left, top, middle, s.frameHeight, s.x + s.left, s.y,
                                  s.frameWidth - s.left - s.right, s.frameHeight, color_);
    image_->MakeQuadPartInt(&plate_[2], right - s.right, top, s.x + s.frameWidth - s.right, s.y, s.right,
                            s.frameHeight, color_);
  }
  if (!title || !title[0]) return;

  KGETEXTPARAMS params = KGEDefaultTextParams();
  params.flags = kTitleFlags;
  params.maxChars = kTitleMaxChars;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = kTitleBoxWidth;
  box.maxHeight = kTitleBoxHeight;
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kTitleFont), &params, &box, title, kKGEWholeText, nullptr,
                       &sprite);
  text_.reset(sprite);
  if (!text_ || !text_->GetTexture()) {
    text_.reset();
    return;
  }
  textImage_ = text_->GetTexture();
  titleX_ = (left + right - text_->GetWidth()) / 2;
  titleY_ = (top + bottom - text_->GetHeight()) / 2 - 2;
  title_ = text_->GetQuad();
  for (DXLVERTEX& v : title_.v) {
    v.x += static_cast<float>(titleX_);
    v.y += static_cast<float>(titleY_);
    v.color = color_;
  }
  StartAtInk();
  // The reflection: the title's quad turned over its bottom edge, white at
  // the top and fading out below.
  const float height = title_.v[3].y - title_.v[0].y;
  mirror_ = title_;
  for (int i : {0, 1}) {
    mirror_.v[i].y = title_.v[3].y;
    mirror_.v[i].v = title_.v[3].v;
    mirror_.v[i].color = 0xFFFFFFFFu;
  }
  for (int i : {2, 3}) {
    mirror_.v[i].y = title_.v[3].y + height;
    mirror_.v[i].v = title_.v[0].v;
    mirror_.v[i].color = 0x00FFFFFFu;
  }
  // The title is drawn with the text sprite's own state, its colours added
  // like the plate's (the "7" of this state is the add operation of the
  // plate's state: as a blend mode it would mean nothing).
  textState_ = text_->GetDrawState();
  textState_.colorOp = plat::gfx::D3DTOP_ADD;
  // The first draw writes the plate's colour into every vertex, the
  // reflection's included, whatever colour that is. Left white until the
  // first change of state, the reflection would draw one way before the
  // first hover and another way ever after in the very same state.
  recolour_ = true;
}

// The rows of the text texture above the letters' first ink (the font's
// room for accents) are left out of the title's quad: they draw nothing in
// the title, but in the reflection, the same quad turned over, they would
// hold back the fade, which then ends before reaching them. Without them the
// reflection fades out exactly at the top of the mirrored letters.
void CaptionPlate::StartAtInk() {
  const i32 w = textImage_->GetImageWidth(), h = textImage_->GetImageHeight();
  const u8* bits = textImage_->Lock(0);
  if (!bits) return;
  const i32 pitch = textImage_->GetLockPitch() / 4;
  i32 first = 0;
  for (; first < h; ++first) {
    const u32* row = reinterpret_cast<const u32*>(bits) + static_cast<size_t>(first) * pitch;
    if (std::any_of(row, row + w, [](u32 texel) { return (texel >> 24) != 0; })) break;
  }
  textImage_->Unlock();
  if (first == 0 || first == h) return;
  const float share = static_cast<float>(first) / static_cast<float>(h);
  const float dy = (title_.v[3].y - title_.v[0].y) * share, dv = (title_.v[3].v - title_.v[0].v) * share;
  for (int i : {0, 1}) {
    title_.v[i].y += dy;
    title_.v[i].v += dv;
  }
}

u32 CaptionPlate::CurrentColor() const {
  if (!state_) return kPlateBlack;
  const u32 now = StateColor(state_->GetState());
  if (!state_->IsFading()) return now;
  return kis::LerpColor(StateColor(state_->GetPrevious().state), now, state_->GetProgress());
}

void CaptionPlate::SetColor(u32 color) {
  color_ = color;
  recolour_ = false;
  for (DXLQUAD& q : plate_)
    for (DXLVERTEX& v : q.v) v.color = color;
  for (DXLVERTEX& v : title_.v) v.color = color;
  const u32 rgb = color & 0x00FFFFFFu;
  mirror_.v[0].color = mirror_.v[1].color = rgb | 0xFF000000u;
  mirror_.v[2].color = mirror_.v[3].color = rgb;
}

void CaptionPlate::Draw() {
  const u32 color = CurrentColor();
  if (recolour_ || color != color_) SetColor(color);
  const DXLDRAWSTATE* previous = SetBlendState(&plateState_);
  if (image_) {
    BindDrawTexture(image_);
    for (const DXLQUAD& q : plate_) DrawQuad(&q);
  }
  if (text_) {
    text_->Restore();
    if (textImage_->IsReady()) {
      SetBlendState(&textState_);
      BindDrawTexture(textImage_);
      DrawQuad(&mirror_);
      DrawQuad(&title_);
    }
  }
  SetBlendState(previous);
}
