#include "windows/ComixWindow.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "content/ComixSection.h"
#include "engine/DXLMouse.h"
#include "engine/DXLViewer.h"
#include "gametext/DXLLngText.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "ui/GameButton.h"
#include "hud/HudPieces.h"
#include "ui/WindowManager.h"
#include "windows/ComixBook.h"

namespace {

constexpr u32 kComixFont = 4;
constexpr u32 kComixTextFlags = 0x1801;  // centred, mark-up, the fixed colour
constexpr i32 kComixTextWidth = 256;
constexpr u32 kComixTextColor = 0xFF103A5Fu;
constexpr u32 kBackSpriteSet = 1;
constexpr u32 kFinishFade = 200;  // ms the finishing button takes to fade out

Sprite* ComixSprite(const COMIXENTRY& e) {
  SpriteSet* set = GetSpriteSet(kComixSpriteSet);
  return set ? set->FindSprite(e.name) : nullptr;
}

// The entry's text: its variants one a line.
std::u16string EntryText(const DXLLngText* text) {
  std::u16string out;
  for (u32 i = 0; text && i < text->count; ++i) {
    if (i) out += u'\n';
    out += text->Variant(i);
  }
  return out;
}

KGETextSpriteW* MakeComixText(const std::u16string& text) {
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGEWrap | kComixTextFlags;
  params.color = kComixTextColor;
  params.wrapWidth = kComixTextWidth;
  params.maxChars = 1024;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = 0x200;
  box.maxHeight = 0x200;
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kComixFont), &params, &box, text.c_str(), kKGEWholeText,
                       nullptr, &sprite);
  return sprite;
}

void MakePictures(const std::vector<COMIXENTRY>& entries, std::vector<std::unique_ptr<ImageSprite>>* out) {
  for (const COMIXENTRY& e : entries) out->push_back(MakeImage(ComixSprite(e), 0.0f, 0.0f));
}

}  // namespace

float ComixPageScale(i32 width, i32 height) {
  float s = 1.0f;
  if (height < 750)
    s = static_cast<float>(height) / 750.0f;
  else if (height > 800)
    s = static_cast<float>(height) / 800.0f;
  if (std::lround(kComixPageWidth * s) > width) s = static_cast<float>(width) / kComixPageWidth;
  return s;
}

// --- ComixPart ------------------------------------------------------------------------------------

ComixPart::ComixPart(const COMIXPART* record, u32 start) : record_(record), start_(start) {
  MakePictures(record->pictures, &pictures_);
  MakePictures(record->overlays, &overlays_);
  const GameLanguage* language = GetGameLanguage();
  for (const COMIXENTRY& e : record->texts) {
    const COMIXTEXT* c = language ? language->FindComix(e.name) : nullptr;
    // A text without its comic entry is left out (the language's stand-in
    // text would show a key's fallback in the middle of a picture).
    if (!c || c == &language->GetMissingComix() || !c->text) continue;
    Text t;
    t.sprite.reset(MakeComixText(EntryText(c->text)));
    if (!t.sprite) continue;
    t.x = static_cast<float>(record->x + e.x + c->x);
    t.y = static_cast<float>(record->y + e.y + c->y);
    t.halfWidth = std::floor(static_cast<float>(t.sprite->GetWidth()) / 2);
    t.halfHeight = std::floor(static_cast<float>(t.sprite->GetHeight()) / 2);
    t.scale = c->scale;
    texts_.push_back(std::move(t));
  }
}

ComixPart::~ComixPart() = default;

bool ComixPart::Update(u32 now) {
  if (finished_) return false;
  if (static_cast<i32>(now - start_) < 0) return true;
  if (!sounded_) {
    sounded_ = true;
    GetSoundSettings().PlaySound(GetStandardSound(kSoundComic), kSoundGroupScreen, 0);
  }
  const u32 t = now - start_;
  if (t >= kComixAppearTime) {
    Finish();
    return false;
  }
  const float f = static_cast<float>(t) / static_cast<float>(kComixAppearTime);
  color_ = (static_cast<u32>(std::lround(f * 255.0f)) << 24) | 0x00FFFFFFu;
  scale_ = 0.9f + 0.1f * f;
  return true;
}

