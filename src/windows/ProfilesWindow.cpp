#include "windows/ProfilesWindow.h"

#include <algorithm>
#include <cmath>

#include "base/Maths.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/CheckBox.h"
#include "ui/DialogAnswers.h"
#include "ui/GameEdit.h"
#include "ui/GameScrollbar.h"
#include "hud/HudPieces.h"
#include "ui/ImageButton.h"
#include "ui/ItemTagKinds.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/MapProfile.h"
#include "windows/PanelSkins.h"
#include "windows/ProfileRoster.h"

namespace {

constexpr i32 kListX = 12;
constexpr i32 kViewWidth = 420;
constexpr i32 kCrossWidth = 48;
constexpr i32 kListFrameHeight = 250;
constexpr i32 kNewButtonHeight = 58;  // the "profiles" button skin: 3 state frames of 58
constexpr i32 kRowFrameHeight = 51;   // a row's state frame, drawn whole (the next row covers its foot)
constexpr i32 kNameBoxWidth = 278, kNameBoxHeight = 32;
constexpr i32 kNameX = 80;
// A name is laid out on a line of its own, as long as it is, and drawn
// smaller when it is wider than its box, whole and ending this far inside
// the box: a long name is never cut in the middle of a letter.
constexpr i32 kNameLineWidth = 0x400;
constexpr i32 kNameEndRoom = 6;
// The header behind the new-profile button: a piece of "profiles" drawn
// across the list, scrolled up with it until the rows reach the top.
constexpr DXLRECT kHeaderPiece{0, 188, 256, 255};
constexpr i32 kHeaderCaps = 16;
constexpr i32 kHeaderGone = 78;
constexpr u32 kNameFont = 4;
constexpr u32 kProfilesLabelFont = 3;
constexpr u32 kMaxNameCharacters = 65536;

const wchar* ProfilesText(const wchar* key) { return SectionText(u"profiles_window", key); }

// States 0 and 1 show frame 0, hover 1, pressed 2.
i32 StateFrame(u32 state) {
  const u32 base = state & kStateBaseMask;
  return base <= kStateNormal ? 0 : static_cast<i32>(base) - 1;
}

// A row of three parts (caps of `left` and `right`, the middle stretched)
// of a piece of the skin, `width` x `height` at (x, y).
void DrawSkinRow(const Sprite* skin, const DXLRECT& piece, i32 left, i32 right, float x, float y, float width,
                 float height, u32 alpha) {
  if (!skin) return;
  const float l = static_cast<float>(left), r = static_cast<float>(right);
  DXLQUAD q[3];
  const u32 colour = WithAlpha(0xFFFFFFFFu, alpha);
  MakePieceQuad(skin, &q[0], x, y, x + l, y + height, DXLRECT{piece.left, piece.top, piece.left + left, piece.bottom},
                colour);
  MakePieceQuad(skin, &q[1], x + l, y, x + width - r, y + height,
                DXLRECT{piece.left + left, piece.top, piece.right - right, piece.bottom}, colour);
  MakePieceQuad(skin, &q[2], x + width - r, y, x + width, y + height,
                DXLRECT{piece.right - right, piece.top, piece.right, piece.bottom}, colour);
  DrawPieceQuads(skin, q, 3);
}

// The frame of the state, and during a fade the old one under the new at
// the fade's progress.
template <class Paint>
void DrawStates(const ControlState& state, Paint paint) {
  const i32 now = StateFrame(state.GetState());
  const i32 before = StateFrame(state.GetPrevious().state);
  if (state.GetFade() != 0 && before != now) {
    paint(before, 0xFF000000u);
    paint(now, static_cast<u32>(state.GetProgress() * 255.0f) << 24);
  } else {
    paint(now, 0xFF000000u);
  }
}

u32 NameColour(u32 state) {
  switch (state & kStateBaseMask) {
    case kStateHover:
      return 0xFF303030u;
    case kStatePressed:
      return 0xFF606060u;
    default:
      return 0xFF000000u;
  }
}

// The name's colour of the state, blended from the old state's while the
// control fades.
u32 FadingNameColour(const ControlState& state) {
  const u32 now = NameColour(state.GetState());
  if (state.GetFade() == 0 || !state.IsFading()) return now;
  return kis::LerpColor(NameColour(state.GetPrevious().state), now, state.GetProgress());
}

Sprite* LoadedHudSprite(const wchar* name) {
  Sprite* sprite = FindHudSprite(name);
  if (sprite) sprite->Init();
  return sprite && sprite->IsLoaded() ? sprite : nullptr;
}

}  // namespace

