#include "windows/TaskButton.h"

#include <algorithm>
#include <string>

#include "base/NumberText.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/LevelRegime.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "level/rules/LevelTasks.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/StandardSounds.h"
#include "ui/CaptionHintWindow.h"
#include "ui/GameWindow.h"
#include "ui/HintWindow.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "windows/CLPLevelBlock.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kTaskFont = 3;
constexpr u32 kTaskTextColour = 0xFF00357Eu;
// A money task's goal stands 3 pixels higher than the level mark's line,
// so that its ink keeps clear of the money held below it.
constexpr i32 kCaptionY = 11, kTargetY = 67, kCountY = 83, kMarkY = 70;
constexpr i32 kCaptionMargin = 6;
// The cross-fade's stencil: the face marks where it is opaque (always,
// replace, alpha test at least 128), the other look passes only there
// (equal, keep, no alpha test).
constexpr u32 kTaskMarkFlags = 0xC783;
constexpr u32 kTaskFadeFlags = 0x9031;
constexpr u32 kTaskStencilRef = 0x54;
constexpr u32 kTaskMarkAlpha = 128;

// Its scale is set with the card's width (TaskButton::FitIcon).
std::unique_ptr<ImageSprite> MakeTaskIcon(Sprite* sprite) {
  if (sprite) sprite->Init();
  if (!sprite || !sprite->IsLoaded()) return nullptr;
  std::unique_ptr<ImageSprite> icon = MakeImage(sprite, 0.5f, 0.5f);
  if (!icon) return nullptr;
  icon->SetScale(0.5f, 0.5f);
  icon->SetFrame(std::min(sprite->GetFrameCount() - 1, 1));
  return icon;
}

Sprite* TaskIcon(const LEVELTASK& task) {
  switch (task.kind) {
    case kTaskMoney:
      return FindPanelIcon(u"ico_coin");
    case kTaskProducts: {
      const ProductList* products = GetProductList();
      const PRODUCT* product = products ? products->FindById(task.item) : nullptr;
      return product ? product->icon : nullptr;
    }
    case kTaskPlantBeds: {
      const PLANT* plant = FindPlant(task.item);
      return plant ? plant->icon : nullptr;
    }
    case kTaskBuildings: {
      // The icon of the level the task asks for.
      const BUILDING* building = FindBuilding(task.item);
      if (!building || building->levelCount <= 0) return nullptr;
      return building->levels[std::clamp(task.minLevel - 1, 0, building->levelCount - 1)].icon;
    }
    case kTaskCleanPlaces:
      return FindPanelIcon(u"ico_garbage");
    default:
      return nullptr;
  }
}

// Draws a text at (x, y) under `base`, squeezed across by `scale`.
void DrawText(KGETextSpriteW* text, float x, float y, float scale, const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!text || !viewer) return;
  viewer->SetTransform(&base);
  viewer->Translate(x, y);
  if (scale != 1.0f) viewer->ScaleXY(scale, 1.0f);
  viewer->ApplyTransform(nullptr);
  text->Draw();
}

std::u16string Decimal(i32 value) {
  wchar digits[16];
  kis::IntToStr(digits, 16, value);
  return digits;
}

i32 TextWidth(const KGETextSpriteW* text) { return text ? static_cast<i32>(text->GetWidth()) : 0; }
i32 TextHeight(const KGETextSpriteW* text) { return text ? static_cast<i32>(text->GetHeight()) : 0; }

}  // namespace

const wchar* TaskButton::CaptionKey(const LEVELTASK& task) {
  switch (task.kind) {
    case kTaskMoney:
      return u"money";
    case kTaskProducts: {
      const ProductList* products = GetProductList();
      const PRODUCT* product = products ? products->FindById(task.item) : nullptr;
      return product && product->ingredientCount > 0 ? u"produce" : u"collect";
    }
    case kTaskPlantBeds:
      return u"plant";
    case kTaskBuildings:
      return u"build";
    case kTaskCleanPlaces:
      return u"garbage";
    default:
      return nullptr;
  }
}

