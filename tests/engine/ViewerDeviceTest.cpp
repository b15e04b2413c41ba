#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::Recorder;
using viewertest::ViewerRig;

namespace {

size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
  size_t n = 0;
  for (const std::string& l : lines) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

TEST(ViewerDevice, ChangeDisplayModeMakesADeviceAndLogsTheBlock) {
  ViewerRig rig;
  Recorder objects;
  objects.Attach(rig.viewer.get());
  ASSERT_EQ(rig.Open(320, 240), 0);
  ASSERT_TRUE(rig.viewer->HasDevice());
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 2}));
  EXPECT_EQ(rig.Soft()->Width(), 320u);
  EXPECT_EQ(rig.Soft()->Height(), 240u);
  EXPECT_EQ(rig.viewer->GetClientRect().right, 320);
  EXPECT_EQ(rig.viewer->GetClientRect().bottom, 240);
  EXPECT_TRUE(rig.viewer->IsVSync());
  EXPECT_EQ(rig.viewer->GetPreviousSettings(), nullptr);  // freed after success

  const std::string block = viewertest::LogSection(rig.Log(), "Change Display Mode", "Change successful.");
  const std::string expected =
      "Change Display Mode         00:00:00.000\n"
      "    Display:                320 x 240 X8R8G8B8\n"
      "    Fullscreen:             No\n"
      "    Refresh:                Default\n"
      "    VSync:                  Yes\n"
      "    Vertex Processing:      Hardware\n"
      "    FPS:                    ???     \n"
      "Change successful.\n";
  EXPECT_EQ(block, expected);
  const std::string adapter = viewertest::LogSection(rig.Log(), "Initialize Adapter", "Initialize successful.");
  EXPECT_NE(adapter.find("    Description:            Software Rasteriser"), std::string::npos) << adapter;
  EXPECT_NE(adapter.find("    Desktop Display:        1280 x 1024 X8R8G8B8 (32 bit) 60 Hz"), std::string::npos)
      << adapter;
}

TEST(ViewerDevice, NullSettingsAndFailedChangesLeaveNothingBehind) {
  ViewerRig rig;
  EXPECT_EQ(rig.viewer->ChangeDisplayMode(nullptr), kViewerNoSettings);
  ASSERT_EQ(rig.Open(320, 240), 0);
  EXPECT_EQ(rig.viewer->ChangeDisplayMode(nullptr), 0);  // with a device

  // A device creation that fails releases device, adapter and settings.
  Recorder objects;
  objects.Attach(rig.viewer.get());
  DXLDEVICESETTINGS s = rig.Settings(640, 480, true);
  s.hardwareVertexProcessing = 0;  // forces a new device
  rig.viewer->GetSystem()->Faults().FailNext(gfx::Op::CreateDevice, gfx::D3DERR_NOTAVAILABLE);
  EXPECT_EQ(rig.viewer->ChangeDisplayMode(&s), gfx::D3DERR_NOTAVAILABLE);
  EXPECT_FALSE(rig.viewer->HasDevice());
  EXPECT_EQ(rig.viewer->GetAdapter(), nullptr);
  EXPECT_EQ(rig.viewer->GetSettings(), nullptr);
  EXPECT_EQ(rig.viewer->GetPreviousSettings(), nullptr);
  EXPECT_EQ(rig.viewer->GetLastResult(), gfx::D3DERR_NOTAVAILABLE);
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 3}));
  EXPECT_NE(rig.Log().find("ERROR! CreateDevice: D3DERR_NOTAVAILABLE"), std::string::npos);

  // The next change starts over and succeeds.
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_EQ(objects.codes.back(), 2u);
}

TEST(ViewerDevice, SettingsWithoutAWindowAreRefused) {
  ViewerRig rig;  // no main window: the device window is 0
  const DXLDEVICESETTINGS s = rig.Settings(320, 240, true);
  EXPECT_EQ(rig.viewer->ChangeDisplayMode(&s), kViewerInvalidWindow);
  EXPECT_FALSE(rig.viewer->HasDevice());
  EXPECT_NE(rig.Log().find("ERROR! Invalid Window Handle."), std::string::npos);
}

TEST(ViewerDevice, SameDeviceTypeResetsAndAnotherVertexProcessingRecreates) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  Recorder objects;
  objects.Attach(rig.viewer.get());
  const gfx::Device* first = rig.viewer->GetDevice();

  DXLDEVICESETTINGS s = rig.Settings(400, 300, true);
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_EQ(rig.viewer->GetDevice(), first);
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 4, 5}));
  EXPECT_EQ(rig.Soft()->Width(), 400u);

  s.hardwareVertexProcessing = 0;
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 4, 5, 3, 2}));
  EXPECT_NE(rig.Log().find("Vertex Processing:      Software"), std::string::npos);
}

