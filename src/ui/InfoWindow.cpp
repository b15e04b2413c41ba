#include "ui/InfoWindow.h"

#include <algorithm>

#include "base/Clock.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/GameBonuses.h"
#include "content/LevelIntro.h"
#include "content/PlantTable.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteSet.h"
#include "ui/InfoWindowSources.h"
#include "ui/SkinTable.h"
#include "ui/UiServices.h"
#include "ui/WindowEffects.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kMarginLeft = 26;
constexpr i32 kMarginTop = 24;
constexpr i32 kMarginBottom = 29;
constexpr i32 kMinHeight = 64;
constexpr i32 kHeightCut = 5;  // the window is this much shorter than its frame
constexpr i32 kBlockHeights[4] = {144, 48, 16, 4};  // picture, item, wide and thin separator

constexpr u32 kBlockPicture = 0;
constexpr u32 kBlockItem = 1;
constexpr u32 kBlockWideSeparator = 2;
constexpr u32 kBlockThinSeparator = 3;
constexpr u32 kItemCustom = 0;
constexpr u32 kItemPlant = 1;
constexpr u32 kItemBuilding = 2;
constexpr u32 kItemBonus = 3;

constexpr i32 kLevelWidth = 70;  // the level badge at a row's right end
constexpr i32 kRowCentre = 24;   // icon and name centre below a row's top
constexpr u32 kNameFont = 4;
constexpr u32 kTextFont = 3;
constexpr i32 kLineStep = 23;

// The fields of an entry: up to 32 characters, to the first zero when there
// is one (a full field has none).
std::u16string Field(const wchar (&field)[32]) {
  size_t n = 0;
  while (n < 32 && field[n] != 0) ++n;
  return std::u16string(field, n);
}

i32 BlockHeight(u32 kind) { return kind < 4 ? kBlockHeights[kind] : 0; }

const wchar* LanguageText(const wchar* table, const std::u16string& key) {
  const GameLanguage* language = GetGameLanguage();
  return language ? language->GetTextByName(table, key.c_str(), true) : nullptr;
}

}  // namespace

InfoWindow::InfoWindow(const INFOENTRY* entries, u32 count)
    : SpritesWindow(kId, false, false), madeAt_(kis::GetTimeMs()) {
  if (manager_) {
    manager_->SetInfoWindow(this);
    if (Sprite* info = manager_->GetInterfaceSprite(u"info")) info_ = info->GetTexture();
  }
  Build(entries, count);
  GetDefaultPos(&x_, &y_);
  rect_ = DXLRECT{x_, y_, x_ + width_, y_ + height_};
  AddEffect(new SEffect_ShowWindow(-static_cast<float>(y_ + height_), kShowTime, kShowDelay));
  if (effects_) effects_->ownTime = madeAt_;
  const SkinPiece& close = skins::kInfoClose;
  close_ = new IWCloseButton(this, &Controls(), kCloseId, SkinOf(close, info_), -1, close.Vertical(),
                             static_cast<i32>(close.frames), close.Gap(), width_ - 31, 2, nullptr);
  close_->SetStateFrames(0, {0, 0, 1, 2});
  close_->SetFadeTimes(0, 0);
}

InfoWindow::~InfoWindow() {
  Unregister();
  icons_.clear();
  texts_.clear();
  if (manager_ && manager_->GetInfoWindow() == this) manager_->SetInfoWindow(nullptr);
}

const wchar* InfoWindow::PanelText(const std::u16string& key) const { return LanguageText(u"info_panel", key); }

// --- Content -------------------------------------------------------------------------------------

void InfoWindow::Build(const INFOENTRY* entries, u32 count) {
  if (!entries) count = 0;
  i32 h = 0;
  i32 previousSpace = kMarginTop;
  tops_.clear();
  for (u32 i = 0; i < count; ++i) {
    const i32 gap = std::max(entries[i].spaceBefore, previousSpace);
    tops_.push_back(h + gap);
    previousSpace = entries[i].spaceAfter;
    h += gap + BlockHeight(entries[i].blockKind);
  }
  h += std::max(previousSpace, kMarginBottom);
  h = std::max(h, kMinHeight);
  frameHeight_ = h;
  AddFrame(0, 0, kWidth, h, SkinOf(skins::kInfoFrame, info_));
  for (u32 i = 0; i < count; ++i) {
    const INFOENTRY& e = entries[i];
    const i32 top = tops_[i];
    const std::u16string textKey = Field(e.textKey);
    const wchar* text = textKey.empty() ? nullptr : PanelText(textKey);
    switch (e.blockKind) {
      case kBlockWideSeparator:
      case kBlockThinSeparator: {
        const SkinPiece& skin =
            e.blockKind == kBlockWideSeparator ? skins::kInfoWideSeparator : skins::kInfoThinSeparator;
        AddRow(4, top, kWidth - 8, -1, SkinOf(skin, info_), &pieces_);
        break;
      }
      case kBlockPicture: {
        Sprite* picture = GetSpriteByName(kPictureSpriteSet, Field(e.imageName).c_str());
        DXLTexture* image = picture && picture->IsLoaded() ? picture->GetTexture() : nullptr;
        if (image && image->IsReady())
          AddPiece(kMarginLeft - 1 + e.imageX, top - 1 + e.imageY, image->GetImageWidth(), image->GetImageHeight(),
                   SKINRECT::InitPlain(0, 0, -1, -1, 0, 0, image), &pieces_);
        AddItemRow(kMarginLeft + 224, top, 404, false, 74, e);
        AddBlockText(kMarginLeft + 240, top + 53, 372, 4, false, text);
        break;
      }
      case kBlockItem: {
        const i32 w = AddItemRow(kMarginLeft, top, 292, true, 70, e);
        AddBlockText(kMarginLeft + 16 + w, top + kRowCentre, kWidth - (kMarginLeft + 32 + w), 2, true, text);
        break;
      }
      default:
        break;  // an unknown block takes no room and shows nothing
    }
  }
  SetSize(kWidth, h - kHeightCut);
}

