#include "windows/EmptyPanel.h"

#include "content/ContentArchive.h"
#include "content/LevelInfo.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/rules/LevelClock.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "hud/HudPieces.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

namespace {

constexpr i32 kRowsCentre = 46;
constexpr i32 kClockY = 62;
constexpr u32 kTimeFont = 5;
constexpr u32 kTextColour = 0xFF3A2410u;  // dark brown on the panel's paper

std::unique_ptr<ImageSprite> MakeIcon(const wchar* name) {
  Sprite* sprite = FindPanelIcon(name);
  SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  if (!sprite || !set) return nullptr;
  std::unique_ptr<ImageSprite> icon(set->CreateImageSprite(sprite, false));
  if (!icon) return nullptr;
  icon->SetPivot(0.5f, 0.5f);
  icon->SetScale(0.5f, 0.5f);
  if (sprite->GetFrameCount() > 1) icon->SetFrame(1);
  return icon;
}

}  // namespace

void FormatPanelTime(u32 ms, wchar* out, u32 size) {
  if (!out || size < 9) return;
  u32 s = ms / 1000;
  const u32 h = (s / 3600) % 100, n = (s / 60) % 60;
  s %= 60;
  const u32 v[3] = {h, n, s};
  for (u32 i = 0; i < 3; ++i) {
    out[i * 3] = static_cast<wchar>(u'0' + v[i] / 10);
    out[i * 3 + 1] = static_cast<wchar>(u'0' + v[i] % 10);
    if (i < 2) out[i * 3 + 2] = u':';
  }
  out[8] = 0;
}

EmptyPanel::EmptyPanel(LevelPanel& owner) : ChildLevelPanel(owner) {
  kind_ = kPanelKindEmpty;
  LevelRules* rules = owner_->GetRules();
  rows_ = rules && rules->GetRegime() == 1 ? 3 : 2;
  MakeRows();
}

EmptyPanel::~EmptyPanel() = default;

void EmptyPanel::MakeRows() {
  static const wchar* const kIcons[kEmptyPanelRows] = {u"gold_small", u"silver_small", u"bronze_small"};
  LevelRules* rules = owner_->GetRules();
  const LEVELINFO* info = rules ? rules->GetInfo() : nullptr;
  const i32 regime = rules ? rules->GetRegime() : 0;
  for (i32 i = 0; i < rows_; ++i) {
    icons_[i] = MakeIcon(kIcons[i]);
    i32 limit = 0;
    if (info && regime >= 0 && static_cast<u32>(regime) < kLevelRegimes) {
      const LEVELREGIME& r = info->regimes[regime];
      limit = i == 0 ? r.gold : i == 1 ? r.silver : r.bronze;
    }
    wchar text[16];
    FormatPanelTime(static_cast<u32>(limit > 0 ? limit : 0), text, 16);
    rowTexts_[i].reset(MakePanelText(text, kTimeFont));
  }
  clockIcon_ = MakeIcon(u"small_ico_clock");
  caption_.reset(MakePanelText(PanelText(u"current_time"), 3));
}

i32 EmptyPanel::GetRowY(i32 row) const {
  const i32 step = rows_ == 2 ? 32 : 24;
  return kRowsCentre - (rows_ - 1) * step / 2 + row * step;
}

// Nine pieces from x -1: filler, left edge, middle, right edge, filler,
// left edge, middle, right edge, filler: two framed boxes.
void EmptyPanel::Arrange() {
  const i32 middle = width_ / 2 - 40;
  // The paper and the body are the piece's stretched spans; the edges lie
  // around the body.
  const SkinPiece& skin = skins::kEmptyPanel;
  const SkinSpan paper = skin.columns[0], inside = skin.columns[1];
  const i32 edgeLeft = inside.from - paper.to, edgeRight = skin.frameWidth - inside.to;
  const SKINRECT filler = LevelSheetColumns(skin, paper.from, paper.to - paper.from),
                 left = LevelSheetColumns(skin, paper.to, edgeLeft),
                 body = LevelSheetColumns(skin, inside.from, inside.to - inside.from),
                 right = LevelSheetColumns(skin, inside.to, edgeRight);
  const struct {
    const SKINRECT* skin;
    i32 width;
  } pieces[9] = {{&filler, 17}, {&left, edgeLeft}, {&body, middle}, {&right, edgeRight}, {&filler, 16},
                 {&left, edgeLeft}, {&body, middle}, {&right, edgeRight}, {&filler, 17}};
  i32 x = -1;
  for (const auto& p : pieces) {
    if (p.width > 0) AddPiece(x, 0, p.width, skin.frameHeight, *p.skin);
    x += p.width;
  }
  column_ = (width_ / 2 + 8) / 2;
}

void EmptyPanel::Draw() {
  ChildLevelPanel::Draw();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  LevelRules* rules = owner_->GetRules();
  const u32 seconds = rules ? rules->Clock().GetTime() / 1000 : 0;
  if (seconds != shownSeconds_ || !clockText_) {
    shownSeconds_ = seconds;
    wchar text[16];
    FormatPanelTime(seconds * 1000, text, 16);
    clockText_.reset(MakePanelText(text, kTimeFont));
  }
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  // A row: the icon and its text 16 pixels to its right, the pair centred on the column.
  const auto row = [&](i32 column, i32 y, ImageSprite* icon, KGETextSpriteW* text) {
    const i32 textWidth = text ? static_cast<i32>(text->GetWidth()) : 0;
    const i32 iconX = column - (textWidth + 27) / 2 + 10;
    if (icon) DrawImageAt(icon, static_cast<float>(iconX), static_cast<float>(y), base);
    if (!text) return;
    viewer->SetTransform(&base);
    viewer->Translate(static_cast<float>(iconX + 16), static_cast<float>(y - static_cast<i32>(text->GetHeight()) / 2));
    viewer->ApplyTransform(nullptr);
    text->SetColor(kTextColour);
    text->Draw();
  };
  for (i32 i = 0; i < rows_; ++i) row(column_, GetRowY(i), icons_[i].get(), rowTexts_[i].get());
  row(width_ - column_, kClockY, clockIcon_.get(), clockText_.get());
  if (caption_) {
    viewer->SetTransform(&base);
    viewer->Translate(static_cast<float>(width_ - column_ - static_cast<i32>(caption_->GetWidth()) / 2),
                      static_cast<float>(30 - static_cast<i32>(caption_->GetHeight()) / 2));
    viewer->ApplyTransform(nullptr);
    caption_->SetColor(kTextColour);
    caption_->Draw();
  }
  viewer->SetTransform(&saved);
  viewer->ApplyTransform(nullptr);
}
