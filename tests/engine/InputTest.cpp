#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/DXLInput.h"
#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"
#include "testsupport/InputRig.h"
#include "testsupport/LogCapture.h"

using inputrig::Record;
using inputrig::Take;
using Lines = std::vector<std::string>;

namespace {

void OnKeyDown(u16 key, u32 mods) { Record("down " + std::to_string(key) + " " + std::to_string(mods)); }
void OnKeyUp(u16 key, u32 mods) { Record("up " + std::to_string(key) + " " + std::to_string(mods)); }
void OnKeyPress(u16 key, u32 mods) { Record("press " + std::to_string(key) + " " + std::to_string(mods)); }
std::string Pt(DXLPOINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }
void OnButtonDown(DXLPOINT p, u32 b) { Record("bdown " + Pt(p) + " " + std::to_string(b)); }
void OnButtonUp(DXLPOINT p, u32 b) { Record("bup " + Pt(p) + " " + std::to_string(b)); }
void OnMove(DXLPOINT p, u32 held) { Record("move " + Pt(p) + " " + std::to_string(held)); }
void OnDouble(DXLPOINT p) { Record("dbl " + Pt(p)); }
void OnWheel(DXLPOINT p, i32 d, u32 held) { Record("wheel " + Pt(p) + " " + std::to_string(d) + " " + std::to_string(held)); }

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = std::make_unique<DXLInput>(desk_.window());
    ASSERT_EQ(input_->InitDirectInput(), 0);
    ASSERT_EQ(input_->CreateDevices(3), 0);
    Hook();
    ASSERT_EQ(input_->InitDevices(3), 0);
    Poll();
    Take();
  }

  void Hook() {
    DXLKeyboard* k = input_->GetKeyboard();
    k->SetKeyDownCallback(OnKeyDown);
    k->SetKeyUpCallback(OnKeyUp);
    k->SetKeyPressCallback(OnKeyPress);
    DXLMouse* m = input_->GetMouse();
    m->SetButtonDownCallback(OnButtonDown);
    m->SetButtonUpCallback(OnButtonUp);
    m->SetMoveCallback(OnMove);
    m->SetDoubleClickCallback(OnDouble);
    m->SetWheelCallback(OnWheel);
  }

  void Poll() { input_->Poll(3); }
  void Wait(u32 ms) { desk_.clock().Advance(ms); }
  plat::WindowSystem& ws() { return desk_.ws(); }

  // Left click at a client point: press, poll, release, poll.
  void Click(i32 x, i32 y, u32 index = 0) {
    desk_.PointerAt(x, y);
    ws().UserButton(index, true);
    Poll();
    ws().UserButton(index, false);
    Poll();
  }

  // What was seen, without moves.
  static Lines TakeClicks() {
    Lines out;
    for (std::string& line : Take())
      if (line.rfind("move", 0) != 0) out.push_back(std::move(line));
    return out;
  }

  LogCapture log_;
  inputrig::Desktop desk_;
  std::unique_ptr<DXLInput> input_;
};

TEST_F(Input, HeldKeyRepeatsAfter605MsThenEvery40Ms) {
  const std::string a = std::to_string(plat::DIK_A);
  ws().UserKey(plat::DIK_A, true);
  Poll();
  EXPECT_EQ(Take(), (Lines{"down " + a + " 0", "press " + a + " 0"}));
  Wait(300);
  Poll();
  Wait(304);
  Poll();
  EXPECT_TRUE(Take().empty());  // 604 ms
  Wait(1);
  Poll();
  EXPECT_EQ(Take(), (Lines{"press " + a + " 0"}));
  Wait(39);
  Poll();
  EXPECT_TRUE(Take().empty());
  Wait(1);
  Poll();
  EXPECT_EQ(Take().size(), 1u);
  Wait(200);  // a long pass owes five presses at once
  Poll();
  EXPECT_EQ(Take().size(), 5u);
  ws().UserKey(plat::DIK_A, false);
  Poll();
  EXPECT_EQ(Take(), (Lines{"up " + a + " 0"}));
  Wait(1000);
  Poll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Input, OnlyTheLastKeyPressedRepeats) {
  ws().UserKey(plat::DIK_A, true);
  Poll();
  Wait(300);
  ws().UserKey(plat::DIK_S, true);
  Poll();
  Take();
  Wait(605);
  Poll();
  EXPECT_EQ(Take(), (Lines{"press " + std::to_string(plat::DIK_S) + " 0"}));
  ws().UserKey(plat::DIK_A, false);  // releasing another key leaves the repeat alone
  Poll();
  Wait(40);
  Poll();
  EXPECT_EQ(Take(), (Lines{"up " + std::to_string(plat::DIK_A) + " 0", "press " + std::to_string(plat::DIK_S) + " 0"}));
}

