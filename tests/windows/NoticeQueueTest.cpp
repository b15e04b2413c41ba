// The notice queues of the game's window manager: the award notices and the
// message notices stacked, glided, timed, pulsed, cleared and clicked,
// frame by frame on the game clock; and the manager's own order of update
// and resize with them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../resources/FakeAudioBackend.h"
#include "content/ContentServices.h"
#include "engine/DXLMouse.h"
#include "level/rules/LevelWindows.h"
#include "level/scene/LevelServices.h"
#include "resources/GEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/TutorialHooks.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/AwardsWindow.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelPanelHost.h"
#include "windows/MessageNotice.h"
#include "windows/WindowServices.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

using Lines = std::vector<std::string>;

class Pane : public GameWindow {
 public:
  Pane(u32 id, bool modal, Lines* log = nullptr) : GameWindow(id, modal), log_(log) {
    rect_ = DXLRECT{0, 0, 10, 10};
  }
  void Draw() override {}
  bool Update() override {
    if (log_) log_->push_back("update " + std::to_string(id_));
    return GameWindow::Update();
  }
  void OnScreenResize() override {
    if (log_) log_->push_back("resize " + std::to_string(id_));
  }

 private:
  Lines* log_;
};

class Notices : public ::testing::Test {
 protected:
  Notices() {
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
    ResetLevelServices();
    ResetWindowServices();
    ResourceServices& s = GetResourceServices();
    s.screen.width = 800;
    s.screen.height = 600;
    s.screen.rect = DXLRECT{0, 0, 800, 600};
    s.frameClock = &GameClock;
    s.clock = 1000;
    manager = CreateGameWindowManager();
    GetUiServices().windowManager = manager;
    awards = GetAwardNotices();
    messages = GetMessageNotices();
    anchor = new Pane(1, false);
    new Pane(2, false);  // a window above the anchor: the notices go between
    awards->SetHost(anchor, 120);
    messages->SetHost(anchor, 120, kMessageLevel);
  }
  ~Notices() override {
    delete manager;
    ResetResourceServices();
    ResetContentServices();
    ResetUiServices();
    ResetLevelServices();
    ResetWindowServices();
  }
  // A frame of ms: the manager updates and draws (closed notices whose
  // effects ended are deleted). Effects start at the first frame that draws
  // them.
  void Frame(u32 ms) {
    ResourceServices& s = GetResourceServices();
    s.clock += ms;
    s.frameElapsed = ms;
    manager->Update();
    manager->Draw();
  }
  i32 StackIndex(const GameWindow* w) const { return manager->GetStack().IndexOf(const_cast<GameWindow*>(w)); }
  void ClickAt(const DXLRECT& r, u32 button) {
    const i32 x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    manager->OnMouseMove(x, y, 0, 0);
    manager->OnMouseDown(x, y, button, 0);
    manager->OnMouseUp(x, y, button, 0);
  }
  void Message(u32 id, u32 life = 5000, MessageCallback callback = nullptr) {
    messages->ShowMessage(id, nullptr, 0, u"full", 0, 0, life, std::move(callback), 0);
  }

  WindowManager* manager;
  AwardNoticeQueue* awards;
  MessageNoticeQueue* messages;
  GameWindow* anchor;
};

