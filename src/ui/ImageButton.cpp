#include "ui/ImageButton.h"

#include <algorithm>
#include <cmath>

#include "base/Maths.h"
#include "base/Strings.h"
#include "content/ContentArchive.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

// The caption's defaults: one line of at most 32 characters in its own copy,
// in a texture of at most 512 x 128.
constexpr u32 kCaptionFlags = kKGEOwnCopy | kKGESingleLine;
constexpr u32 kCaptionMaxChars = 32;
constexpr i32 kCaptionBoxWidth = 0x200;
constexpr i32 kCaptionBoxHeight = 0x80;

constexpr u32 kDefaultColours[4] = {0xFF808080u, 0x00FFFFFFu, 0x40FFFFFFu, 0x80FFFFFFu};

constexpr u32 kCrossfadeOn = 0x4700;  // alpha test on, passing at or above the reference
constexpr u32 kCrossfadeOff = 0x1000;  // alpha test off

i32 Round(float v) { return static_cast<i32>(std::floor(v + 0.5f)); }

}  // namespace

ImageButton::ImageButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, Sprite* icon)
    : ActiveButton(parent, buttonList, id) {
  SetPosition(x, y);
  SetIcon(icon);
}

// The face: each frame's left cap and right cap keep their width, the middle
// stretches between them; a width too small for both caps shares it between
// them in their proportion and drops the middle. A skin without a size (or
// asked for no frames) gives no frames; the button still keeps its image.
ImageButton::ImageButton(GameWindow* parent, ButtonList* buttonList, u32 id, const SKINRECT& skin, i32 width,
                         bool vertical, i32 frameCount, i32 gap, i32 x, i32 y, Sprite* icon)
    : ActiveButton(parent, buttonList, id) {
  texture_ = skin.image;
  if (texture_ && skin.width >= 1 && skin.height >= 1 && frameCount >= 1) {
    i32 frameWidth = skin.width, frameHeight = skin.height, stepX = 0, stepY = 0;
    if (vertical) {
      frameHeight = std::max((skin.height + gap) / frameCount - gap, 0);
      stepY = frameHeight + gap;
    } else {
      frameWidth = std::max((skin.width + gap) / frameCount - gap, 0);
      stepX = frameWidth + gap;
    }
    const SKINRECT frame = SKINRECT::InitSliced(skin.x, skin.y, frameWidth, frameHeight, skin.left, skin.rightBorder,
                                                0, 0, skin.stepX, skin.stepY, texture_);
    width_ = width != -1 ? std::max(width, 0) : frameWidth;
    height_ = frameHeight;
    i32 left = frame.left, right = frame.rightBorder;
    i32 middle = frame.middleWidth > 0 ? width_ - left - right : 0;
    // Caps wider than the button share the button's width (shared out over
    // the frame's width they would reach past the button's edges).
    if (middle < 0) {
      left = left >= 1 ? Round(static_cast<float>(left) * width_ / static_cast<float>(left + right)) : 0;
      right = width_ - left;
      middle = 0;
    }
    const i32 parts = (middle > 0 ? 1 : 0) + (left > 0 ? 1 : 0) + (right > 0 ? 1 : 0);
    AllocFrames(parts, frameCount);
    DXLQUAD* q = quads_.data();
    for (i32 i = 0; i < frameCount && parts > 0; ++i) {
      const i32 sx = skin.x + i * stepX, sy = skin.y + i * stepY;
      if (left > 0) texture_->MakeQuadPartInt(q++, 0, 0, sx, sy, left, frameHeight, 0xFFFFFFFFu);
      if (middle > 0)
        texture_->MakeQuadPartScaledInt(q++, left, 0, middle, frameHeight, sx + frame.left, sy, frame.middleWidth,
                                        frameHeight, 0xFFFFFFFFu);
      if (right > 0)
        texture_->MakeQuadPartInt(q++, width_ - right, 0, sx + frameWidth - right, sy, right, frameHeight,
                                  0xFFFFFFFFu);
    }
  }
  SetPosition(x, y);
  SetIcon(icon);
}

ImageButton::~ImageButton() = default;

