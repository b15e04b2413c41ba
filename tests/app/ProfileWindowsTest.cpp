// The profile windows over the game's profile store (StoreRoster): the
// list's visible rows and selection as it scrolls and loses rows, the new
// profile's name test and creation, the store's notices answered by the
// game's notice queues and error dialog, and what a refusal keeps: a "no"
// to the delete question, a choice the store refuses, a full store.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ProfileRig.h"
#include "app/GameProfiles.h"
#include "app/GameWorld.h"
#include "resources/ResourceServices.h"
#include "ui/BaseDialogWindow.h"
#include "ui/CheckBox.h"
#include "ui/DialogAnswers.h"
#include "ui/GameEdit.h"
#include "ui/GameScrollbar.h"
#include "ui/ImageButton.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/MessageNotice.h"
#include "windows/ProfilesWindow.h"
#include "testsupport/WindowDoor.h"

namespace profiletest {
namespace {

class ProfileWindows : public ::testing::Test {
 protected:
  ProfileWindows() : rig(dir), roster(rig.store, [this] { log.push_back("leave level"); }) {
    ResourceServices& s = GetResourceServices();
    s.screen.width = 800;
    s.screen.height = 600;
    s.screen.rect = DXLRECT{0, 0, 800, 600};
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
  }
  ~ProfileWindows() override {
    delete manager;
    ResetAllServices();
  }
  i32 RowOf(const ProfilesWindow& w, const wchar* name) {
    for (i32 i = 0; i < w.GetRowCount(); ++i)
      if (roster.GetName(w.GetRow(i)->GetProfile()) == name) return i;
    return -1;
  }
  // Moved away from the screen's corner and dropped in: the mouse reaches
  // it through the window manager.
  template <class W>
  W* Placed(W* w) {
    testsupport::PlaceWindow(*w);
    testsupport::Settle(*w);
    return w;
  }
  // A click on a row of the list, on its name or on its cross, the list
  // wheeled until the row shows whole.
  void ClickRow(const ProfilesWindow& w, i32 row, bool cross = false) {
    const DXLRECT& r = w.GetRow(row)->GetRect();
    const DXLRECT& v = w.GetViewport();
    const kis::IntPoint list = testsupport::OnScreen(w, v.left + 100, (v.top + v.bottom) / 2);
    for (i32 turns = 0; turns < 50 && (r.top - w.GetScroll() < v.top || r.bottom - w.GetScroll() > v.bottom); ++turns)
      manager->OnMouseWheel(list.x, list.y, r.top - w.GetScroll() < v.top ? 120 : -120, 0, 0);
    const i32 x = cross ? r.right + 10 : r.left + 100;
    testsupport::ClickAt(*manager, testsupport::OnScreen(w, x, (r.top + r.bottom) / 2 - w.GetScroll()));
  }
  void Click(const GameButton* b) { testsupport::Click(*manager, *b); }
  static bool Shown(const GameButton* b) { return b->IsEnabled(); }
  static bool Ticked(const GameButton* b) { return (b->State().GetState() & kStateFlag) != 0; }

