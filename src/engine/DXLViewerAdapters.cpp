// The viewer's adapter records, mode lists and the completion of a settings
// request. A compact version: the records, the log block of the adapter and
// the per-field defaults and checks that device creation relies on.
#include "base/Maths.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/image/PixelFormat.h"

namespace gfx = plat::gfx;

namespace {

bool ModeLess(const DXLDISPLAYMODE* a, const DXLDISPLAYMODE* b) {
  if (a->width != b->width) return a->width < b->width;
  if (a->height != b->height) return a->height < b->height;
  if (a->bitDepth != b->bitDepth) return a->bitDepth < b->bitDepth;
  return a->refreshRate < b->refreshRate;
}

u32 FindRefreshRate(const DXLADAPTERINFO* info, u32 width, u32 height, u32 format, u32 wanted) {
  if (!info || info->status != 0) return 0;
  u32 best = 0;
  for (i32 i = 0; i < info->sortedModes.GetCount(); ++i) {
    const DXLDISPLAYMODE* m = info->sortedModes.Get(i);
    if (m->width != width || m->height != height || m->format != format) continue;
    if (wanted == 0 || m->refreshRate == wanted) return wanted;
    u32 rate = m->refreshRate;
    if (info->desktop.refreshRate != 0 && rate > info->desktop.refreshRate) rate = info->desktop.refreshRate;
    if (rate > best) best = rate;
  }
  return best;
}

}  // namespace

i32 DXLViewer::GetAdapterInfo(u32 adapter, u32 deviceType, DXLADAPTERINFO** out) {
  *out = nullptr;
  if (!d3d_) return kViewerNoSystem;
  for (i32 i = 0; i < adapters_.GetCount(); ++i) {
    DXLADAPTERINFO* known = adapters_.Get(i);
    if (known->adapter == adapter && known->deviceType == deviceType) {
      *out = known;
      return known->status;
    }
  }
  auto* info = new DXLADAPTERINFO;
  info->adapter = adapter;
  info->deviceType = deviceType;
  adapters_.Add(info);
  *out = info;
  gfx::HRESULT hr = d3d_->GetAdapterIdentifier(adapter, 0, &info->identifier);
  if (gfx::Failed(hr)) {
    info->lastResult = hr;
    return info->status = kViewerIdentifierFailed;
  }
  hr = d3d_->GetDeviceCaps(adapter, deviceType, &info->caps);
  if (gfx::Failed(hr)) {
    info->lastResult = hr;
    return info->status = kViewerCapsFailed;
  }
  hr = d3d_->GetAdapterDisplayMode(adapter, &info->desktop);
  if (gfx::Failed(hr)) {
    info->lastResult = hr;
    return info->status = kViewerDisplayModeFailed;
  }
  i32 ax = 0, ay = 0;
  DXLGetAspectRatio(static_cast<i32>(info->desktop.width), static_cast<i32>(info->desktop.height), &ax, &ay);
  info->aspectX = static_cast<u32>(ax);
  info->aspectY = static_cast<u32>(ay);
  info->bitDepth = DXLGetFormatBits(info->desktop.format);
  if (info->bitDepth == 0) return info->status = kViewerInvalidDisplayMode;
  info->noVSync = (info->caps.presentationIntervals & gfx::D3DPRESENT_INTERVAL_IMMEDIATE) ? 1 : 0;
  info->nonPowerOfTwo = 0;  // textures are made at power-of-two sizes
  info->colorWrite = (info->caps.primitiveMiscCaps & gfx::D3DPMISCCAPS_COLORWRITEENABLE) ? 1 : 0;
  BuildModeList(info);
  return info->status = 0;
}

void DXLViewer::BuildModeList(DXLADAPTERINFO* info) {
  info->sortedModes.RemoveAll();
  if (info->status < 0) {
    info->rawModes.DeleteAll();
    return;
  }
  if (info->rawModes.GetCount() == 0 && d3d_) {
    static constexpr u32 kFormats[] = {22, 21, 35, 23, 24, 25};
    for (u32 format : kFormats) {
      const u32 count = d3d_->GetAdapterModeCount(info->adapter, format);
      for (u32 i = 0; i < count; ++i) {
        gfx::DisplayMode mode{};
        if (gfx::Failed(d3d_->EnumAdapterModes(info->adapter, format, i, &mode))) continue;
        auto* m = new DXLDISPLAYMODE{mode.width, mode.height, mode.refreshRate, mode.format, 0, 0, 0};
        i32 ax = 0, ay = 0;
        DXLGetAspectRatio(static_cast<i32>(m->width), static_cast<i32>(m->height), &ax, &ay);
        m->aspectX = static_cast<u32>(ax);
        m->aspectY = static_cast<u32>(ay);
        m->bitDepth = DXLGetFormatBits(m->format);
        info->rawModes.Add(m);
      }
    }
  }
  for (i32 i = 0; i < info->rawModes.GetCount(); ++i) {
    DXLDISPLAYMODE* m = info->rawModes.Get(i);
    if (modeFilter_ && !modeFilter_(this, &info->sortedModes, m)) continue;
    i32 at = 0;
    while (at < info->sortedModes.GetCount() && ModeLess(info->sortedModes.Get(at), m)) ++at;
    info->sortedModes.Insert(at, m);
  }
}

