#include "windows/LevelResultWindow.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGETextParams.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/EmptyPanel.h"
#include "windows/PanelSkins.h"

namespace {

constexpr u32 kTimeColour = 0xFFFFFF8Bu;
constexpr u32 kZeroTimeColour = 0xFFB0B0B0u;
constexpr float kRowX = 285.0f;  // (488 - 127) / 2 + 105
constexpr i32 kSegmentWidths[3] = {153, 147, 153};

constexpr i32 kBoardHeight = 91;   // the board below the top row
constexpr i32 kFrameHeight = 109;  // the frame round the time rows, below the board

const wchar* WindowText(const wchar* key) { return SectionText(u"level_result_window", key); }

KGETextSpriteW* TimeText(u32 ms) {
  wchar text[16];
  FormatPanelTime(ms, text, 16);
  return MakePanelText(text, 4, nullptr, kKGEFixedColor, ms == 0 ? kZeroTimeColour : kTimeColour);
}

std::unique_ptr<ImageSprite> Clock() {
  Sprite* sprite = FindPanelIcon(u"small_ico_clock");
  std::unique_ptr<ImageSprite> icon = sprite ? MakeImage(sprite, 0.5f, 0.5f) : nullptr;
  if (icon) icon->SetScale(0.5f, 0.5f);
  if (icon && sprite->GetFrameCount() > 1) icon->SetFrame(1);
  return icon;
}

// A mark scaled to w x h and centred on its place; its last frame.
std::unique_ptr<ImageSprite> Mark(Sprite* sprite, float w, float h, i32* lastFrame) {
  std::unique_ptr<ImageSprite> mark = sprite ? MakeImage(sprite, 0.5f, 0.5f) : nullptr;
  *lastFrame = 0;
  if (!mark) return nullptr;
  const float fw = static_cast<float>(sprite->GetFrameWidth()), fh = static_cast<float>(sprite->GetFrameHeight());
  mark->SetScale(fw > 0 ? w / fw : 1.0f, fh > 0 ? h / fh : 1.0f);
  mark->SetFrame(0);
  *lastFrame = std::max(sprite->GetFrameCount() - 1, 0);
  return mark;
}

float Progress(u32 now, u32 from, u32 length) {
  if (now <= from) return 0.0f;
  return length == 0 || now - from >= length ? 1.0f : static_cast<float>(now - from) / static_cast<float>(length);
}

u32 Alpha(float a) { return static_cast<u32>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255.0f)) << 24; }

}  // namespace

LevelResultWindow::LevelResultWindow(const LEVELRESULT& record, std::function<void()> exit)
    : SpritesWindow(kId, false, true), record_(record), exit_(std::move(exit)) {
  start_ = Now();
  const u32 mode = record_.regime == 1 ? 1 : 0;
  AddTopRow(kWidth);
  i32 w = 0;
  GetSize(&w, &top_);
  top_ -= 2;
  // Under the gauge the board (its groove holds the gauge) and the frame
  // round the time rows below it; over the gauge, in mode 0, the cover that
  // hides the bronze zone (always full there), the medal's box and the rule
  // under the limit times.
  AddPiece(0, top_, kWidth, kBoardHeight, SkinOf(skins::kResultBoard, kInterfaceImage), &pieces_);
  AddStretchedFrame(0, top_ + kBoardHeight, kWidth, kFrameHeight, SkinOf(skins::kResultFrame, kInterfaceImage),
                    &pieces_);
  if (mode == 0) AddPiece(12, top_ + 5, 160, -1, SkinOf(skins::kResultCover, kInterfaceImage), &cover_);
  AddRow(18, top_ + 10, 82, -1, SkinOf(skins::kWindowRow, kInterfaceImage), &cover_);
  AddPiece(111, top_ + 49, kWidth - 139, 4, SkinOf(skins::kWindowSeparator, kInterfaceImage), &cover_);
  AddBodyFrame(1);

  const u32 limits[3] = {static_cast<u32>(std::max(record_.limits[0], 0)),
                         static_cast<u32>(std::max(record_.limits[1], 0)),
                         static_cast<u32>(std::max(record_.limits[2], 0))};
  gauge_.Init(mode, limits, kSegmentWidths, 16, top_ + 73);
  gauge_.SetValue(record_.time);

  MakeRow(&yourTime_, u"your_time", record_.time, kRowX, static_cast<float>(top_ + 121));
  Sprite* tick = FindPanelIcon(u"big_tick");
  Sprite* cross = manager_ ? manager_->GetInterfaceSprite(u"red_cross_big") : nullptr;
  for (i32 i = 0; i < 3; ++i) {
    Column& c = columns_[i];
    c.shown = i > 0 || mode == 1;
    if (!c.shown) continue;
    c.labelX = static_cast<float>(45 + 147 * i);
    c.labelY = static_cast<float>(top_ + 49);
    c.icon = Clock();
    c.label.reset(TimeText(limits[i]));
    c.tick = record_.grade >= i + 4;
    if (c.tick) {
      c.mark = Mark(tick, 38.0f, 60.0f, &c.lastFrame);
      c.markX = static_cast<float>(98 + 147 * i);
      c.markY = static_cast<float>(top_ + 61);
    } else {
      c.mark = Mark(cross, 31.0f, 41.0f, &c.lastFrame);
      c.markX = static_cast<float>(96 + 147 * i);
      c.markY = static_cast<float>(top_ + 41);
    }
  }
  newRecord_ = (record_.flags & 1) != 0;
  MakeRow(&recordRow_, u"record", record_.previousBest, kRowX, static_cast<float>(top_ + 166));
  if (newRecord_) MakeRow(&newRecordRow_, u"new_record", record_.time, kRowX, static_cast<float>(top_ + 166));

  Show(0, true);
  uncompletedX_ = medalX_ = 17.0f;
  uncompletedY_ = medalY_ = static_cast<float>(top_ + 9);
  uncompleted_.reset(GetMedalSprite(0, &uncompletedX_, &uncompletedY_));
  medal_.reset(GetMedalSprite(record_.grade, &medalX_, &medalY_));
  for (ImageSprite* s : {uncompleted_.get(), medal_.get()})
    if (s) s->SetPivot(0.5f, 0.5f);
  if (medal_) {
    medalScaleX_ = medal_->GetScaleX();
    medalScaleY_ = medal_->GetScaleY();
  }
  SetCaption(WindowText(u"caption"));
  AddButton(kResultWindowOk, WindowText(u"ok"), 1, 1, 0);

  // The reveal, from a delay of 1000 ms: gold, silver, bronze 400 apart.
  u32 d = kFirstDelay;
  for (i32 i = 2; i >= 0; --i) columns_[i].revealAt = start_ + d + static_cast<u32>(2 - i) * kMarkStep;
  d += 3 * kMarkStep;
  recordAt_ = start_ + d;
  if (newRecord_) d += 600;
  medalAt_ = start_ + d;
}