  TempFolder dir;
  Store rig;
  std::vector<std::string> log;
  StoreRoster roster;
  WindowManager* manager;
  testsupport::InterfacePicture picture;
};

TEST_F(ProfileWindows, VisibleRowsSelectionAndDeletion) {
  for (const wchar* name : {u"Ann", u"Bob", u"Cid", u"Dan", u"Eve", u"Fay", u"Gus", u"Hal"}) rig.Create(name);
  ASSERT_EQ(rig.store.SelectProfile(rig.store.FindByName(u"Cid")), 0);
  bool deletedWhileCurrent = false;
  std::u16string replacedBy = u"-";
  auto* w = Placed(new ProfilesWindow(
      &roster, nullptr, [&] { deletedWhileCurrent = rig.store.GetCurrent() != nullptr; },
      [&] { replacedBy = rig.store.GetCurrent() ? roster.GetName(rig.store.GetCurrent()) : u""; }));
  EXPECT_EQ(manager->GetAnchor(kAnchorProfiles), w);
  ASSERT_EQ(w->GetRowCount(), 8);
  const i32 cid = RowOf(*w, u"Cid");
  EXPECT_TRUE(w->GetRow(cid)->IsCurrent());
  EXPECT_EQ(w->GetSelected(), cid);
  GameScrollbar* bar = w->GetScrollbar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetMaximum(), 8 * 47 + 71);
  using Rows = std::tuple<i32, i32, i32>;  // scroll, first and last visible
  for (const auto& [scroll, first, last] : {Rows{0, 0, 3}, Rows{100, 0, 5}, Rows{200, 2, 7}}) {
    bar->ScrollTo(scroll);
    EXPECT_EQ(w->GetFirstVisible(), first) << scroll;
    EXPECT_EQ(w->GetLastVisible(), last) << scroll;
  }
  w->SelectRow(0);  // scrolled so the row's band shows
  EXPECT_EQ(bar->GetPosition(), 67);
  w->SelectRow(7);
  EXPECT_EQ(bar->GetPosition(), 7 * 47 + 115 - 236);
  // The pointer over a row and over its cross, in the scrolled list; the
  // wheel over the list scrolls it on.
  const i32 y = w->GetListTop() + 78 + 6 * 47 + 20 - bar->GetPosition();
  const kis::IntPoint name = testsupport::OnScreen(*w, 100, y), cross = testsupport::OnScreen(*w, 400, y);
  manager->OnMouseMove(name.x, name.y, 0, 0);
  EXPECT_EQ(w->GetHovered(), 6);
  EXPECT_EQ(manager->GetHoverControl(), w->GetRow(6));
  manager->OnMouseMove(cross.x, cross.y, 0, 0);
  EXPECT_EQ(w->GetHovered(), -1);
  EXPECT_EQ(w->GetHoveredCross(), 6);
  const i32 scrolled = bar->GetPosition();
  EXPECT_TRUE(manager->OnMouseWheel(name.x, name.y, -120, 0, 0));
  EXPECT_GT(bar->GetPosition(), scrolled);

  // The current one goes: its first callback while it is still current,
  // then the row that takes its place (or the new last) is selected and
  // made current (ticked, the window can be cancelled), and the second
  // callback finds it so.
  w->DeleteRow(w->GetRow(cid));
  EXPECT_TRUE(deletedWhileCurrent);
  EXPECT_EQ(rig.store.FindByName(u"Cid"), nullptr);
  ASSERT_EQ(w->GetRowCount(), 7);
  const i32 in = std::min(cid, 6);
  EXPECT_EQ(w->GetSelected(), in);
  ASSERT_NE(rig.store.GetCurrent(), nullptr);
  EXPECT_EQ(rig.store.GetCurrent(), w->GetRow(in)->GetProfile());
  EXPECT_EQ(replacedBy, roster.GetName(w->GetRow(in)->GetProfile()));
  for (i32 i = 0; i < w->GetRowCount(); ++i) EXPECT_EQ(w->GetRow(i)->IsCurrent(), i == in) << i;
  EXPECT_TRUE(Shown(w->GetCancelButton()));
  // Another row goes: the current one stays, unasked.
  replacedBy = u"-";
  deletedWhileCurrent = false;
  MapProfile* current = rig.store.GetCurrent();
  w->DeleteRow(w->GetRow(in == 0 ? 1 : 0));
  EXPECT_EQ(rig.store.GetCurrent(), current);
  EXPECT_FALSE(deletedWhileCurrent);
  EXPECT_EQ(replacedBy, u"-");
  // The last one left goes: no current profile, no cancel, and Escape does nothing.
  while (w->GetRowCount() > 1) w->DeleteRow(w->GetRow(0));
  EXPECT_EQ(w->GetSelected(), 0);
  EXPECT_TRUE(Shown(w->GetCancelButton()));
  w->DeleteRow(w->GetRow(0));  // the only row: none selected
  EXPECT_EQ(w->GetSelected(), -1);
  EXPECT_EQ(w->GetSelectedProfile(), nullptr);
  EXPECT_EQ(rig.store.GetCount(), 0u);
  EXPECT_EQ(rig.store.GetCurrent(), nullptr);
  EXPECT_EQ(replacedBy, u"");
  EXPECT_FALSE(Shown(w->GetCancelButton()));
  EXPECT_TRUE(w->OnKeyDown(kKeyEscape, 0));
  EXPECT_FALSE(w->IsClosing());
  delete w;
  EXPECT_EQ(manager->GetAnchor(kAnchorProfiles), nullptr);

