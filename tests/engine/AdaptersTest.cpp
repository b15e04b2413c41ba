#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLD3DX.h"
#include "engine/DXLViewer.h"
#include "engine/image/D3DFormat.h"
#include "platform/os/MessageBox.h"
#include "testsupport/AdapterSettings.h"
#include "testsupport/FakeModules.h"
#include "testsupport/LogCapture.h"

namespace gfx = plat::gfx;

namespace {

std::u16string g_boxText, g_boxCaption;
void RecordBox(uintptr_t, std::u16string_view text, std::u16string_view caption, uint32_t) {
  g_boxText = text;
  g_boxCaption = caption;
}

gfx::DisplayMode Mode(u32 w, u32 h, u32 hz, u32 format = D3DFMT_X8R8G8B8) { return {w, h, hz, format}; }

class AdaptersTest : public ::testing::Test {
 protected:
  AdaptersTest() {
    modules_.libraries = {"d3dx9_27.dll"};
    gfx::SystemSettings& s = adapter_.settings;
    s.desktop = Mode(1280, 1024, 75);
    s.modes = {Mode(1024, 768, 85), Mode(800, 600, 60),          Mode(1024, 768, 60),
               Mode(1024, 768, 75), Mode(640, 480, 60, D3DFMT_R5G6B5), Mode(1280, 1024, 60),
               Mode(1152, 864, 60, D3DFMT_A8R8G8B8), Mode(1280, 1024, 75), Mode(1280, 720, 60)};
    g_boxText.clear();
  }

  std::vector<std::string> Sorted(DXLViewer& v) {
    std::vector<std::string> out;
    kis::list<DXLDISPLAYMODE*>* list = v.GetModeList();
    for (i32 i = 0; list && i < list->GetCount(); ++i) {
      const DXLDISPLAYMODE* m = list->Get(i);
      out.push_back(std::to_string(m->width) + "x" + std::to_string(m->height) + "x" + std::to_string(m->bits) +
                    "@" + std::to_string(m->refreshRate));
    }
    return out;
  }

  FakeModules modules_;
  plat::PlatformServicesScope installed_{{.messageBoxHook = RecordBox, .moduleProvider = &modules_}};
  LogCapture log_;
  AdapterSettings adapter_;
};

TEST_F(AdaptersTest, AdapterBlockInTheLog) {
  DXLViewer viewer;
  ASSERT_NE(viewer.GetDirect3D(), nullptr);
  EXPECT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), 0);
  const std::string text = log_.Text();
  const std::string block = text.substr(text.find("Initialize Adapter"));
  EXPECT_EQ(block,
            "Initialize Adapter          09:07:03.000\r\n"
            "    Description:            Software Rasteriser\r\n"
            "    DirectX Driver:         softraster\r\n"
            "    Driver version:         1.0.0.1\r\n"
            "    DeviceCaps:\r\n"
            "      DisplayCaps:\r\n"
            "        NoVSync:            Yes\r\n"
            "      TextureCaps:\r\n"
            "        SizeNonPowOf2:      No\r\n"
            "    Desktop Display:        1280 x 1024 X8R8G8B8 (32 bit) 75 Hz\r\n"
            "Initialize successful.\r\n");
  EXPECT_NE(text.find("Initialize DirectX"), std::string::npos);
  EXPECT_NE(text.find("    D3DX9:                  d3dx9_27.dll\r\nInitialize successful."), std::string::npos);

  // The same adapter again changes nothing and logs nothing.
  EXPECT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), 0);
  EXPECT_EQ(log_.Text(), text);
  EXPECT_NE(viewer.GetDeviceCaps(), nullptr);
  EXPECT_EQ(viewer.GetDeviceCaps()->noVSync, 1u);
}