// --- Rows ------------------------------------------------------------------------------------

ProfilePanel::ProfilePanel(ProfilesWindow* window, MapProfile* profile, i32 row, const std::u16string& name,
                           bool current)
    : ActiveButton(window, &window->Controls(), kCommand),
      window_(window),
      profile_(profile),
      row_(row),
      current_(current),
      cross_(nullptr),
      name_(MakeBoxText(name.c_str(), kNameFont, kNameLineWidth, kNameBoxHeight, kKGEVAlignCenter)) {
  const i32 width = name_ ? name_->GetWidth() : 0, room = kNameBoxWidth - kNameEndRoom;
  nameScale_ = width > room ? static_cast<float>(room) / static_cast<float>(width) : 1.0f;
  cross_ = new ProfilePanelCross(window, this);
  SetRow(row);
}

ProfilePanel::~ProfilePanel() {
  if (!cross_) return;
  cross_->ForgetPanel();
  delete cross_;
}

void ProfilePanel::SetRow(i32 row) {
  row_ = row;
  const i32 y = window_->GetListTop() + ProfilesWindow::kRowsTop + row * ProfilesWindow::kRowStep;
  rect_ = DXLRECT{kListX, y, kListX + kWidth, y + kHeight};
  if (cross_) cross_->SetRect(DXLRECT{rect_.right, y, rect_.right + kCrossWidth, y + kHeight});
}

bool ProfilePanel::HitTest(i32, i32) const { return window_->GetHovered() == row_; }

void ProfilePanel::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!window_->IsDrawingList() || !viewer) return;
  state_.Update();  // the fades run on as the rows are drawn
  const Sprite* skin = window_->GetSkin();
  const float x = static_cast<float>(rect_.left), y = static_cast<float>(rect_.top);
  DrawStates(state_, [&](i32 frame, u32 alpha) {
    DrawSkinRow(skin, DXLRECT{66, kRowFrameHeight * frame, 229, kRowFrameHeight * (frame + 1)}, 68, 48, x, y, kWidth,
                kRowFrameHeight, alpha);
  });
  if (current_) {
    if (Sprite* check = LoadedHudSprite(u"small_green_check")) {
      DXLQUAD q;
      const i32 w = PictureWidth(check), h = PictureHeight(check);
      MakePieceQuad(check, &q, x + 15, y + 7, x + 15 + static_cast<float>(w), y + 7 + static_cast<float>(h),
                    DXLRECT{0, 0, w, h}, 0xFFFFFFFFu);
      DrawPieceQuads(check, &q, 1);
    }
  }
  if (name_) {
    name_->SetColor(FadingNameColour(state_));
    DXLMATRIX saved;
    viewer->GetTransform(&saved);
    viewer->Translate(x + kNameX, y + static_cast<float>((kHeight - kNameBoxHeight) / 2 + 1));
    if (nameScale_ != 1.0f) {  // smaller about the box's middle line
      viewer->Translate(0.0f, static_cast<float>(kNameBoxHeight) * (1.0f - nameScale_) / 2.0f);
      viewer->Scale(nameScale_);
    }
    UnbindDrawTexture();  // the text draws with its own texture
    name_->Draw();
    viewer->SetTransform(&saved);
  }
  if (cross_) cross_->Draw();
}

ProfilePanelCross::ProfilePanelCross(ProfilesWindow* window, ProfilePanel* panel)
    : ActiveButton(window, &window->Controls(), kCommand), window_(window), panel_(panel) {}

