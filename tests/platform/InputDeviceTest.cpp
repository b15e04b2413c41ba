#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "WindowTestSupport.h"
#include "platform/input/DirectInput.h"
#include "platform/input/InputHub.h"
#include "platform/input/KeyCodes.h"

using namespace plat;
using namespace plat::input;

namespace {

class InputDevices : public wintest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    ws().ShowWindow(window_, SW_SHOW);  // now in front
    ASSERT_EQ(DirectInput8Create(GetModuleHandle(), DIRECTINPUT_VERSION, &di_), DI_OK);
    keyboard_ = Make(GUID_SysKeyboard, c_dfDIKeyboard);
    mouse_ = Make(GUID_SysMouse, c_dfDIMouse2);
  }

  std::unique_ptr<DirectInputDevice8> Make(DeviceGuid guid, DataFormat format, uint32_t level = 6) {
    std::unique_ptr<DirectInputDevice8> d;
    EXPECT_EQ(di_->CreateDevice(guid, &d), DI_OK);
    EXPECT_EQ(d->SetDataFormat(format), DI_OK);
    EXPECT_EQ(d->SetCooperativeLevel(window_, level), DI_OK);
    return d;
  }

  HRESULT Keys(uint8_t (&keys)[256]) { return keyboard_->GetDeviceState(256, keys); }
  HRESULT Mouse(MouseState2* state) { return mouse_->GetDeviceState(sizeof(MouseState2), state); }

  std::unique_ptr<DirectInput8> di_;
  std::unique_ptr<DirectInputDevice8> keyboard_;
  std::unique_ptr<DirectInputDevice8> mouse_;
};

