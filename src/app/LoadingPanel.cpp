#include "app/LoadingPanel.h"

#include <algorithm>

#include "base/Maths.h"
#include "base/Path.h"
#include "engine/DXLApp.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

namespace {

constexpr u32 kPathLength = 260;
constexpr u32 kPictureBlendMode = kBlendAlpha;

DXLTexture* LoadPicture(DXLTextures* list, const wchar* dataFolder, const wchar* name) {
  wchar folder[kPathLength], path[kPathLength];
  if (!dataFolder || !kis::CombinePathW(folder, kPathLength, dataFolder, u"Loading", false) ||
      !kis::CombinePathW(path, kPathLength, folder, name, false))
    return nullptr;
  DXLTexture* t = DXLLoadTextureFile(list, path, kPictureBlendMode, nullptr, true);
  if (t && !t->IsReady()) {
    delete t;
    return nullptr;
  }
  return t;
}

i32 W(const DXLTexture* t) { return t ? t->GetImageWidth() : 0; }
i32 H(const DXLTexture* t) { return t ? t->GetImageHeight() : 0; }

}  // namespace

LoadingPanel::LoadingPanel(const wchar* dataFolder)
    : textures_(std::make_unique<DXLTextures>(GetResourceServices().viewer)) {
  glow_ = LoadPicture(textures_.get(), dataFolder, u"back_glow.tga");
  panel_ = LoadPicture(textures_.get(), dataFolder, u"loading_panel.tga");
  barImage_ = LoadPicture(textures_.get(), dataFolder, u"loading.tga");
  Layout();
}

LoadingPanel::~LoadingPanel() = default;

bool LoadingPanel::HasPictures() const { return glow_ && panel_ && barImage_; }

void LoadingPanel::SetLogo(DXLTexture* image) {
  logo_ = image && image->IsReady() ? image : nullptr;
  Layout();
}

void LoadingPanel::SetCaption(KGEFont* font, const wchar* text) {
  text_.reset();
  if (font && text) {
    // Rendered into a text texture of at most 512 x 64.
    KGETEXTPARAMS params = KGEDefaultTextParams();
    KGESPRITEPARAMS box{};
    box.flags = kKGESpriteMaxSize;
    box.maxWidth = kCaptionTextureWidth;
    box.maxHeight = kCaptionTextureHeight;
    KGETextSpriteW* made = nullptr;
    if (KGECreateTextSpriteW(GetResourceServices().viewer, font, &params, &box, text, kKGEWholeText, nullptr, &made) ==
        0)
      text_.reset(made);
    else
      delete made;
  }
  Layout();
}

void LoadingPanel::Layout() {
  const ResourceServices& g = GetResourceServices();
  areaW_ = g.screen.width;
  areaH_ = g.screen.height;
  const i32 W0 = areaW_, H0 = areaH_;
  glowX_ = static_cast<float>((W0 - 4 * W(glow_)) / 2);
  glowY_ = static_cast<float>((H0 - 4 * H(glow_)) / 2 - 50);
  logoX_ = static_cast<float>((W0 - W(logo_)) / 2);
  logoY_ = static_cast<float>((H0 - H(logo_)) / 2 - 60);
  panelX_ = static_cast<float>((W0 - W(panel_)) / 2);
  panelY_ = static_cast<float>((H0 - H(panel_)) / 2 + 100);
  const i32 bx = (W0 - W(barImage_)) / 2, by = (H0 - H(barImage_)) / 2 + 100;
  bar_ = DXLRECT{bx, by, bx + W(barImage_), by + H(barImage_)};
  const i32 tw = text_ ? text_->GetWidth() : 0, th = text_ ? text_->GetHeight() : 0;
  const i32 cx = (bar_.left + bar_.right) / 2, cy = (bar_.top + bar_.bottom) / 2;
  caption_ = DXLRECT{cx - tw / 2, cy - th / 2, cx - tw / 2 + tw, cy - th / 2 + th};
  lit_ = kis::RoundToInt(static_cast<float>(W(barImage_)) * fraction_);
}

void LoadingPanel::SetProgress(float fraction) {
  fraction_ = std::clamp(fraction, 0.0f, 1.0f);
  const ResourceServices& g = GetResourceServices();
  if (g.screen.width != areaW_ || g.screen.height != areaH_) Layout();
  lit_ = kis::RoundToInt(static_cast<float>(W(barImage_)) * fraction_);
}

void LoadingPanel::DrawPart(DXLTexture* texture, float x, float y, const DXLRECT& source, u32 colour,
                            float scale) {
  if (!texture || source.right <= source.left || source.bottom <= source.top) return;
  DXLQUAD q;
  texture->MakeQuadFromRect(&q, x, y, source, colour, false, false);
  if (scale != 1.0f)
    for (DXLVERTEX& v : q.v) {
      v.x = x + (v.x - x) * scale;
      v.y = y + (v.y - y) * scale;
    }
  BindDrawTexture(texture);
  DrawQuad(&q);
}

void LoadingPanel::Draw() {
  // Laid out in the game area: its place on a screen wider than the game.
  LoadGameAreaTransform();
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  const u32 white = 0xFFFFFFFFu;
  DrawPart(glow_, glowX_, glowY_, DXLRECT{0, 0, W(glow_), H(glow_)}, white, 4.0f);
  DrawPart(logo_, logoX_, logoY_, DXLRECT{0, 0, W(logo_), H(logo_)}, white, 1.0f);
  DrawPart(panel_, panelX_, panelY_, DXLRECT{0, 0, W(panel_), H(panel_)}, white, 1.0f);
  DrawPart(barImage_, static_cast<float>(bar_.left), static_cast<float>(bar_.top), DXLRECT{0, 0, lit_, H(barImage_)},
           white, 1.0f);
  if (text_ && text_->GetTexture()) {
    // Split where the fill ends: the columns left of it over the fill.
    const DXLRECT& r = text_->GetTextureRect();
    const i32 split = std::clamp(bar_.left + lit_ - caption_.left, 0, r.right - r.left);
    const float x = static_cast<float>(caption_.left), y = static_cast<float>(caption_.top);
    // The text texture is drawn blended by its alpha, whatever its own state.
    DXLDRAWSTATE blend;
    DXLMakeSimpleDrawState(&blend, 1, 3, kBlendAlpha, 4);
    UnbindDrawTexture();
    const DXLDRAWSTATE* previous = SetBlendState(&blend);
    DrawPart(text_->GetTexture(), x, y, DXLRECT{r.left, r.top, r.left + split, r.bottom}, kCaptionOverFill, 1.0f);
    DrawPart(text_->GetTexture(), x + static_cast<float>(split), y, DXLRECT{r.left + split, r.top, r.right, r.bottom},
             kCaptionBeyondFill, 1.0f);
    UnbindDrawTexture();
    SetBlendState(previous);
  }
  UnbindDrawTexture();
  if (DXLViewer* viewer = GetGameViewer()) viewer->ResetWorldTransform();
}

void ShowLoading(LoadingPanel* panel, float fraction) {
  if (!panel) return;
  panel->SetProgress(fraction);
  panel->Draw();
}