TEST(ViewerDevice, LostDeviceWaitsThenResetsOnceAndRestoresStates) {
  ViewerRig rig;
  gfx::CallLog calls;
  rig.viewer->GetSystem()->RecordDeviceCalls(&calls);
  ASSERT_EQ(rig.Open(320, 240), 0);
  Recorder objects;
  objects.Attach(rig.viewer.get());

  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  rig.viewer->SetBlendMode(kBlendAlpha);
  rig.Soft()->SimulateLoss(3);
  EXPECT_EQ(rig.viewer->Present(), gfx::D3DERR_DEVICELOST);
  EXPECT_TRUE(rig.viewer->IsDeviceLost());
  EXPECT_EQ(rig.viewer->Present(), kViewerDeviceLost);
  EXPECT_EQ(rig.viewer->Clear(0), kViewerDeviceLost);

  calls.Clear();
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(rig.viewer->BeginFrame(), gfx::D3DERR_DEVICELOST) << frame;
    EXPECT_TRUE(rig.viewer->IsDeviceLost());
  }
  EXPECT_EQ(CountPrefix(calls.Lines(), "BeginScene"), 0u);
  EXPECT_EQ(CountPrefix(calls.Lines(), "Reset"), 0u);
  EXPECT_EQ(objects.codes, (std::vector<u32>{0}));

  calls.Clear();
  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  EXPECT_FALSE(rig.viewer->IsDeviceLost());
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 4, 5}));
  const auto& lines = calls.Lines();
  EXPECT_EQ(CountPrefix(lines, "Reset"), 1u);
  // The fixed states are rebuilt after the reset and before the scene begins.
  size_t reset = lines.size(), zenable = lines.size(), scene = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("Reset", 0) == 0 && reset == lines.size()) reset = i;
    if (lines[i] == "SetRenderState 7 0" && zenable == lines.size()) zenable = i;
    if (lines[i].rfind("BeginScene", 0) == 0) scene = i;
  }
  EXPECT_LT(reset, zenable);
  EXPECT_LT(zenable, scene);
  // The fixed states in their order: no depth (ZENABLE 7, ZWRITEENABLE 14,
  // ZFUNC 23 always), no alpha test (15), lighting (137), culling (22 none),
  // dithering (26) or clipping (136); then no scissor test (174).
  std::vector<std::string> fixed;
  bool scissor = false;
  for (size_t i = zenable; i < scene; ++i) {
    if (lines[i].rfind("SetRenderState", 0) == 0 && fixed.size() < 8) fixed.push_back(lines[i]);
    scissor = scissor || lines[i] == "SetRenderState 174 0";
  }
  EXPECT_EQ(fixed, (std::vector<std::string>{"SetRenderState 7 0", "SetRenderState 14 0", "SetRenderState 23 8",
                                             "SetRenderState 15 0", "SetRenderState 137 0", "SetRenderState 22 1",
                                             "SetRenderState 26 0", "SetRenderState 136 0"}));
  EXPECT_TRUE(scissor);
  EXPECT_EQ(rig.viewer->GetBlendMode(), kBlendNone);
  EXPECT_EQ(rig.viewer->Present(), 0);
}

TEST(ViewerDevice, ResetThatKeepsFailingLeavesTheDeviceLost) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  Recorder objects;
  objects.Attach(rig.viewer.get());
  rig.Soft()->SimulateLoss(0);
  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  EXPECT_EQ(rig.viewer->Present(), gfx::D3DERR_DEVICELOST);
  rig.Soft()->Faults().FailNext(gfx::Op::Reset, gfx::D3DERR_DEVICELOST);
  EXPECT_EQ(rig.viewer->BeginFrame(), gfx::D3DERR_DEVICENOTRESET);
  EXPECT_TRUE(rig.viewer->IsDeviceLost());
  EXPECT_NE(rig.Log().find("ERROR! Reset: D3DERR_DEVICELOST"), std::string::npos);
  EXPECT_EQ(rig.viewer->BeginFrame(), 0);
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 4, 4, 5}));
}

TEST(ViewerDevice, DriverInternalErrorCountsAsALoss) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  rig.Soft()->Faults().FailNext(gfx::Op::Present, gfx::D3DERR_DRIVERINTERNALERROR);
  EXPECT_EQ(rig.viewer->Present(), gfx::D3DERR_DRIVERINTERNALERROR);
  EXPECT_TRUE(rig.viewer->IsDeviceLost());
  // The device itself was never lost: the next frame resets it at once.
  EXPECT_EQ(rig.viewer->BeginFrame(), 0);
  EXPECT_FALSE(rig.viewer->IsDeviceLost());
}

TEST(ViewerDevice, WithoutADeviceFrameOperationsRefuse) {
  ViewerRig rig;
  EXPECT_EQ(rig.viewer->BeginFrame(), kViewerNoDevice);
  EXPECT_EQ(rig.viewer->Present(), kViewerNoDevice);
  EXPECT_EQ(rig.viewer->Clear(0), kViewerNoDevice);
  EXPECT_EQ(rig.viewer->ClearScreen(0), kViewerNoDevice);
  EXPECT_FALSE(rig.viewer->IsTextureFormatSupported(gfx::D3DFMT_A8R8G8B8));
  EXPECT_FALSE(rig.viewer->IsVSync());
}