  // An empty store: nothing selected (there is no row 0).
  w = new ProfilesWindow(&roster, nullptr, nullptr);
  EXPECT_EQ(w->GetSelected(), -1);
  EXPECT_EQ(w->GetLastVisible(), -1);
  delete w;
}

TEST_F(ProfileWindows, NamesKeepOkHiddenAndANewProfileTakesRowZeroAndBecomesCurrent) {
  rig.Create(u"Ann");
  ASSERT_EQ(rig.store.SelectProfile(rig.store.FindByName(u"Ann")), 0);
  i32 chosen = 0;
  auto* w = Placed(new ProfilesWindow(&roster, [&] { ++chosen; }, nullptr));
  EXPECT_TRUE(Shown(w->GetCancelButton()));
  testsupport::ClickAt(*manager, testsupport::OnScreen(*w, w->GetNewButton()->GetRect().left + 20,
                                                       w->GetNewButton()->GetRect().top + 10 - w->GetScroll()));
  NewProfileWindow* n = w->GetNewWindow();
  ASSERT_NE(n, nullptr);
  Placed(n);
  EXPECT_TRUE(Ticked(n->GetTutorialBox()));
  GameEdit* edit = n->GetEditBox();
  ASSERT_NE(edit, nullptr);
  EXPECT_FALSE(n->IsNameAcceptable());  // empty
  for (const wchar* bad : {u"   ", u"ann", u"Ann "}) {
    edit->SetText(bad);
    EXPECT_FALSE(n->IsNameAcceptable());
    EXPECT_FALSE(Shown(n->GetOkButton()));
    EXPECT_FALSE(n->OnKeyDown(kKeyEnter, 0));
  }
  // The box takes neither a refused character nor a 17th one; the store's
  // test behind it refuses both.
  edit->SetText(u"A/B");
  EXPECT_EQ(std::u16string(edit->GetText()), u"AB");
  edit->SetText(u"ABCDEFGHIJKLMNOPQ");
  EXPECT_EQ(std::u16string(edit->GetText()), u"ABCDEFGHIJKLMNOP");
  EXPECT_EQ(roster.CheckName(u"ABCDEFGHIJKLMNOPQ"), kProfileNameLong);
  EXPECT_EQ(roster.CheckName(u"A/B"), kProfileNameCharacter);
  edit->SetText(u"  Bo  b ");
  EXPECT_TRUE(n->IsNameAcceptable());
  EXPECT_TRUE(Shown(n->GetOkButton()));
  Click(n->GetTutorialBox());  // no tutorials for this one
  EXPECT_TRUE(n->OnKeyDown(kKeyEnter, 0));
  Profile* bob = rig.store.FindByName(u"Bo b");
  ASSERT_NE(bob, nullptr);
  EXPECT_FALSE(bob->AreTutorialsOn());
  EXPECT_EQ(rig.store.GetCurrent(), bob);
  EXPECT_EQ(w->GetRow(0)->GetProfile(), bob);
  EXPECT_EQ(w->GetSelected(), 0);
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(w->IsClosing());
  EXPECT_EQ(log, (std::vector<std::string>{"leave level"}));
  delete w;  // with it the new-profile window, closing too
  EXPECT_EQ(manager->FindWindow(NewProfileWindow::kId), nullptr);

  // The first profile's window: no cancel, the name proposed, tutorials on.
  // Made with them off and not chosen after (no answer given): its file
  // keeps the choice.
  n = Placed(new NewProfileWindow(&roster, u"Cid", false, nullptr, 200));
  EXPECT_FALSE(Shown(n->GetCancelButton()));
  EXPECT_TRUE(n->IsNameAcceptable());
  EXPECT_TRUE(Ticked(n->GetTutorialBox()));
  EXPECT_TRUE(n->OnKeyDown(kKeyEscape, 0));
  EXPECT_FALSE(n->IsClosing());
  Click(n->GetTutorialBox());
  Click(n->GetOkButton());
  ASSERT_NE(rig.store.FindByName(u"Cid"), nullptr);
  EXPECT_EQ(rig.store.GetCurrent(), bob);
  EXPECT_TRUE(n->IsClosing());
  delete n;
  Store reread(dir);
  ASSERT_NE(reread.store.FindByName(u"Cid"), nullptr);
  EXPECT_FALSE(reread.store.FindByName(u"Cid")->AreTutorialsOn());
}

TEST_F(ProfileWindows, ChoosingAnotherProfileClearsTheQueuesAndErrorsShowTheirText) {
  GameProfileNotices notices;
  rig.store.SetNotices(&notices);
  Profile* ann = rig.Create(u"Ann");
  Profile* bob = rig.Create(u"Bob");
  ASSERT_EQ(rig.store.SelectProfile(ann), 0);
  MessageNoticeQueue* messages = GetMessageNotices();
  AwardNoticeQueue* awards = GetAwardNotices();
  messages->ShowMessage(kMessageLevelMap | 1, nullptr, 0, u"a", 0, 0, 5000, nullptr, 0);
  awards->ShowAward(2, 0, 0);
  auto* w = new ProfilesWindow(&roster, nullptr, nullptr);
  w->SelectRow(RowOf(*w, u"Ann"));
  w->Choose();  // the current one: the window closes, nothing else
  EXPECT_TRUE(w->IsClosing());
  EXPECT_EQ(messages->GetCount(), 1);
  EXPECT_TRUE(log.empty());
  delete w;
  w = Placed(new ProfilesWindow(&roster, nullptr, nullptr));
  ClickRow(*w, RowOf(*w, u"Bob"));
  EXPECT_EQ(rig.store.GetCurrent(), bob);
  EXPECT_EQ(messages->GetCount(), 0);
  EXPECT_EQ(awards->GetCount(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"leave level"}));
  delete w;