ProfilePanelCross::~ProfilePanelCross() {
  if (panel_) panel_->ForgetCross();
}

bool ProfilePanelCross::HitTest(i32, i32) const { return panel_ && window_->GetHoveredCross() == panel_->GetRow(); }

void ProfilePanelCross::Draw() {
  if (!window_->IsDrawingList()) return;
  state_.Update();
  const Sprite* skin = window_->GetSkin();
  if (!skin) return;
  const float x = static_cast<float>(rect_.left + (kCrossWidth - 30) / 2);
  const float y = static_cast<float>(rect_.top + (ProfilePanel::kHeight - 32) / 2);
  DrawStates(state_, [&](i32 frame, u32 alpha) {
    DXLQUAD q;
    MakePieceQuad(skin, &q, x, y, x + 30, y + 32, DXLRECT{65 + 30 * frame, 153, 95 + 30 * frame, 185},
                  WithAlpha(0xFFFFFFFFu, alpha));
    DrawPieceQuads(skin, &q, 1);
  });
}

NewProfileButton::NewProfileButton(ProfilesWindow* window, i32 x, i32 y, i32 width)
    : ActiveButton(window, &window->Controls(), kCommand),
      window_(window),
      caption_(MakePanelText(ProfilesText(u"new"), kNameFont)) {
  rect_ = DXLRECT{x, y, x + width, y + kNewButtonHeight};
}

bool NewProfileButton::HitTest(i32 x, i32 y) const {
  const DXLRECT& v = window_->GetViewport();
  if (x < v.left || x >= v.right || y < v.top || y >= v.bottom) return false;
  y += window_->GetScroll();
  return x >= rect_.left && x < rect_.right && y >= rect_.top && y < rect_.bottom;
}

void NewProfileButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!window_->IsDrawingList() || !viewer || window_->GetScroll() >= 74) return;
  state_.Update();
  const float x = static_cast<float>(rect_.left), y = static_cast<float>(rect_.top);
  const float w = static_cast<float>(rect_.right - rect_.left);
  DrawStates(state_, [&](i32 frame, u32 alpha) {
    DrawSkinRow(window_->GetSkin(), DXLRECT{0, kNewButtonHeight * frame, 64, kNewButtonHeight * (frame + 1)}, 9, 9,
                x, y, w, kNewButtonHeight, alpha);
  });
  if (caption_) {
    DXLMATRIX saved;
    viewer->GetTransform(&saved);
    viewer->Translate(std::floor(x + (w - static_cast<float>(caption_->GetWidth())) / 2),
                      std::floor(y + static_cast<float>(kNewButtonHeight - caption_->GetHeight()) / 2));
    UnbindDrawTexture();
    caption_->Draw();
    viewer->SetTransform(&saved);
  }
}

// --- The profiles window -----------------------------------------------------------------------

ProfilesWindow::ProfilesWindow(ProfileRoster* roster, std::function<void()> chosen,
                               std::function<void()> currentDeleted, std::function<void()> currentReplaced)
    : SpritesWindow(kId, true, true),
      roster_(roster),
      chosen_(std::move(chosen)),
      currentDeleted_(std::move(currentDeleted)),
      currentReplaced_(std::move(currentReplaced)) {
  if (manager_) manager_->SetAnchor(kAnchorProfiles, this);
  AddTopRow(kWidth);
  contentTop_ = skins::kWindowTop.frameHeight - 4;
  i32 w = 0, top = 0;
  GetSize(&w, &top);
  AddStretchedFrame(0, top, kWidth, kListFrameHeight, SkinOf(skins::kProfilesFrame, kInterfaceImage));
  AddBodyFrame(1);
  Show(0, true);
  SetCaption(ProfilesText(u"caption"));
  cancel_ = AddButton(kCancel, ProfilesText(u"cancel"), 1, 1, 0);
  viewport_ = DXLRECT{kListX, contentTop_ + 11, kListX + kViewWidth, contentTop_ + 11 + kViewHeight};
  auto* bar = new GameScrollbar(this, 438, contentTop_ + 8, 241);
  bar->SetSteps(23, 47);
  back_ = LoadedHudSprite(u"profiles_back");
  skin_ = LoadedHudSprite(u"profiles");
  newButton_ = new NewProfileButton(this, 14, contentTop_ + 10, kWidth - 73);
  MapProfile* current = roster_ ? roster_->GetCurrent() : nullptr;
  const u32 count = roster_ ? roster_->GetCount() : 0;
  i32 currentRow = -1;
  for (u32 i = 0; i < count; ++i) {
    MapProfile* profile = roster_->GetProfile(i);
    if (!profile) continue;
    if (profile == current) currentRow = GetRowCount();
    rows_.push_back(new ProfilePanel(this, profile, GetRowCount(), roster_->GetName(profile), profile == current));
  }
  UpdateScrollRange();
  UpdateVisibleRows();
  UpdateCancelButton();
  // Without a current profile among the rows none is selected.
  SelectRow(currentRow);
}