TEST_F(AdaptersTest, FailedCapsShowTheMessageAndStayCached) {
  DXLViewer viewer;
  viewer.GetDirect3D()->Faults().FailNext(gfx::Op::GetDeviceCaps, gfx::E_FAIL);
  EXPECT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), kViewerCapsFailed);
  EXPECT_EQ(viewer.GetLastResult(), kViewerCapsFailed);
  EXPECT_EQ(viewer.GetCurrentAdapter(), nullptr);
  EXPECT_EQ(viewer.GetModeList(), nullptr);
  EXPECT_EQ(g_boxCaption, u"ERROR");
  EXPECT_EQ(g_boxText.rfind(u"No hardware acceleration detected.\n\n", 0), 0u);
  const std::string text = log_.Text();
  EXPECT_NE(text.find("    ERROR! GetDeviceCaps: E_FAIL - "), std::string::npos);
  EXPECT_EQ(text.find("\r\n    DeviceCaps:"), std::string::npos);
  EXPECT_EQ(text.find("Initialize successful.", text.find("Initialize Adapter")), std::string::npos);
  // The failed record is returned again without asking the system.
  EXPECT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), kViewerCapsFailed);
}

TEST_F(AdaptersTest, FailedIdentifierAndUnusableDesktop) {
  DXLViewer viewer;
  viewer.GetDirect3D()->Faults().FailNext(gfx::Op::GetAdapterIdentifier, gfx::D3DERR_INVALIDCALL);
  EXPECT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), kViewerIdentifierFailed);
  EXPECT_TRUE(log_.Has("    ERROR! GetAdapterIdentifier: D3DERR_INVALIDCALL - "));
  EXPECT_EQ(log_.Text().find("Description:"), std::string::npos);

  DXLViewer second;
  second.GetDirect3D()->Settings().desktop.format = 50;  // no display bit depth
  EXPECT_EQ(second.InitAdapter(0, gfx::D3DDEVTYPE_HAL), kViewerInvalidDisplayMode);
  EXPECT_TRUE(log_.Has("    ERROR! Invalid Display Mode."));
  DXLADAPTERINFO* record = nullptr;
  EXPECT_EQ(second.GetAdapterInfo(0, gfx::D3DDEVTYPE_HAL, &record), kViewerInvalidDisplayMode);
  EXPECT_EQ(record->sortedModes.GetCount(), 0);
  EXPECT_EQ(record->rawModes.GetCount(), 0);
}

TEST_F(AdaptersTest, ModesSortedAndFiltered) {
  DXLViewer viewer;
  ASSERT_EQ(viewer.InitAdapter(0, gfx::D3DDEVTYPE_HAL), 0);
  EXPECT_EQ(Sorted(viewer), (std::vector<std::string>{"640x480x16@60", "800x600x32@60", "1024x768x32@60",
                                                      "1024x768x32@75", "1024x768x32@85", "1152x864x32@60",
                                                      "1280x720x32@60", "1280x1024x32@60", "1280x1024x32@75"}));
  const DXLDISPLAYMODE* m = viewer.GetModeList()->Get(1);
  EXPECT_EQ(m->aspectX, 4u);
  EXPECT_EQ(m->aspectY, 3u);

  // A filter installed afterwards rebuilds the list at once; the same one again does nothing.
  static int calls = 0;
  auto bigX8 = [](DXLViewer*, kis::list<DXLDISPLAYMODE*>*, const DXLDISPLAYMODE* c) {
    ++calls;
    return c->format == D3DFMT_X8R8G8B8 && c->width >= 1024;
  };
  viewer.SetModeFilter(bigX8);
  EXPECT_EQ(calls, 9);
  EXPECT_EQ(Sorted(viewer).front(), "1024x768x32@60");
  EXPECT_EQ(Sorted(viewer).size(), 6u);
  viewer.SetModeFilter(bigX8);
  EXPECT_EQ(calls, 9);
  viewer.SetModeFilter(nullptr);
  EXPECT_EQ(Sorted(viewer).size(), 9u);
}