TEST_F(Notices, AFourthClosesTheOldestLiveOneWhileTheOthersGlide) {
  for (u32 i = 0; i < 3; ++i) {
    awards->ShowAward(0, i, 1);
    Frame(200);
  }
  ASSERT_EQ(awards->GetCount(), 3);
  NewAwardWindow* oldest = awards->Get(0);
  NewAwardWindow* middle = awards->Get(1);
  NewAwardWindow* newest = awards->Get(2);
  const i32 h = newest->Panel().GetHeight();
  EXPECT_GT(h, 0);
  EXPECT_EQ(middle->GetOffset(), -h);
  EXPECT_EQ(oldest->GetOffset(), -2 * h);
  // Bottom right: the right edge 4 from the screen's, the bottom edge at
  // the margin.
  EXPECT_EQ(newest->GetRect().right, 800 - 4);
  EXPECT_EQ(newest->GetRect().bottom, 600 - 120);
  EXPECT_LT(StackIndex(anchor), StackIndex(oldest));
  EXPECT_LT(StackIndex(newest), StackIndex(manager->FindWindow(2)));

  awards->ShowAward(1, 0, 1);
  ASSERT_EQ(awards->GetCount(), 4);
  EXPECT_FALSE(oldest->IsLive());
  EXPECT_EQ(awards->CountLive(), 3);
  // The closing one takes no room: the two older live ones move up one
  // place each, gliding from where they stood over 150 ms.
  const float base = newest->GetY();
  EXPECT_EQ(newest->GetOffset(), -h);
  for (const auto& [ms, moved] : {std::pair<u32, float>{0, 0.0f}, {75, 0.5f}, {75, 1.0f}}) {
    Frame(ms);
    EXPECT_FLOAT_EQ(newest->GetY(), base - moved * static_cast<float>(h)) << ms;
  }
  EXPECT_FALSE(newest->IsSliding());
  EXPECT_EQ(awards->GetCount(), 3);  // the closed one went once its effects ended
  // A fifth: the kept two are the newest live ones, the closing one never counted twice.
  awards->ShowAward(2, 0, 0);
  EXPECT_FALSE(middle->IsLive());
  EXPECT_EQ(awards->CountLive(), 3);
}

TEST_F(Notices, LifetimesRunOnlyInFreeFramesAndRestartWithAHost) {
  awards->ShowAward(0, 0, 1);
  NewAwardWindow* notice = awards->Get(0);
  EXPECT_EQ(notice->GetLifeMs(), 8000u);
  Frame(5000);
  EXPECT_EQ(notice->GetElapsed(), 5000u);
  auto* modal = new Pane(3, true);
  Frame(5000);  // a modal window: the time does not count
  EXPECT_EQ(notice->GetElapsed(), 5000u);
  delete modal;
  RunGameEffect(new GEffect_Skip(nullptr, 100000, 0));
  Frame(5000);  // nor while a screen transition runs
  EXPECT_EQ(notice->GetElapsed(), 5000u);
  ClearGameEffects();
  awards->SetHost(anchor, 76);  // a screen entered: the 8 seconds start again
  EXPECT_EQ(notice->GetElapsed(), 0u);
  EXPECT_EQ(notice->GetRect().bottom, 600 - 76);
  Frame(7999);
  EXPECT_TRUE(notice->IsLive());
  Frame(1);
  EXPECT_FALSE(notice->IsLive());
}

TEST_F(Notices, ClearAtOnceCloseAllWithEffectsAndClicks) {
  std::vector<i32> opened;
  awards->SetOpenAwards([&] {
    opened.push_back(1);
    OpenAwards(false);
  });
  for (u32 i = 0; i < 3; ++i) awards->ShowAward(0, i, 2);
  Frame(0);
  Frame(200);  // appeared: a notice takes no clicks while its effects run
  NewAwardWindow* last = awards->Get(2);
  ClickAt(last->GetRect(), kMouseRight);
  EXPECT_FALSE(last->IsLive());
  EXPECT_TRUE(opened.empty());
  // A left click opens the awards window, which lets every notice leave
  // with its effect, arranging once; it reaches the notice wherever it
  // stands (here away from its corner of the screen).
  testsupport::PlaceWindow(*awards->Get(1));
  ClickAt(awards->Get(1)->GetRect(), kMouseLeft);
  EXPECT_EQ(opened.size(), 1u);
  ASSERT_NE(FindWindowOf<AwardsWindow>(), nullptr);
  EXPECT_EQ(awards->CountLive(), 0);
  EXPECT_EQ(awards->GetCount(), 3);  // leaving with their effects
  EXPECT_EQ(awards->GetHold(), 0);
  delete FindWindowOf<AwardsWindow>();
  Frame(0);
  Frame(150);
  EXPECT_EQ(awards->GetCount(), 0);
  for (u32 i = 0; i < 2; ++i) awards->ShowAward(0, i, 3);
  awards->CloseAll();
  EXPECT_EQ(awards->CountLive(), 0);
  EXPECT_EQ(awards->GetHold(), 0);
  awards->Clear();
  EXPECT_EQ(awards->GetCount(), 0);
  EXPECT_EQ(manager->FindWindow(NewAwardWindow::kId), nullptr);
  awards->Unlock();  // at 0: nothing
  EXPECT_EQ(awards->GetHold(), 0);
}

