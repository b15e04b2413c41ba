#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitRig.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEFont.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/BaseDialogWindow.h"
#include "ui/CaptionHintWindow.h"
#include "ui/ImageButton.h"
#include "ui/UiServices.h"

using uitest::R;
using uitest::ToolkitRig;

namespace {

using Lines = std::vector<std::string>;

// What the dialogs' callback heard; `accept` is its verdict.
struct Answers {
  Lines heard;
  bool accept = false;
  static bool Callback(uintptr_t user1, uintptr_t user2, u32 answer) {
    auto* self = reinterpret_cast<Answers*>(user1);
    self->heard.push_back(std::to_string(user2) + " " + std::to_string(answer - 0x40000000u));
    return self->accept;
  }
};

// A dialog whose message is `height` pixels high and which counts its frames.
class TallDialog : public BaseDialogWindow {
 public:
  TallDialog(const DIALOGDESC& desc, i32 height)
      : BaseDialogWindow(u"Tall", u"x", false, false, desc, nullptr, 0, 0, 0, 0), height_(height) {
    Layout();
  }
  i32 GetTextHeight() const override { return height_; }
  void OnFrame() override { ++frames; }
  int frames = 0;

 private:
  i32 height_;
};

class Dialogs : public ::testing::Test {
 protected:
  WindowManager& M() { return rig_.M(); }
  DialogWindow* Open(u32 id1, u32 id2, DialogCallback callback = &Answers::Callback) {
    return new DialogWindow(u"quit_caption", u"quit", true, true, MakeDialogDesc(id1, id2, nullptr, nullptr),
                            callback, reinterpret_cast<uintptr_t>(&answers_), 42, 5, 6);
  }
  ImageButton* Button(GameWindow* d, u32 id) { return static_cast<ImageButton*>(d->FindControl(id, 0)); }
  // The centre of a button on the screen.
  kis::IntPoint Centre(GameWindow* d, u32 id) {
    const DXLRECT& r = Button(d, id)->GetRect();
    return kis::IntPoint{d->GetRect().left + (r.left + r.right) / 2, d->GetRect().top + (r.top + r.bottom) / 2};
  }
  // Frames until a drop-in (which starts at its first frame) has ended.
  void Settle() {
    rig_.Step(10);
    rig_.Step(300);
  }
  void Click(const kis::IntPoint& p) {
    M().OnMouseDown(p.x, p.y, kMouseLeft, 0);
    M().OnMouseUp(p.x, p.y, kMouseLeft, 0);
  }