TEST_F(AdaptersTest, EqualModesGoBeforeTheListedOne) {
  adapter_.settings.modes = {Mode(800, 600, 60), Mode(800, 600, 60), Mode(800, 600, 60, D3DFMT_A8R8G8B8)};
  DXLViewer viewer;
  DXLADAPTERINFO* record = nullptr;
  ASSERT_EQ(viewer.GetAdapterInfo(0, gfx::D3DDEVTYPE_HAL, &record), 0);
  // Enumeration runs X8R8G8B8 first, then A8R8G8B8: raw 0, 1, 2; each equal newcomer goes first.
  EXPECT_EQ(record->sortedModes.Get(0), record->rawModes.Get(2));
  EXPECT_EQ(record->sortedModes.Get(1), record->rawModes.Get(1));
  EXPECT_EQ(record->sortedModes.Get(2), record->rawModes.Get(0));
}

DXLDEVICESETTINGS Request(u32 w, u32 h, bool windowed) {
  DXLDEVICESETTINGS q{};
  q.adapter = 0;
  q.deviceType = gfx::D3DDEVTYPE_HAL;
  q.adapterFormat = D3DFMT_X8R8G8B8;
  q.present.backBufferWidth = w;
  q.present.backBufferHeight = h;
  q.present.backBufferFormat = D3DFMT_X8R8G8B8;
  q.present.windowed = windowed ? 1 : 0;
  q.present.swapEffect = gfx::D3DSWAPEFFECT_DISCARD;
  q.present.deviceWindow = 77;
  return q;
}

DXLMATCHRULES AllRules(u32 value) { return DXLMATCHRULES{value, value, value, value, value, value, value,
                                                         value, value, value, value, value, value}; }

TEST_F(AdaptersTest, ChooseFormatsDefaults) {
  DXLViewer viewer;
  DXLDEVICESETTINGS s;
  viewer.ChooseFormats(&s, nullptr, nullptr);
  EXPECT_EQ(s.adapter, 0u);
  EXPECT_EQ(s.deviceType, 1u);
  EXPECT_EQ(s.hardwareVertexProcessing, 1u);
  EXPECT_EQ(s.adapterFormat, 22u);
  EXPECT_EQ(s.present.backBufferWidth, 800u);
  EXPECT_EQ(s.present.backBufferHeight, 600u);
  EXPECT_EQ(s.present.backBufferFormat, 22u);
  EXPECT_EQ(s.present.swapEffect, 1u);
  EXPECT_EQ(s.present.deviceWindow, 0u);
  EXPECT_EQ(s.present.windowed, 1u);
  EXPECT_EQ(s.present.enableAutoDepthStencil, 1u);
  EXPECT_EQ(s.present.autoDepthStencilFormat, 80u);
  EXPECT_EQ(s.present.flags, 2u);
  EXPECT_EQ(s.present.fullScreenRefreshRate, 0u);
  EXPECT_EQ(s.present.presentationInterval, 1u);

  // A full-screen request with default size takes the desktop size; interval DEFAULT.
  DXLDEVICESETTINGS q = Request(640, 480, false);
  DXLMATCHRULES rules = AllRules(0);
  rules.windowed = 1;
  viewer.ChooseFormats(&s, &q, &rules);
  EXPECT_EQ(s.present.windowed, 0u);
  EXPECT_EQ(s.present.backBufferWidth, 1280u);
  EXPECT_EQ(s.present.backBufferHeight, 1024u);
  EXPECT_EQ(s.present.presentationInterval, 0u);
  EXPECT_EQ(s.present.deviceWindow, 77u);

  adapter_.settings.hardwareVertexProcessing = false;
  DXLViewer software;
  software.ChooseFormats(&s, nullptr, nullptr);
  EXPECT_EQ(s.hardwareVertexProcessing, 0u);
}

