#include <SDL.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SdlTestSupport.h"
#include "platform/os/Clipboard.h"
#include "platform/sdl2/SdlGraphicsHardware.h"
#include "testsupport/TempFolder.h"

using namespace plat;

namespace {

class SdlFrames : public sdltest::SdlFixture {
 protected:
  sdl2::SdlPresenter& presenter() { return session_->Presenter(); }

  // Shows a frame and reads back what it put in the window.
  std::vector<uint32_t> ShowAndCapture(const std::vector<uint32_t>& frame, uint32_t w, uint32_t h,
                                       uint32_t* outW, uint32_t* outH) {
    presenter().CaptureNext();
    presenter().ShowFrame(window_, frame.data(), w, h);
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(presenter().TakeCapture(&pixels, outW, outH)) << presenter().LastError();
    return pixels;
  }
};

uint32_t Gradient(uint32_t x, uint32_t y) { return 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40; }

TEST_F(SdlFrames, AFrameOfTheClientSizeIsShownPixelForPixel) {
  std::vector<uint32_t> frame(640 * 480);
  for (uint32_t y = 0; y < 480; ++y) {
    for (uint32_t x = 0; x < 640; ++x) frame[y * 640 + x] = Gradient(x, y);
  }
  uint32_t w = 0;
  uint32_t h = 0;
  const std::vector<uint32_t> shown = ShowAndCapture(frame, 640, 480, &w, &h);
  ASSERT_EQ(w, 640u);
  ASSERT_EQ(h, 480u);
  ASSERT_EQ(shown.size(), frame.size());
  EXPECT_EQ(shown, frame);
  EXPECT_EQ(presenter().FramesShown(), 1u);
  std::vector<uint32_t> again;
  EXPECT_FALSE(presenter().TakeCapture(&again, &w, &h));  // one capture per request
}

TEST_F(SdlFrames, OtherShapesAreScaledWithBarsAtTheSides) {
  // 240 x 240: red left half, blue right half; shown 480 x 480 in the middle.
  std::vector<uint32_t> frame(240 * 240);
  for (uint32_t y = 0; y < 240; ++y) {
    for (uint32_t x = 0; x < 240; ++x) frame[y * 240 + x] = x < 120 ? 0xFFFF0000u : 0xFF0000FFu;
  }
  uint32_t w = 0;
  uint32_t h = 0;
  const std::vector<uint32_t> shown = ShowAndCapture(frame, 240, 240, &w, &h);
  ASSERT_EQ(w, 640u);
  ASSERT_EQ(h, 480u);
  auto at = [&](uint32_t x, uint32_t y) { return shown[y * w + x]; };
  EXPECT_EQ(at(0, 240), 0xFF000000u);    // bar
  EXPECT_EQ(at(79, 10), 0xFF000000u);    // bar
  EXPECT_EQ(at(90, 240), 0xFFFF0000u);   // left half of the frame
  EXPECT_EQ(at(549, 470), 0xFF0000FFu);  // right half
  EXPECT_EQ(at(560, 240), 0xFF000000u);  // bar
}

TEST_F(SdlFrames, NothingIsDrawnForHiddenMinimisedOrUnknownWindows) {
  std::vector<uint32_t> frame(64 * 64, 0xFF00FF00u);
  presenter().ShowFrame(window_ + 0x1000, frame.data(), 64, 64);
  presenter().ShowFrame(window_, nullptr, 64, 64);
  presenter().ShowFrame(window_, frame.data(), 0, 64);
  EXPECT_EQ(presenter().FramesShown(), 0u);
  ws().ShowWindow(window_, SW_HIDE);
  presenter().ShowFrame(window_, frame.data(), 64, 64);
  EXPECT_EQ(presenter().FramesShown(), 0u);
  ws().ShowWindow(window_, SW_SHOW);
  presenter().ShowFrame(window_, frame.data(), 64, 64);  // shown again without a pump in between
  EXPECT_EQ(presenter().FramesShown(), 1u);
}

// The window's surface is lent for frames of its size once frames go into
// it: what is drawn there is shown as it stands (its alpha byte unused). A
// surface that went stale between lending and showing (the window resized)
// still shows the frame, scaled into the new one.
TEST_F(SdlFrames, TheSurfaceIsLentForFramesOfItsSizeAndShownUncopied) {
  std::vector<uint32_t> black(640 * 480, 0xFF000000u);
  EXPECT_EQ(presenter().LendTarget(window_, 640, 480), nullptr);  // no way to the window chosen yet
  presenter().ShowFrame(window_, black.data(), 640, 480);
  EXPECT_EQ(presenter().LendTarget(window_, 320, 240), nullptr);
  uint32_t* lent = presenter().LendTarget(window_, 640, 480);
  ASSERT_NE(lent, nullptr) << presenter().Choice();
  std::vector<uint32_t> expected(640 * 480);
  for (uint32_t y = 0; y < 480; ++y) {
    for (uint32_t x = 0; x < 640; ++x) {
      lent[y * 640 + x] = Gradient(x, y) & 0x00FFFFFFu;
      expected[y * 640 + x] = Gradient(x, y);
    }
  }
  presenter().CaptureNext();
  presenter().ShowFrame(window_, lent, 640, 480);
  std::vector<uint32_t> shown;
  uint32_t w = 0;
  uint32_t h = 0;
  ASSERT_TRUE(presenter().TakeCapture(&shown, &w, &h)) << presenter().LastError();
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(presenter().FramesShown(), 2u);
  lent = presenter().LendTarget(window_, 640, 480);
  ASSERT_NE(lent, nullptr);
  std::fill(lent, lent + 640 * 480, 0xFFFF0000u);
  SDL_SetWindowSize(session_->Backend().Mirror()->Get(), 320, 240);
  presenter().CaptureNext();
  presenter().ShowFrame(window_, lent, 640, 480);
  ASSERT_TRUE(presenter().TakeCapture(&shown, &w, &h)) << presenter().LastError();
  EXPECT_EQ(presenter().FramesShown(), 3u);
  EXPECT_EQ(w, 320u);
  ASSERT_EQ(shown.size(), static_cast<size_t>(w) * h);
  EXPECT_EQ(shown[shown.size() / 2], 0xFFFF0000u);
}

TEST_F(SdlFrames, VSyncFollowsTheSetting) {
  EXPECT_FALSE(presenter().VSync());
  presenter().SetVSync(true);
  EXPECT_TRUE(presenter().VSync());
  std::vector<uint32_t> frame(16 * 16, 0xFF123456u);
  presenter().ShowFrame(window_, frame.data(), 16, 16);
  EXPECT_EQ(presenter().FramesShown(), 1u);
}

// Graphics hardware is a device node of the kernel's rendering manager or of
// NVIDIA's driver; Mesa told to rasterise in software has none to use.
TEST(SdlGraphicsHardware, SeenThroughDeviceNodesUnlessSoftwareIsForced) {
  TempFolder dev;
  ASSERT_FALSE(dev.Path().empty());
  EXPECT_FALSE(sdl2::GraphicsHardwareSeen(dev.Path(), nullptr));
  EXPECT_FALSE(sdl2::GraphicsHardwareSeen(dev.File("missing"), nullptr));
  ASSERT_EQ(mkdir(dev.File("dri").c_str(), 0755), 0);
  dev.Put("dri/by-path", "");  // neither a card nor a render node
  dev.Put("dri/cardX", "");
  dev.Put("nvidia-modeset", "");
  EXPECT_FALSE(sdl2::GraphicsHardwareSeen(dev.Path(), nullptr));
  for (const char* node : {"dri/renderD128", "dri/card0", "nvidia0", "nvidiactl"}) {
    TempFolder one;
    ASSERT_EQ(mkdir(one.File("dri").c_str(), 0755), 0);
    one.Put(node, "");
    EXPECT_TRUE(sdl2::GraphicsHardwareSeen(one.Path(), nullptr)) << node;
    EXPECT_TRUE(sdl2::GraphicsHardwareSeen(one.Path(), "")) << node;
    EXPECT_TRUE(sdl2::GraphicsHardwareSeen(one.Path(), "0")) << node;
    EXPECT_TRUE(sdl2::GraphicsHardwareSeen(one.Path(), "False")) << node;
    EXPECT_FALSE(sdl2::GraphicsHardwareSeen(one.Path(), "1")) << node;
    EXPECT_FALSE(sdl2::GraphicsHardwareSeen(one.Path(), "true")) << node;
  }
}

// The way to a window is chosen from what the device folder shows: without
// graphics hardware the accelerated renderer is not even tried (making one
// would load an OpenGL of the processor's own only to throw it away); with
// it, it is tried as before (SDL's dummy driver has none to give, so both
// end on the window's surface).
TEST_F(SdlFrames, TheAcceleratedRendererIsTriedOnlyWithGraphicsHardware) {
  TempFolder dev;
  ASSERT_FALSE(dev.Path().empty());
  presenter().SetDeviceFolder(dev.Path());
  const std::vector<uint32_t> frame(64 * 64, 0xFF336699u);
  presenter().ShowFrame(window_, frame.data(), 64, 64);
  ASSERT_EQ(presenter().FramesShown(), 1u) << presenter().LastError();
  EXPECT_NE(presenter().Choice().find("no graphics hardware"), std::string::npos) << presenter().Choice();

  ASSERT_EQ(mkdir(dev.File("dri").c_str(), 0755), 0);
  dev.Put("dri/renderD128", "");
  ASSERT_EQ(unsetenv("LIBGL_ALWAYS_SOFTWARE"), 0);
  // The window's way is chosen again for the next main window.
  ws().DestroyWindow(window_);
  Drain();
  plat::Rect outer{0, 0, 320, 240};
  ws().AdjustWindowRect(&outer, sdltest::kWindowedStyle, false);
  window_ = ws().CreateWindowEx(0, u"SdlTestClass", u"Again", sdltest::kWindowedStyle, 0, 0, outer.Width(),
                                outer.Height(), 0, 0, GetModuleHandle());
  ASSERT_NE(window_, 0u);
  ws().ShowWindow(window_, SW_SHOW);
  Drain();
  presenter().ShowFrame(window_, frame.data(), 64, 64);
  EXPECT_EQ(presenter().FramesShown(), 2u) << presenter().LastError();
  EXPECT_EQ(presenter().Choice().find("no graphics hardware"), std::string::npos) << presenter().Choice();
  EXPECT_EQ(presenter().Choice().find("window surface"), 0u) << presenter().Choice();
}

class SdlClip : public sdltest::SdlFixture {};

TEST_F(SdlClip, TextRoundTripsThroughTheDesktopClipboard) {
  Clipboard& clip = GetClipboard();
  EXPECT_EQ(&clip, &session_->Clip());
  ASSERT_TRUE(clip.Open(window_));
  ASSERT_TRUE(clip.Empty());
  EXPECT_FALSE(clip.GetText().has_value());
  const std::u16string text = u"Scheune \u00fc \U0001F33D";
  ASSERT_TRUE(clip.SetText(text));
  ASSERT_TRUE(clip.Close());
  char* utf8 = SDL_GetClipboardText();
  ASSERT_NE(utf8, nullptr);
  EXPECT_STREQ(utf8, "Scheune \xC3\xBC \xF0\x9F\x8C\xBD");
  SDL_free(utf8);

  SDL_SetClipboardText("from \xE2\x82\xAC elsewhere");  // put there by another program
  ASSERT_TRUE(clip.Open(window_));
  EXPECT_EQ(clip.GetText(), u"from \u20ac elsewhere");
  clip.Close();
}

TEST_F(SdlClip, FailedOpenLeavesTheDesktopClipboardAlone) {
  SDL_SetClipboardText("keep");
  Clipboard& clip = GetClipboard();
  clip.FailNextOpen();
  EXPECT_FALSE(clip.Open(window_));
  EXPECT_FALSE(clip.SetText(u"lost"));
  char* utf8 = SDL_GetClipboardText();
  EXPECT_STREQ(utf8, "keep");
  SDL_free(utf8);
}

}  // namespace
