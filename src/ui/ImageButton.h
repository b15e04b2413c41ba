// ImageButton - the skinned button: a face of state frames cut from one
// texture (each frame a left cap, a stretched middle and a right cap, so one
// skin serves any width), an optional icon sprite and an optional caption
// on top, placed by the layout. A change of state cross-fades the face, the
// icon and the caption's colour from the old state to the new one.
//
// The cross-fade draws the old frame, then the new one over it under the
// viewer's alpha test (state mode 0x4700: pixels pass where their alpha,
// the texel's by the fade alpha, is at least the fade alpha by the
// cross-fade strength) with the texture's blending, and switches the test
// off again (0x1000). So the opaque body of the new frame fades in by the
// fade alpha while its soft edges (texels of partial alpha) wait for the
// fade to end; the icon fades the same way, at half the strength.
//
// Caption colours by colour mode: 0 the caption as it is; 1 one colour per
// face frame; 2 the caption in white with a colour per state added over it
// (grey when disabled).
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "engine/DXLDrawTypes.h"
#include "gametext/KGETextParams.h"
#include "ui/ActiveButton.h"
#include "ui/SkinRect.h"

class DXLTexture;
class ImageSprite;
class KGETextSpriteW;
class Sprite;

class ImageButton : public ActiveButton {
 public:
  static constexpr i32 kStateCount = 8;
  static constexpr i32 kDefaultGap = 4;
  static constexpr i32 kDefaultCrossfade = 50;

  // No face: size 0 x 0 until a kind sizes it.
  ImageButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, Sprite* icon);
  // A face of `frameCount` frames cut from the skin's rectangle, one after
  // another downwards (vertical) or to the right, `gap` pixels apart. width
  // -1 is the frame width.
  ImageButton(GameWindow* parent, ButtonList* buttonList, u32 id, const SKINRECT& skin, i32 width, bool vertical,
              i32 frameCount, i32 gap, i32 x, i32 y, Sprite* icon);
  ~ImageButton() override;

  void Draw() override;
  // Moves the viewer's transform to the button; false draws nothing.
  virtual bool BeginDraw();
  virtual void SetIcon(Sprite* sprite);  // the same sprite again changes nothing
  virtual void LayoutContent();          // places icon and caption
  virtual u32 GetStateColour(u32 index) const;
  virtual void SetPosition(i32 x, i32 y);  // the rectangle follows
  virtual void DrawFrames();
  virtual void DrawIcon(u32 state, ImageSprite* icon, float iconX, float iconY, const i32* iconFrames);

  // Replaces the caption (none for a null text): a text sprite in game font
  // fontNo with the parameters given (default: single line, its own copy,
  // at most 32 characters) and the outline given; then the colours: mode 1
  // all white, mode 2 the default table, then the colours given from state 0
  // on. Lays the button out.
  void SetCaption(const wchar* text, u32 fontNo, const KGETEXTPARAMS* params, const DXLOUTLINE* outline,
                  u32 colourMode, std::initializer_list<u32> colours = {});
  void SetCaptionPlain(const wchar* text, u32 fontNo, u32 colourMode, std::initializer_list<u32> colours = {}) {
    SetCaption(text, fontNo, nullptr, nullptr, colourMode, colours);
  }
  // A new text for the caption unless it only differs in letter case; lays
  // the button out when something changed.
  void SetCaptionText(const wchar* text);
  void SetTextLayout(i32 gap, i32 offsetX, i32 offsetY, bool noShrink, i32 padLeft, i32 padRight);
  // Icon frames from index `first` on (up to index 7); nothing for a first
  // outside 0..7 or no frames.
  void SetIconFrames(i32 first, std::initializer_list<i32> frames);
  // Face frames per state from index `first` on; no frames drops the table.
  void SetStateFrames(i32 first, std::initializer_list<u8> frames);
  // Keeps the quads when the size is the same, else makes parts x frames.
  void AllocFrames(i32 parts, i32 frames);

  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  DXLTexture* GetTexture() const { return texture_; }
  i32 GetPartsPerFrame() const { return partsPerFrame_; }
  i32 GetFrameCount() const { return partsPerFrame_ > 0 ? quadCount_ / partsPerFrame_ : 0; }
  const DXLQUAD* GetQuads() const { return quads_.data(); }
  i32 GetQuadCount() const { return quadCount_; }
  ImageSprite* GetIcon() const { return icon_.get(); }
  float GetIconX() const { return iconX_; }
  float GetIconY() const { return iconY_; }
  KGETextSpriteW* GetCaption() const { return caption_.get(); }
  float GetCaptionX() const { return captionX_; }
  float GetCaptionY() const { return captionY_; }
  float GetCaptionScale() const { return captionScale_; }
  bool IsShrunk() const { return shrunk_ != 0; }
  bool IsNoShrink() const { return noShrink_ != 0; }
  u32 GetColourMode() const { return colourMode_; }
  u32 GetLastCaptionColour() const { return lastCaptionColour_; }
  u32 GetFadeAlpha() const { return fadeAlpha_; }
  u32 GetFadeColour() const { return fadeColour_; }
  i32 GetCrossfadePercent() const { return crossfadePercent_; }
  void SetCrossfadePercent(i32 percent) { crossfadePercent_ = percent; }
  i32 GetGap() const { return gap_; }
  // The face frame of a state: the state-frame table's, or the state itself.
  i32 FrameOfState(u32 state) const;

 protected:
  // Draws one face frame's quads in a colour; nothing outside the frames.
  void DrawFrame(i32 frame, u32 colour);
  // Draws the caption per colour mode under the current transform.
  void DrawCaption();

  DXLTexture* texture_ = nullptr;
  i32 partsPerFrame_ = 1;
  i32 quadCount_ = 0;
  std::vector<DXLQUAD> quads_;
  i32 width_ = 0;
  i32 height_ = 0;
  i32 x_ = 0;
  i32 y_ = 0;
  std::unique_ptr<ImageSprite> icon_;
  float iconX_ = 0.0f;
  float iconY_ = 0.0f;
  i32 iconFrames_[kStateCount] = {0, 1, 2, 2, 0, 1, 2, 2};
  u32 fadeColour_ = 0xFFFFFFFFu;
  u8 fadeAlpha_ = 255;
  u8 drawMode_ = 1;
  u8 fromFrame_ = 0;  // face frame of the state faded from (of the state, when settled)
  u8 toFrame_ = 0;    // face frame of the state faded to
  DXLMATRIX savedTransform_{};
  i32 padLeft_ = 0;
  i32 padRight_ = 0;
  std::unique_ptr<KGETextSpriteW> caption_;
  i32 gap_ = kDefaultGap;
  i32 offsetX_ = 0;
  i32 offsetY_ = 0;
  float captionX_ = 0.0f;
  float captionY_ = 0.0f;
  u32 lastCaptionColour_ = 0xFFFFFFFFu;
  float captionScale_ = 1.0f;
  u32 layoutDirty_ = 0;
  u8 noShrink_ = 1;
  u8 shrunk_ = 0;
  u32 colourMode_ = 0;
  u32 stateColours_[kStateCount] = {};
  i32 crossfadePercent_ = kDefaultCrossfade;
  std::unique_ptr<u8[]> stateFrameTable_;
};