TaskButton::TaskButton(GameWindow* window, u32 index, const LEVELTASK* task, bool isStatic)
    : ActiveButton(window, window ? &window->Controls() : nullptr, kCommandTask),
      index_(index),
      task_(task),
      static_(isStatic) {
  SetData(reinterpret_cast<uintptr_t>(task));
  if (!task_) return;
  const LEVELTASK& t = *task_;
  const bool ranked = t.kind == kTaskPlantBeds || t.kind == kTaskBuildings;
  marks_ = ranked ? std::max(t.minLevel - 1, 0) : 0;
  if (static_ ? t.kind <= kTaskBuildings : (t.kind >= kTaskProducts && t.kind <= kTaskBuildings)) target_ = t.target;
  icon_ = MakeTaskIcon(TaskIcon(t));
  captionKey_ = CaptionKey(t);
  if (captionKey_) {
    caption_.reset(MakePanelText(SectionText(u"tasks", captionKey_), kTaskFont, nullptr, kKGEFixedColor, kTaskTextColour));
    auto* hint = new CaptionHintWindow(this);
    hint->SetText(SectionText(u"tasks", (std::u16string(captionKey_) + u"_hint").c_str()));
  }
  const bool targetApart = !static_ && t.kind == kTaskMoney;
  if (targetApart) {
    // Named as the goal: two bare numbers one over the other (the goal,
    // then the money held) do not say which is which.
    const std::u16string goal = std::u16string(SectionText(u"tasks", u"goal")) + Decimal(t.target);
    targetText_.reset(MakePanelText(goal.c_str(), kTaskFont, nullptr, kKGEFixedColor, kTaskTextColour));
  }
  iconY_ = marks_ > 0 || targetApart ? 42.0f : 49.0f;
}

TaskButton::~TaskButton() { DeleteSpriteEffects(&fade_); }

void TaskButton::SetRect(i32 x, i32 y, i32 width) {
  rect_ = DXLRECT{x, y, x + width, y + kTaskButtonHeight};
  if (width == width_) return;
  width_ = width;
  BuildFaces();
  hasMark_ = marks_ > 0 && MakeLevelMark(marks_, marks_, width / 2, kMarkY, 0xFFFFFFFFu, &mark_);
  const i32 room = width - kCaptionMargin;
  const auto squeeze = [room](const KGETextSpriteW* text) {
    const i32 w = TextWidth(text);
    return w > room && w > 0 ? static_cast<float>(room) / static_cast<float>(w) : 1.0f;
  };
  captionScale_ = squeeze(caption_.get());
  targetScale_ = squeeze(targetText_.get());
  FitIcon();
}

void TaskButton::PlaceHint() {
  ActiveButton::PlaceHint();
  HintWindow* hint = GetHintWindow();
  if (!static_ || !hint || !parent_) return;
  const DXLRECT& a = hint->GetAnchor();
  hint->SetFrame(a.left, a.top, a.right, a.bottom, 1, 2);
  hint->SetArea(&parent_->GetRect());
}

// The icon as large as the card lets it be (PictureScale): between the
// caption above it and what stands below it (the level mark, the separate
// target or the count; the texts share the caption's font), a pixel clear
// of each, and inside the card's caps.
void TaskButton::FitIcon() {
  if (!icon_) return;
  const i32 line = TextHeight(caption_.get());
  const float above = static_cast<float>(kCaptionY - line / 2 + line);
  float below = static_cast<float>((targetText_ ? kTargetY : kCountY) - line / 2);
  if (hasMark_)
    for (const DXLVERTEX& v : mark_.v) below = std::min(below, v.y);
  const float tall = 2.0f * std::min(iconY_ - above, below - iconY_) - 2.0f;
  const float wide = static_cast<float>(width_ - skins::kTaskButton.left - skins::kTaskButton.right);
  const float scale = PictureScale(icon_->GetSprite(), std::min(tall, wide));
  icon_->SetScale(scale, scale);
}

// Each face: a left cap, the middle stretched and a right cap of the task
// piece (the done face 54 pixels to its right).
void TaskButton::BuildFaces() {
  const SkinPiece& p = skins::kTaskButton;
  Sprite* sheet = GetLevelSheet();
  DXLTexture* t = sheet ? sheet->GetTexture() : nullptr;
  for (i32 set = 0; set < 2; ++set) {
    DXLQUAD* q = faces_[set];
    if (!t) {
      for (i32 i = 0; i < 3; ++i) q[i] = DXLQUAD{};
      continue;
    }
    const i32 sx = p.x + set * p.stepX, h = p.frameHeight, middle = std::max(width_ - p.left - p.right, 0);
    t->MakeQuadPartInt(&q[0], 0, 0, sx, p.y, p.left, h, 0xFFFFFFFFu);
    t->MakeQuadPartScaledInt(&q[1], p.left, 0, middle, h, sx + p.left, p.y, p.frameWidth - p.left - p.right, h,
                             0xFFFFFFFFu);
    t->MakeQuadPartInt(&q[2], width_ - p.right, 0, sx + p.frameWidth - p.right, p.y, p.right, h, 0xFFFFFFFFu);
  }
}