TEST_F(InputDevices, CreationChecksVersionFormatAndLevel) {
  std::unique_ptr<DirectInput8> other;
  EXPECT_EQ(DirectInput8Create(0, 0x0700, &other), DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(other, nullptr);

  std::unique_ptr<DirectInputDevice8> d;
  ASSERT_EQ(di_->CreateDevice(GUID_SysKeyboard, &d), DI_OK);
  EXPECT_EQ(d->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
  EXPECT_EQ(d->SetDataFormat(c_dfDIMouse2), DIERR_INVALIDPARAM);
  ASSERT_EQ(d->SetDataFormat(c_dfDIKeyboard), DI_OK);
  EXPECT_EQ(d->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
  EXPECT_EQ(d->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(d->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
  EXPECT_EQ(d->SetCooperativeLevel(0, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DIERR_HANDLE);
  EXPECT_EQ(d->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY), DI_OK);
  EXPECT_EQ(mouse_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY),
            DIERR_INVALIDPARAM);

  ASSERT_EQ(d->Acquire(), DI_OK);
  EXPECT_EQ(d->Acquire(), DI_NOEFFECT);
  EXPECT_EQ(d->SetBufferSize(8), DIERR_ACQUIRED);
  EXPECT_EQ(d->SetCooperativeLevel(window_, 6), DIERR_ACQUIRED);
  EXPECT_EQ(d->Unacquire(), DI_OK);
  EXPECT_EQ(d->Unacquire(), DI_NOEFFECT);
}

TEST_F(InputDevices, StateNeedsAcquisitionAndTheRightSize) {
  uint8_t keys[256];
  std::memset(keys, 0xAA, sizeof(keys));
  EXPECT_EQ(Keys(keys), DIERR_NOTACQUIRED);
  EXPECT_EQ(keys[0], 0);  // a failed read leaves nothing held
  EXPECT_EQ(keyboard_->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
  MouseState2 m{};
  EXPECT_EQ(mouse_->GetDeviceState(16, &m), DIERR_INVALIDPARAM);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  EXPECT_EQ(Keys(keys), DI_OK);
}

TEST_F(InputDevices, KeyStateFollowsScriptedKeysAndModifiers) {
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  script().At(session_.Clock().NowMs()).KeyDown(DIK_A).KeyDown(DIK_RCONTROL).KeyDown(DIK_LSHIFT);
  Drain();
  uint8_t keys[256];
  ASSERT_EQ(Keys(keys), DI_OK);
  EXPECT_EQ(keys[DIK_A], 0x80);
  EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
  EXPECT_EQ(keys[DIK_LSHIFT], 0x80);
  EXPECT_EQ(keys[DIK_LCONTROL], 0);
  EXPECT_LT(ws().GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(ws().GetKeyState(VK_RCONTROL), 0);
  EXPECT_EQ(ws().GetKeyState(VK_LCONTROL), 0);
  EXPECT_LT(ws().GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(ws().GetKeyState(VK_MENU), 0);
  EXPECT_LT(ws().GetAsyncKeyState('A'), 0);
  EXPECT_EQ(ws().GetKeyState('B'), 0);

  script().At(session_.Clock().NowMs()).KeyUp(DIK_A);
  Drain();
  ASSERT_EQ(Keys(keys), DI_OK);
  EXPECT_EQ(keys[DIK_A], 0);
  EXPECT_EQ(ws().GetKeyState('A'), 0);
}

TEST_F(InputDevices, DeactivationLosesForegroundDevicesUntilReacquired) {
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  std::unique_ptr<DirectInputDevice8> background = Make(GUID_SysKeyboard, c_dfDIKeyboard, 10);
  ASSERT_EQ(background->Acquire(), DI_OK);

  const uint32_t t = session_.Clock().NowMs();
  script().At(t).KeyDown(DIK_W).After(10).Deactivate().After(10).KeyDown(DIK_S).After(10).Activate();
  Drain();
  session_.Clock().Advance(10);
  Drain();

  uint8_t keys[256];
  EXPECT_EQ(Keys(keys), DIERR_INPUTLOST);
  EXPECT_EQ(keys[DIK_W], 0);
  EXPECT_EQ(Keys(keys), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard_->Acquire(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(background->GetDeviceState(256, keys), DI_OK);  // background devices keep reading
  EXPECT_EQ(keys[DIK_W], 0x80);

  session_.Clock().Advance(20);
  Drain();  // S went down while away, then the window came back
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  ASSERT_EQ(Keys(keys), DI_OK);
  EXPECT_EQ(keys[DIK_W], 0x80);  // the real state, whatever happened while away
  EXPECT_EQ(keys[DIK_S], 0x80);
}

TEST_F(InputDevices, MinimisingLosesTheDevicesToo) {
  ASSERT_EQ(mouse_->Acquire(), DI_OK);
  script().At(session_.Clock().NowMs()).Minimise();
  Drain();
  MouseState2 m{};
  EXPECT_EQ(Mouse(&m), DIERR_INPUTLOST);
  EXPECT_EQ(mouse_->Acquire(), DIERR_OTHERAPPHASPRIO);
  script().At(session_.Clock().NowMs()).Restore();
  Drain();
  EXPECT_EQ(mouse_->Acquire(), DI_OK);
}

TEST_F(InputDevices, MouseReportsMotionSinceTheLastReadAndButtons) {
  ASSERT_EQ(mouse_->Acquire(), DI_OK);
  const uint32_t t = session_.Clock().NowMs();
  script().At(t).MouseMove(650, 520).MouseMove(600, 530).ButtonDown(1).Wheel(240).Wheel(-120);
  Drain();
  MouseState2 m{};
  ASSERT_EQ(Mouse(&m), DI_OK);
  EXPECT_EQ(m.x, 600 - 640);
  EXPECT_EQ(m.y, 530 - 512);
  EXPECT_EQ(m.z, 120);
  EXPECT_EQ(m.buttons[0], 0);
  EXPECT_EQ(m.buttons[1], 0x80);
  ASSERT_EQ(Mouse(&m), DI_OK);
  EXPECT_EQ(m.x, 0);
  EXPECT_EQ(m.z, 0);
  EXPECT_EQ(m.buttons[1], 0x80);

  // Motion pushing against the desktop edge still reaches the device whole.
  ws().UserPointer(Point{1279, 530});
  Mouse(&m);
  ws().UserPointer(Point{1400, 530});
  ASSERT_EQ(Mouse(&m), DI_OK);
  EXPECT_EQ(m.x, 121);

  // Cursor position and client coordinates for the window at (100, 50).
  ws().UserPointer(Point{400, 300});
  Point p{};
  ws().GetCursorPos(&p);
  ws().ScreenToClient(window_, &p);
  EXPECT_EQ(p, (Point{300, 250}));
}

TEST_F(InputDevices, BufferedKeysComeInOrderWithSequenceAndTime) {
  ASSERT_EQ(keyboard_->SetBufferSize(8), DI_OK);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  const uint32_t t = session_.Clock().NowMs();
  script().At(t).KeyDown(DIK_A).After(5).KeyDown(DIK_A).KeyDown(DIK_LMENU).After(5).KeyUp(DIK_A);
  for (int i = 0; i < 3; ++i) {
    Drain();
    session_.Clock().Advance(5);
  }
  DeviceObjectData data[8];
  uint32_t count = 8;
  ASSERT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  ASSERT_EQ(count, 3u);  // the second press of A changes nothing
  EXPECT_EQ(data[0].offset, DIK_A);
  EXPECT_EQ(data[0].data, 0x80u);
  EXPECT_EQ(data[0].timeStamp, t);
  EXPECT_EQ(data[1].offset, DIK_LMENU);
  EXPECT_EQ(data[1].timeStamp, t + 5);
  EXPECT_EQ(data[2].offset, DIK_A);
  EXPECT_EQ(data[2].data, 0u);
  EXPECT_EQ(data[2].timeStamp, t + 10);
  EXPECT_LT(data[0].sequence, data[1].sequence);
  EXPECT_LT(data[1].sequence, data[2].sequence);
  count = 8;
  EXPECT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  EXPECT_EQ(count, 0u);
}

TEST_F(InputDevices, BufferedReadsTakeAtMostTheRoomGiven) {
  ASSERT_EQ(keyboard_->SetBufferSize(8), DI_OK);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  for (uint8_t k = DIK_Q; k < DIK_Q + 5; ++k) ws().UserKey(k, true);
  DeviceObjectData data[8];
  uint32_t count = 2;
  ASSERT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(data[1].offset, DIK_Q + 1u);
  count = 8;
  ASSERT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(data[0].offset, DIK_Q + 2u);
}

TEST_F(InputDevices, OverflowKeepsTheNewestAndIsReportedOnce) {
  ASSERT_EQ(keyboard_->SetBufferSize(3), DI_OK);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  ws().UserKey(DIK_A, true);
  ws().UserKey(DIK_S, true);
  ws().UserKey(DIK_D, true);
  ws().UserKey(DIK_A, false);
  ws().UserKey(DIK_S, false);
  DeviceObjectData data[8];
  uint32_t count = 8;
  ASSERT_EQ(keyboard_->GetDeviceData(data, &count), DI_BUFFEROVERFLOW);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(data[0].offset, DIK_D);  // the two oldest are gone, so no key is left held
  EXPECT_EQ(data[1].offset, DIK_A);
  EXPECT_EQ(data[1].data, 0u);
  EXPECT_EQ(data[2].offset, DIK_S);
  EXPECT_EQ(data[2].data, 0u);
  EXPECT_GT(data[1].sequence, data[0].sequence);
  count = 8;
  ws().UserKey(DIK_D, false);
  EXPECT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  EXPECT_EQ(count, 1u);
}

TEST_F(InputDevices, BufferedMouseGivesAxesButtonsAndWheel) {
  ASSERT_EQ(mouse_->SetBufferSize(16), DI_OK);
  ASSERT_EQ(mouse_->Acquire(), DI_OK);
  ws().UserPointer(Point{650, 500});  // from the desktop centre (640, 512)
  ws().UserButton(2, true);
  ws().UserWheel(-120);
  DeviceObjectData data[16];
  uint32_t count = 16;
  ASSERT_EQ(mouse_->GetDeviceData(data, &count), DI_OK);
  ASSERT_EQ(count, 4u);
  EXPECT_EQ(data[0].offset, DIMOFS_X);
  EXPECT_EQ(static_cast<int32_t>(data[0].data), 10);
  EXPECT_EQ(data[1].offset, DIMOFS_Y);
  EXPECT_EQ(static_cast<int32_t>(data[1].data), -12);
  EXPECT_EQ(data[0].sequence, data[1].sequence);  // one motion
  EXPECT_EQ(data[2].offset, DIMOFS_BUTTON2);
  EXPECT_EQ(data[2].data, 0x80u);
  EXPECT_EQ(data[3].offset, DIMOFS_Z);
  EXPECT_EQ(static_cast<int32_t>(data[3].data), -120);
}

TEST_F(InputDevices, UnbufferedDeviceRefusesBufferedReadsAndLossEmptiesTheBuffer) {
  DeviceObjectData data[4];
  uint32_t count = 4;
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  EXPECT_EQ(keyboard_->GetDeviceData(data, &count), DIERR_NOTBUFFERED);
  EXPECT_EQ(keyboard_->GetDeviceData(nullptr, &count), DIERR_INVALIDPARAM);

  keyboard_->Unacquire();
  ASSERT_EQ(keyboard_->SetBufferSize(4), DI_OK);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  ws().UserKey(DIK_A, true);
  ws().Input().LoseDevices();
  count = 4;
  EXPECT_EQ(keyboard_->GetDeviceData(data, &count), DIERR_INPUTLOST);
  EXPECT_EQ(count, 0u);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  count = 4;
  EXPECT_EQ(keyboard_->GetDeviceData(data, &count), DI_OK);
  EXPECT_EQ(count, 0u);  // nothing from before the loss
}

TEST_F(InputDevices, QueuedFailuresReachEachOperationOnce) {
  InputHub& hub = ws().Input();
  hub.FailNext(InputOp::Create, DIERR_GENERIC);
  std::unique_ptr<DirectInput8> other;
  EXPECT_EQ(DirectInput8Create(0, DIRECTINPUT_VERSION, &other), DIERR_GENERIC);
  EXPECT_EQ(DirectInput8Create(0, DIRECTINPUT_VERSION, &other), DI_OK);

  hub.FailNext(InputOp::CreateDevice, DIERR_GENERIC);
  std::unique_ptr<DirectInputDevice8> d;
  EXPECT_EQ(di_->CreateDevice(GUID_SysMouse, &d), DIERR_GENERIC);
  EXPECT_EQ(d, nullptr);

  hub.FailNext(InputOp::SetDataFormat, DIERR_GENERIC);
  ASSERT_EQ(di_->CreateDevice(GUID_SysMouse, &d), DI_OK);
  EXPECT_EQ(d->SetDataFormat(c_dfDIMouse2), DIERR_GENERIC);
  hub.FailNext(InputOp::SetCooperativeLevel, DIERR_GENERIC);
  EXPECT_EQ(d->SetCooperativeLevel(window_, 6), DIERR_GENERIC);
  hub.FailNext(InputOp::SetBufferSize, DIERR_GENERIC);
  EXPECT_EQ(d->SetBufferSize(4), DIERR_GENERIC);

  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  hub.FailNext(InputOp::GetDeviceState, DIERR_INPUTLOST);
  uint8_t keys[256];
  EXPECT_EQ(Keys(keys), DIERR_INPUTLOST);
  EXPECT_EQ(Keys(keys), DI_OK);
}

TEST(InputDeviceLifetime, DevicesOutlivingTheWindowSystemFailSafely) {
  std::unique_ptr<DirectInputDevice8> device;
  std::unique_ptr<DirectInput8> di;
  {
    headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    ASSERT_EQ(DirectInput8Create(0, DIRECTINPUT_VERSION, &di), DI_OK);
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &device), DI_OK);
    ASSERT_EQ(device->SetDataFormat(c_dfDIKeyboard), DI_OK);
  }
  uint8_t keys[256];
  EXPECT_TRUE(input::Failed(device->GetDeviceState(256, keys)));
  EXPECT_TRUE(input::Failed(device->Acquire()));
  std::unique_ptr<DirectInputDevice8> late;
  EXPECT_TRUE(input::Failed(di->CreateDevice(GUID_SysMouse, &late)));
}

}  // namespace