TEST_F(Notices, TheSameIdPulsesALiveMessageAndMakesANewOneForAClosingOne) {
  Message(kMessageLevel | 0x1001);
  Message(kMessageLevel | 0x1002);
  Frame(0);
  Frame(1000);
  MessageWindow* first = messages->Get(0);
  MessageWindow* second = messages->Get(1);
  EXPECT_EQ(first->GetRect().left, 4);  // bottom left
  EXPECT_GT(StackIndex(second), StackIndex(first));
  Message(kMessageLevel | 0x1001, 9000);
  EXPECT_EQ(messages->GetCount(), 2);
  EXPECT_EQ(messages->Find(kMessageLevel | 0x1001), first);
  EXPECT_TRUE(first->IsHighlighted());
  EXPECT_EQ(first->GetElapsed(), 0u);
  EXPECT_EQ(first->GetLifeMs(), 9000u);
  Frame(20);
  EXPECT_GT(StackIndex(first), StackIndex(second));  // pulsing on top
  Frame(0);
  Frame(200);
  EXPECT_FALSE(first->IsHighlighted());
  Frame(1);
  EXPECT_LT(StackIndex(first), StackIndex(second));  // back in queue order
  first->Close();
  EXPECT_EQ(messages->Find(kMessageLevel | 0x1001), nullptr);
  Message(kMessageLevel | 0x1001);
  EXPECT_EQ(messages->GetCount(), 3);
  EXPECT_NE(messages->Find(kMessageLevel | 0x1001), first);
  // A lifetime of 0 closes at once.
  Message(kMessageLevel | 0x1003, 0);
  EXPECT_EQ(messages->Find(kMessageLevel | 0x1003), nullptr);
}

TEST_F(Notices, ClearKeepsTheScreensBitsAndCallbacksDecideAClick) {
  Message(kMessageLevel | 1);
  Message(kMessageLevelMap | kMessageMainScreen | 2);
  Message(kMessageLevelMap | 3, NoticeWindow::kNoExpiry);
  messages->Clear(kMessageLevelMap);
  ASSERT_EQ(messages->GetCount(), 2);
  EXPECT_EQ(messages->Get(0)->GetMessageId(), kMessageLevelMap | kMessageMainScreen | 2u);
  // The level's end keeps only the messages of both the main screen and the map.
  Message(kMessageMainScreen | 4);
  Message(kMessageLevel | kMessageLevelMap | 5);
  messages->Clear(kMessageLevelMap | kMessageMainScreen);
  ASSERT_EQ(messages->GetCount(), 1);
  EXPECT_EQ(messages->Get(0)->GetMessageId(), kMessageLevelMap | kMessageMainScreen | 2u);
  messages->SetHost(anchor, 16, kMessageMainScreen);
  ASSERT_EQ(messages->GetCount(), 1);
  messages->CloseMatching(kMessageMainScreen);
  EXPECT_EQ(messages->CountLive(), 0);
  messages->Clear(0);
  EXPECT_EQ(messages->GetCount(), 0);

  std::vector<u32> buttons;
  bool answer = false;
  Message(kMessageLevel | 5, 5000, [&](u32, uintptr_t, u32 button) {
    buttons.push_back(button);
    return answer;
  });
  MessageWindow* notice = messages->Get(0);
  Frame(0);
  Frame(200);
  // A running tutorial that refuses the click (action 4) keeps the notice
  // without asking the callback.
  struct Refusing : TutorialHooks {
    bool AllowAction(u32 action, uintptr_t, const void*) override { return action != 4; }
    void Notify(u32, uintptr_t, const void*) override {}
  } tutorial;
  GetResourceServices().tutorial = &tutorial;
  ClickAt(notice->GetRect(), kMouseLeft);
  GetResourceServices().tutorial = nullptr;
  EXPECT_TRUE(notice->IsLive());
  EXPECT_TRUE(buttons.empty());
  ClickAt(notice->GetRect(), kMouseRight);
  EXPECT_TRUE(notice->IsLive());  // the callback said no
  answer = true;
  ClickAt(notice->GetRect(), kMouseLeft);
  EXPECT_FALSE(notice->IsLive());
  EXPECT_EQ(buttons, (std::vector<u32>{kMouseRight, kMouseLeft}));
}