void ComixPart::Finish() {
  finished_ = true;
  color_ = 0xFFFFFFFFu;
  scale_ = 1.0f;
}

// --- ComixWindow ----------------------------------------------------------------------------------

ComixWindow::ComixWindow(ComixBook* book, ComixPage* page) : GameWindow(0, true), book_(book), page_(page) {
  if (book_) book_->Register(this);
  AcquireSprites(true);
  if (SpriteSet* set = GetSpriteSet(kBackSpriteSet)) back_ = set->FindSprite(u"comix_back");
  if (back_) {
    back_->Init();
    if (back_->GetFrameWidth() > 0 && back_->GetFrameHeight() > 0) backImage_ = MakeImage(back_, 0.0f, 0.0f);
  }
  Layout();
  const u32 now = GameFrameTime();
  for (size_t i = 0; i < page_->parts.size(); ++i)
    parts_.push_back(std::make_unique<ComixPart>(&page_->parts[i],
                                                 now + kComixFirstDelay + kComixPartDelay * static_cast<u32>(i)));
}

ComixWindow::~ComixWindow() {
  Unregister();
  parts_.clear();
  AcquireSprites(false);
  backImage_.reset();
  if (back_) back_->Release(false);
  if (book_) book_->Forget(this);
}

void ComixWindow::AcquireSprites(bool acquire) {
  if (page_->acquired == acquire) return;
  page_->acquired = acquire;
  for (const COMIXPART& part : page_->parts)
    for (const std::vector<COMIXENTRY>* list : {&part.pictures, &part.overlays})
      for (const COMIXENTRY& e : *list)
        if (Sprite* s = ComixSprite(e)) acquire ? s->Init() : s->Release(false);
}

void ComixWindow::Layout() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  const i32 w = screen.width, h = screen.height;
  rect_ = DXLRECT{0, 0, w, h};
  scale_ = ComixPageScale(w, h);
  originX_ = w / 2 + static_cast<i32>(static_cast<float>(page_->x) * scale_);
  originY_ = h / 2 + static_cast<i32>(static_cast<float>(page_->y) * scale_);
  if (finish_) {
    const DXLRECT& r = finish_->GetRect();
    const i32 bw = r.right - r.left, bh = r.bottom - r.top;
    const i32 x = (w - bw) / 2, y = h - bh - 4;
    finish_->SetRect(DXLRECT{x, y, x + bw, y + bh});
  }
  backRect_ = DXLRECT{0, 0, 0, 0};
  if (!backImage_) return;
  // The height of the screen, or the width when that leaves it uncovered,
  // keeping the picture's proportions: widened to the screen, the height is
  // round(W / iw x ih). (W / iw x H, the screen's height for the picture's,
  // would stretch it unevenly unless the picture were exactly as high as
  // the screen.)
  const i32 iw = back_->GetFrameWidth(), ih = back_->GetFrameHeight();
  i32 bw = static_cast<i32>(static_cast<i64>(iw) * h / ih), bh = h;
  if (bw < w) {
    bw = w;
    bh = static_cast<i32>(std::lround(static_cast<double>(w) / iw * ih));
  }
  backRect_ = DXLRECT{(w - bw) / 2, (h - bh) / 2, (w - bw) / 2 + bw, (h - bh) / 2 + bh};
  backImage_->SetScale(static_cast<float>(bw) / static_cast<float>(iw), static_cast<float>(bh) / static_cast<float>(ih));
}

void ComixWindow::Advance() {
  if (closing_) return;
  bool appearing = false;
  for (const auto& part : parts_) {
    if (!part->IsAppearing()) continue;
    part->Finish();
    appearing = true;
  }
  if (appearing) return;
  CloseComic();
}

