#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/DXLApp.h"
#include "engine/DXLInput.h"
#include "engine/DXLViewer.h"
#include "gametext/GameMessager.h"
#include "gametext/TextServices.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "resources/GEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SoundManager.h"
#include "FakeAudioBackend.h"
#include "testsupport/FrameRig.h"
#include "testsupport/SpriteRig.h"

using spritetest::SpriteRig;

namespace {

std::vector<std::string> g_journal;
void Note(const std::string& s) { g_journal.push_back(s); }
size_t Count(const std::string& s) {
  size_t n = 0;
  for (const std::string& line : g_journal) n += line == s;
  return n;
}

// What a test wants done from inside the callbacks.
std::function<void()> g_onUpdateA, g_onState, g_onCovered, g_onSkip;
plat::FakeClock* g_clock = nullptr;

// Two screens with every one of the thirteen callbacks filled, each
// writing to the journal.
template <char S>
struct Screen {
  static std::string N(const char* what) { return std::string(1, S) + " " + what; }
  static void Cursor(u32* slot) { *slot = S; }
  static void Deactivated() { Note(N("deactivated")); }
  static void Activated() { Note(N("activated")); }
  static void Update() {
    Note(N("update"));
    if (S == 'A' && g_onUpdateA) g_onUpdateA();
  }
  static void Render() { Note(N("render")); }
  static void MouseDown(DXLPOINT, u32, u32) { Note(N("mdown")); }
  static void MouseUp(DXLPOINT, u32, u32) { Note(N("mup")); }
  static void MouseMove(DXLPOINT, u32, u32) { Note(N("move")); }
  static void DoubleClick(DXLPOINT, u32) { Note(N("dbl")); }
  static void Wheel(DXLPOINT, i32, u32, u32) { Note(N("wheel")); }
  static void KeyDown(u16, u32) { Note(N("kdown")); }
  static void KeyUp(u16, u32) { Note(N("kup")); }
  static void KeyPress(u16, u32) { Note(N("kpress")); }
  static DXLCALLBACKS Table() {
    return DXLCALLBACKS{Cursor,    Deactivated, Activated, Update, Render, MouseDown, MouseUp,
                        MouseMove, DoubleClick, Wheel,     KeyDown, KeyUp, KeyPress};
  }
};
using A = Screen<'A'>;
using B = Screen<'B'>;

// The state change installs screen B, and takes a whole second doing it.
void OnState(u32 from, u32 to) {
  Note("state " + std::to_string(from) + " " + std::to_string(to));
  const DXLCALLBACKS b = B::Table();
  DXLSetCallbacks(kCallbackAll, &b);
  g_clock->Advance(1000);
  if (g_onState) g_onState();
}
void Covered() {
  Note("covered");
  if (g_onCovered) g_onCovered();
}
void Skipped() {
  Note("skipped");
  if (g_onSkip) g_onSkip();
}
void Done() { Note("done"); }

bool Same(const DXLCALLBACKS& a, const DXLCALLBACKS& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
DXLCALLBACKS Installed() {
  DXLCALLBACKS c{};
  DXLGetCallbacks(kCallbackAll, &c);
  return c;
}

class ScreenEffects : public ::testing::Test {
 protected:
  void SetUp() override {
    DXLShutdown();
    g_journal.clear();
    g_onUpdateA = g_onState = g_onCovered = g_onSkip = nullptr;
    g_clock = &clock_;
    ASSERT_TRUE(GetSoundSettings().Init(std::make_unique<soundtest::FakeBackend>(&audio_)));
    ASSERT_EQ(V().BeginFrame(), 0);
    GetResourceServices().screen.rect = DXLRECT{0, 0, 800, 600};
    GetResourceServices().clock = 5000;
    DXLSetAppState(6, false);
    DXLSetStateCallback(&OnState);
    const DXLCALLBACKS a = A::Table();
    DXLSetCallbacks(kCallbackAll, &a);
  }
  void TearDown() override {
    ClearGameEffects();
    GetSoundSettings().Shutdown();
    DXLShutdown();
  }
  DXLViewer& V() { return *rig_.rig.viewer; }

  // One pass of the main loop after `ms` of real and game time: update, and
  // render unless the update changed the state. The alpha of the black quad
  // drawn, or -1.
  int Frame(u32 ms = 50) {
    clock_.Advance(ms);
    GetResourceServices().clock += ms;
    const u32 state = DXLGetAppState();
    if (DXLCALLBACKS c = Installed(); c.update) c.update();
    if (DXLGetAppState() != state) return -1;
    rig_.calls.Clear();
    if (DXLCALLBACKS c = Installed(); c.render) c.render();
    int alpha = -1;
    for (const auto& p : rig_.calls.Primitives())
      if (p.fvf == kFvfColor) alpha = static_cast<int>(p.vertices[0].color >> 24);
    return alpha;
  }
  std::vector<int> Frames(int n) {
    std::vector<int> alphas;
    for (int i = 0; i < n; ++i) alphas.push_back(Frame());
    return alphas;
  }

  SpriteRig rig_;
  plat::FakeClock clock_{10000};
  plat::PlatformServicesScope scoped_{{.clock = &clock_}};
  soundtest::FakeAudio audio_;
};

TEST_F(ScreenEffects, ScreenChangeCoversSwitchesOnceAndLeavesTheNewScreen) {
  SoundSettings& sound = GetSoundSettings();
  const u32 sample = sound.LoadSample(u"Sounds.dat", u"tune", 0, 10, false);
  const auto screenSound = sound.manager->GetBackendChannel(sound.PlaySound(sample, kSoundGroupScreen, 0));
  const auto levelSound = sound.manager->GetBackendChannel(sound.PlaySound(sample, kSoundGroupLevel, 0));
  auto* regime = new GEffect_Regime(5, 250, 250, 0, 1);
  regime->SetCompletion(&Done);
  ASSERT_NE(audio_.Find(screenSound), nullptr);
  EXPECT_TRUE(audio_.Find(screenSound)->sliding);  // the screen's sounds fade out over 250 ms
  EXPECT_EQ(audio_.Find(screenSound)->target, 0.0f);
  EXPECT_EQ(audio_.Find(screenSound)->slideMs, 250u);
  EXPECT_FALSE(audio_.Find(levelSound)->sliding);
  EXPECT_TRUE(Same(Installed(), A::Table()));  // nothing before it starts
  RunGameEffect(regime);
  const DXLCALLBACKS hooked = Installed();
  EXPECT_EQ(hooked.deactivated, &A::Deactivated);
  EXPECT_EQ(hooked.mouseMove, nullptr);  // input is held back
  EXPECT_EQ(hooked.keyPress, nullptr);
  u32 cursor = 0;
  hooked.cursorQuery(&cursor);
  EXPECT_EQ(cursor, kEffectCursorId);

  // Darkening; covered and switched (no render in the frame that changed
  // state, and the second the switch took is not counted); covered once
  // more; brightening; gone.
  EXPECT_EQ(Frames(13), (std::vector<int>{51, 102, 153, 204, 255, -1, 255, 204, 153, 102, 51, -1, -1}));
  EXPECT_EQ(Count("state 6 5"), 1u);
  EXPECT_EQ(Count("A render"), 5u);
  EXPECT_EQ(Count("B update"), 8u);
  EXPECT_EQ(Count("done"), 1u);
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(Same(Installed(), B::Table()));  // exactly the new screen's
  EXPECT_EQ(DXLGetAppState(), 5u);

  // To the state the game is in: only a fade.
  g_journal.clear();
  RunGameEffect(new GEffect_Regime(5, 100, 100, 0, 1));
  for (int i = 0; i < 8; ++i) Frame();
  EXPECT_EQ(Count("state 6 5") + Count("state 5 5"), 0u);
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(Same(Installed(), B::Table()));
}

// No message pops up over a screen effect: the messages are off from its
// start to its end, through a replacement, and back when it is deleted.
TEST_F(ScreenEffects, GameMessagesWaitWhileAnEffectRuns) {
  GameMessager messager;
  auto* fade = new GEffect_Regime(6, 100, 100, 0, 1);
  EXPECT_FALSE(GetTextServices().messagesOff);  // made, not started
  RunGameEffect(fade);
  EXPECT_FALSE(messager.CanSend(1));
  Frames(3);
  EXPECT_FALSE(messager.CanSend(1));
  auto* next = new GEffect_ShowHide(nullptr, 100, 100, 0, 1, kHookAll);  // replaces the fade
  EXPECT_FALSE(GetTextServices().messagesOff);
  RunGameEffect(next);
  EXPECT_TRUE(GetTextServices().messagesOff);
  for (int i = 0; i < 6 && GetGameEffect(); ++i) Frame();
  ASSERT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(messager.CanSend(1));

  RunGameEffect(new GEffect_Regime(6, 100, 100, 0, 1));
  EXPECT_TRUE(GetTextServices().messagesOff);
  ClearGameEffects();  // deleted while running
  EXPECT_FALSE(GetTextServices().messagesOff);
}

TEST_F(ScreenEffects, ZeroTimesEndingEarlyAndFadeInZero) {
  // A change with no time at all still switches, on its first update.
  auto* instant = new GEffect_Regime(7, 0, 0, 0, 1);
  instant->SetCompletion(&Done);
  RunGameEffect(instant);
  EXPECT_TRUE(instant->IsRunning());
  Frame();
  EXPECT_EQ(g_journal, (std::vector<std::string>{"state 6 7", "B update", "done"}));
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(Same(Installed(), B::Table()));

  // A plain effect of no duration never starts.
  auto* idle = new GEffect_Skip(nullptr, 0, kHookUpdate);
  RunGameEffect(idle);
  EXPECT_FALSE(idle->IsRunning());
  EXPECT_TRUE(Same(Installed(), B::Table()));

  // Ending in phase 0 passes through phases 1 and 2: covered once.
  g_journal.clear();
  auto* fade = new GEffect_ShowHide(&Covered, 0, 100, 0, 1, kHookAll);  // replaces `idle`
  RunGameEffect(fade);
  rig_.calls.Clear();
  Installed().render();  // drawn before any update: fade-in 0 is fully black
  EXPECT_EQ(rig_.calls.Primitives().back().vertices[0].color, 0xFF000000u);
  const auto& q = rig_.calls.Primitives().back().vertices;
  EXPECT_FLOAT_EQ(q[0].x, -1);
  EXPECT_FLOAT_EQ(q[2].x, 801);
  EXPECT_FLOAT_EQ(q[2].y, 601);
  EXPECT_EQ(rig_.calls.Primitives().back().texture, 0);
  fade->End();
  EXPECT_EQ(fade->GetPhase(), 3);
  EXPECT_FALSE(fade->IsRunning());
  EXPECT_EQ(Count("covered"), 1u);
  EXPECT_TRUE(Same(Installed(), B::Table()));
  // And a screen change ended early still switches, once.
  auto* early = new GEffect_Regime(4, 250, 250, 0, 1);
  RunGameEffect(early);
  Frame();
  early->End();
  EXPECT_EQ(Count("state 7 4"), 1u);
  EXPECT_EQ(early->GetPhase(), 3);
  EXPECT_TRUE(Same(Installed(), B::Table()));
}

TEST_F(ScreenEffects, SkipTakesClicksAndKeysButNotModifiers) {
  auto* wait = new GEffect_Skip(&Skipped, 300, kHookUpdate | kHookRender | kHookCursor);
  wait->SetCompletion(&Done);
  RunGameEffect(wait);
  DXLCALLBACKS c = Installed();
  EXPECT_EQ(c.mouseMove, nullptr);
  for (u16 key : {0x1D, 0x9D, 0x2A, 0x36, 0x38, 0xB8}) c.keyUp(key, 0);
  c.mouseUp(DXLPOINT{1, 1}, 0, 0);  // never pressed during the effect
  c.mouseDown(DXLPOINT{1, 1}, 1, 0);
  c.mouseUp(DXLPOINT{1, 1}, 0, 0);
  EXPECT_TRUE(wait->IsRunning());
  EXPECT_EQ(wait->GetPressed(), 2u);
  c.mouseUp(DXLPOINT{1, 1}, 1, 0);
  EXPECT_FALSE(wait->IsRunning());
  EXPECT_FLOAT_EQ(wait->GetProgress(), 1);
  EXPECT_EQ(g_journal, std::vector<std::string>{"skipped"});
  EXPECT_TRUE(Same(Installed(), A::Table()));

  // A key skips; on the game clock, the time runs out by itself.
  g_journal.clear();
  auto* keyed = new GEffect_Skip(&Skipped, 300, kHookUpdate);
  RunGameEffect(keyed);
  Installed().keyUp(0x39, 0);
  EXPECT_EQ(g_journal, std::vector<std::string>{"skipped"});
  auto* timed = new GEffect_Skip(&Skipped, 300, kHookUpdate);
  timed->SetCompletion(&Done);
  RunGameEffect(timed);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(Count("done"), 0u);
  Frame();  // 300 ms of game time
  EXPECT_EQ(Count("done"), 1u);
  EXPECT_EQ(Count("skipped"), 1u);
  EXPECT_EQ(GetGameEffect(), nullptr);
}

// Fades and screen changes run on the millisecond timer, so they go on while
// the game's clock stands; a skip waits on the game's clock.
TEST_F(ScreenEffects, FadesRunOnRealTimeAndSkipsOnTheGameClock) {
  const auto update = [] { Installed().update(); };
  auto* fade = new GEffect_ShowHide(&Covered, 250, 250, 0, 1, kHookUpdate | kHookRender);
  RunGameEffect(fade);
  GetResourceServices().clock += 1000;
  update();
  ASSERT_EQ(GetGameEffect(), fade);  // still running
  EXPECT_FLOAT_EQ(fade->GetProgress(), 0.0f);
  clock_.Advance(125);
  update();
  EXPECT_FLOAT_EQ(fade->GetProgress(), 0.25f);

  auto* regime = new GEffect_Regime(5, 250, 250, 0, 1);  // takes the fade's place
  RunGameEffect(regime);
  GetResourceServices().clock += 1000;
  update();
  ASSERT_EQ(GetGameEffect(), regime);
  EXPECT_FLOAT_EQ(regime->GetProgress(), 0.0f);
  clock_.Advance(100);
  update();
  EXPECT_FLOAT_EQ(regime->GetProgress(), 0.2f);

  g_journal.clear();
  auto* skip = new GEffect_Skip(&Skipped, 300, kHookUpdate);
  skip->SetCompletion(&Done);
  RunGameEffect(skip);
  clock_.Advance(1000);
  update();
  ASSERT_EQ(GetGameEffect(), skip);
  EXPECT_FLOAT_EQ(skip->GetProgress(), 0.0f);
  GetResourceServices().clock += 300;
  update();
  EXPECT_EQ(Count("done"), 1u);
  EXPECT_EQ(GetGameEffect(), nullptr);
}

TEST_F(ScreenEffects, NewEffectsMadeInsideCallbacksReplaceTheCurrentOneSafely) {
  // A second effect replaces a running one: the first one's callbacks come back.
  RunGameEffect(new GEffect_ShowHide(nullptr, 100, 100, 0, 1, kHookAll));
  Frame();
  auto* second = new GEffect_ShowHide(nullptr, 100, 100, 0, 1, kHookAll);
  EXPECT_TRUE(Same(Installed(), A::Table()));
  EXPECT_EQ(GetGameEffect(), second);
  RunGameEffect(second);

  // The covered callback starts a screen change (the fade is retired under
  // its own feet); the change's state switch starts a skip wait on the new
  // screen; the skip callback starts one more fade.
  g_onCovered = [] { RunGameEffect(new GEffect_Regime(5, 100, 100, 0, 1)); };
  g_onState = [] { RunGameEffect(new GEffect_Skip(&Skipped, 200, kHookUpdate | kHookRender)); };
  g_onSkip = [] { RunGameEffect(new GEffect_ShowHide(&Done, 50, 50, 0, 1, kHookAll)); };
  auto* fade = new GEffect_ShowHide(&Covered, 100, 100, 0, 1, kHookAll);
  RunGameEffect(fade);
  for (int i = 0; i < 8 && Count("state 6 5") == 0; ++i) Frame();
  ASSERT_EQ(Count("covered"), 1u);
  ASSERT_EQ(Count("state 6 5"), 1u);
  GEffect_Skip* wait = dynamic_cast<GEffect_Skip*>(GetGameEffect());
  ASSERT_NE(wait, nullptr);
  ASSERT_TRUE(wait->IsRunning());
  EXPECT_EQ(Installed().deactivated, &B::Deactivated);
  EXPECT_EQ(Installed().mouseMove, nullptr);  // the wait holds B's input back
  Frame();
  EXPECT_EQ(g_journal.back(), "B render");
  Installed().keyUp(0x1C, 0);
  EXPECT_EQ(Count("skipped"), 1u);
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Count("done"), 1u);  // the last fade's covered callback
  EXPECT_EQ(Count("state 6 5"), 1u);
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(Same(Installed(), B::Table()));

  // The screen underneath starts a change while a fade runs over it.
  g_onState = nullptr;
  DXLSetAppState(6, false);
  const DXLCALLBACKS a = A::Table();
  DXLSetCallbacks(kCallbackAll, &a);
  g_journal.clear();
  RunGameEffect(new GEffect_ShowHide(&Covered, 100, 100, 0, 1, kHookAll));
  g_onUpdateA = [] {
    g_onUpdateA = nullptr;
    RunGameEffect(new GEffect_Regime(4, 0, 100, 0, 1));
  };
  for (int i = 0; i < 6; ++i) Frame();
  EXPECT_EQ(Count("covered"), 0u);  // replaced before it covered
  EXPECT_EQ(Count("state 6 4"), 1u);
  EXPECT_EQ(GetGameEffect(), nullptr);
  EXPECT_TRUE(Same(Installed(), B::Table()));
}

// An effect that takes the mouse and the keyboard lets go of what they hold
// when it takes them (the screen below hears the releases) and again when it
// gives them back.
TEST(ScreenEffectInput, HookingAndUnhookingReleaseHeldButtonsAndKeys) {
  framerig::FrameRig rig;
  rig.StartUp();
  DXLStartLoop();
  rig.Run();
  const plat::Point p = rig.Screen(200, 150);
  const auto hold = [&] {
    rig.Script().At(rig.Clock().NowMs()).MouseMove(p.x, p.y).KeyUp(plat::DIK_A).ButtonUp(0).After(5);
    rig.Script().KeyDown(plat::DIK_A).ButtonDown(0);
    rig.Run();
    framerig::FrameRig::Events();
  };
  DXLKeyboard* keyboard = DXLGetInput()->GetKeyboard();
  DXLMouse* mouse = DXLGetInput()->GetMouse();
  hold();
  ASSERT_TRUE(keyboard->IsKeyHeld(plat::DIK_A));
  ASSERT_EQ(mouse->GetButtonsHeld(), 1u);
  auto* effect = new GEffect_ShowHide(nullptr, 250, 250, 0, 1, kHookMouse | kHookKeyboard | kHookUpdate);
  RunGameEffect(effect);
  EXPECT_FALSE(keyboard->IsKeyHeld(plat::DIK_A));
  EXPECT_EQ(mouse->GetButtonsHeld(), 0u);
  EXPECT_EQ(framerig::FrameRig::Events(), (std::vector<std::string>{"mup 200 150 1 0", "kup 30 0"}));
  hold();
  ASSERT_TRUE(keyboard->IsKeyHeld(plat::DIK_A));
  effect->End();
  EXPECT_FALSE(keyboard->IsKeyHeld(plat::DIK_A));
  EXPECT_EQ(mouse->GetButtonsHeld(), 0u);
  ClearGameEffects();
}

}  // namespace