void TaskButton::SetProgress(i32 value, bool animate) {
  if (!task_) return;
  const LEVELTASK& t = *task_;
  bool done = done_;
  i32 shown = value;
  if (static_) {
    shown = target_ ? target_ : value;
  } else {
    done = t.target <= value;
    if (t.kind == kTaskCleanPlaces) shown = t.target - value;
    if (!animate) DeleteSpriteEffects(&fade_);
    if (everShown_ && shown == shown_ && done == done_) return;
  }
  everShown_ = true;
  shown_ = shown;
  std::u16string text = done ? u"<c=80ff80>" : u"";
  text += Decimal(shown);
  if (target_ && !static_) {
    text += u'/';
    text += Decimal(target_);
  }
  if (done) text += u"</c>";
  countText_ = text;
  // The task's colour but where the mark-up colours a met count.
  count_.reset(MakePanelText(text.c_str(), kTaskFont, nullptr, kKGEFixedColor | kKGEMarkup, kTaskTextColour));
  if (done != done_ && animate) {
    if (done) GetSoundSettings().PlaySound(GetStandardSound(kSoundTaskDone), kSoundGroupScreen, -1);
    // A fade still running starts again, shortened by the time it ran.
    const u32 now = GetResourceServices().clock;
    const u32 age = now - fadeStart_;
    const u32 ran = fade_ && age < fadeLength_ ? age : 0;
    DeleteSpriteEffects(&fade_);
    fadeStart_ = now;
    fadeLength_ = kTaskFadeTime - ran;
    AttachSpriteEffect(&fade_, new SEffect_Alpha(1.0f, 0.0f, fadeLength_, true, 0));
  }
  done_ = done;
}

void TaskButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  Sprite* sheet = GetLevelSheet();
  if (!viewer) return;
  DXLMATRIX saved{}, base{};
  viewer->GetTransform(&saved);
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  viewer->GetTransform(&base);
  viewer->ApplyTransform(nullptr);
  if (sheet && sheet->GetTexture()) {
    BindDrawTexture(sheet->GetTexture());
    const DXLQUAD* face = faces_[done_ ? 1 : 0];
    for (i32 i = 0; i < 3; ++i) DrawQuad(&face[i]);
    // The fading face: the other look over it, fading out, through the
    // stencil: the face marks its own opaque pixels and only those take
    // the other look; then the marks go again.
    if (fade_ && UpdateSpriteEffects(&fade_)) {
      const u32 alpha = GetEffectColor(fade_, 0xFFFFFFFFu) & 0xFF000000u;
      DXLSTENCILDATA mark{}, only{}, unmark{};
      DXLMakeStencilData(&mark, kTaskMarkFlags, kTaskStencilRef, kTaskMarkAlpha);
      DXLMakeStencilData(&only, kTaskFadeFlags, kTaskStencilRef, 0);
      DXLMakeStencilData(&unmark, kTaskMarkFlags, 0, kTaskMarkAlpha);
      const auto stencilOnly = [&](const DXLSTENCILDATA& state) {
        viewer->SetStencilState(&state);
        viewer->SetColorWriteMask(0);
        for (i32 i = 0; i < 3; ++i) DrawQuad(&face[i]);
        viewer->SetColorWriteMask(0xF);
      };
      stencilOnly(mark);
      viewer->SetStencilState(&only);
      for (DXLQUAD q : faces_[done_ ? 0 : 1]) {
        SetQuadAlpha(&q, alpha);
        DrawQuad(&q);
      }
      stencilOnly(unmark);
      viewer->SetStencilMode(kStencilFlagsAllOff, 0, 0);
    }
    UnbindDrawTexture();
  }
  // Then, in this order: the icon, the caption, the separate target, the
  // level mark and the count.
  const float middle = static_cast<float>(width_) / 2.0f;
  DrawImageAt(icon_.get(), middle, iconY_, base);
  if (caption_)
    DrawText(caption_.get(), middle - static_cast<float>(TextWidth(caption_.get())) * captionScale_ / 2.0f,
             static_cast<float>(kCaptionY - TextHeight(caption_.get()) / 2), captionScale_, base);
  if (targetText_)
    DrawText(targetText_.get(), middle - static_cast<float>(TextWidth(targetText_.get())) * targetScale_ / 2.0f,
             static_cast<float>(kTargetY - TextHeight(targetText_.get()) / 2), targetScale_, base);
  if (hasMark_ && sheet && sheet->GetTexture()) {
    viewer->SetTransform(&base);
    viewer->ApplyTransform(nullptr);
    BindDrawTexture(sheet->GetTexture());
    DrawQuad(&mark_);
    UnbindDrawTexture();
  }
  if (count_)
    DrawText(count_.get(), static_cast<float>((width_ - TextWidth(count_.get())) / 2),
             static_cast<float>(kCountY - TextHeight(count_.get()) / 2), 1.0f, base);
  viewer->SetTransform(&saved);
  viewer->ApplyTransform(nullptr);
}
