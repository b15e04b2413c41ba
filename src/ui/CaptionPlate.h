// CaptionPlate - the glossy title bar of a sprite window: a three-part plate
// cut from the "interface" image with the window's title as a text sprite
// (game font 2) centred on it and an upside-down reflection of the title
// fading out below it, gone by the top of the mirrored letters. The plate
// and the title brighten with the window's title state (hover, dragging),
// cross-fading with it.
//
// The plate owns its text sprite; the title shows again by itself after the
// device is made anew (the text sprite restores itself before drawing).
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class ControlState;
class DXLTexture;
class KGETextSpriteW;

class CaptionPlate {
 public:
  CaptionPlate();
  ~CaptionPlate();
  CaptionPlate(const CaptionPlate&) = delete;
  CaptionPlate& operator=(const CaptionPlate&) = delete;

  // Lays the plate over the rectangle and the title (null or empty: none)
  // on it; `state` (not owned, may be null) tints it.
  void Build(i32 left, i32 top, i32 right, i32 bottom, const wchar* title, const ControlState* state);
  void Release();  // deletes the text sprite
  // Under the current transform of the viewer, which the caller has applied.
  void Draw();

  // The plate colour of a state: 3 0xFF606060, 2 0xFF303030, else black.
  static u32 StateColor(u32 state);

  u32 GetColor() const { return color_; }
  const DXLQUAD& GetPlateQuad(i32 i) const { return plate_[i]; }
  const DXLQUAD& GetTitleQuad() const { return title_; }
  const DXLQUAD& GetMirrorQuad() const { return mirror_; }
  KGETextSpriteW* GetTextSprite() const { return text_.get(); }
  i32 GetTitleX() const { return titleX_; }
  i32 GetTitleY() const { return titleY_; }

 private:
  void StartAtInk();  // the title's quad from the text texture's first inked row
  u32 CurrentColor() const;
  void SetColor(u32 color);

  DXLTexture* image_ = nullptr;
  DXLTexture* textImage_ = nullptr;
  const ControlState* state_ = nullptr;
  DXLQUAD plate_[3] = {};
  u32 color_ = 0xFF000000u;
  bool recolour_ = false;  // set by Build: the next Draw writes the colour in
  DXLDRAWSTATE plateState_{};
  i32 titleX_ = 0;
  i32 titleY_ = 0;
  std::unique_ptr<KGETextSpriteW> text_;
  DXLQUAD mirror_{};
  DXLQUAD title_{};
  DXLDRAWSTATE textState_{};
};