TEST(ViewerDevice, ObjectsLeavingDuringANotificationSkipNoOne) {
  std::vector<std::string> journal;
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  Recorder a(&journal, "a"), b(&journal, "b"), c(&journal, "c");
  a.Attach(rig.viewer.get());
  b.Attach(rig.viewer.get());
  c.Attach(rig.viewer.get());
  a.leaveOn = kDeviceReleasing;
  b.leaveOn = kDeviceReleasing;
  journal.clear();
  rig.viewer->DestroyDevice();
  EXPECT_EQ(journal, (std::vector<std::string>{"a3", "b3", "c3"}));
  EXPECT_EQ(rig.viewer->GetDeviceObjectCount(), 1);

  // Added twice means told twice; removing takes the first entry only.
  rig.viewer->AddDeviceObject(&c);
  rig.viewer->AddDeviceObject(nullptr);
  EXPECT_EQ(rig.viewer->GetDeviceObjectCount(), 2);
  rig.viewer->RemoveDeviceObject(&c);
  rig.viewer->RemoveDeviceObject(&a);  // not there: nothing
  EXPECT_EQ(rig.viewer->GetDeviceObjectCount(), 1);
}

TEST(ViewerDevice, DestroyingTheViewerDetachesItsObjects) {
  Recorder objects;
  {
    ViewerRig rig;
    ASSERT_EQ(rig.Open(320, 240), 0);
    objects.Attach(rig.viewer.get());
  }
  EXPECT_EQ(objects.codes, (std::vector<u32>{0, 3, 1}));
}

TEST(ViewerDevice, FrameLimiterSleepsOnlyWithoutVerticalSync) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240, true, gfx::D3DPRESENT_INTERVAL_IMMEDIATE), 0);
  rig.viewer->EnableFrameCounter(true);
  ASSERT_TRUE(rig.viewer->IsFrameCounterRunning());
  const u32 start = rig.Clock().NowMs();
  // The first present finds nothing counted and does not wait.
  ASSERT_EQ(rig.viewer->BeginFrame(), 0);
  ASSERT_EQ(rig.viewer->Present(), 0);
  EXPECT_EQ(rig.Clock().NowMs(), start);
  // 20 frames counted: the 21st present returns no earlier than 100 ms in.
  for (int i = 1; i < 20; ++i) {
    rig.viewer->BeginFrame();
    rig.viewer->Present();
  }
  EXPECT_EQ(rig.Clock().NowMs() - start, 95u);
  rig.viewer->BeginFrame();
  rig.viewer->Present();
  EXPECT_EQ(rig.Clock().NowMs() - start, 100u);

  // With interval one nothing ever waits.
  ViewerRig synced;
  ASSERT_EQ(synced.Open(320, 240, true, gfx::D3DPRESENT_INTERVAL_ONE), 0);
  synced.viewer->EnableFrameCounter(true);
  const u32 t0 = synced.Clock().NowMs();
  for (int i = 0; i < 50; ++i) {
    synced.viewer->BeginFrame();
    synced.viewer->Present();
  }
  EXPECT_EQ(synced.Clock().NowMs(), t0);
}

TEST(ViewerDevice, FrameCounterCountsWholeSecondsAndFillsTheLog) {
  ViewerRig rig;
  ASSERT_EQ(rig.Open(320, 240), 0);
  rig.viewer->EnableFrameCounter(true);
  // 30 frames a second for two seconds.
  for (int second = 0; second < 2; ++second) {
    for (int i = 0; i < 30; ++i) {
      rig.viewer->BeginFrame();
      rig.viewer->Present();
      rig.Clock().Advance(i == 29 ? 1000 - 29 * 33 : 33);
    }
  }
  rig.viewer->BeginFrame();
  rig.viewer->Present();
  EXPECT_EQ(rig.viewer->GetFramesPerSecond(), 30u);

  // Paused time does not count towards the second.
  rig.viewer->PauseFrameCounter();
  rig.Clock().Advance(5000);
  rig.viewer->ResumeFrameCounter();
  rig.viewer->BeginFrame();
  rig.viewer->Present();
  EXPECT_EQ(rig.viewer->GetFramesPerSecond(), 30u);

  // A new mode closes the old block's FPS field with the average.
  const DXLDEVICESETTINGS s = rig.Settings(400, 300, true);
  ASSERT_EQ(rig.viewer->ChangeDisplayMode(&s), 0);
  const std::string first = viewertest::LogSection(rig.Log(), "Display:                320 x 240", "FPS:");
  EXPECT_NE(first.find("FPS:                    30.00   "), std::string::npos) << first;
}

}  // namespace