TEST_F(AdaptersTest, ChooseFormatsCheckedRules) {
  DXLViewer viewer;
  DXLDEVICESETTINGS s;
  const DXLMATCHRULES checked = AllRules(1);

  DXLDEVICESETTINGS q = Request(200, 100, true);
  viewer.ChooseFormats(&s, &q, &checked);
  EXPECT_EQ(s.present.backBufferWidth, 320u);
  EXPECT_EQ(s.present.backBufferHeight, 240u);
  EXPECT_EQ(s.present.fullScreenRefreshRate, 0u);

  // Full screen: a size listed only in another format falls back to the desktop size.
  q = Request(1152, 864, false);
  viewer.ChooseFormats(&s, &q, &checked);
  EXPECT_EQ(s.present.backBufferWidth, 1280u);
  EXPECT_EQ(s.present.backBufferHeight, 1024u);
  q = Request(1024, 768, false);
  q.present.fullScreenRefreshRate = 70;
  q.present.presentationInterval = gfx::D3DPRESENT_INTERVAL_IMMEDIATE;
  q.present.autoDepthStencilFormat = 75;
  viewer.ChooseFormats(&s, &q, &checked);
  EXPECT_EQ(s.present.backBufferWidth, 1024u);
  EXPECT_EQ(s.present.fullScreenRefreshRate, 75u);  // highest listed, capped at the desktop's 75
  EXPECT_EQ(s.present.presentationInterval, gfx::D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(s.present.autoDepthStencilFormat, 75u);

  // Values the adapter refuses fall back.
  q.adapter = 3;
  q.deviceType = 2;
  q.adapterFormat = D3DFMT_R5G6B5;
  q.present.backBufferFormat = D3DFMT_R5G6B5;
  q.present.autoDepthStencilFormat = 99;
  q.present.presentationInterval = 2;
  q.present.multiSampleType = 4;
  q.present.multiSampleQuality = 3;
  viewer.ChooseFormats(&s, &q, &checked);
  EXPECT_EQ(s.adapter, 0u);
  EXPECT_EQ(s.deviceType, 1u);
  EXPECT_EQ(s.adapterFormat, 22u);
  EXPECT_EQ(s.present.backBufferFormat, 22u);
  EXPECT_EQ(s.present.autoDepthStencilFormat, 80u);
  EXPECT_EQ(s.present.presentationInterval, 0u);
  EXPECT_EQ(s.present.multiSampleType, 0u);
  EXPECT_EQ(s.present.multiSampleQuality, 0u);

  // Rule 1 on a multisample type that is offered clamps the quality.
  q = Request(800, 600, true);
  q.present.multiSampleQuality = 5;
  viewer.ChooseFormats(&s, &q, &checked);
  EXPECT_EQ(s.present.multiSampleQuality, 0u);

  // Other rule values take the request unchecked.
  q.adapterFormat = D3DFMT_R5G6B5;
  q.present.presentationInterval = 2;
  const DXLMATCHRULES unchecked = AllRules(2);
  viewer.ChooseFormats(&s, &q, &unchecked);
  EXPECT_EQ(s.adapterFormat, u32{D3DFMT_R5G6B5});
  EXPECT_EQ(s.present.presentationInterval, 2u);
  EXPECT_EQ(s.present.multiSampleQuality, 5u);
}

TEST_F(AdaptersTest, ChooseFormatsWithoutGraphicsSystemCopiesTheRequest) {
  gfx::FailNextSystemCreate();
  DXLViewer viewer;
  EXPECT_EQ(viewer.GetDirect3D(), nullptr);
  EXPECT_EQ(viewer.GetLastResult(), kViewerNoDirect3D);
  EXPECT_TRUE(log_.Has("    ERROR! Direct3D create failed!"));
  EXPECT_EQ(viewer.InitAdapter(0, 1), kViewerNoSystem);
  DXLDEVICESETTINGS q = Request(123, 45, false), s;
  viewer.ChooseFormats(&s, &q, nullptr);
  EXPECT_EQ(s.present.backBufferWidth, 123u);
  EXPECT_EQ(s.present.windowed, 0u);
}

TEST_F(AdaptersTest, FindRefreshRate) {
  DXLViewer viewer;
  DXLADAPTERINFO* record = nullptr;
  ASSERT_EQ(viewer.GetAdapterInfo(0, 1, &record), 0);
  EXPECT_EQ(viewer.FindRefreshRate(record, 1024, 768, 22, 85), 85u);  // listed exactly
  EXPECT_EQ(viewer.FindRefreshRate(record, 1024, 768, 22, 70), 75u);
  EXPECT_EQ(viewer.FindRefreshRate(record, 1024, 768, 22, 0), 0u);
  EXPECT_EQ(viewer.FindRefreshRate(record, 1024, 768, 21, 60), 0u);
  EXPECT_EQ(viewer.FindRefreshRate(nullptr, 1024, 768, 22, 60), 0u);
}

TEST_F(AdaptersTest, FindDisplayMode) {
  adapter_.settings.modes.push_back(Mode(1024, 768, 60, D3DFMT_A8R8G8B8));
  adapter_.settings.modes.push_back(Mode(800, 600, 60, D3DFMT_X1R5G5B5));
  adapter_.settings.modes.push_back(Mode(800, 600, 60, D3DFMT_R5G6B5));
  DXLViewer viewer;
  DXLDISPLAYMODE out{};
  EXPECT_FALSE(viewer.FindAdapterDisplayMode(&out, nullptr, nullptr));  // no adapter yet
  ASSERT_EQ(viewer.InitAdapter(0, 1), 0);

  // No request: the desktop; refresh rule 0 takes the requested rate.
  EXPECT_TRUE(viewer.FindAdapterDisplayMode(&out, nullptr, nullptr));
  EXPECT_EQ(out.width, 1280u);
  EXPECT_EQ(out.height, 1024u);
  EXPECT_EQ(out.refreshRate, 75u);

  // No larger than 1100 x 800, same bit depth, refresh no higher than 80: best is 1024 x 768 @ 75.
  DXLDISPLAYMODE want = DXLMakeDisplayMode(1100, 800, 80, D3DFMT_X8R8G8B8);
  DXLMODEMATCH match{2, 0, 2, 1};
  ASSERT_TRUE(viewer.FindAdapterDisplayMode(&out, &want, &match));
  EXPECT_EQ(out.width, 1024u);
  EXPECT_EQ(out.refreshRate, 75u);
  EXPECT_EQ(out.format, u32{D3DFMT_X8R8G8B8});  // ranked before A8R8G8B8 at the same size

  // Exact size and equal refresh that is not listed: nothing.
  want = DXLMakeDisplayMode(1024, 768, 70, D3DFMT_X8R8G8B8);
  match = DXLMODEMATCH{1, 0, 1, 0};
  EXPECT_FALSE(viewer.FindAdapterDisplayMode(&out, &want, &match));

  // Same aspect (16:9) at any size.
  want = DXLMakeDisplayMode(1920, 1080, 0, D3DFMT_X8R8G8B8);
  match = DXLMODEMATCH{0, 3, 0, 0};
  ASSERT_TRUE(viewer.FindAdapterDisplayMode(&out, &want, &match));
  EXPECT_EQ(out.width, 1280u);
  EXPECT_EQ(out.height, 720u);
  match.aspect = 1;
  EXPECT_FALSE(viewer.FindAdapterDisplayMode(&out, &want, &match));

  // A 16-bit request at 800 x 600 with depth no deeper: R5G6B5 ranks before X1R5G5B5.
  want = DXLMakeDisplayMode(800, 600, 60, D3DFMT_X1R5G5B5);
  match = DXLMODEMATCH{1, 0, 3, 2};
  ASSERT_TRUE(viewer.FindAdapterDisplayMode(&out, &want, &match));
  EXPECT_EQ(out.format, u32{D3DFMT_R5G6B5});
  match.format = 0;
  ASSERT_TRUE(viewer.FindAdapterDisplayMode(&out, &want, &match));
  EXPECT_EQ(out.format, u32{D3DFMT_X1R5G5B5});
}

}  // namespace