TEST_F(Input, ModifiersComeFromEitherKeyOfEachPair) {
  ws().UserKey(plat::DIK_RSHIFT, true);
  ws().UserKey(plat::DIK_RCONTROL, true);
  ws().UserKey(plat::DIK_LMENU, true);
  Poll();
  EXPECT_EQ(input_->GetKeyboard()->GetModifiers(), kModControl | kModShift | kModAlt);
  Take();
  ws().UserKey(plat::DIK_RCONTROL, false);
  ws().UserKey(plat::DIK_LMENU, false);
  ws().UserKey(plat::DIK_LSHIFT, true);
  Poll();
  ws().UserKey(plat::DIK_RSHIFT, false);
  ws().UserKey(plat::DIK_Z, true);
  Poll();
  const std::string z = std::to_string(plat::DIK_Z);
  const Lines seen = Take();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(Lines(seen.end() - 3, seen.end()),
            (Lines{"down " + z + " 2", "press " + z + " 2", "up " + std::to_string(plat::DIK_RSHIFT) + " 2"}));
  EXPECT_EQ(input_->GetKeyboard()->GetModifiers(), kModShift);
}

TEST_F(Input, KeyCodeTableGivesSideSpecificVirtualKeys) {
  const u8* t = DXLKeyboard::GetKeyCodeTable();
  EXPECT_EQ(t[plat::DIK_A], 'A');
  EXPECT_EQ(t[plat::DIK_0], '0');
  EXPECT_EQ(t[plat::DIK_ESCAPE], 27);
  EXPECT_EQ(t[plat::DIK_RETURN], 13);
  EXPECT_EQ(t[plat::DIK_LSHIFT], 160);
  EXPECT_EQ(t[plat::DIK_RSHIFT], 161);
  EXPECT_EQ(t[plat::DIK_LCONTROL], 162);
  EXPECT_EQ(t[plat::DIK_RCONTROL], 163);
  EXPECT_EQ(t[plat::DIK_LMENU], 164);
  EXPECT_EQ(t[plat::DIK_RMENU], 165);
  EXPECT_EQ(t[plat::DIK_NUMPADENTER], 0x6C);
  EXPECT_EQ(t[plat::DIK_NUMPAD0], 0x60);
  EXPECT_EQ(t[plat::DIK_F12], 0x7B);
  EXPECT_EQ(t[plat::DIK_DELETE], 0x2E);
  EXPECT_EQ(t[plat::DIK_MEDIASELECT], 0xB5);
  EXPECT_EQ(t[0x54], 0);  // no key
  EXPECT_EQ(t[plat::DIK_SYSRQ], 0);
  EXPECT_EQ(t[0], 0);
}