void ComixWindow::CloseComic() {
  if (closing_) return;
  for (const auto& part : parts_) part->Finish();
  closing_ = 1;
  if (finish_) finish_->Show(false, false, kFinishFade);
  if (book_) book_->FinishComix();
}

void ComixWindow::SetFinishButton(GameButton* button) {
  finish_ = button;
  Layout();
}

u32 ComixWindow::OnCommand(GameButton* control) {
  if (!control || control != finish_) return GameWindow::OnCommand(control);
  CloseComic();
  return kCommandRelease;
}

bool ComixWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (GameWindow::OnMouseDown(x, y, button, keys)) return true;
  WindowManager* manager = GetWindowManager();
  if (button == kMouseLeft && !(manager && manager->GetHoverControl())) Advance();
  return true;
}

bool ComixWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  if (GameWindow::OnDoubleClick(x, y, button)) return true;
  WindowManager* manager = GetWindowManager();
  if (!(manager && manager->GetHoverControl())) Advance();
  return true;
}

bool ComixWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == 13 || key == 27) {
    Advance();
    return true;
  }
  return GameWindow::OnKeyDown(key, extra);
}

void ComixWindow::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  if (backImage_) DrawImageAt(backImage_.get(), static_cast<float>(backRect_.left), static_cast<float>(backRect_.top), saved);
  viewer->Translate(static_cast<float>(originX_), static_cast<float>(originY_));
  viewer->Scale(scale_);
  DXLMATRIX page{};
  viewer->GetTransform(&page);
  const u32 now = GameFrameTime();
  std::vector<DXLMATRIX> bases(parts_.size());
  for (size_t i = 0; i < parts_.size(); ++i) {
    ComixPart& part = *parts_[i];
    part.Update(now);
    const COMIXPART& r = *part.GetRecord();
    // The appearing scales about the part's effect centre.
    viewer->SetTransform(&page);
    viewer->Translate(static_cast<float>(r.centerX), static_cast<float>(r.centerY));
    viewer->Scale(part.GetScale());
    viewer->Translate(-static_cast<float>(r.centerX), -static_cast<float>(r.centerY));
    viewer->GetTransform(&bases[i]);
    for (size_t k = 0; k < part.Pictures().size(); ++k) {
      ImageSprite* image = part.Pictures()[k].get();
      if (!image) continue;
      image->SetColor(part.GetColor());
      DrawImageAt(image, static_cast<float>(r.x + r.pictures[k].x), static_cast<float>(r.y + r.pictures[k].y), bases[i]);
    }
  }
  for (size_t i = 0; i < parts_.size(); ++i) {
    ComixPart& part = *parts_[i];
    const COMIXPART& r = *part.GetRecord();
    if (!part.IsAppearing())
      for (size_t k = 0; k < part.Overlays().size(); ++k)
        if (ImageSprite* image = part.Overlays()[k].get()) {
          image->SetColor(part.GetColor());
          DrawImageAt(image, static_cast<float>(r.x + r.overlays[k].x), static_cast<float>(r.y + r.overlays[k].y),
                      bases[i]);
        }
    for (const ComixPart::Text& t : part.Texts()) {
      viewer->SetTransform(&bases[i]);
      viewer->Translate(t.x, t.y);
      viewer->Scale(t.scale);
      viewer->Translate(-t.halfWidth, -t.halfHeight);
      viewer->ApplyTransform(nullptr);
      t.sprite->SetAlpha(part.GetColor());
      t.sprite->Draw();
    }
  }
  viewer->SetTransform(&saved);
  DrawControls();
  // The finishing button goes once it has faded out.
  if (finish_ && finish_->State().GetEnableBits() == kStateHidden && !finish_->State().IsFading()) {
    delete finish_;
    finish_ = nullptr;
  }
}
