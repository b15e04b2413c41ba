// LoadingPanel - the loading screen: a soft glow, the language's
// "loading_logo" (may be absent), the bar's panel, the bar and its caption,
// laid out around the game area's middle for the size it was laid out for.
// The pictures come from "Loading/" of the data folder: "back_glow.tga"
// (drawn at 4 times its size), "loading_panel.tga" and "loading.tga" (the
// bar, of which the left part is lit). The caption is rendered once into a
// text texture and drawn centred on the bar twice, split where the fill
// ends: dark over the fill, light blue beyond it.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "engine/DXLTextures.h"

class KGEFont;
class KGETextSpriteW;

constexpr u32 kCaptionOverFill = 0xFF404040u;
constexpr u32 kCaptionBeyondFill = 0xFFC0C0FFu;
constexpr i32 kCaptionTextureWidth = 512;  // the caption's text texture at most
constexpr i32 kCaptionTextureHeight = 64;

class LoadingPanel {
 public:
  // Loads the pictures of "<dataFolder>/Loading" on the game viewer.
  explicit LoadingPanel(const wchar* dataFolder);
  ~LoadingPanel();
  LoadingPanel(const LoadingPanel&) = delete;
  LoadingPanel& operator=(const LoadingPanel&) = delete;

  void SetLogo(DXLTexture* image);  // not owned; null: none
  void SetCaption(KGEFont* font, const wchar* text);
  // Clamped to 0..1; lays out again when the game area's size changed.
  void SetProgress(float fraction);
  void Draw();

  // The bar's lit width: bar width x fraction to the nearest integer.
  i32 GetLitWidth() const { return lit_; }
  const DXLRECT& GetBarRect() const { return bar_; }  // left, top, right, bottom
  const DXLRECT& GetCaptionRect() const { return caption_; }
  KGETextSpriteW* GetCaption() const { return text_.get(); }
  bool HasPictures() const;

 private:
  void Layout();
  static void DrawPart(DXLTexture* texture, float x, float y, const DXLRECT& source, u32 colour, float scale);

  std::unique_ptr<DXLTextures> textures_;
  DXLTexture* glow_ = nullptr;
  DXLTexture* panel_ = nullptr;
  DXLTexture* barImage_ = nullptr;
  DXLTexture* logo_ = nullptr;
  std::unique_ptr<KGETextSpriteW> text_;
  float fraction_ = 0.0f;
  i32 lit_ = 0;
  i32 areaW_ = -1, areaH_ = -1;
  DXLRECT bar_{0, 0, 0, 0}, caption_{0, 0, 0, 0};
  float glowX_ = 0, glowY_ = 0, logoX_ = 0, logoY_ = 0, panelX_ = 0, panelY_ = 0;
};

// What a loading state calls every frame: the panel at the tracker's
// overall fraction (a null panel draws nothing).
void ShowLoading(LoadingPanel* panel, float fraction);