LevelResultWindow::~LevelResultWindow() {
  Unregister();  // no longer found by its id while its parts go
}

u32 LevelResultWindow::Now() const { return GameClock(); }

// A column's limit time stands on the rule at its label's height, the clock
// beside it: the rule runs under the times, not through them.
float LevelResultWindow::LabelTop(const Column& c) {
  const float h = c.label ? static_cast<float>(c.label->GetHeight()) : 0.0f;
  return std::floor(c.labelY - kLabelRise - h);
}

void LevelResultWindow::MakeRow(Row* row, const wchar* key, u32 time, float x, float y) {
  row->x = x;
  row->y = y;
  row->caption.reset(MakePanelText(WindowText(key), 3));
  row->clock = Clock();
  row->time.reset(TimeText(time));
}

// --- The reveal -----------------------------------------------------------------------------------

DXLRECT LevelResultWindow::GetLabelRect(i32 i) const {
  const Column& c = columns_[i];
  if (!c.shown || !c.label) return DXLRECT{};
  const i32 left = static_cast<i32>(c.labelX) + 16;
  const i32 top = static_cast<i32>(LabelTop(c));
  return DXLRECT{left, top, left + c.label->GetWidth(), top + c.label->GetHeight()};
}

bool LevelResultWindow::IsShowing() const {
  if (!showing_) return false;
  return medal_ && !medalDropped_ && Now() < medalAt_ + medalLength_;
}

bool LevelResultWindow::IsMarkRevealed(i32 i) const {
  return columns_[i].shown && (marksDone_ || Now() >= columns_[i].revealAt);
}

i32 LevelResultWindow::GetMarkFrame(i32 i) const {
  const Column& c = columns_[i];
  if (marksDone_) return c.lastFrame;
  if (!IsMarkRevealed(i)) return 0;
  return std::min(static_cast<i32>((Now() - c.revealAt) / kMarkFrameTime), c.lastFrame);
}

float LevelResultWindow::GetMedalProgress() const {
  return medalDropped_ ? 1.0f : Progress(Now(), medalAt_, medalLength_);
}

float LevelResultWindow::GetMedalAlpha() const {
  return medalDropped_ || fadeEnded_ ? 1.0f : Progress(Now(), medalAt_, fadeLength_);
}

bool LevelResultWindow::IsRecordRowShown() const {
  return !newRecord_ || (!recordDropped_ && Now() < recordAt_ + kMedalTime);
}

bool LevelResultWindow::IsNewRecordRowShown() const {
  return newRecord_ && (recordDropped_ || Now() >= recordAt_ + kMedalTime);
}

bool LevelResultWindow::IsUncompletedShown() const {
  return uncompleted_ && !uncompletedDropped_ && Now() < medalAt_ + kMedalTime;
}

void LevelResultWindow::FinishReveal(bool skip) {
  const u32 now = Now();
  if (IsShowing()) {
    uncompletedDropped_ = true;
    if (skip) medalDropped_ = true;
    if (!medal_ || medalDropped_) {
      showing_ = false;
    } else {
      // The zoom, and the fade unless it has ended, start again (or now,
      // when still to come) over 250 ms.
      fadeEnded_ = fadeEnded_ || (now >= medalAt_ && now - medalAt_ >= fadeLength_);
      medalAt_ = now;
      medalLength_ = fadeLength_ = kHurryTime;
    }
  }
  recordDropped_ = true;
  marksDone_ = true;
}