void ImageButton::AllocFrames(i32 parts, i32 frames) {
  const i32 total = std::max(parts, 0) * std::max(frames, 0);
  if (parts == partsPerFrame_ && total == quadCount_) return;
  partsPerFrame_ = parts;
  quadCount_ = total;
  quads_.assign(static_cast<size_t>(total), DXLQUAD{});
}

void ImageButton::SetPosition(i32 x, i32 y) {
  x_ = x;
  y_ = y;
  rect_ = DXLRECT{x, y, x + width_, y + height_};
}

// Icons are made through the icon sprite set (or the sprite's own when there
// is none); a sprite that is not loaded gives no icon.
void ImageButton::SetIcon(Sprite* sprite) {
  if (icon_ && icon_->GetSprite() == sprite) return;
  icon_.reset();
  if (sprite) {
    SpriteSet* set = GetSpriteSet(kIconSpriteSet);
    if (!set) set = sprite->GetSet();
    if (set) icon_.reset(set->CreateImageSprite(sprite, false));
  }
  if (icon_) icon_->SetPivot(0.5f, 0.5f);
  iconX_ = static_cast<float>(width_ / 2);
  iconY_ = static_cast<float>(height_ / 2);
  if (caption_) LayoutContent();
}

void ImageButton::SetTextLayout(i32 gap, i32 offsetX, i32 offsetY, bool noShrink, i32 padLeft, i32 padRight) {
  gap_ = gap;
  offsetX_ = offsetX;
  offsetY_ = offsetY;
  noShrink_ = noShrink ? 1 : 0;
  padLeft_ = padLeft;
  padRight_ = padRight;
  LayoutContent();
}

// Paddings and the icon take their room from the width first; a caption
// that still does not fit is narrowed to the room left, unless less than 4
// pixels would be left: then the paddings are dropped for good and the
// caption keeps its width.
void ImageButton::LayoutContent() {
  const i32 iconWidth = icon_ && icon_->GetSprite() ? icon_->GetSprite()->GetFrameWidth() : 0;
  // A caption without its own copy of the text tells its text by its size.
  const bool hasText = caption_ && (caption_->GetText() ? caption_->GetText()[0] != 0 : caption_->GetWidth() > 0);
  if (!hasText) {
    if (icon_) iconX_ = static_cast<float>(width_ / 2);
    return;
  }
  i32 available = width_;
  const i32 iconSpace = icon_ ? iconWidth + gap_ : 0;
  i32 textWidth = caption_->GetWidth();
  const i32 textHeight = caption_->GetHeight();
  if (!noShrink_) {
    available -= padLeft_ + padRight_;
    if (available < 4) {
      noShrink_ = 1;
      available = width_;
    }
  }
  if (icon_ && available - iconSpace < 4) {
    if (!noShrink_) available += padLeft_ + padRight_;
    noShrink_ = 1;
  }
  available -= iconSpace;
  available = std::max(available, 0);
  if (!noShrink_ && available < textWidth) {
    shrunk_ = 1;
    captionScale_ = textWidth > 0 ? static_cast<float>(available) / static_cast<float>(textWidth) : 1.0f;
    textWidth = available;
  } else {
    shrunk_ = 0;
  }
  i32 left = (width_ - textWidth - iconSpace) / 2;
  if (icon_) {
    iconX_ = static_cast<float>(left + iconWidth / 2);
    left += iconSpace;
  }
  captionX_ = static_cast<float>(left + offsetX_);
  captionY_ = static_cast<float>((height_ - textHeight) / 2 + offsetY_);
  lastCaptionColour_ = 0xFFFFFFFFu;
}

u32 ImageButton::GetStateColour(u32 index) const { return stateColours_[index & (kStateCount - 1)]; }