// The whole table: 128 keys, each its own virtual key; the keyboard's rows
// read left to right; the rest key by key.
TEST_F(Input, KeyCodeTableCoversEveryKeyOnce) {
  const u8* t = DXLKeyboard::GetKeyCodeTable();
  std::set<u8> seen;
  int mapped = 0;
  for (int k = 0; k < 256; ++k)
    if (t[k]) {
      ++mapped;
      seen.insert(t[k]);
    }
  EXPECT_EQ(mapped, 128);
  EXPECT_EQ(seen.size(), 128u);
  const auto row = [&](u8 first, const char* keys) {
    for (u8 i = 0; keys[i]; ++i) EXPECT_EQ(t[first + i], static_cast<u8>(keys[i])) << int(first + i);
  };
  row(0x02, "1234567890");
  row(0x10, "QWERTYUIOP");
  row(0x1E, "ASDFGHJKL");
  row(0x2C, "ZXCVBNM");
  for (u8 k = 0; k < 10; ++k) EXPECT_EQ(t[0x3B + k], 0x70 + k);  // F1 to F10
  for (u8 k = 0; k < 3; ++k) EXPECT_EQ(t[0x64 + k], 0x7C + k);   // F13 to F15
  // The numeric pad as it lies: 7 8 9 -, 4 5 6 +, 1 2 3, 0 and the point.
  const u8 pad[] = {0x67, 0x68, 0x69, 0x6D, 0x64, 0x65, 0x66, 0x6B, 0x61, 0x62, 0x63, 0x60, 0x6E};
  for (u8 i = 0; i < 13; ++i) EXPECT_EQ(t[0x47 + i], pad[i]) << int(0x47 + i);
  const std::pair<u8, u8> singles[] = {
      {0x0C, 0xBD}, {0x0D, 0xBB}, {0x0E, 0x08}, {0x0F, 0x09}, {0x1A, 0xDB}, {0x1B, 0xDD}, {0x27, 0xBA},
      {0x28, 0xDE}, {0x29, 0xC0}, {0x2B, 0xDC}, {0x33, 0xBC}, {0x34, 0xBE}, {0x35, 0xBF}, {0x37, 0x6A},
      {0x39, 0x20}, {0x3A, 0x14}, {0x45, 0x90}, {0x46, 0x91}, {0x56, 0xE2}, {0x57, 0x7A}, {0x70, 0x15},
      {0x79, 0x1C}, {0x7B, 0x1D}, {0x90, 0xB1}, {0x94, 0x19}, {0x96, 0xE1}, {0x99, 0xB0}, {0xA0, 0xAD},
      {0xA2, 0xB3}, {0xA4, 0xB2}, {0xAE, 0xAE}, {0xB0, 0xAF}, {0xB2, 0xAC}, {0xB5, 0x6F}, {0xC5, 0x13},
      {0xC7, 0x24}, {0xC8, 0x26}, {0xC9, 0x21}, {0xCB, 0x25}, {0xCD, 0x27}, {0xCF, 0x23}, {0xD0, 0x28},
      {0xD1, 0x22}, {0xD2, 0x2D}, {0xDB, 0x5B}, {0xDC, 0x5C}, {0xDD, 0x5D}, {0xE5, 0xAA}, {0xE6, 0xAB},
      {0xE7, 0xA8}, {0xE8, 0xA9}, {0xE9, 0xA7}, {0xEA, 0xA6}, {0xEC, 0xB4}};
  for (const auto& [key, vk] : singles) EXPECT_EQ(t[key], vk) << int(key);
}

TEST_F(Input, MouseEventsCarryClientPointsAndButtonCodes) {
  desk_.PointerAt(200, 150);
  Poll();
  EXPECT_EQ(Take(), (Lines{"move 200 150 0"}));
  ws().UserButton(1, true);  // right
  Poll();
  ws().UserButton(2, true);  // middle
  Poll();
  desk_.PointerAt(210, 160);
  ws().UserWheel(-120);
  Poll();
  ws().UserButton(1, false);
  ws().UserButton(2, false);
  Poll();
  EXPECT_EQ(Take(), (Lines{"bdown 200 150 4", "bdown 200 150 2", "move 210 160 6", "wheel 210 160 -120 6",
                           "bup 210 160 2", "bup 210 160 4"}));
  Poll();
  EXPECT_TRUE(Take().empty());  // still mouse, no tracking
}

TEST_F(Input, TrackCursorMovesOnEveryPoll) {
  input_->GetMouse()->SetTrackCursor(true);
  desk_.PointerAt(-30, 10);  // left of the client area
  Poll();
  Poll();
  EXPECT_EQ(Take(), (Lines{"move -30 10 0", "move -30 10 0"}));
}

TEST_F(Input, DoubleClickNeedsMoreThan100MsLeftAndTheRectangle) {
  Click(50, 50);
  EXPECT_EQ(TakeClicks(), (Lines{"bdown 50 50 1", "bup 50 50 1"}));
  Wait(399);  // 101 ms of 500 left
  Click(54, 46);
  EXPECT_EQ(TakeClicks(), (Lines{"dbl 54 46", "bup 54 46 1"}));

  Click(50, 50);  // after a double click the next press starts over
  Wait(400);      // exactly 100 ms left: a plain press
  Click(50, 50);
  EXPECT_EQ(TakeClicks(), (Lines{"bdown 50 50 1", "bup 50 50 1", "bdown 50 50 1", "bup 50 50 1"}));

  Wait(1000);
  Click(50, 50);
  Wait(10);
  Click(55, 50);  // one pixel beyond the rectangle
  EXPECT_EQ(TakeClicks()[2], "bdown 55 50 1");

  Wait(1000);
  Click(50, 50);
  Click(50, 50, 1);  // a right click in between forgets the first
  Click(50, 50);
  const Lines seen = TakeClicks();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[4], "bdown 50 50 1");
}

