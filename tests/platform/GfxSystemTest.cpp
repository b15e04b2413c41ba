// The system object: adapter description, modes, checks, device creation
// and its failures.
#include "GfxTestRig.h"
#include "testsupport/AdapterSettings.h"

using namespace gfxtest;

TEST(GfxSystem, AdapterIdentifierCapsAndDesktop) {
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(system->GetAdapterCount(), 1u);
  AdapterIdentifier id{};
  ASSERT_EQ(system->GetAdapterIdentifier(0, 0, &id), D3D_OK);
  EXPECT_STRNE(id.description, "");
  EXPECT_EQ(system->GetAdapterIdentifier(1, 0, &id), D3DERR_INVALIDCALL);
  Caps caps{};
  ASSERT_EQ(system->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_TRUE(caps.devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  EXPECT_TRUE(caps.presentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_TRUE(caps.presentationIntervals & D3DPRESENT_INTERVAL_ONE);
  EXPECT_TRUE(caps.primitiveMiscCaps & D3DPMISCCAPS_COLORWRITEENABLE);
  EXPECT_EQ(system->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  DisplayMode desktop{};
  ASSERT_EQ(system->GetAdapterDisplayMode(0, &desktop), D3D_OK);
  EXPECT_EQ(desktop.width, 1280u);
  EXPECT_EQ(desktop.format, D3DFMT_X8R8G8B8);
}

TEST(GfxSystem, ModeListPerFormat) {
  AdapterSettings adapter;
  adapter.settings.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8},
                            {640, 480, 60, D3DFMT_R5G6B5}};
  adapter.settings.desktop = {1024, 768, 75, D3DFMT_X8R8G8B8};
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  EXPECT_EQ(system->GetAdapterModeCount(0, D3DFMT_X8R8G8B8), 2u);
  EXPECT_EQ(system->GetAdapterModeCount(0, D3DFMT_A8R8G8B8), 0u);
  EXPECT_EQ(system->GetAdapterModeCount(0, D3DFMT_R5G6B5), 1u);
  DisplayMode m{};
  ASSERT_EQ(system->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 1, &m), D3D_OK);
  EXPECT_EQ(m.width, 1024u);
  EXPECT_EQ(system->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 2, &m), D3DERR_INVALIDCALL);
  system->Faults().FailNext(Op::EnumAdapterModes, D3DERR_DRIVERINTERNALERROR);
  EXPECT_EQ(system->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 0, &m), D3DERR_DRIVERINTERNALERROR);
  EXPECT_EQ(system->EnumAdapterModes(0, D3DFMT_X8R8G8B8, 0, &m), D3D_OK);
  ASSERT_EQ(system->GetAdapterDisplayMode(0, &m), D3D_OK);
  EXPECT_EQ(m.refreshRate, 75u);
}

TEST(GfxSystem, DeviceTypeFormatAndMultisampleChecks) {
  AdapterSettings adapter;
  adapter.settings.refusedTextureFormats = {D3DFMT_A8L8};
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  EXPECT_EQ(system->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true), D3D_OK);
  EXPECT_EQ(system->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, false), D3D_OK);
  EXPECT_EQ(system->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, false), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true), D3DERR_NOTAVAILABLE);
  for (uint32_t f : {21u, 22u, 23u, 24u, 25u, 26u, 28u, 50u, 52u, D3DFMT_DXT1, D3DFMT_DXT3}) {
    EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, f), D3D_OK) << f;
  }
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8L8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, 35),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                      D3DFMT_D24S8),
            D3D_OK);
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                      D3DFMT_A8R8G8B8),
            D3DERR_NOTAVAILABLE);
  uint32_t quality = 9;
  EXPECT_EQ(system->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, true, 0, &quality), D3D_OK);
  EXPECT_EQ(quality, 1u);
  EXPECT_EQ(system->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, true, 4, &quality),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(quality, 0u);
}

TEST(GfxSystem, CreateDeviceValidatesAndCanBeMadeToFail) {
  AdapterSettings adapter;
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  std::unique_ptr<Device> device;
  PresentParams p = Params(320, 240);
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, 0, &p, &device), D3DERR_INVALIDCALL);  // no VP flag
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_REF, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
            D3DERR_NOTAVAILABLE);
  PresentParams noWindow = p;
  noWindow.deviceWindow = 0;
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 0, D3DCREATE_HARDWARE_VERTEXPROCESSING, &noWindow, &device),
            D3DERR_INVALIDCALL);
  PresentParams bad = p;
  bad.backBufferFormat = D3DFMT_R5G6B5;
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &bad, &device),
            D3DERR_INVALIDCALL);
  bad = p;
  bad.multiSampleType = 2;
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &bad, &device),
            D3DERR_INVALIDCALL);
  system->Faults().FailNext(Op::CreateDevice, D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device, nullptr);
  ASSERT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 7, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &noWindow, &device),
            D3D_OK);
  EXPECT_EQ(device->GetSoftDevice()->Params().deviceWindow, 7u);  // the focus window stands in
  EXPECT_TRUE(device->GetSoftDevice()->HasStencil());

  system->Settings().hardwareVertexProcessing = false;
  Caps caps{};
  system->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
  EXPECT_EQ(caps.devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  EXPECT_EQ(system->CreateDevice(0, D3DDEVTYPE_HAL, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
            D3DERR_NOTAVAILABLE);

  FailNextSystemCreate();
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  EXPECT_NE(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
}

TEST(GfxSystem, InjectedFailuresHitOneCallEach) {
  auto system = Direct3DCreate9(D3D_SDK_VERSION);
  AdapterIdentifier id{};
  Caps caps{};
  DisplayMode m{};
  system->Faults().FailNext(Op::GetAdapterIdentifier, E_FAIL);
  system->Faults().FailNext(Op::GetDeviceCaps, D3DERR_NOTAVAILABLE);
  system->Faults().FailNext(Op::GetAdapterDisplayMode, D3DERR_INVALIDCALL);
  system->Faults().FailNext(Op::CheckDeviceFormat, D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->GetAdapterIdentifier(0, 0, &id), E_FAIL);
  EXPECT_EQ(system->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->GetAdapterDisplayMode(0, &m), D3DERR_INVALIDCALL);
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, 22, 0, D3DRTYPE_TEXTURE, 21), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(system->GetAdapterIdentifier(0, 0, &id), D3D_OK);
  EXPECT_EQ(system->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(system->GetAdapterDisplayMode(0, &m), D3D_OK);
  EXPECT_EQ(system->CheckDeviceFormat(0, D3DDEVTYPE_HAL, 22, 0, D3DRTYPE_TEXTURE, 21), D3D_OK);
}