  rig.store.ShowError(kProfileNameUsed);
  auto* dialog = dynamic_cast<ProfileErrorDialog*>(manager->FindWindow(kDialogWindowId));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->GetTextKey(), u"err_used");
  rig.store.SetNotices(nullptr);
}

// A store that refuses to change the current profile.
struct RefusingRoster : StoreRoster {
  using StoreRoster::StoreRoster;
  i32 SelectProfile(MapProfile*) override { return kProfileNotWritten; }
};

TEST_F(ProfileWindows, ANoARefusedChoiceAndAFullStoreKeepWhatThereIs) {
  GameProfileNotices notices;
  rig.store.SetNotices(&notices);
  for (i32 i = 0; i < 12; ++i) rig.Create((u"P" + std::u16string(1, static_cast<char16_t>(u'a' + i))).c_str());
  Profile* first = rig.store.FindByName(u"Pa");
  ASSERT_EQ(rig.store.SelectProfile(first), 0);

  // "no" to the delete question deletes nothing; "yes" deletes.
  auto* w = Placed(new ProfilesWindow(&roster, nullptr, nullptr));
  const i32 row = RowOf(*w, u"Pc");
  ClickRow(*w, row, true);
  BaseDialogWindow* question = manager->GetDialog();
  ASSERT_NE(question, nullptr);
  question->Answer(kAnswerNo);
  delete question;  // lifted out: the modal question takes no more clicks
  EXPECT_EQ(rig.store.GetCount(), 12u);
  EXPECT_EQ(w->GetRowCount(), 12);
  EXPECT_NE(rig.store.FindByName(u"Pc"), nullptr);
  ClickRow(*w, row, true);
  ASSERT_NE(manager->GetDialog(), nullptr);
  manager->GetDialog()->Answer(kAnswerYes);
  EXPECT_EQ(rig.store.FindByName(u"Pc"), nullptr);
  EXPECT_EQ(w->GetRowCount(), 11);
  delete w;

  // The store refuses the choice: the window stays, the callback waits.
  RefusingRoster refusing(rig.store, [] {});
  i32 chosen = 0;
  w = Placed(new ProfilesWindow(&refusing, [&] { ++chosen; }, nullptr));
  ClickRow(*w, RowOf(*w, u"Pb"));
  EXPECT_EQ(chosen, 0);
  EXPECT_FALSE(w->IsClosing());
  EXPECT_EQ(rig.store.GetCurrent(), first);
  delete w;

  // The store is full again: the error shows, the new-profile window stays.
  rig.Create(u"Pz");
  ASSERT_EQ(rig.store.GetCount(), 12u);
  std::vector<MapProfile*> made;
  auto* n = new NewProfileWindow(&roster, u"Zed", true, [&](MapProfile* p) { made.push_back(p); }, 0);
  ASSERT_TRUE(n->IsNameAcceptable());
  EXPECT_FALSE(n->OnKeyDown(kKeyEnter, 0));
  auto* error = dynamic_cast<ProfileErrorDialog*>(manager->GetDialog());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetTextKey(), u"err_unknown");
  EXPECT_FALSE(n->IsClosing());
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(rig.store.FindByName(u"Zed"), nullptr);
  delete n;
  rig.store.SetNotices(nullptr);
}

}  // namespace
}  // namespace profiletest