TEST_F(Input, LostDeviceReleasesHeldKeysAndButtonsOnce) {
  desk_.PointerAt(20, 20);
  ws().UserKey(plat::DIK_W, true);
  ws().UserButton(0, true);
  Poll();
  Take();
  ws().UserDeactivate();  // another program in front: the devices lose their acquisition
  Poll();
  Poll();
  Wait(2000);
  Poll();
  EXPECT_EQ(Take(), (Lines{"bup 20 20 1", "up " + std::to_string(plat::DIK_W) + " 0"}));
  ws().UserKey(plat::DIK_W, false);
  ws().UserButton(0, false);
  ws().UserActivate(desk_.window());
  Poll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Input, DisableReleasesWhatIsHeldEnableTakesUpTheStateSilently) {
  ws().UserKey(plat::DIK_Q, true);
  Poll();
  Take();
  input_->Disable(3);
  EXPECT_EQ(Take(), (Lines{"up " + std::to_string(plat::DIK_Q) + " 0"}));
  Poll();
  ws().UserKey(plat::DIK_E, true);
  desk_.PointerAt(1, 2);
  Poll();
  EXPECT_TRUE(Take().empty());
  ASSERT_EQ(input_->Enable(3), 0);
  EXPECT_TRUE(Take().empty());  // Q and E are held again, quietly
  EXPECT_TRUE(input_->GetKeyboard()->IsKeyHeld(plat::DIK_E));
  ws().UserKey(plat::DIK_E, false);
  Poll();
  EXPECT_EQ(Take(), (Lines{"up " + std::to_string(plat::DIK_E) + " 0"}));
  input_->ResetState(2);
  EXPECT_EQ(Take(), (Lines{"up " + std::to_string(plat::DIK_Q) + " 0"}));
}

// The devices read buffered, as the frame reads them.
class BufferedInput : public Input {
 protected:
  void SetUp() override {
    Input::SetUp();
    Buffer(8, 16);
  }
  void Buffer(u32 keyEvents, u32 mouseEvents) {
    DXLKeyboard* k = input_->GetKeyboard();
    DXLMouse* m = input_->GetMouse();
    k->SetImmediate(false);
    k->SetBufferSize(keyEvents);
    m->SetImmediate(false);
    m->SetBufferSize(mouseEvents);
    ASSERT_EQ(input_->InitDevices(3), 0);
    Poll();  // acquires
    Take();
  }
};

TEST_F(BufferedInput, TapsAndClicksShorterThanAPollArriveInOrder) {
  const std::string p = std::to_string(plat::DIK_P), q = std::to_string(plat::DIK_Q);
  ws().UserKey(plat::DIK_P, true);
  ws().UserKey(plat::DIK_P, false);
  ws().UserKey(plat::DIK_Q, true);
  ws().UserKey(plat::DIK_Q, false);
  Poll();
  EXPECT_EQ(Take(), (Lines{"down " + p + " 0", "press " + p + " 0", "up " + p + " 0", "down " + q + " 0",
                           "press " + q + " 0", "up " + q + " 0"}));
  // Two keys down in one poll: each gets its press, only the last repeats.
  ws().UserKey(plat::DIK_P, true);
  ws().UserKey(plat::DIK_Q, true);
  Poll();
  Wait(605);
  Poll();
  EXPECT_EQ(Take(), (Lines{"down " + p + " 0", "press " + p + " 0", "down " + q + " 0", "press " + q + " 0",
                           "press " + q + " 0"}));
  ws().UserKey(plat::DIK_P, false);
  ws().UserKey(plat::DIK_Q, false);
  Poll();
  Take();

  // A click and a second one inside one poll: down, up, then the double click,
  // each where the pointer was at the time.
  desk_.PointerAt(30, 40);
  ws().UserButton(0, true);
  ws().UserButton(0, false);
  desk_.PointerAt(31, 41);
  ws().UserButton(0, true);
  ws().UserButton(0, false);
  ws().UserButton(1, true);
  ws().UserButton(1, false);
  Poll();
  EXPECT_EQ(TakeClicks(), (Lines{"bdown 30 40 1", "bup 30 40 1", "dbl 31 41", "bup 31 41 1", "bdown 31 41 4",
                                 "bup 31 41 4"}));
  input_->GetMouse()->SetTrackCursor(true);  // tracking still reports the still pointer every poll
  Poll();
  Poll();
  EXPECT_EQ(Take(), (Lines{"move 31 41 0", "move 31 41 0"}));
}