ProfilesWindow::~ProfilesWindow() {
  Unregister();
  if (manager_ && manager_->GetAnchor(kAnchorProfiles) == this) manager_->SetAnchor(kAnchorProfiles, nullptr);
  if (confirmAlive_ && confirmAlive_->Alive()) delete confirm_;
  delete newWindow_;
}

i32 ProfilesWindow::GetScroll() const { return scrollBar_ ? scrollBar_->GetPosition() : 0; }

void ProfilesWindow::UpdateScrollRange() {
  if (!scrollBar_) return;
  scrollBar_->SetRange(0, GetRowCount() * kRowStep + 71, kViewHeight, scrollBar_->GetPosition());
}

void ProfilesWindow::UpdateVisibleRows() {
  const i32 scroll = GetScroll();
  first_ = std::max(0, (scroll - 70) / kRowStep);
  last_ = std::min(GetRowCount() - 1, (scroll - 63 + kViewHeight) / kRowStep);
}

void ProfilesWindow::UpdateCancelButton() {
  if (cancel_) cancel_->Show(roster_ && roster_->GetCurrent(), true, 0);
}

void ProfilesWindow::TrackPointer(i32 x, i32 y) {
  hovered_ = hoveredCross_ = -1;
  if (x < viewport_.left || x >= viewport_.right || y < viewport_.top || y >= viewport_.bottom) return;
  y += GetScroll();
  for (i32 row = first_; row <= last_; ++row) {
    const DXLRECT& r = rows_[static_cast<size_t>(row)]->GetRect();
    if (y < r.top || y >= r.bottom) continue;
    if (x >= r.left && x < r.right) {
      hovered_ = row;
      return;
    }
    if (x >= r.right && x < r.right + kCrossWidth) {
      hoveredCross_ = row;
      return;
    }
  }
}

void ProfilesWindow::SelectRow(i32 row) {
  if (row >= 0 && scrollBar_) {
    const i32 top = row * kRowStep + 67, bottom = row * kRowStep + 115;
    if (top < GetScroll()) {
      scrollBar_->ScrollTo(top);
    } else if (bottom > GetScroll() + kViewHeight) {
      scrollBar_->ScrollTo(bottom - kViewHeight);
    }
    UpdateVisibleRows();
  }
  if (row == selected_) return;
  selected_ = row;
  const ProfilePanel* panel = GetRow(row);
  selectedProfile_ = panel ? panel->GetProfile() : nullptr;
  UpdateCancelButton();
}

// The level still open is left (and so saved in the old profile's file)
// before the store changes profile, whatever the choice's outcome.
void ProfilesWindow::Choose() {
  if (!roster_) return;
  MapProfile* profile = selectedProfile_ ? selectedProfile_ : roster_->GetCurrent();
  if (!profile) return;
  if (profile == roster_->GetCurrent()) {
    Close();
    return;
  }
  roster_->LeaveOpenLevel();
  if (roster_->SelectProfile(profile) != 0) return;
  LifeGuard guard(GetLifetime());
  if (chosen_) chosen_();
  if (guard.Alive()) Close();
}