void DXLViewer::SetModeFilter(DXLModeFilter filter) {
  if (filter == modeFilter_) return;
  modeFilter_ = filter;
  for (i32 i = 0; i < adapters_.GetCount(); ++i) BuildModeList(adapters_.Get(i));
}

i32 DXLViewer::InitAdapter(u32 adapter, u32 deviceType) {
  if (!d3d_) {
    lastResult_ = kViewerNoSystem;
    return lastResult_;
  }
  DXLADAPTERINFO* info = nullptr;
  const i32 status = GetAdapterInfo(adapter, deviceType, &info);
  if (status == 0 && info == adapter_) {
    lastResult_ = 0;
    return 0;
  }
  ReleaseAll(false);
  adapter_ = info;

  DXLLogBeginBlock("Initialize Adapter", "Initialize successful.", false);
  if (status == kViewerIdentifierFailed) {
    DXLLogDXError(-1, "GetAdapterIdentifier: ", info->lastResult);
  } else {
    DXLLogValueA(-1, "Description:", info->identifier.description);
    DXLLogValueA(-1, "DirectX Driver:", info->identifier.driver);
    const u64 v = info->identifier.driverVersion;
    DXLLogValueFormat(-1, "Driver version: ", "%d.%d.%d.%d", static_cast<int>((v >> 48) & 0xFFFF),
                      static_cast<int>((v >> 32) & 0xFFFF), static_cast<int>((v >> 16) & 0xFFFF),
                      static_cast<int>(v & 0xFFFF));
    if (status == kViewerCapsFailed) {
      DXLLogDXError(-1, "GetDeviceCaps: ", info->lastResult);
    } else {
      DXLLogLine(-1, "DeviceCaps:");
      DXLLogLine(-1, "  DisplayCaps:");
      DXLLogChoiceA(-1, "    NoVSync:", info->noVSync != 0, "Yes", "No");
      DXLLogLine(-1, "  TextureCaps:");
      DXLLogChoiceA(-1, "    SizeNonPowOf2:", info->nonPowerOfTwo != 0, "Yes", "No");
      if (status == kViewerDisplayModeFailed) {
        DXLLogDXError(-1, "GetAdapterDisplayMode: ", info->lastResult);
      } else if (status == kViewerInvalidDisplayMode) {
        DXLReportErrorA(-1, "Invalid Display Mode.");
      } else {
        char name[17];
        DXLGetFormatName(name, sizeof(name), info->desktop.format);
        DXLLogValueFormat(-1, "Desktop Display:", "%d x %d %s (%d bit) %d Hz", static_cast<int>(info->desktop.width),
                          static_cast<int>(info->desktop.height), name, static_cast<int>(info->bitDepth),
                          static_cast<int>(info->desktop.refreshRate));
      }
    }
  }
  DXLLogEndBlock(status == 0);
  lastResult_ = status;
  if (status != 0) ReleaseAll(true);
  return status;
}