  ToolkitRig rig_;
  Answers answers_;
};

// A yes/no dialog drops in, shows a button's hint after a rest (below the
// button, above it when the screen is short), hears the press and release
// in its callback, stays when the callback refuses, and lifts out and goes
// when it accepts.
TEST_F(Dialogs, AYesNoDialogFromOpeningToDeletion) {
  DialogWindow* d = Open(kAnswerYes, kAnswerNo);
  EXPECT_EQ(M().GetDialog(), d);
  EXPECT_TRUE(d->IsModal());
  EXPECT_EQ(d->GetId(), kDialogWindowId);
  ASSERT_TRUE(d->IsLaidOut());
  ASSERT_NE(d->GetMessageText(), nullptr);
  EXPECT_EQ(d->GetTextHeight(), 11);  // one line of game font 3
  // 77 (top row) + 14 + 34 (message body) + 96 (body frame of one unit).
  EXPECT_EQ(d->GetWidth(), 371);
  EXPECT_EQ(d->GetHeight(), 221);
  EXPECT_FLOAT_EQ(d->GetTextX(), 34);
  EXPECT_FLOAT_EQ(d->GetTextY(), (125 - 77 - 11) / 2 + 77 - 1);
  EXPECT_EQ(R(d->GetRect()), (std::vector<i32>{214, 169, 585, 390}));
  ASSERT_EQ(d->Controls().GetCount(), 2);
  EXPECT_EQ(R(Button(d, kAnswerYes)->GetRect()), (std::vector<i32>{17, 137, 183, 200}));
  EXPECT_EQ(R(Button(d, kAnswerNo)->GetRect()), (std::vector<i32>{185, 137, 351, 200}));
  EXPECT_EQ(plat::Utf16ToUtf8(Button(d, kAnswerNo)->GetCaption()->GetText()), "No");
  ASSERT_NE(d->GetCaptionPlate(), nullptr);
  EXPECT_NE(d->GetCaptionPlate()->GetTextSprite(), nullptr);
  EXPECT_TRUE(d->IsBusy());  // dropping in
  rig_.Step(10);
  EXPECT_LT(rig_.ui.calls.Primitives().front().world.m[3][1], 0.0f);  // still above the screen
  rig_.Step(300);
  EXPECT_FALSE(d->IsBusy());

  // Rest on "Yes": its hint shows after more than 400 ms, below the button.
  ImageButton* yes = Button(d, kAnswerYes);
  auto* hint = new CaptionHintWindow(yes, u"Yes", true, u"Leave the farm now", 0, 0, nullptr, 1, 2, 0);
  const kis::IntPoint at = Centre(d, kAnswerYes);
  M().OnMouseMove(at.x, at.y, 0, 0);
  EXPECT_EQ(M().GetHoverControl(), yes);
  rig_.Step(400);
  EXPECT_FALSE(hint->IsShown());
  rig_.Step(1);
  ASSERT_TRUE(hint->IsShown());
  EXPECT_EQ(R(hint->GetAnchor()), (std::vector<i32>{214 + 17 - 8, 169 + 137 - 8, 214 + 183 + 8, 169 + 200 + 8}));
  EXPECT_FLOAT_EQ(hint->GetPosY(), 169 + 200 + 8);
  // A short screen: no room below, so above; the stored alignment stays.
  GetResourceServices().screen.height = 400;
  yes->AddPendingRefresh(kHintRefreshGlobal);
  rig_.Step(10);
  EXPECT_FLOAT_EQ(hint->GetPosY(), static_cast<float>(169 + 137 - 8 - hint->GetHeight()));
  EXPECT_EQ(hint->GetAlignY(), 2u);
  GetResourceServices().screen.height = 600;

  // Press and release reach the callback, which refuses: the dialog stays.
  Click(at);
  EXPECT_EQ(answers_.heard, (Lines{"42 3"}));
  EXPECT_FALSE(d->IsClosing());
  // Accepted: the dialog lifts out and is deleted when its effect has ended.
  answers_.accept = true;
  Click(Centre(d, kAnswerNo));
  EXPECT_EQ(answers_.heard, (Lines{"42 3", "42 4"}));
  EXPECT_TRUE(d->IsClosing());
  EXPECT_EQ(M().GetDialog(), d);
  M().OnMouseMove(at.x, at.y + 1, 0, 0);  // closing: busy, gets nothing
  rig_.Step(10);  // the lift-out starts
  rig_.Step(150);
  EXPECT_EQ(M().GetStack().GetCount(), 1);
  rig_.Step(60);
  EXPECT_EQ(M().GetStack().GetCount(), 0);
  EXPECT_EQ(M().GetDialog(), nullptr);
  EXPECT_EQ(M().HintWindows().GetCount(), 0);
  EXPECT_EQ(M().GetHintOwner(), nullptr);
}

// Escape chooses the negative answer (the positive one when there is none),
// Enter the positive one; a refused answer keeps the dialog, which goes on
// taking every key; other keys are taken unseen.
TEST_F(Dialogs, EscapeAndEnterChooseTheAnswers) {
  DialogWindow* yesNo = Open(kAnswerYes, kAnswerNo);
  Settle();
  EXPECT_TRUE(M().OnKeyDown(kKeyEscape, 0));
  EXPECT_TRUE(M().OnKeyDown(kKeyEnter, 0));
  EXPECT_TRUE(M().OnKeyDown('A', 0));
  EXPECT_TRUE(M().OnKeyUp(kKeyEnter, 0));
  EXPECT_EQ(answers_.heard, (Lines{"42 4", "42 3"}));
  EXPECT_FALSE(yesNo->IsClosing());
  delete yesNo;
  EXPECT_EQ(M().GetDialog(), nullptr);

  answers_.heard.clear();
  DialogWindow* ok = Open(kAnswerOk, 0);
  EXPECT_EQ(ok->GetDesc().count, 1u);
  Settle();
  M().OnKeyDown(kKeyEscape, 0);
  M().OnKeyDown(kKeyEnter, 0);
  EXPECT_EQ(answers_.heard, (Lines{"42 1", "42 1"}));
  answers_.accept = true;
  M().OnKeyDown(kKeyEscape, 0);
  EXPECT_TRUE(ok->IsClosing());
  // Without a callback every answer closes; buttons of other ids answer nothing.
  auto* free = new DialogWindow(u"Note", u"Done.", false, false, MakeDialogDesc(0x1234, kAnswerCancel, u"Go", nullptr),
                                nullptr, 0, 0, 0, 0);
  Settle();
  M().OnKeyDown(kKeyEnter, 0);  // no positive answer
  EXPECT_FALSE(free->IsClosing());
  M().OnKeyDown(kKeyEscape, 0);
  EXPECT_TRUE(free->IsClosing());

  // Two buttons of one kind: the later one answers.
  answers_.accept = false;
  answers_.heard.clear();
  DialogWindow* positives = Open(kAnswerOk, kAnswerYes);
  Settle();
  M().OnKeyDown(kKeyEnter, 0);
  M().OnKeyDown(kKeyEscape, 0);  // no negative answer: the positive one
  delete positives;
  DialogWindow* negatives = Open(kAnswerNo, kAnswerCancel);
  Settle();
  M().OnKeyDown(kKeyEscape, 0);
  M().OnKeyDown(kKeyEnter, 0);  // no positive answer: nothing
  delete negatives;
  EXPECT_EQ(answers_.heard, (Lines{"42 3", "42 3", "42 2"}));
}

// The body grows in steps of 37 above 14 for the message, the buttons stand
// 168 apart, centred as a pair, 84 pixels above the bottom; captions come
// from the language, "UNKNOWN" for other ids, and are cut to their field.
TEST_F(Dialogs, TheLayoutFitsTheMessageAndTheCaptionsFitTheirFields) {
  auto* d = new TallDialog(MakeDialogDesc(kAnswerOk, 0x77, nullptr, nullptr), 60);
  EXPECT_EQ(d->GetHeight(), 77 + 14 + 2 * 37 + 34 + 96);
  EXPECT_EQ(Button(d, kAnswerOk)->GetRect().left, (371 - 336) / 2);
  EXPECT_EQ(Button(d, 0x77)->GetRect().left, (371 - 336) / 2 + 168);
  EXPECT_EQ(Button(d, 0x77)->GetRect().top, d->GetHeight() - 84);
  EXPECT_EQ(plat::Utf16ToUtf8(d->GetDesc().captions[1]), "UNKNOWN");
  EXPECT_EQ(plat::Utf16ToUtf8(d->GetDesc().captions[0]), "OK");
  d->Layout();  // once only
  EXPECT_EQ(d->Controls().GetCount(), 2);

  const std::u16string longCaption(100, u'W');
  const DIALOGDESC desc = MakeDialogDesc(kAnswerYes, kAnswerCancel, longCaption.c_str(), u"Later");
  EXPECT_EQ(std::u16string(desc.captions[0]), longCaption.substr(0, 63));
  EXPECT_EQ(plat::Utf16ToUtf8(desc.captions[1]), "Later");
  wchar caption[kDialogCaptionSize];
  SetGameLanguage(nullptr);
  GetAnswerCaption(kAnswerNo, caption);  // no language: an empty caption
  EXPECT_EQ(caption[0], 0);

  // Rows of buttons added to a window: two a row, two rows.
  auto* w = new uitest::Dialog(2, 400, 3);
  ImageButton* added[4];
  for (int i = 0; i < 4; ++i) added[i] = w->AddButton(10 + i, u"Go", 2, 2, i);
  EXPECT_EQ(added[0]->GetRect().left, 200 - 181);
  EXPECT_EQ(added[1]->GetRect().left, 200);
  EXPECT_EQ(added[1]->GetWidth(), 178);
  EXPECT_EQ(added[0]->GetRect().top, w->GetHeight() - 17 - 2 * 67);
  EXPECT_EQ(added[3]->GetRect().top, w->GetHeight() - 17 - 67);
  EXPECT_EQ(w->AddButton(20, u"Go", 1, 1, 0)->GetRect().left, 200 - 90);
  EXPECT_EQ(w->AddButton(21, u"Go", 3, 1, 2)->GetRect().left, 200 + 2 * 181 - 271);
}

// The newest dialog is the current one, darkening the one below and stepped
// every frame; an older dialog that goes leaves the anchor to the newer one.
TEST_F(Dialogs, TheNewestDialogIsCurrentUntilItGoes) {
  DialogWindow* older = Open(kAnswerOk, 0);
  auto* newer = new TallDialog(MakeDialogDesc(kAnswerOk, 0, nullptr, nullptr), 11);
  EXPECT_EQ(M().GetDialog(), newer);
  EXPECT_TRUE(older->IsDimmed());
  rig_.Step(10);
  rig_.Step(10);
  EXPECT_EQ(newer->frames, 2);
  delete older;
  EXPECT_EQ(M().GetDialog(), newer);
  rig_.Step(10);
  EXPECT_EQ(newer->frames, 3);
  delete newer;
  EXPECT_EQ(M().GetDialog(), nullptr);
  rig_.Step(10);
}

// A new device takes every picture; once the game has refilled its own
// interface image and restored its fonts, the dialog's title, message and
// button captions show again by themselves: the whole frame is as before.
TEST_F(Dialogs, ADialogsTextsShowAgainAfterTheDeviceIsMadeAnew) {
  Open(kAnswerYes, kAnswerNo);
  Settle();
  const std::vector<u32> before = rig_.ui.rig.Soft()->Frame();
  DXLDEVICESETTINGS s = *rig_.ui.V().GetSettings();
  s.hardwareVertexProcessing ^= 1;
  ASSERT_EQ(rig_.ui.V().ChangeDisplayMode(&s), 0);
  EXPECT_FALSE(rig_.ui.interfaceImage->IsReady());
  rig_.ui.interfaceImage->Create(1024, 1024, plat::gfx::D3DFMT_A8R8G8B8, true);
  uitest::UiRig::Fill(rig_.ui.interfaceImage.get(), &uitest::InterfaceTexel);
  for (u32 n = 1; n <= 4; ++n) ASSERT_EQ(GetGameFont(n)->RestoreAfterDeviceLoss(), 0);
  rig_.ui.Frame();
  const std::vector<u32>& after = rig_.ui.rig.Soft()->Frame();
  ASSERT_EQ(after.size(), before.size());
  size_t differing = 0;
  for (size_t i = 0; i < after.size(); ++i) differing += after[i] != before[i];
  EXPECT_EQ(differing, 0u);
}

// An opened dialog is the object's until it goes: it keeps the language
// keys it was made with, its answers reach the callback with the object's
// word, it is Get's while the window manager holds it (also while lifting
// out) and not once the manager has deleted it; opening again replaces it;
// the object going first takes it off the stack, so no answer can reach the
// object; without a window manager nothing opens.
TEST_F(Dialogs, AnOpenedDialogLivesNoLongerThanItsOpener) {
  const i32 stacked = M().GetStack().GetCount();
  {
    OpenedDialog opened;
    EXPECT_EQ(opened.Get(), nullptr);
    ASSERT_TRUE(opened.Open(u"quit_caption", u"quit", kAnswerYes, kAnswerNo, &Answers::Callback,
                            reinterpret_cast<uintptr_t>(&answers_)));
    BaseDialogWindow* d = opened.Get();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(M().GetDialog(), d);
    EXPECT_TRUE(d->GetCaptionKey() == u"quit_caption");
    EXPECT_TRUE(d->GetMessageKey() == u"quit");
    EXPECT_EQ(M().GetStack().GetCount(), stacked + 1);
    answers_.accept = true;
    EXPECT_TRUE(d->Answer(kAnswerNo));
    EXPECT_EQ(answers_.heard, (Lines{"0 4"}));
    EXPECT_EQ(opened.Get(), d) << "lifting out, still the manager's";
    for (i32 i = 0; i < 60 && opened.Get(); ++i) rig_.Step(20);
    EXPECT_EQ(opened.Get(), nullptr) << "deleted by the manager once it has gone";
    EXPECT_EQ(M().GetStack().GetCount(), stacked);

    // The second replaces the first, told apart by their answers (the
    // second may well take the first one's freed address).
    ASSERT_TRUE(opened.Open(u"quit_caption", u"quit", kAnswerOk, 0, &Answers::Callback, 0));
    ASSERT_NE(opened.Get(), nullptr);
    EXPECT_EQ(opened.Get()->GetDesc().count, 1u);
    ASSERT_TRUE(opened.Open(u"quit_caption", u"quit", kAnswerYes, kAnswerNo, &Answers::Callback, 0));
    ASSERT_NE(opened.Get(), nullptr);
    EXPECT_EQ(M().GetStack().GetCount(), stacked + 1) << "the first one replaced";
    ASSERT_EQ(M().GetDialog(), opened.Get());
    EXPECT_EQ(M().GetDialog()->GetDesc().count, 2u);
    EXPECT_EQ(M().GetDialog()->GetDesc().buttonIds[0], kAnswerYes);
  }
  EXPECT_EQ(M().GetStack().GetCount(), stacked) << "gone with its opener";
  EXPECT_EQ(M().GetDialog(), nullptr);
  EXPECT_EQ(answers_.heard.size(), 1u);

  WindowManager* manager = GetUiServices().windowManager;
  GetUiServices().windowManager = nullptr;
  OpenedDialog none;
  EXPECT_FALSE(none.Open(u"quit_caption", u"quit", kAnswerYes, kAnswerNo, &Answers::Callback, 0));
  EXPECT_EQ(none.Get(), nullptr);
  GetUiServices().windowManager = manager;
}

}  // namespace