// The current profile deleted, the row that takes its place becomes the
// current one, so that the window can still be cancelled and what stands
// behind it (the greeting) never names a profile that is gone; with no row
// left there is none, and the window is left by making one.
void ProfilesWindow::DeleteRow(ProfilePanel* panel) {
  if (!panel || !roster_) return;
  const i32 row = panel->GetRow();
  if (row < 0 || row >= GetRowCount() || rows_[static_cast<size_t>(row)] != panel) return;
  MapProfile* profile = panel->GetProfile();
  const bool current = profile == roster_->GetCurrent();
  if (current && currentDeleted_) currentDeleted_();
  roster_->DeleteProfile(profile);
  selected_ = -1;
  selectedProfile_ = nullptr;
  rows_.erase(rows_.begin() + row);
  for (i32 i = row; i < GetRowCount(); ++i) rows_[static_cast<size_t>(i)]->SetRow(i);
  if (hovered_ >= GetRowCount()) hovered_ = -1;
  if (hoveredCross_ >= GetRowCount()) hoveredCross_ = -1;
  delete panel;
  UpdateScrollRange();
  UpdateVisibleRows();
  if (GetRowCount() > 0) SelectRow(std::min(row, GetRowCount() - 1));
  if (current && !roster_->GetCurrent() && selectedProfile_) {
    roster_->LeaveOpenLevel();
    if (roster_->SelectProfile(selectedProfile_) == 0)
      for (ProfilePanel* r : rows_) r->SetCurrent(r->GetProfile() == selectedProfile_);
  }
  UpdateCancelButton();
  if (current && currentReplaced_) currentReplaced_();
}

void ProfilesWindow::AddProfile(MapProfile* profile) {
  if (!profile || !roster_) return;
  rows_.insert(rows_.begin(), new ProfilePanel(this, profile, 0, roster_->GetName(profile), false));
  for (i32 i = 1; i < GetRowCount(); ++i) rows_[static_cast<size_t>(i)]->SetRow(i);
  if (selected_ >= 0) ++selected_;
  UpdateScrollRange();
  SelectRow(0);
  UpdateVisibleRows();
  Choose();
}

bool ProfilesWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  TrackPointer(x, y);
  return SpritesWindow::OnMouseDown(x, y, button, keys);
}

void ProfilesWindow::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  TrackPointer(x, y);
  SpritesWindow::OnMouseMove(x, y, buttons, keys);
}

void ProfilesWindow::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  TrackPointer(x, y);
  SpritesWindow::OnMouseUp(x, y, button, keys);
}

