#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/os/WindowTypes.h"
#include "platform/sdl2/SdlMapping.h"

using namespace plat;
using namespace plat::sdl2;

namespace {

TEST(SdlMapping, FramesFitWithTheirAspectKept) {
  const FitRect same = FitFrame(640, 480, 640, 480);
  EXPECT_EQ(same.x, 0);
  EXPECT_EQ(same.w, 640);
  const FitRect wide = FitFrame(800, 600, 1920, 1080);  // bars left and right
  EXPECT_EQ(wide.x, 240);
  EXPECT_EQ(wide.y, 0);
  EXPECT_EQ(wide.w, 1440);
  EXPECT_EQ(wide.h, 1080);
  const FitRect tall = FitFrame(800, 400, 1024, 768);  // bars above and below
  EXPECT_EQ(tall.x, 0);
  EXPECT_EQ(tall.w, 1024);
  EXPECT_EQ(tall.h, 512);
  EXPECT_EQ(tall.y, 128);
  const FitRect scaled = FitFrame(800, 600, 1024, 768);  // same shape, larger
  EXPECT_EQ(scaled.x, 0);
  EXPECT_EQ(scaled.w, 1024);
  const FitRect none = FitFrame(0, 600, 1024, 768);
  EXPECT_EQ(none.w, 1024);
  EXPECT_EQ(none.h, 768);
  const FitRect emptyOut = FitFrame(800, 600, 0, -5);
  EXPECT_EQ(emptyOut.w, 0);
  EXPECT_EQ(emptyOut.h, 0);
}

TEST(SdlMapping, WindowPointsMapOntoTheClientThroughTheShownFrame) {
  const FitRect wide = FitFrame(800, 600, 1920, 1080);
  int32_t x = 240;
  int32_t y = 0;
  WindowPointToClient(wide, 800, 600, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  x = 1679;
  y = 1079;
  WindowPointToClient(wide, 800, 600, &x, &y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  x = 239;  // in the left bar: just outside the client area, not at its edge
  y = 540;
  WindowPointToClient(wide, 800, 600, &x, &y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, 300);
  x = 17;
  y = 33;
  WindowPointToClient(FitRect{0, 0, 640, 480}, 640, 480, &x, &y);  // unscaled: unchanged
  EXPECT_EQ(x, 17);
  EXPECT_EQ(y, 33);
  WindowPointToClient(FitRect{0, 0, 0, 0}, 640, 480, &x, &y);  // nothing shown: left alone
  EXPECT_EQ(x, 17);
}

TEST(SdlMapping, ButtonsAndWheel) {
  EXPECT_EQ(ButtonIndexFromSdl(SDL_BUTTON_LEFT), 0u);
  EXPECT_EQ(ButtonIndexFromSdl(SDL_BUTTON_RIGHT), 1u);
  EXPECT_EQ(ButtonIndexFromSdl(SDL_BUTTON_MIDDLE), 2u);
  EXPECT_EQ(ButtonIndexFromSdl(SDL_BUTTON_X1), 3u);
  EXPECT_EQ(ButtonIndexFromSdl(SDL_BUTTON_X2), 4u);
  EXPECT_EQ(ButtonIndexFromSdl(0), kNoButton);
  EXPECT_EQ(ButtonIndexFromSdl(9), kNoButton);
  EXPECT_EQ(WheelDeltaFromSdl(1, SDL_MOUSEWHEEL_NORMAL), WHEEL_DELTA);
  EXPECT_EQ(WheelDeltaFromSdl(-3, SDL_MOUSEWHEEL_NORMAL), -3 * WHEEL_DELTA);
  EXPECT_EQ(WheelDeltaFromSdl(2, SDL_MOUSEWHEEL_FLIPPED), -2 * WHEEL_DELTA);
  EXPECT_EQ(WheelDeltaFromSdl(0, SDL_MOUSEWHEEL_NORMAL), 0);
}

TEST(SdlMapping, ControlCharactersOfKeyPresses) {
  EXPECT_EQ(ControlCharFromKey(SDLK_BACKSPACE, KMOD_NONE), 0x08);
  EXPECT_EQ(ControlCharFromKey(SDLK_BACKSPACE, KMOD_LCTRL), 0x7F);
  EXPECT_EQ(ControlCharFromKey(SDLK_TAB, KMOD_NONE), 0x09);
  EXPECT_EQ(ControlCharFromKey(SDLK_RETURN, KMOD_NONE), 0x0D);
  EXPECT_EQ(ControlCharFromKey(SDLK_KP_ENTER, KMOD_NONE), 0x0D);
  EXPECT_EQ(ControlCharFromKey(SDLK_RETURN, KMOD_RCTRL), 0x0A);
  EXPECT_EQ(ControlCharFromKey(SDLK_ESCAPE, KMOD_NONE), 0x1B);
  EXPECT_EQ(ControlCharFromKey(SDLK_a, KMOD_LCTRL), 0x01);
  EXPECT_EQ(ControlCharFromKey(SDLK_z, KMOD_RCTRL | KMOD_SHIFT), 0x1A);
  // Printable keys type through text input; Alt combinations type nothing.
  EXPECT_EQ(ControlCharFromKey(SDLK_a, KMOD_NONE), 0);
  EXPECT_EQ(ControlCharFromKey(SDLK_1, KMOD_LCTRL), 0);
  EXPECT_EQ(ControlCharFromKey(SDLK_a, KMOD_LCTRL | KMOD_LALT), 0);
  EXPECT_EQ(ControlCharFromKey(SDLK_RETURN, KMOD_LALT), 0);
  EXPECT_EQ(ControlCharFromKey(SDLK_F1, KMOD_NONE), 0);
}

TEST(SdlMapping, SystemCursorsOfTheCursorIds) {
  EXPECT_EQ(SdlSystemCursorFromId(IDC_ARROW), SDL_SYSTEM_CURSOR_ARROW);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_IBEAM), SDL_SYSTEM_CURSOR_IBEAM);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_WAIT), SDL_SYSTEM_CURSOR_WAIT);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_CROSS), SDL_SYSTEM_CURSOR_CROSSHAIR);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_HAND), SDL_SYSTEM_CURSOR_HAND);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_APPSTARTING), SDL_SYSTEM_CURSOR_WAITARROW);
  EXPECT_EQ(SdlSystemCursorFromId(IDC_HELP), SDL_SYSTEM_CURSOR_ARROW);
  EXPECT_EQ(SdlSystemCursorFromId(0), -1);
  EXPECT_EQ(SdlSystemCursorFromId(32516), -1);
}

