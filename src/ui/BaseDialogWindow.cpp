#include "ui/BaseDialogWindow.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/GameButton.h"
#include "ui/ImageButton.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

namespace {

constexpr u32 kMessageFont = 3;
constexpr i32 kMessageWrap = 300;
constexpr i32 kMessageBoxWidth = 302;
constexpr i32 kMessageBoxHeight = 512;
constexpr i32 kMessageMaxChars = 512;
constexpr i32 kBodyStep = 37;
constexpr i32 kBodyMinimum = 14;
constexpr i32 kBodyFrameExtra = 34;

// Copies at most 63 characters and the terminator.
void CopyCaption(wchar* out, const wchar* text) {
  i32 n = 0;
  if (text)
    for (; n < kDialogCaptionSize - 1 && text[n]; ++n) out[n] = text[n];
  out[n] = 0;
}

const wchar* DialogText(const wchar* textOrKey, bool isKey) {
  if (!isKey) return textOrKey;
  const GameLanguage* language = GetGameLanguage();
  return language ? language->GetTextByName(u"dialogs", textOrKey, true) : nullptr;
}

bool IsPositive(u32 id) { return id == kAnswerOk || id == kAnswerYes; }
bool IsNegative(u32 id) { return id == kAnswerCancel || id == kAnswerNo; }

}  // namespace

void GetAnswerCaption(u32 answer, wchar out[kDialogCaptionSize]) {
  const wchar* key = nullptr;
  switch (answer) {
    case kAnswerOk:
      key = u"ok";
      break;
    case kAnswerCancel:
      key = u"cancel";
      break;
    case kAnswerYes:
      key = u"yes";
      break;
    case kAnswerNo:
      key = u"no";
      break;
    default:
      CopyCaption(out, u"UNKNOWN");
      return;
  }
  const GameLanguage* language = GetGameLanguage();
  CopyCaption(out, language ? language->GetTextByName(u"buttons", key, true) : nullptr);
}

DIALOGDESC MakeDialogDesc(u32 id1, u32 id2, const wchar* caption1, const wchar* caption2) {
  DIALOGDESC desc{};
  const auto put = [&desc](u32 i, u32 id, const wchar* caption) {
    desc.buttonIds[i] = id;
    if (caption) {
      CopyCaption(desc.captions[i], caption);
    } else {
      GetAnswerCaption(id, desc.captions[i]);
    }
    desc.count = i + 1;
  };
  put(0, id1, caption1);
  if (id2 != 0) put(1, id2, caption2);
  return desc;
}

// --- The dialog ----------------------------------------------------------------------------------

BaseDialogWindow::BaseDialogWindow(const wchar* caption, const wchar* message, bool captionIsKey, bool messageIsKey,
                                   const DIALOGDESC& desc, DialogCallback callback, uintptr_t user1,
                                   uintptr_t user2, uintptr_t colour1, uintptr_t colour2)
    : SpritesWindow(kDialogWindowId, true, true),
      desc_(desc),
      captionKey_(captionIsKey && caption ? caption : u""),
      messageKey_(messageIsKey && message ? message : u""),
      user1_(user1),
      user2_(user2),
      callback_(callback) {
  if (manager_) manager_->SetDialog(this);
  desc_.count = std::clamp<u32>(desc_.count, 1, 2);

  KGETEXTPARAMS params{};
  params.flags = kKGERect | kKGEMarkup | kKGEWrap | kKGEAlignCenter;
  params.maxChars = kMessageMaxChars;
  params.wrapWidth = kMessageWrap;
  params.right = kMessageBoxWidth;
  params.bottom = kMessageBoxHeight;
  params.context1 = colour1;
  params.context2 = colour2;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize | kKGESpriteRectSize;
  SetBox(&box, 0);
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kMessageFont), &params, &box, DialogText(message, messageIsKey),
                       kKGEWholeText, GetResourceServices().itemDescription, &messageText_);

  AddTopRow(kWidth);
  SetCaption(DialogText(caption, captionIsKey));
}

BaseDialogWindow::~BaseDialogWindow() {
  Unregister();
  delete messageText_;
  messageText_ = nullptr;
  if (manager_ && manager_->GetDialog() == this) manager_->SetDialog(nullptr);
}