bool ProfilesWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == kKeyEscape) {
    if (cancel_ && cancel_->IsEnabled()) Close();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

bool ProfilesWindow::OnDeleteAnswer(uintptr_t window, uintptr_t panel, u32 answer) {
  if (answer == kAnswerOk || answer == kAnswerYes)
    reinterpret_cast<ProfilesWindow*>(window)->DeleteRow(reinterpret_cast<ProfilePanel*>(panel));
  return true;
}

u32 ProfilesWindow::OnCommand(GameButton* control) {
  switch (control->GetId()) {
    case ProfilePanel::kCommand:
      SelectRow(static_cast<ProfilePanel*>(control)->GetRow());
      Choose();
      return 2;
    case ProfilePanelCross::kCommand: {
      ProfilePanel* panel = static_cast<ProfilePanelCross*>(control)->GetPanel();
      if (!panel) return 2;
      SelectRow(panel->GetRow());
      if (confirmAlive_ && confirmAlive_->Alive()) delete confirm_;
      // The question names the farmer of the row (its "[profile N]"): the
      // list reorders as farmers are chosen, and a yes removes a whole farm.
      confirm_ = new DialogWindow(ProfilesText(u"delete_profile_c"), ProfilesText(u"delete_profile"), false, false,
                                  MakeDialogDesc(kAnswerYes, kAnswerNo, nullptr, nullptr), &OnDeleteAnswer,
                                  reinterpret_cast<uintptr_t>(this), reinterpret_cast<uintptr_t>(panel),
                                  kItemTagProfile, reinterpret_cast<uintptr_t>(panel->GetProfile()));
      confirmAlive_ = std::make_unique<LifeGuard>(confirm_->GetLifetime());
      return 2;
    }
    case kCancel:
      Close();
      return 2;
    case NewProfileButton::kCommand:
      if (!newWindow_) new NewProfileWindow(roster_, nullptr, true, [this](MapProfile* p) { AddProfile(p); }, 0);
      return 2;
    default:
      return 0;
  }
}

// The list under a clip of its viewport: the paper in place, the header
// moved up by the scroll offset until the rows reach the top, then, moved
// by the scroll offset, the new-profile button and the visible rows.
void ProfilesWindow::DrawBackground() {
  SpritesWindow::DrawBackground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&transform_);
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  const float scale = screen.scaling ? screen.scale : 1.0f;
  const auto px = [&](i32 v, i32 origin) { return origin + static_cast<i32>(std::lround(static_cast<float>(v) * scale)); };
  viewer->PushClip(DXLRECT{px(rect_.left + viewport_.left, screen.rect.left), px(rect_.top + viewport_.top, screen.rect.top),
                           px(rect_.left + viewport_.right, screen.rect.left),
                           px(rect_.top + viewport_.bottom, screen.rect.top)});
  const float left = static_cast<float>(viewport_.left), top = static_cast<float>(viewport_.top);
  if (back_) {
    DXLQUAD q;
    MakePieceQuad(back_, &q, left, top, static_cast<float>(viewport_.right), static_cast<float>(viewport_.bottom),
                  DXLRECT{0, 0, PictureWidth(back_), PictureHeight(back_)}, 0xFFFFFFFFu);
    DrawPieceQuads(back_, &q, 1);
  }
  const i32 scroll = GetScroll();
  if (scroll < kHeaderGone && skin_)
    DrawSkinRow(skin_, kHeaderPiece, kHeaderCaps, kHeaderCaps, left, top - static_cast<float>(scroll), kViewWidth,
                static_cast<float>(kHeaderPiece.bottom - kHeaderPiece.top), 0xFF000000u);
  viewer->Translate(0.0f, -static_cast<float>(scroll));
  drawingList_ = true;
  newButton_->Draw();
  for (i32 row = first_; row <= last_; ++row) rows_[static_cast<size_t>(row)]->Draw();
  drawingList_ = false;
  viewer->PopClip();
  viewer->SetTransform(&transform_);
}

// --- The new-profile window -----------------------------------------------------------------------