void ImageButton::SetCaption(const wchar* text, u32 fontNo, const KGETEXTPARAMS* params, const DXLOUTLINE* outline,
                             u32 colourMode, std::initializer_list<u32> colours) {
  caption_.reset();
  if (text) {
    KGETEXTPARAMS defaults{};
    defaults.flags = kCaptionFlags;
    defaults.maxChars = kCaptionMaxChars;
    KGESPRITEPARAMS box{};
    box.flags = kKGESpriteMaxSize;
    box.maxWidth = kCaptionBoxWidth;
    box.maxHeight = kCaptionBoxHeight;
    if (outline) {
      box.flags |= kKGESpriteOutline;
      box.outline = *outline;
    }
    KGETextSpriteW* sprite = nullptr;
    KGECreateTextSpriteW(GetGameViewer(), GetGameFont(fontNo), params ? params : &defaults, &box, text,
                         kKGEWholeText, nullptr, &sprite);
    caption_.reset(sprite);
  }
  colourMode_ = colourMode;
  if (colourMode == 1) {
    std::fill(std::begin(stateColours_), std::end(stateColours_), 0xFFFFFFFFu);
  } else if (colourMode == 2) {
    for (i32 i = 0; i < kStateCount; ++i) stateColours_[i] = kDefaultColours[i % 4];
  }
  i32 i = 0;
  for (u32 c : colours) {
    if (i >= kStateCount) break;
    stateColours_[i++] = c;
  }
  layoutDirty_ = 1;
  SetCaptionText(text);
}

void ImageButton::SetCaptionText(const wchar* text) {
  if (caption_ && kis::StrICompareW(caption_->GetText(), text) != 0) {
    caption_->SetText(text, kKGEWholeText, nullptr);
    DXLDRAWSTATE state = caption_->GetDrawState();
    state.colorOp = plat::gfx::D3DTOP_MODULATE;
    caption_->SetDrawState(state);
    caption_->SetColor(lastCaptionColour_);
    layoutDirty_ = 1;
  }
  if (!layoutDirty_) return;
  LayoutContent();
  layoutDirty_ = 0;
}

void ImageButton::SetIconFrames(i32 first, std::initializer_list<i32> frames) {
  if (first < 0 || first >= kStateCount || frames.size() < 1) return;
  for (i32 f : frames) {
    if (first >= kStateCount) break;
    iconFrames_[first++] = f;
  }
}

void ImageButton::SetStateFrames(i32 first, std::initializer_list<u8> frames) {
  if (first < 0 || first >= kStateCount) return;
  if (frames.size() == 0) {
    stateFrameTable_.reset();
    return;
  }
  if (!stateFrameTable_) stateFrameTable_ = std::make_unique<u8[]>(kStateCount);
  for (u8 f : frames) {
    if (first >= kStateCount) break;
    stateFrameTable_[first++] = f;
  }
}

i32 ImageButton::FrameOfState(u32 state) const {
  state &= kStateCount - 1;
  return stateFrameTable_ ? stateFrameTable_[state] : static_cast<i32>(state);
}

// --- Drawing -------------------------------------------------------------------------------------

bool ImageButton::BeginDraw() {
  if (DXLViewer* viewer = GetGameViewer()) viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  return true;
}

void ImageButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !BeginDraw()) return;
  viewer->GetTransform(&savedTransform_);
  viewer->ApplyTransform(nullptr);
  state_.Update();
  const bool fading = state_.IsFading();
  if (fading) {
    fadeAlpha_ = static_cast<u8>(Round(state_.GetProgress() * 255.0f));
    fadeColour_ = static_cast<u32>(fadeAlpha_) << 24 | 0x00FFFFFFu;
  } else {
    fadeAlpha_ = 255;
    fadeColour_ = 0xFFFFFFFFu;
  }
  drawMode_ = static_cast<u8>(state_.GetPhase());
  if (fading) {
    fromFrame_ = static_cast<u8>(FrameOfState(state_.GetPrevious().state));
    toFrame_ = static_cast<u8>(FrameOfState(state_.GetState()));
  } else {
    fromFrame_ = toFrame_ = static_cast<u8>(FrameOfState(state_.GetState()));
  }
  DrawFrames();
  if (icon_) DrawIcon(state_.GetState(), icon_.get(), iconX_, iconY_, iconFrames_);
  if (!caption_) return;
  UnbindDrawTexture();
  viewer->SetTransform(&savedTransform_);
  viewer->Translate(captionX_, captionY_);
  if (shrunk_) viewer->ScaleXY(captionScale_, 1.0f);
  viewer->ApplyTransform(nullptr);
  DrawCaption();
}