void DXLViewer::ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request, const u32* rules) {
  if (!out) return;
  static constexpr u32 kNoRules[kDeviceSettingRules] = {};
  const u32* r = rules ? rules : kNoRules;
  DXLDEVICESETTINGS req{};
  if (request) req = *request;
  if (!d3d_) {
    *out = req;
    return;
  }
  const gfx::PresentParams& rp = req.present;
  DXLDEVICESETTINGS s{};
  gfx::PresentParams& p = s.present;

  s.adapter = r[0] ? req.adapter : gfx::D3DADAPTER_DEFAULT;
  if (r[0] == 1) {
    gfx::AdapterIdentifier id{};
    if (gfx::Failed(d3d_->GetAdapterIdentifier(s.adapter, 0, &id))) s.adapter = 0;
  }
  s.deviceType = r[1] ? req.deviceType : gfx::D3DDEVTYPE_HAL;
  if (r[1] == 1) {
    gfx::Caps caps{};
    if (gfx::Failed(d3d_->GetDeviceCaps(s.adapter, s.deviceType, &caps))) s.deviceType = gfx::D3DDEVTYPE_HAL;
  }
  DXLADAPTERINFO* info = nullptr;
  if (GetAdapterInfo(s.adapter, s.deviceType, &info) != 0) info = nullptr;

  p.windowed = r[6] ? rp.windowed : 1;
  const bool windowed = p.windowed != 0;

  if (r[3]) {
    s.adapterFormat = req.adapterFormat;
    if (r[3] == 1 && gfx::Failed(d3d_->CheckDeviceType(s.adapter, s.deviceType, s.adapterFormat, s.adapterFormat,
                                                       windowed))) {
      s.adapterFormat = gfx::D3DFMT_X8R8G8B8;
    }
  } else if (info) {
    s.adapterFormat = (windowed || info->bitDepth >= 8) ? info->desktop.format : gfx::D3DFMT_X8R8G8B8;
  } else {
    s.adapterFormat = gfx::D3DFMT_X8R8G8B8;
  }

  if (r[2] == 0 || r[2] == 1) {
    s.hardwareVertexProcessing = info && (info->caps.devCaps & gfx::D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? 1 : 0;
  } else {
    s.hardwareVertexProcessing = req.hardwareVertexProcessing;
  }

  p.backBufferFormat = r[5] ? rp.backBufferFormat : s.adapterFormat;
  if (r[5] == 1 && gfx::Failed(d3d_->CheckDeviceType(s.adapter, s.deviceType, s.adapterFormat, p.backBufferFormat,
                                                     windowed))) {
    p.backBufferFormat = s.adapterFormat;
  }
  p.backBufferCount = 0;
  p.swapEffect = r[10] ? rp.swapEffect : gfx::D3DSWAPEFFECT_DISCARD;

  if (r[9] && p.swapEffect == gfx::D3DSWAPEFFECT_DISCARD) {
    p.multiSampleType = rp.multiSampleType;
    p.multiSampleQuality = rp.multiSampleQuality;
    if (r[9] == 1) {
      u32 levels = 0;
      if (gfx::Failed(d3d_->CheckDeviceMultiSampleType(s.adapter, s.deviceType, p.backBufferFormat, windowed,
                                                       p.multiSampleType, &levels))) {
        p.multiSampleType = 0;
        p.multiSampleQuality = 0;
      } else if (p.multiSampleQuality >= levels) {
        p.multiSampleQuality = levels > 0 ? levels - 1 : 0;
      }
    }
  }

  p.deviceWindow = rp.deviceWindow;
  p.enableAutoDepthStencil = 1;
  p.autoDepthStencilFormat = r[11] ? rp.autoDepthStencilFormat : gfx::D3DFMT_D16;
  if (r[11] == 1 && gfx::Failed(d3d_->CheckDeviceFormat(s.adapter, s.deviceType, s.adapterFormat,
                                                        gfx::D3DUSAGE_DEPTHSTENCIL, gfx::D3DRTYPE_SURFACE,
                                                        p.autoDepthStencilFormat))) {
    p.autoDepthStencilFormat = gfx::D3DFMT_D16;
  }
  p.flags = r[12] ? rp.flags : gfx::D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL;

  if (r[4]) {
    p.backBufferWidth = rp.backBufferWidth;
    p.backBufferHeight = rp.backBufferHeight;
    if (r[4] == 1) {
      if (windowed) {
        if (p.backBufferWidth < 320) p.backBufferWidth = 320;
        if (p.backBufferHeight < 240) p.backBufferHeight = 240;
      } else if (info) {
        bool listed = false;
        for (i32 i = 0; i < info->sortedModes.GetCount() && !listed; ++i) {
          const DXLDISPLAYMODE* m = info->sortedModes.Get(i);
          listed = m->width == p.backBufferWidth && m->height == p.backBufferHeight && m->format == p.backBufferFormat;
        }
        if (!listed) {
          p.backBufferWidth = info->desktop.width;
          p.backBufferHeight = info->desktop.height;
        }
      }
    }
  } else if (!windowed && info) {
    p.backBufferWidth = info->desktop.width;
    p.backBufferHeight = info->desktop.height;
  } else {
    p.backBufferWidth = 800;
    p.backBufferHeight = 600;
  }

  p.fullScreenRefreshRate = 0;
  if (!windowed && r[8]) {
    p.fullScreenRefreshRate = rp.fullScreenRefreshRate;
    if (r[8] == 1) {
      p.fullScreenRefreshRate =
          FindRefreshRate(info, p.backBufferWidth, p.backBufferHeight, p.backBufferFormat, rp.fullScreenRefreshRate);
    }
  }

  const u32 defaultInterval = windowed ? gfx::D3DPRESENT_INTERVAL_ONE : gfx::D3DPRESENT_INTERVAL_DEFAULT;
  if (r[7] == 1) {
    const u32 want = rp.presentationInterval;
    p.presentationInterval =
        (want != 0 && info && (want & info->caps.presentationIntervals) == want) ? want : defaultInterval;
  } else if (r[7]) {
    p.presentationInterval = rp.presentationInterval;
  } else {
    p.presentationInterval = defaultInterval;
  }
  *out = s;
}