i32 BaseDialogWindow::GetTextHeight() const { return messageText_ ? messageText_->GetHeight() : 0; }

// The body grows in steps of 37 pixels above 14 to hold the message.
void BaseDialogWindow::Layout() {
  if (laidOut_) return;
  laidOut_ = 1;
  const i32 top = height_;
  const i32 t = GetTextHeight();
  i32 body = kBodyMinimum;
  if (t > kBodyMinimum) body = (t - kBodyMinimum + kBodyStep - 1) / kBodyStep * kBodyStep + kBodyMinimum;
  AddFrame(0, kBelow, -1, body + kBodyFrameExtra, SkinOf(skins::kDialogMessage, kInterfaceImage));
  textX_ = 34.0f;
  textY_ = static_cast<float>((height_ - top - t) / 2 + top - 1);
  AddBodyFrame(1);
  Show(0, true);
  i32 x = (width_ - static_cast<i32>(desc_.count) * kButtonStep) / 2;
  for (u32 i = 0; i < desc_.count; ++i) {
    CreateButton(this, &Controls(), desc_.buttonIds[i], x, height_ - kButtonRise, nullptr, kButtonWidth,
                 desc_.captions[i]);
    x += kButtonStep;
  }
}

void BaseDialogWindow::Draw() {
  if (laidOut_) SpritesWindow::Draw();
}

void BaseDialogWindow::DrawForeground() {
  SpritesWindow::DrawForeground();
  if (!messageText_) return;
  UnbindDrawTexture();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->SetTransform(&transform_);
  viewer->Translate(textX_, textY_);
  viewer->ApplyTransform(nullptr);
  messageText_->Draw();
}

bool BaseDialogWindow::Answer(u32 answer) {
  LifeGuard guard(lifetime_);
  if (callback_ && !callback_(user1_, user2_, answer)) return false;
  if (!guard.Alive()) return false;
  Close();
  return true;
}

u32 BaseDialogWindow::OnCommand(GameButton* control) {
  if (control) Answer(control->GetId());
  return 0;
}

bool BaseDialogWindow::OnKeyDown(u16 key, u32 extra) {
  if (key != kKeyEscape && key != kKeyEnter) return GameWindow::OnKeyDown(key, extra);
  u32 positive = 0, negative = 0;
  for (i32 i = 0; i < controls_.GetCount(); ++i) {
    const u32 id = controls_.Get(i)->GetId();
    if (IsPositive(id)) positive = id;
    if (IsNegative(id)) negative = id;
  }
  const u32 answer = key == kKeyEscape ? (negative ? negative : positive) : positive;
  const bool taken = GameWindow::OnKeyDown(key, extra);
  if (answer != 0) Answer(answer);
  return taken;
}

DialogWindow::DialogWindow(const wchar* caption, const wchar* message, bool captionIsKey, bool messageIsKey,
                           const DIALOGDESC& desc, DialogCallback callback, uintptr_t user1, uintptr_t user2,
                           uintptr_t colour1, uintptr_t colour2)
    : BaseDialogWindow(caption, message, captionIsKey, messageIsKey, desc, callback, user1, user2, colour1, colour2) {
  Layout();
}

// --- The opener's dialog -------------------------------------------------------------------------------

bool OpenedDialog::Open(const wchar* captionKey, const wchar* messageKey, u32 answer1, u32 answer2,
                        DialogCallback callback, uintptr_t user) {
  Close();
  if (!GetWindowManager()) return false;
  dialog_ = new DialogWindow(captionKey, messageKey, true, true, MakeDialogDesc(answer1, answer2, nullptr, nullptr),
                             callback, user, 0, 0, 0);
  alive_ = std::make_unique<LifeGuard>(dialog_->GetLifetime());
  return true;
}

BaseDialogWindow* OpenedDialog::Get() const { return alive_ && alive_->Alive() ? dialog_ : nullptr; }

void OpenedDialog::Close() {
  BaseDialogWindow* dialog = Get();
  alive_.reset();
  dialog_ = nullptr;
  delete dialog;
}