void LevelResultWindow::Leave() {
  FinishReveal(true);
  if (exit_) exit_();
}

bool LevelResultWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == kKeyEscape || key == kKeyEnter) {
    Leave();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 LevelResultWindow::OnCommand(GameButton* control) {
  if (!control || control->GetId() != kResultWindowOk) return 0;
  Leave();
  return 2;
}

bool LevelResultWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  const bool taken = SpritesWindow::OnMouseDown(x, y, button, keys);
  if (button == kMouseLeft) FinishReveal(false);
  return taken;
}

bool LevelResultWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  const bool taken = SpritesWindow::OnDoubleClick(x, y, button);
  FinishReveal(false);
  return taken;
}

// --- Drawing --------------------------------------------------------------------------------------

void LevelResultWindow::DrawRow(const Row& row, u32 alpha, float scale) const {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base = transform_;
  viewer->SetTransform(&base);
  viewer->Translate(row.x, row.y);
  viewer->Scale(scale);
  viewer->GetTransform(&base);
  const auto text = [&](KGETextSpriteW* t, float x) {
    if (!t) return;
    viewer->SetTransform(&base);
    viewer->Translate(x, std::floor(-static_cast<float>(t->GetHeight()) / 2));
    viewer->ApplyTransform(nullptr);
    t->SetAlpha(alpha);
    t->Draw();
  };
  if (row.caption) text(row.caption.get(), -8.0f - static_cast<float>(row.caption->GetWidth()));
  if (row.clock) {
    row.clock->SetColor(alpha | 0x00FFFFFFu);
    DrawImageAt(row.clock.get(), 0.0f, 0.0f, base);
  }
  text(row.time.get(), 16.0f);
  viewer->SetTransform(&transform_);
}

// The medal zooming in and the new record zooming in are drawn over the
// window's controls.
void LevelResultWindow::Draw() {
  SpritesWindow::Draw();
  const u32 now = Now();
  if (medal_ && !medalDropped_ && now >= medalAt_ && now < medalAt_ + medalLength_) {
    const float p = Progress(now, medalAt_, medalLength_);
    const float zoom = 8.0f - 7.0f * p;
    medal_->SetScale(medalScaleX_ * zoom, medalScaleY_ * zoom);
    medal_->SetColor(Alpha(GetMedalAlpha()) | 0x00FFFFFFu);
    DrawImageAt(medal_.get(), medalX_, medalY_, transform_);
  }
  const u32 inAt = recordAt_ + kMedalTime;
  if (newRecord_ && !recordDropped_ && now >= inAt && now < inAt + kMedalTime)
    DrawRow(newRecordRow_, Alpha(Progress(now, inAt, 100)), 4.0f - 3.0f * Progress(now, inAt, kMedalTime));
}

void LevelResultWindow::DrawForeground() {
  DXLViewer* viewer = DrawOwnPieces(&pieces_);
  if (viewer) {
    gauge_.Draw();
    DrawOwnPieces(&cover_);
  }
  SpritesWindow::DrawForeground();
  if (!viewer) return;
  const u32 now = Now();
  if (IsUncompletedShown()) {
    uncompleted_->SetColor(Alpha(1.0f - Progress(now, medalAt_, kMedalTime)) | 0x00FFFFFFu);
    DrawImageAt(uncompleted_.get(), uncompletedX_, uncompletedY_, transform_);
  }
  if (medal_ && (medalDropped_ || now >= medalAt_ + medalLength_)) {
    medal_->SetScale(medalScaleX_, medalScaleY_);
    medal_->SetColor(0xFFFFFFFFu);
    DrawImageAt(medal_.get(), medalX_, medalY_, transform_);
  }
  for (i32 i = 0; i < 3; ++i) {
    const Column& c = columns_[i];
    if (!c.shown) continue;
    const float textTop = LabelTop(c);
    if (c.icon) {
      const float middle = c.label ? textTop + static_cast<float>(c.label->GetHeight()) / 2 : c.labelY;
      DrawImageAt(c.icon.get(), c.labelX, middle, transform_);
    }
    if (c.label) {
      viewer->SetTransform(&transform_);
      viewer->Translate(c.labelX + 16.0f, textTop);
      viewer->ApplyTransform(nullptr);
      c.label->Draw();
    }
    if (c.mark && IsMarkRevealed(i)) {
      c.mark->SetFrame(GetMarkFrame(i));
      DrawImageAt(c.mark.get(), c.markX, c.markY, transform_);
    }
  }
  DrawRow(yourTime_, 0xFF000000u, 1.0f);
  if (IsRecordRowShown()) {
    const float p = newRecord_ && !recordDropped_ ? Progress(now, recordAt_, kMedalTime) : 0.0f;
    DrawRow(recordRow_, Alpha(1.0f - p), 1.0f - 0.5f * p);
  }
  if (IsNewRecordRowShown() && (recordDropped_ || now >= recordAt_ + 2 * kMedalTime))
    DrawRow(newRecordRow_, 0xFF000000u, 1.0f);
  viewer->SetTransform(&transform_);
}