TEST_F(BufferedInput, LostEventsAndALostDeviceEndWithTheDevicesState) {
  Buffer(2, 2);
  const std::string a = std::to_string(plat::DIK_A), c = std::to_string(plat::DIK_E);
  // Six changes into a buffer of two: the newest two are handled, then the
  // state is taken up, so nothing the device no longer holds stays held.
  ws().UserKey(plat::DIK_A, true);
  ws().UserKey(plat::DIK_W, true);
  ws().UserKey(plat::DIK_A, false);
  ws().UserKey(plat::DIK_E, true);
  ws().UserKey(plat::DIK_E, false);
  ws().UserKey(plat::DIK_W, false);
  ws().UserButton(0, true);
  ws().UserButton(1, true);
  ws().UserButton(1, false);
  desk_.PointerAt(5, 6);
  Poll();
  const Lines seen = Take();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "down " + c + " 0"), 0);  // lost with its events
  EXPECT_FALSE(input_->GetKeyboard()->IsKeyHeld(plat::DIK_A));
  EXPECT_FALSE(input_->GetKeyboard()->IsKeyHeld(plat::DIK_W));
  EXPECT_EQ(input_->GetMouse()->GetButtonsHeld(), kMouseLeft);
  EXPECT_EQ(input_->GetMouse()->GetClientPosition().x, 5);

  // A loss releases everything in the poll that finds it; acquiring again
  // takes up what is still held.
  ws().UserKey(plat::DIK_A, true);
  Poll();
  Take();
  Wait(1000);
  ws().Input().LoseDevices();
  Poll();
  EXPECT_EQ(Take(), (Lines{"bup 5 6 1", "bdown 5 6 1", "up " + a + " 0", "down " + a + " 0", "press " + a + " 0"}));
  ws().UserDeactivate();  // another program in front: the loss cannot be mended
  Poll();
  EXPECT_EQ(Take(), (Lines{"bup 5 6 1", "up " + a + " 0"}));
  input_->Disable(3);
  EXPECT_EQ(input_->Enable(3), 0);  // a lost device never fails the poll
  EXPECT_TRUE(input_->GetKeyboard()->IsEnabled());
}

TEST(InputSetup, RefusalsAndFailuresAreLoggedWithTheirCodes) {
  LogCapture log;
  inputrig::Desktop desk;
  DXLInput none(0);
  EXPECT_EQ(none.CreateDevices(3), kInputGeneralFailure);  // no DirectInput yet
  ASSERT_EQ(none.InitDirectInput(), 0);
  ASSERT_EQ(none.CreateDevices(3), 0);
  EXPECT_EQ(none.GetKeyboard()->Create(), kInputInvalidOwner);
  EXPECT_TRUE(log.Has("ERROR! Keyboard: Invalid DirectInput."));
  EXPECT_EQ(none.InitDevices(7), kInputMouseFailed | kInputKeyboardFailed | kInputThirdFailed);

  DXLInput input(desk.window());
  EXPECT_EQ(input.InitDevices(3), kInputMouseFailed | kInputKeyboardFailed);  // no devices made
  ASSERT_EQ(input.InitDirectInput(), 0);
  ASSERT_EQ(input.CreateDevices(1), 0);
  EXPECT_FALSE(input.HasDevice(kInputKeyboard));
  DXLMouse* mouse = input.GetMouse();
  EXPECT_EQ(mouse->Poll(), kInputNoDevice);
  mouse->SetExclusive(true);
  mouse->SetForeground(false);
  EXPECT_EQ(mouse->Create(), kInputGeneralFailure);
  EXPECT_TRUE(log.Has("ERROR! Mouse: For security reasons, background exclusive Mouse access is not allowed."));

  desk.ws().Input().FailNext(plat::input::InputOp::CreateDevice, plat::input::DIERR_GENERIC);
  mouse->SetExclusive(false);
  EXPECT_EQ(mouse->Create(), kInputGeneralFailure);
  EXPECT_NE(log.Text().find("ERROR! Mouse: CreateDevice "), std::string::npos);
  EXPECT_FALSE(mouse->HasDevice());

  desk.ws().Input().FailNext(plat::input::InputOp::Create, plat::input::DIERR_GENERIC);
  DXLInput failing(desk.window());
  EXPECT_EQ(failing.InitDirectInput(), kInputGeneralFailure);
  EXPECT_NE(log.Text().find("ERROR! DirectInput8Create: "), std::string::npos);
}

}  // namespace