i32 InfoWindow::AddItemRow(i32 x, i32 y, i32 width, bool widen, i32 nameX, const INFOENTRY& entry) {
  const std::u16string name = Field(entry.itemName);
  Sprite* icon = nullptr;
  const wchar* caption = nullptr;
  i32 level = -1;
  switch (entry.itemKind) {
    case kItemCustom:
      icon = GetSpriteByName(kIconSpriteSet, Field(entry.spriteName).c_str());
      caption = PanelText(name);
      break;
    case kItemPlant:
    case kItemBuilding: {
      // The kind's level limit on this level (stored while the level
      // loaded) and its icon: a plant's, a building's first level's.
      const bool plant = entry.itemKind == kItemPlant;
      if (plant) {
        const PLANT* p = FindPlantByName(name.c_str());
        if (!p) return width;
        level = p->levelLimit;
        icon = p->icon;
      } else {
        const BUILDING* b = FindBuildingByName(name.c_str());
        if (!b) return width;
        level = b->levelLimit;
        icon = b->levelCount > 0 ? b->levels[0].icon : nullptr;
      }
      if (level < 1) return width;
      caption = LanguageText(plant ? u"plants" : u"buildings", name);
      break;
    }
    case kItemBonus: {
      const GameBonuses* bonuses = GetGameBonuses();
      const i32 index = bonuses ? bonuses->FindByName(name.c_str()) : -1;
      if (index < 0) return width;
      const BONUS& bonus = bonuses->Get(static_cast<u32>(index));
      icon = bonus.icon;
      caption = LanguageText(u"bonuses", Field(bonus.nameKey));
      break;
    }
    default:
      return width;
  }
  if (level >= 0 && widen) width += kLevelWidth;
  AddRow(x, y, width, -1, SkinOf(skins::kInfoItemRow, info_), &pieces_);
  if (icon) {
    SpriteSet* set = icon->GetSet();
    if (ImageSprite* sprite = set ? set->CreateImageSprite(icon, false) : nullptr) {
      sprite->SetPivot(0.5f, 0.5f);
      if (icon->GetFrameCount() > 1) sprite->SetAnimation(icon->GetDefaultAnimation(), true);
      icons_.push_back(IWICON{static_cast<float>(x + 28), static_cast<float>(y + kRowCentre),
                              std::unique_ptr<ImageSprite>(sprite)});
    }
  }
  // Names and the level badge: game font 4, dark blue with a light outline.
  KGETEXTPARAMS params{};
  params.flags = 0x1A00;
  params.maxChars = 0x40;
  params.color = 0xFF003C80u;
  KGESPRITEPARAMS box{};
  box.flags = 17;
  box.maxWidth = 0x200;
  box.maxHeight = 0x40;
  DXLMakeOutline(&box.outline, 1, 2.0f, 0xFFFFE29Cu, 0, 0);
  // Each line's room: the row's inside from where it starts to the
  // divider before the badge, or to the row's right border.
  const SkinPiece& divider = skins::kInfoLevelDivider;
  const i32 end = x + width - skins::kInfoItemRow.right;
  const i32 nameEnd = level >= 0 ? x + width - kLevelWidth - divider.frameWidth : end;
  const auto addLine = [&](const wchar* line, i32 lineX, i32 lineEnd) -> KGETextSpriteW* {
    if (!line || !line[0]) return nullptr;
    KGETextSpriteW* sprite = nullptr;
    KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kNameFont), &params, &box, line, kKGEWholeText, nullptr,
                         &sprite);
    if (sprite)
      AddText(static_cast<float>(lineX), static_cast<float>(y + kRowCentre - sprite->GetHeight() / 2), sprite,
              DXLRECT{lineX, y, lineEnd, y + kBlockHeights[kBlockItem]});
    return sprite;
  };
  addLine(caption, x + nameX, nameEnd);
  if (level >= 0) {
    AddPiece(x + width - kLevelWidth - divider.frameWidth, y + 2, divider.frameWidth, divider.frameHeight,
             SkinOf(divider, info_), &pieces_);
    std::u16string badge;
    if (const wchar* word = PanelText(u"level")) badge.assign(word, std::min<size_t>(std::char_traits<wchar>::length(word), 4));
    badge += u" ";
    for (char c : std::to_string(level)) badge += static_cast<wchar>(c);
    if (KGETextSpriteW* sprite = addLine(badge.c_str(), x + width - kLevelWidth, end))
      texts_.back().x += static_cast<float>((kLevelWidth - sprite->GetWidth()) / 2 - 6);
  }
  return width;
}