void ImageButton::DrawFrame(i32 frame, u32 colour) {
  if (partsPerFrame_ <= 0 || frame < 0 || frame >= GetFrameCount()) return;
  DXLQUAD* first = &quads_[static_cast<size_t>(frame * partsPerFrame_)];
  if (first->v[0].color != colour)
    for (i32 p = 0; p < partsPerFrame_; ++p)
      for (DXLVERTEX& v : first[p].v) v.color = colour;
  for (i32 p = 0; p < partsPerFrame_; ++p) DrawQuad(&first[p]);
}

void ImageButton::DrawFrames() {
  if (!texture_) return;
  BindDrawTexture(texture_);
  DXLViewer* viewer = GetGameViewer();
  if (drawMode_ == kPhaseFading) {
    DrawFrame(fromFrame_, 0xFFFFFFFFu);
    if (toFrame_ != fromFrame_) {
      if (viewer) viewer->SetStencilMode(kCrossfadeOn, 0, fadeAlpha_ * static_cast<u32>(crossfadePercent_) / 100);
      DrawFrame(toFrame_, fadeColour_);
      if (viewer) viewer->SetStencilMode(kCrossfadeOff, 0, 0);
    }
  } else {
    DrawFrame(fromFrame_, fadeColour_);
  }
}

// The icon moves to its place from the saved transform each time it draws.
void ImageButton::DrawIcon(u32 state, ImageSprite* icon, float iconX, float iconY, const i32* iconFrames) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !icon) return;
  const auto drawAt = [&]() {
    viewer->SetTransform(&savedTransform_);
    viewer->Translate(iconX, iconY);
    icon->Draw();
  };
  const i32 frame = iconFrames[state & (kStateCount - 1)];
  icon->SetColor(0xFFFFFFFFu);
  const u32 previous = state_.GetPrevious().state;
  if (drawMode_ == kPhaseFading && ((previous ^ state) & kStateHover) != 0) {
    const i32 previousFrame = iconFrames[previous & (kStateCount - 1)];
    icon->SetFrame(previousFrame);
    drawAt();
    if (frame != previousFrame) {
      icon->SetFrame(frame);
      icon->SetColor(fadeColour_);
      viewer->SetStencilMode(kCrossfadeOn, 0, fadeAlpha_ / 2u);
      drawAt();
      viewer->SetStencilMode(kCrossfadeOff, 0, 0);
    }
    return;
  }
  icon->SetFrame(frame);
  drawAt();
}

void ImageButton::DrawCaption() {
  const bool fading = state_.IsFading();
  const float t = state_.GetProgress();
  switch (colourMode_) {
    case 1: {
      u32 colour = GetStateColour(toFrame_);
      if (fading) colour = kis::LerpColor(GetStateColour(fromFrame_), colour, t);
      caption_->SetColor(colour);
      caption_->Draw();
      lastCaptionColour_ = colour;
      break;
    }
    case 2: {
      const u32 state = state_.GetState();
      u32 colour = GetStateColour(state);
      if (fading) colour = kis::LerpColor(GetStateColour(state_.GetPrevious().state), colour, t);
      lastCaptionColour_ = colour;
      // A disabled caption is drawn in its colour alone, checked or not: the
      // default table gives the checked states the colours of the unchecked
      // ones, and white with grey added over it would read as enabled.
      if ((state & kStateBaseMask) == kStateHidden) {
        caption_->SetColor(colour);
        caption_->Draw();
        break;
      }
      caption_->SetColor(0xFFFFFFFFu);
      caption_->Draw();
      if ((colour >> 24) == 0) break;
      DXLDRAWSTATE overlay = caption_->GetDrawState();
      overlay.blendMode = kBlendAdd;
      caption_->SetDrawState(overlay);
      caption_->SetColor(colour);
      caption_->Draw();
      overlay.blendMode = kBlendAlpha;
      caption_->SetDrawState(overlay);
      break;
    }
    default:
      caption_->Draw();
      break;
  }
}