NewProfileWindow::NewProfileWindow(ProfileRoster* roster, const wchar* name, bool cancelAllowed,
                                   std::function<void(MapProfile*)> callback, u32 showDelay)
    : SpritesWindow(kId, true, true), roster_(roster), cancelAllowed_(cancelAllowed), callback_(std::move(callback)) {
  AddTopRow(kWidth);
  i32 w = 0, top = 0;
  GetSize(&w, &top);
  AddStretchedFrame(0, top, kWidth, 32, SKINRECT::InitSliced(971, 684, 52, 79, 22, 26, 20, 14, 0, 0, kInterfaceImage));
  AddStretchedFrame(0, top + 32, kWidth, 70,
                    SKINRECT::InitSliced(971, 590, 52, 98, 22, 26, 16, 20, 0, 0, kInterfaceImage));
  const i32 third = top + 32 + 70;
  AddStretchedFrame(0, third, kWidth, 59, SKINRECT::InitSliced(971, 590, 52, 93, 22, 26, 16, 15, 0, 0, kInterfaceImage));
  AddBodyFrame(1);
  Show(showDelay, true);
  SetCaption(ProfilesText(u"new_caption"));
  ok_ = AddButton(kOk, SectionText(u"buttons", u"ok"), 2, 1, 0);
  cancel_ = AddButton(kCancel, SectionText(u"buttons", u"cancel"), 2, 1, 1);
  if (!cancelAllowed_) cancel_->Show(false, true, 0);
  std::u16string allowed;
  if (roster_) {
    allowed.resize(kMaxNameCharacters);
    allowed.resize(roster_->ListNameCharacters(allowed.data(), kMaxNameCharacters));
  }
  auto* edit = new GameEdit(this, allowed.c_str(), 16, 117, 16 + width_ - 35, 117 + 48);
  edit->SetText(name ? name : u"");
  edit->SetActive(true);
  edit->SelectAll();
  OnNameChanged();
  label_.reset(MakePanelText(ProfilesText(u"enter_name"), kProfilesLabelFont));
  if (label_) {
    labelX_ = std::floor(static_cast<float>(width_ - label_->GetWidth()) / 2);
    labelY_ = std::floor(95.0f - static_cast<float>(label_->GetHeight()) / 2);
  }
  tutorial_ = CreateCheckBox(this, &Controls(), kTutorial, 26, third + 15, SectionText(u"options_window", u"tutorial"));
  tutorial_->SetFlag(true, true, 0);
  if (manager_)
    if (auto* profiles = static_cast<ProfilesWindow*>(manager_->GetAnchor(kAnchorProfiles))) profiles->SetNewWindow(this);
}

NewProfileWindow::~NewProfileWindow() {
  Unregister();
  if (manager_)
    if (auto* profiles = static_cast<ProfilesWindow*>(manager_->GetAnchor(kAnchorProfiles)))
      if (profiles->GetNewWindow() == this) profiles->SetNewWindow(nullptr);
}

void NewProfileWindow::OnNameChanged() {
  const GameEdit* edit = GetEditBox();
  acceptable_ = roster_ && edit && roster_->CheckName(edit->GetText()) == 0;
  if (ok_) ok_->Show(acceptable_, true, 0);
}

bool NewProfileWindow::Create() {
  const GameEdit* edit = GetEditBox();
  if (!roster_ || !edit) return false;
  MapProfile* profile = nullptr;
  const i32 code = roster_->CreateProfile(edit->GetText(), &profile);
  if (code != 0 || !profile) {
    roster_->ShowError(code);
    return false;
  }
  // The store saved the profile as it made it, before the box was read: it
  // is saved again with the player's tutorial choice, so the choice is
  // kept whatever the window's answer leads to.
  profile->SetTutorials((tutorial_->State().GetState() & kStateFlag) != 0);
  profile->SaveProfile();
  LifeGuard guard(GetLifetime());
  if (callback_) callback_(profile);
  if (guard.Alive()) Close();
  return true;
}

bool NewProfileWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == kKeyEnter) return acceptable_ && Create();
  if (key == kKeyEscape) {
    if (cancel_ && cancel_->IsEnabled()) Close();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 NewProfileWindow::OnCommand(GameButton* control) {
  switch (control->GetId()) {
    case kTutorial:
      tutorial_->SetFlag((tutorial_->State().GetState() & kStateFlag) == 0, true, 0);
      return 1;
    case kOk:
      Create();
      return 2;
    case kCancel:
      Close();
      return 2;
    default:
      return 0;
  }
}

void NewProfileWindow::DrawForeground() {
  SpritesWindow::DrawForeground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !label_) return;
  viewer->SetTransform(&transform_);
  viewer->Translate(labelX_, labelY_);
  UnbindDrawTexture();
  label_->Draw();
}

// --- The error dialog -------------------------------------------------------------------------------

ProfileErrorDialog::ProfileErrorDialog(const wchar* captionKey, const wchar* textKey)
    : DialogWindow(SectionText(u"profile_errors", captionKey), SectionText(u"profile_errors", textKey), false, false,
                   MakeDialogDesc(kAnswerOk, 0, nullptr, nullptr), nullptr, 0, 0, 0, 0),
      textKey_(textKey ? textKey : u"") {}