// Frames that keep to a rate on their own wait whole milliseconds, never
// less than the time left: a wait cut short would let the next frame show
// at once, twice the rate. Late frames (and the first) start afresh.
TEST(SdlMapping, FramesKeepToTheRateOnAverage) {
  constexpr uint64_t kFreq = 1000000, kPeriod = kFreq / 60;  // microsecond ticks
  EXPECT_EQ(PaceFrame(5000, 0, kPeriod, kFreq).waitMs, 0u);  // the first
  EXPECT_EQ(PaceFrame(5000, 0, kPeriod, kFreq).nextDue, 5000 + kPeriod);
  EXPECT_EQ(PaceFrame(10000, 21666, kPeriod, kFreq).waitMs, 12u);  // 11.666 ms, rounded up
  EXPECT_EQ(PaceFrame(10000, 21666, kPeriod, kFreq).nextDue, 21666 + kPeriod);
  EXPECT_EQ(PaceFrame(21000, 21500, kPeriod, kFreq).waitMs, 1u);     // half a millisecond early
  EXPECT_EQ(PaceFrame(30000, 21666, kPeriod, kFreq).nextDue, 30000 + kPeriod);  // late
  EXPECT_EQ(PaceFrame(0, 2 * kPeriod, kPeriod, kFreq).waitMs, 0u);  // further off than a frame: afresh
  EXPECT_EQ(PaceFrame(7, 9, kPeriod, 0).waitMs, 0u);
  // Ten seconds of frames that each take no, 3 or 15 ms of work and then their wait,
  // the wait ending on the millisecond it was given: sixty a second.
  for (uint64_t work : {0u, 3000u, 15000u}) {
    uint64_t now = 0, due = 0;
    int frames = 0;
    while (now < 10 * kFreq) {
      now += work;
      const FramePace pace = PaceFrame(now, due, kPeriod, kFreq);
      now += static_cast<uint64_t>(pace.waitMs) * 1000;
      due = pace.nextDue;
      ++frames;
    }
    EXPECT_GE(frames, 595) << work;
    EXPECT_LE(frames, 601) << work;
  }
}

}  // namespace