void InfoWindow::AddBlockText(i32 x, i32 y, i32 width, i32 lines, bool centred, const wchar* text) {
  if (!text || !text[0]) return;
  KGEFont* font = GetGameFont(kTextFont);
  KGETEXTPARAMS params{};
  params.flags = 0x1D00;
  params.maxChars = 0x100;
  params.color = 0xFF872900u;
  params.wrapWidth = width;
  params.lineSpacing = kLineStep;
  const i32 maxHeight = (lines - 1) * kLineStep + (font ? font->GetHeight() : 0) + 1;
  KGESPRITEPARAMS box{};
  box.flags = 33;
  box.maxWidth = width;
  box.maxHeight = maxHeight;
  box.shadow = KGESHADOW{1, 1, 1, 0x80FFF7DDu};
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), font, &params, &box, text, kKGEWholeText, nullptr, &sprite);
  if (!sprite) return;
  const i32 top = centred ? y - maxHeight / 2 : y;
  if (centred) y -= std::min(sprite->GetHeight(), maxHeight) / 2;
  AddText(static_cast<float>(x), static_cast<float>(y), sprite, DXLRECT{x, top, x + width, top + maxHeight});
}

void InfoWindow::AddText(float x, float y, KGETextSpriteW* text, const DXLRECT& room) {
  texts_.push_back(IWTEXT{x, y, std::unique_ptr<KGETextSpriteW>(text), room});
}

// --- Pictures ------------------------------------------------------------------------------------

namespace {

// The sprites named by the picture blocks, where they exist.
template <class Act>
void ForEachPicture(const INFOENTRY* entries, u32 count, Act act) {
  for (u32 i = 0; entries && i < count; ++i) {
    if (entries[i].blockKind != kBlockPicture) continue;
    const std::u16string name = Field(entries[i].imageName);
    if (Sprite* picture = name.empty() ? nullptr : GetSpriteByName(InfoWindow::kPictureSpriteSet, name.c_str()))
      act(picture);
  }
}

}  // namespace

void InfoWindow::LoadEntryImages(const INFOENTRY* entries, u32 count) {
  ForEachPicture(entries, count, [](Sprite* picture) { picture->Init(); });
}

void InfoWindow::UnloadEntryImages(const INFOENTRY* entries, u32 count) {
  ForEachPicture(entries, count, [](Sprite* picture) { picture->Release(false); });
}

// --- Input ---------------------------------------------------------------------------------------

void InfoWindow::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(lifetime_);
  SpritesWindow::OnMouseUp(x, y, button, keys);
  if (guard.Alive() && state_.GetEnableBits() == kStatePressed) Close();
}

bool InfoWindow::OnKeyDown(u16 key, u32 extra) {
  if (key != kKeyEnter) return SpritesWindow::OnKeyDown(key, extra);
  Close();
  return true;
}

u32 InfoWindow::OnCommand(GameButton* control) {
  if (control != close_) return kCommandNothing;
  Close();
  return kCommandRelease;
}

bool InfoWindow::HitTest(i32 x, i32 y) const {
  if (GameWindow::HitTest(x, y) || GetResourceServices().appState != kGameStateLevel) return true;
  const LevelPanelArea* panel = GetUiServices().levelPanel;
  return !panel || !panel->IsPointOver(x, y);
}

void InfoWindow::GetDefaultPos(i32* x, i32* y) const {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  i32 top = (screen.height - height_) / 2 - 20;
  if (top < 20) top += 20;
  if (x) *x = (screen.width - width_) / 2;
  if (y) *y = std::max(top, 0);
}

// --- Drawing -------------------------------------------------------------------------------------

// The drop-in runs on its own clock: the milliseconds since the window was
// made, whatever the game clock does meanwhile.
void InfoWindow::Draw() {
  if (closing_ || !effects_) {
    SpritesWindow::Draw();
    return;
  }
  const u32 saved = effects_->ownTime;
  effects_->ownTime = kis::GetTimeMs() - madeAt_;
  LifeGuard guard(lifetime_);
  SpritesWindow::Draw();
  if (guard.Alive() && effects_) effects_->ownTime = saved;
}

void InfoWindow::DrawForeground() {
  SpritesWindow::DrawForeground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
  DrawPieces(&pieces_);
  for (IWICON& icon : icons_) {
    viewer->SetTransform(&transform_);
    viewer->Translate(icon.x, icon.y);
    icon.icon->Draw();
  }
  UnbindDrawTexture();
  for (IWTEXT& text : texts_) {
    viewer->SetTransform(&transform_);
    viewer->Translate(text.x, text.y);
    text.text->Draw();
  }
  viewer->SetTransform(&transform_);
}