// The level's warehouse-full message: its sound with every lifetime it is
// given (also the 0 that closes it; a new notice's before it is queued),
// the warehouse asked for on a left click only, and the warehouse window
// closing the level's warehouse messages when it opens.
TEST_F(Notices, WarehouseMessagesSoundOpenOnALeftClickAndLeaveForTheWindow) {
  soundtest::FakeAudio audio;
  ASSERT_TRUE(GetSoundSettings().Init(std::make_unique<soundtest::FakeBackend>(&audio)));
  const u32 full = GetSoundSettings().LoadSample(u"Sounds.dat", u"warehouse_full", 0, 10, false);
  const auto plays = [&] {
    u32 n = 0;
    for (const auto& [handle, channel] : audio.channels) n += channel.plays;
    return n;
  };
  // The new notice's lifetime (and with it its sound) is set before it
  // joins the queue: the queue is still empty as it sounds.
  std::vector<i32> queuedAtPlay;
  audio.onPlay = [&] { queuedAtPlay.push_back(messages->GetCount()); };
  messages->ShowMessage(kMessageWarehouseFull + 1, nullptr, 0, u"full", 0, 0, 5000, nullptr, full);
  EXPECT_EQ(plays(), 1u);
  EXPECT_EQ(queuedAtPlay, std::vector<i32>{0});
  audio.onPlay = nullptr;
  messages->ShowMessage(kMessageWarehouseFull + 1, nullptr, 0, u"full", 0, 0, 5000, nullptr, full);  // pulsed
  EXPECT_EQ(plays(), 2u);
  messages->Find(kMessageWarehouseFull + 1)->SetLifetime(0, false);
  EXPECT_EQ(plays(), 3u);
  EXPECT_EQ(messages->CountLive(), 0);

  struct Answers : MessageAnswer {
    void OnMessageAnswer(u32 answer, const PRODUCT*) override { got.push_back(answer); }
    std::vector<u32> got;
  } answers;
  LevelPanelHost host;
  host.ShowMessage(kMessageWarehouseFull + 2, u"warehouse_full", kMessageFlagsWarehouse, nullptr, 5000, &answers);
  host.ShowMessage(kMessageWarehouseFull + 3, u"warehouse_full", kMessageFlagsWarehouse, nullptr, 5000, &answers);
  Frame(0);
  Frame(200);
  MessageWindow* second = messages->Find(kMessageWarehouseFull + 2);
  MessageWindow* third = messages->Find(kMessageWarehouseFull + 3);
  ASSERT_TRUE(second && third);
  ClickAt(second->GetRect(), kMouseRight);
  EXPECT_FALSE(second->IsLive());  // every click closes it
  EXPECT_TRUE(answers.got.empty());
  ClickAt(third->GetRect(), kMouseLeft);
  EXPECT_EQ(answers.got, (std::vector<u32>{1}));
  GetSoundSettings().Shutdown();
}

TEST_F(Notices, ManagerUpdatesDownToAModalWindowAndResizesBottomUpThenTheQueues) {
  Lines log;
  auto* low = new Pane(10, false, &log);
  auto* modal = new Pane(11, true, &log);
  auto* top = new Pane(12, false, &log);
  awards->ShowAward(0, 0, 1);
  NewAwardWindow* notice = awards->Get(0);
  manager->Update();
  EXPECT_EQ(log, (Lines{"update 12", "update 11"}));  // nothing below the modal one
  EXPECT_EQ(awards->GetTimeStep(), 0u);
  log.clear();
  GetResourceServices().screen.width = 1024;
  GetResourceServices().screen.height = 768;
  manager->OnScreenResize();
  EXPECT_EQ(log, (Lines{"resize 10", "resize 11", "resize 12"}));
  // Award notices place themselves again after a resize, as messages do.
  EXPECT_EQ(notice->GetRect().right, 1024 - 4);
  EXPECT_EQ(notice->GetRect().bottom, 768 - 120);
  delete top;
  delete modal;
  delete low;
}

}  // namespace
}  // namespace windowstest
