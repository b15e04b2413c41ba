#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLD3DX.h"
#include "engine/DXLDeviceCaps.h"
#include "engine/DXLDirectXVersion.h"
#include "engine/DXLSamplerFilters.h"
#include "engine/DXLSystemInfo.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/FakeModules.h"
#include "testsupport/LogCapture.h"

namespace {

constexpr i32 kFail = static_cast<i32>(0x80004005u);

class D3DXLoaderTest : public ::testing::Test {
 protected:
  void TearDown() override { DXLUnloadD3DX(); }
  FakeModules modules_;
  plat::PlatformServicesScope installed_{{.moduleProvider = &modules_}};
  LogCapture log_;
};

TEST_F(D3DXLoaderTest, SearchesTheVersionsInOrder) {
  EXPECT_EQ(DXLLoadD3DX(), kFail);
  std::vector<std::string> expected = {"d3dx9_27.dll", "d3dx9_26.dll", "d3dx9_25.dll", "d3dx9_24.dll"};
  for (int v = 38; v >= 28; --v) expected.push_back("d3dx9_" + std::to_string(v) + ".dll");
  EXPECT_EQ(modules_.asked, expected);
  EXPECT_FALSE(DXLIsD3DXLoaded());
  EXPECT_TRUE(log_.Has("ERROR! DirectX library d3dx9_xx.dll not found."));
}

TEST_F(D3DXLoaderTest, VersionTwentySevenWinsAndTwentyFourBeatsTheLaterOnes) {
  modules_.libraries = {"d3dx9_38.dll", "d3dx9_27.dll"};
  EXPECT_EQ(DXLLoadD3DX(), 0);
  EXPECT_STREQ(DXLGetD3DXFileName(), "d3dx9_27.dll");
  EXPECT_TRUE(log_.Has("D3DX9:                      d3dx9_27.dll"));

  modules_.libraries = {"d3dx9_28.dll", "d3dx9_33.dll", "d3dx9_38.dll", "d3dx9_24.dll"};
  EXPECT_EQ(DXLLoadD3DX(), 0);
  EXPECT_STREQ(DXLGetD3DXFileName(), "d3dx9_24.dll");
  EXPECT_EQ(modules_.freed.size(), 1u);  // the first library was freed before searching again

  modules_.libraries = {"d3dx9_28.dll", "d3dx9_33.dll"};
  EXPECT_EQ(DXLLoadD3DX(), 0);
  EXPECT_STREQ(DXLGetD3DXFileName(), "d3dx9_33.dll");
  EXPECT_NE(DXLGetD3DX().CreateTextureFromFileInMemoryEx, nullptr);
}

TEST_F(D3DXLoaderTest, MissingFunctionsAreLoggedAndTheRestStillFetched) {
  modules_.libraries = {"d3dx9_30.dll"};
  modules_.missing = {"D3DXCreateFontIndirectA", "D3DXMatrixOrthoOffCenterLH"};
  EXPECT_EQ(DXLLoadD3DX(), kFail);
  EXPECT_TRUE(DXLIsD3DXLoaded());
  EXPECT_EQ(DXLGetD3DX().MatrixOrthoOffCenterLH, nullptr);
  EXPECT_EQ(DXLGetD3DX().CreateFontIndirectA, nullptr);
  EXPECT_NE(DXLGetD3DX().CreateTextureFromFileInMemoryEx, nullptr);
  EXPECT_NE(DXLGetD3DX().CreateFontIndirectW, nullptr);
  EXPECT_TRUE(log_.Has("ERROR! Proc not found: D3DXMatrixOrthoOffCenterLH"));
  EXPECT_TRUE(log_.Has("ERROR! Proc not found: D3DXCreateFontIndirectA"));
  DXLFreeD3DX();
  EXPECT_FALSE(DXLIsD3DXLoaded());
  EXPECT_EQ(DXLGetD3DX().CreateFontIndirectW, nullptr);
}

u32 Version(std::u16string* text) {
  u32 v = 0xDEAD;
  wchar buffer[16];
  EXPECT_EQ(DXLGetDirectXVersion(&v, buffer, 16), 0);
  *text = buffer;
  return v;
}

TEST_F(D3DXLoaderTest, DiagnosticsDecideWhenTheyGiveAllThree) {
  modules_.hasDiagnostics = true;
  modules_.diagnostics = {true, 9, true, 0, true, u"C"};
  std::u16string text;
  EXPECT_EQ(Version(&text), 0x00090003u);
  EXPECT_EQ(text, u"9.0c");

  modules_.diagnostics.letter = u" ";
  EXPECT_EQ(Version(&text), 0x00090000u);
  EXPECT_EQ(text, u"9.0");

  // An empty letter fails the diagnostics: the files decide.
  modules_.diagnostics.letter = u"";
  modules_.files[u"ddraw.dll"] = DXLFileVersion(4, 7, 0, 700);
  EXPECT_EQ(Version(&text), 0x00070000u);
  EXPECT_EQ(text, u"7.0");

  modules_.diagnostics = {true, 9, false, 0, true, u"c"};  // minor of the wrong type
  EXPECT_EQ(Version(&text), 0x00070000u);
}

TEST_F(D3DXLoaderTest, FileVersionTable) {
  std::u16string text;
  EXPECT_EQ(Version(&text), 0u);
  EXPECT_EQ(text, u"0.0");

  modules_.files[u"ddraw.dll"] = DXLFileVersion(4, 6, 0, 436);
  modules_.files[u"dplayx.dll"] = DXLFileVersion(4, 6, 3, 518);
  EXPECT_EQ(Version(&text), 0x00060101u);
  EXPECT_EQ(text, u"6.1a");

  // The 4.x line and the 5.x line have their own thresholds.
  modules_.files[u"ddraw.dll"] = DXLFileVersion(4, 8, 0, 400);
  EXPECT_EQ(Version(&text), 0x00080000u);
  modules_.files[u"ddraw.dll"] = DXLFileVersion(5, 1, 2258, 399);
  modules_.files.erase(u"dplayx.dll");
  EXPECT_EQ(Version(&text), 0x00070000u);
  modules_.files[u"d3d8.dll"] = DXLFileVersion(5, 1, 2600, 901);
  EXPECT_EQ(text, u"7.0");
  EXPECT_EQ(Version(&text), 0x00080101u);
  modules_.files[u"mpg2splt.dll"] = DXLFileVersion(6, 3, 1, 885);
  modules_.files[u"dpnet.dll"] = DXLFileVersion(4, 9, 0, 134);
  EXPECT_EQ(Version(&text), 0x00080200u);
  EXPECT_EQ(text, u"8.2");
  modules_.files[u"d3d9.dll"] = DXLFileVersion(0, 0, 0, 1);
  EXPECT_EQ(Version(&text), 0x00090000u);
}

TEST_F(D3DXLoaderTest, ShortTextBufferIsCutAndNullOutputsAreFine) {
  modules_.hasDiagnostics = true;
  modules_.diagnostics = {true, 10, true, 12, true, u"b"};
  wchar text[4];
  u32 v = 0;
  EXPECT_EQ(DXLGetDirectXVersion(&v, text, 4), 0);
  EXPECT_EQ(std::u16string(text), u"10.");
  EXPECT_EQ(v, 0x000A0C02u);
  EXPECT_EQ(DXLGetDirectXVersion(nullptr, nullptr, 0), 0);
}

TEST_F(D3DXLoaderTest, SystemInfoLinesThenTheLibrary) {
  modules_.libraries = {"d3dx9_27.dll"};
  modules_.hasDiagnostics = true;
  modules_.diagnostics = {true, 9, true, 0, true, u"c"};
  EXPECT_EQ(DXLLogSystemInfo(), 0);
  EXPECT_TRUE(log_.Has("System:                     Unknown"));
  EXPECT_TRUE(log_.Has("DirectX version:            9.0c"));
  EXPECT_TRUE(log_.Has("D3DX9:                      d3dx9_27.dll"));

  modules_.hasDiagnostics = false;
  modules_.libraries.clear();
  EXPECT_EQ(DXLLogSystemInfo(), kFail);
  EXPECT_TRUE(log_.Has("DirectX version:            Not installed"));
}

TEST(DefaultModules, TheSearchFindsThePlatformStandInAndItsVersion) {
  EXPECT_EQ(DXLLoadD3DX(), 0);
  EXPECT_STREQ(DXLGetD3DXFileName(), plat::kGfxUtilityModuleName);
  EXPECT_EQ(DXLGetD3DX().CreateTexture, &plat::gfx::D3DXCreateTexture);
  EXPECT_EQ(DXLGetD3DX().CreateTextureFromFileInMemoryEx, &plat::gfx::D3DXCreateTextureFromFileInMemoryEx);
  plat::gfx::Matrix m{};
  ASSERT_EQ(DXLGetD3DX().MatrixOrthoOffCenterLH(&m, 0, 800, 600, 0, 0, 0.1f), &m);
  EXPECT_FLOAT_EQ(m.m[0][0], 2.0f / 800);
  u32 v = 0;
  wchar text[8];
  EXPECT_EQ(DXLGetDirectXVersion(&v, text, 8), 0);
  EXPECT_EQ(v, 0x00090003u);
  EXPECT_EQ(std::u16string(text), u"9.0c");
  DXLUnloadD3DX();
}

TEST(DeviceHelpers, FilterSettersAndCapsWords) {
  plat::gfx::PresentParams params{};
  params.backBufferWidth = params.backBufferHeight = 8;
  params.backBufferFormat = plat::gfx::D3DFMT_X8R8G8B8;
  params.windowed = 1;
  plat::gfx::SoftDevice device(params);
  u32 mag = 0, min = 0;
  DXLSetMagFilter(&device, true);
  DXLSetMinFilter(&device, false);
  DXLSetMagFilter(nullptr, true);
  device.GetSamplerState(0, plat::gfx::D3DSAMP_MAGFILTER, &mag);
  device.GetSamplerState(0, plat::gfx::D3DSAMP_MINFILTER, &min);
  EXPECT_EQ(mag, 2u);
  EXPECT_EQ(min, 1u);
  DXLSetMagFilter(&device, false);
  device.GetSamplerState(0, plat::gfx::D3DSAMP_MAGFILTER, &mag);
  EXPECT_EQ(mag, 1u);

  plat::gfx::Caps caps{};
  caps.presentationIntervals = plat::gfx::D3DPRESENT_INTERVAL_ONE | plat::gfx::D3DPRESENT_INTERVAL_IMMEDIATE;
  caps.primitiveMiscCaps = 0x80;
  DXLDEVICECAPS block;
  DXLFillDeviceCaps(&block, caps);
  EXPECT_EQ(block.noVSync, 1u);
  EXPECT_EQ(block.colorWriteEnable, 1u);
  EXPECT_EQ(block.sizeNonPow2, 0u);
  EXPECT_EQ(block.format16, 0u);  // the software adapter has no 16-bit display formats
  caps.presentationIntervals = plat::gfx::D3DPRESENT_INTERVAL_ONE;
  caps.primitiveMiscCaps = 0;
  plat::gfx::FailNextSystemCreate();
  DXLFillDeviceCaps(&block, caps);
  EXPECT_EQ(block.noVSync, 0u);
  EXPECT_EQ(block.colorWriteEnable, 0u);
}

}  // namespace
