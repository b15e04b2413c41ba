#include <algorithm>
#include <vector>

#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/PixelFormat.h"
#include "platform/os/MessageBox.h"

namespace gfx = plat::gfx;

namespace {

// Formats enumerated for the mode lists, which is also the order of preference
// when display modes of equal size are compared.
constexpr u32 kModeFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_A2R10G10B10,
                                D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};

// Width, then height, then bit depth, then refresh rate.
bool Smaller(const DXLDISPLAYMODE& a, const DXLDISPLAYMODE& b) {
  if (a.width != b.width) return a.width < b.width;
  if (a.height != b.height) return a.height < b.height;
  if (a.bits != b.bits) return a.bits < b.bits;
  return a.refreshRate < b.refreshRate;
}

// Position of a format in the preference list within [from, to); a format
// outside that range ranks after all of them.
u32 FormatRank(u32 format, u32 from, u32 to) {
  for (u32 i = from; i < to; ++i)
    if (kModeFormats[i] == format) return i - from;
  return to - from;
}

template <class Keep>
bool Filter(std::vector<const DXLDISPLAYMODE*>& modes, Keep keep) {
  modes.erase(std::remove_if(modes.begin(), modes.end(), [&](const DXLDISPLAYMODE* m) { return !keep(*m); }),
              modes.end());
  return !modes.empty();
}

}  // namespace

DXLDISPLAYMODE DXLMakeDisplayMode(u32 width, u32 height, u32 refreshRate, u32 format) {
  i32 ax = 0, ay = 0;
  DXLGetAspectRatio(static_cast<i32>(width), static_cast<i32>(height), &ax, &ay);
  return DXLDISPLAYMODE{width, height, refreshRate, format, static_cast<u32>(ax), static_cast<u32>(ay),
                        DXLGetFormatBits(format)};
}

void DXLViewer::SetModeFilter(DXLMODEFILTER filter) {
  if (filter == modeFilter_) return;
  modeFilter_ = filter;
  for (i32 i = 0; i < adapters_.GetCount(); ++i) BuildModeList(adapters_.Get(i));
}

i32 DXLViewer::GetAdapterInfo(u32 adapter, u32 deviceType, DXLADAPTERINFO** out) {
  if (out) *out = nullptr;
  if (!d3d_) return kViewerNoSystem;
  for (i32 i = 0; i < adapters_.GetCount(); ++i) {
    DXLADAPTERINFO* r = adapters_.Get(i);
    if (r->adapter == adapter && r->deviceType == deviceType) {
      if (out) *out = r;
      return r->status;
    }
  }
  auto* r = new DXLADAPTERINFO{};
  r->adapter = adapter;
  r->deviceType = deviceType;
  adapters_.Add(r);
  if (out) *out = r;

  gfx::Caps caps{};
  if ((r->lastResult = d3d_->GetAdapterIdentifier(adapter, 0, &r->identifier)) < 0) return r->status = kViewerIdentifierFailed;
  if ((r->lastResult = d3d_->GetDeviceCaps(adapter, deviceType, &caps)) < 0) return r->status = kViewerCapsFailed;
  r->caps.caps = caps;
  if ((r->lastResult = d3d_->GetAdapterDisplayMode(adapter, &r->desktop)) < 0) return r->status = kViewerDisplayModeFailed;
  const DXLDISPLAYMODE desktop =
      DXLMakeDisplayMode(r->desktop.width, r->desktop.height, r->desktop.refreshRate, r->desktop.format);
  r->desktopAspectX = desktop.aspectX;
  r->desktopAspectY = desktop.aspectY;
  r->desktopBits = desktop.bits & 0xFF;
  if (r->desktopBits == 0) return r->status = kViewerInvalidDisplayMode;
  DXLFillDeviceCaps(&r->caps, caps);
  r->status = 0;
  BuildModeList(r);
  return 0;
}

// The sorted list is rebuilt from the raw list, which is enumerated once.
void DXLViewer::BuildModeList(DXLADAPTERINFO* record) {
  if (!record) return;
  record->sortedModes.Clear();
  if (record->status < 0) {
    record->rawModes.Clear();
    return;
  }
  if (record->rawModes.GetCount() == 0 && d3d_) {
    for (u32 format : kModeFormats) {
      const u32 count = d3d_->GetAdapterModeCount(record->adapter, format);
      for (u32 i = 0; i < count; ++i) {
        gfx::DisplayMode m{};
        if (d3d_->EnumAdapterModes(record->adapter, format, i, &m) < 0) continue;
        record->rawModes.Add(new DXLDISPLAYMODE(DXLMakeDisplayMode(m.width, m.height, m.refreshRate, m.format)));
      }
    }
  }
  kis::list<DXLDISPLAYMODE*>& sorted = record->sortedModes;
  for (i32 i = 0; i < record->rawModes.GetCount(); ++i) {
    DXLDISPLAYMODE* mode = record->rawModes.Get(i);
    if (modeFilter_ && !modeFilter_(this, &sorted, mode)) continue;
    i32 at = 0;
    while (at < sorted.GetCount() && Smaller(*sorted.Get(at), *mode)) ++at;
    sorted.Insert(at, mode);
  }
}

i32 DXLViewer::InitAdapter(u32 adapter, u32 deviceType) {
  if (!d3d_) return lastResult_ = kViewerNoSystem;
  DXLADAPTERINFO* record = nullptr;
  const i32 status = GetAdapterInfo(adapter, deviceType, &record);
  if (status == 0 && record == adapter_) return lastResult_ = 0;
  ReleaseAll(false);
  adapter_ = record;

  DXLLogBeginBlock("Initialize Adapter", "Initialize successful.", false);
  bool ok = false;
  if (status == kViewerIdentifierFailed) {
    DXLLogDXError(-1, "GetAdapterIdentifier: ", record->lastResult);
  } else {
    const u64 v = record->identifier.driverVersion;
    DXLLogValueA(-1, "Description:", record->identifier.description);
    DXLLogValueA(-1, "DirectX Driver:", record->identifier.driver);
    DXLLogValueFormat(-1, "Driver version: ", "%d.%d.%d.%d", static_cast<int>(v >> 48 & 0xFFFF),
                      static_cast<int>(v >> 32 & 0xFFFF), static_cast<int>(v >> 16 & 0xFFFF),
                      static_cast<int>(v & 0xFFFF));
    if (status == kViewerCapsFailed) {
      DXLLogDXError(-1, "GetDeviceCaps: ", record->lastResult);
      plat::ShowMessageBox(GetWindow(),
                           u"No hardware acceleration detected.\n\nYour system does not support hardware "
                           u"acceleration\nor your video drivers should be updated.",
                           u"ERROR", plat::kMessageBoxIconError);
    } else {
      DXLLogLine(-1, "DeviceCaps:");
      DXLLogLine(-1, "  DisplayCaps:");
      DXLLogChoiceA(-1, "    NoVSync:", record->caps.noVSync != 0, "Yes", "No");
      DXLLogLine(-1, "  TextureCaps:");
      DXLLogChoiceA(-1, "    SizeNonPowOf2:", record->caps.sizeNonPow2 != 0, "Yes", "No");
      if (status == kViewerDisplayModeFailed) {
        DXLLogDXError(-1, "GetAdapterDisplayMode: ", record->lastResult);
      } else if (status == kViewerInvalidDisplayMode) {
        DXLReportErrorA(-1, "Invalid Display Mode.");
      } else {
        char name[32];
        DXLGetFormatName(name, sizeof(name), record->desktop.format);
        DXLLogValueFormat(-1, "Desktop Display:", "%d x %d %s (%d bit) %d Hz", static_cast<int>(record->desktop.width),
                          static_cast<int>(record->desktop.height), name, static_cast<int>(record->desktopBits),
                          static_cast<int>(record->desktop.refreshRate));
        ok = true;
      }
    }
  }
  DXLLogEndBlock(ok);
  lastResult_ = status;
  if (!ok) ReleaseAll(true);
  return status;
}

kis::list<DXLDISPLAYMODE*>* DXLViewer::GetModeList() { return adapter_ ? &adapter_->sortedModes : nullptr; }

const DXLDEVICECAPS* DXLViewer::GetDeviceCaps() { return adapter_ ? &adapter_->caps : nullptr; }

void DXLViewer::ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request,
                              const DXLMATCHRULES* rules) {
  if (!out) return;
  const DXLDEVICESETTINGS none{};
  if (!d3d_) {
    *out = request ? *request : none;
    return;
  }
  const DXLMATCHRULES zero{};
  const DXLMATCHRULES& r = request && rules ? *rules : zero;
  const DXLDEVICESETTINGS& q = request ? *request : none;
  DXLDEVICESETTINGS s{};
  gfx::PresentParams& p = s.present;

  // Adapter and device type, then the record that the other checks use.
  s.adapter = r.adapter == 0 ? 0 : q.adapter;
  if (r.adapter == 1) {
    gfx::AdapterIdentifier id{};
    if (d3d_->GetAdapterIdentifier(s.adapter, 0, &id) < 0) s.adapter = 0;
  }
  s.deviceType = r.deviceType == 0 ? gfx::D3DDEVTYPE_HAL : q.deviceType;
  if (r.deviceType == 1) {
    gfx::Caps caps{};
    if (d3d_->GetDeviceCaps(s.adapter, s.deviceType, &caps) < 0) s.deviceType = gfx::D3DDEVTYPE_HAL;
  }
  DXLADAPTERINFO* record = nullptr;
  if (GetAdapterInfo(s.adapter, s.deviceType, &record) != 0) record = nullptr;

  p.windowed = r.windowed == 0 ? 1 : q.present.windowed;
  const bool windowed = p.windowed != 0;

  const u32 hardware = record && (record->caps.caps.devCaps & gfx::D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? 1 : 0;
  s.hardwareVertexProcessing = r.vertexProcessing <= 1 ? hardware : q.hardwareVertexProcessing;

  if (r.adapterFormat == 0) {
    if (!record) s.adapterFormat = D3DFMT_X8R8G8B8;
    else if (windowed || record->desktopBits >= 8) s.adapterFormat = record->desktop.format;
    else s.adapterFormat = D3DFMT_X8R8G8B8;
  } else {
    s.adapterFormat = q.adapterFormat;
    if (r.adapterFormat == 1 &&
        d3d_->CheckDeviceType(s.adapter, s.deviceType, s.adapterFormat, s.adapterFormat, windowed) < 0)
      s.adapterFormat = D3DFMT_X8R8G8B8;
  }

  p.backBufferFormat = r.backBufferFormat == 0 ? s.adapterFormat : q.present.backBufferFormat;
  if (r.backBufferFormat == 1 &&
      d3d_->CheckDeviceType(s.adapter, s.deviceType, s.adapterFormat, p.backBufferFormat, windowed) < 0)
    p.backBufferFormat = s.adapterFormat;
  p.backBufferCount = 0;

  p.swapEffect = r.swapEffect == 0 ? gfx::D3DSWAPEFFECT_DISCARD : q.present.swapEffect;
  if (r.multiSample == 0 || p.swapEffect != gfx::D3DSWAPEFFECT_DISCARD) {
    p.multiSampleType = p.multiSampleQuality = 0;
  } else {
    p.multiSampleType = q.present.multiSampleType;
    p.multiSampleQuality = q.present.multiSampleQuality;
    if (r.multiSample == 1) {
      u32 levels = 0;
      if (d3d_->CheckDeviceMultiSampleType(s.adapter, s.deviceType, p.backBufferFormat, windowed,
                                           p.multiSampleType, &levels) < 0) {
        p.multiSampleType = p.multiSampleQuality = 0;
      } else {
        const u32 highest = levels > 0 ? levels - 1 : 0;
        p.multiSampleQuality = std::min(p.multiSampleQuality, highest);
      }
    }
  }

  p.deviceWindow = q.present.deviceWindow;
  p.enableAutoDepthStencil = 1;
  p.autoDepthStencilFormat = r.depthStencilFormat == 0 ? gfx::D3DFMT_D16 : q.present.autoDepthStencilFormat;
  if (r.depthStencilFormat == 1 &&
      d3d_->CheckDeviceFormat(s.adapter, s.deviceType, s.adapterFormat, gfx::D3DUSAGE_DEPTHSTENCIL,
                              gfx::D3DRTYPE_SURFACE, p.autoDepthStencilFormat) < 0)
    p.autoDepthStencilFormat = gfx::D3DFMT_D16;
  p.flags = r.presentFlags == 0 ? gfx::D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL : q.present.flags;

  if (r.backBufferSize == 0) {
    const bool desktop = !windowed && record;
    p.backBufferWidth = desktop ? record->desktop.width : 800;
    p.backBufferHeight = desktop ? record->desktop.height : 600;
  } else {
    p.backBufferWidth = q.present.backBufferWidth;
    p.backBufferHeight = q.present.backBufferHeight;
    if (r.backBufferSize == 1) {
      if (windowed) {
        p.backBufferWidth = std::max(p.backBufferWidth, kMinWindowWidth);
        p.backBufferHeight = std::max(p.backBufferHeight, kMinWindowHeight);
      } else if (record) {
        bool listed = false;
        for (i32 i = 0; i < record->sortedModes.GetCount() && !listed; ++i) {
          const DXLDISPLAYMODE* m = record->sortedModes.Get(i);
          listed = m->width == p.backBufferWidth && m->height == p.backBufferHeight && m->format == p.backBufferFormat;
        }
        if (!listed) {
          p.backBufferWidth = record->desktop.width;
          p.backBufferHeight = record->desktop.height;
        }
      }
    }
  }

  if (windowed || r.refreshRate == 0) {
    p.fullScreenRefreshRate = 0;
  } else {
    p.fullScreenRefreshRate = q.present.fullScreenRefreshRate;
    if (r.refreshRate == 1)
      p.fullScreenRefreshRate = FindRefreshRate(record, p.backBufferWidth, p.backBufferHeight, p.backBufferFormat,
                                                p.fullScreenRefreshRate);
  }

  const u32 fallbackInterval = windowed ? gfx::D3DPRESENT_INTERVAL_ONE : gfx::D3DPRESENT_INTERVAL_DEFAULT;
  if (r.presentationInterval == 0) {
    p.presentationInterval = fallbackInterval;
  } else if (r.presentationInterval == 1) {
    const u32 wanted = q.present.presentationInterval;
    const bool offered = record && wanted != 0 && (wanted & ~record->caps.caps.presentationIntervals) == 0;
    p.presentationInterval = offered ? wanted : fallbackInterval;
  } else {
    p.presentationInterval = q.present.presentationInterval;
  }
  *out = s;
}

u32 DXLViewer::FindRefreshRate(const DXLADAPTERINFO* record, u32 width, u32 height, u32 format, u32 wanted) {
  if (!record || record->status != 0) return 0;
  u32 kept = 0;
  for (i32 i = 0; i < record->sortedModes.GetCount(); ++i) {
    const DXLDISPLAYMODE* m = record->sortedModes.Get(i);
    if (m->width != width || m->height != height || m->format != format) continue;
    if (wanted == 0 || m->refreshRate == wanted) return wanted;
    kept = std::max(kept, std::min(m->refreshRate, record->desktop.refreshRate));
  }
  return kept;
}

bool DXLViewer::FindAdapterDisplayMode(DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request,
                                       const DXLMODEMATCH* match) {
  if (!adapter_) return false;
  return FindDisplayMode(adapter_->adapter, adapter_->deviceType, out, request, match);
}

bool DXLViewer::FindDisplayMode(u32 adapter, u32 deviceType, DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request,
                                const DXLMODEMATCH* match) {
  DXLADAPTERINFO* record = nullptr;
  if (!out || GetAdapterInfo(adapter, deviceType, &record) != 0) return false;
  const DXLDISPLAYMODE want =
      request ? *request
              : DXLMakeDisplayMode(record->desktop.width, record->desktop.height, record->desktop.refreshRate,
                                   record->desktop.format);
  const DXLMODEMATCH rules = match ? *match : DXLMODEMATCH{};

  std::vector<const DXLDISPLAYMODE*> modes(record->sortedModes.Data(),
                                           record->sortedModes.Data() + record->sortedModes.GetCount());
  if (modes.empty()) return false;
  auto noLarger = [&](const DXLDISPLAYMODE& m) { return m.width <= want.width && m.height <= want.height; };
  auto atSize = [&](const DXLDISPLAYMODE& m) { return m.width == want.width && m.height == want.height; };

  if (rules.resolution == 1 && !Filter(modes, atSize)) return false;
  if (rules.resolution == 2 && !Filter(modes, noLarger)) return false;

  if (rules.aspect != 0) {
    u32 ax = want.aspectX, ay = want.aspectY;
    if (ax < 1 || ay < 1) {
      const DXLDISPLAYMODE computed = DXLMakeDisplayMode(want.width, want.height, 0, 0);
      ax = computed.aspectX;
      ay = computed.aspectY;
    }
    const bool ok = Filter(modes, [&](const DXLDISPLAYMODE& m) {
      if (m.aspectX != ax || m.aspectY != ay) return false;
      if (rules.aspect == 1) return atSize(m);
      if (rules.aspect == 2) return noLarger(m);
      return true;
    });
    if (!ok) return false;
  }

  if (want.refreshRate != 0) {
    if (rules.refresh == 1 && !Filter(modes, [&](const DXLDISPLAYMODE& m) { return m.refreshRate == want.refreshRate; }))
      return false;
    if (rules.refresh == 2 && !Filter(modes, [&](const DXLDISPLAYMODE& m) { return m.refreshRate <= want.refreshRate; }))
      return false;
  }

  const bool formatOk = Filter(modes, [&](const DXLDISPLAYMODE& m) {
    switch (rules.format) {
      case 0: return m.format == want.format;
      case 1: return m.bits == want.bits;
      case 2: return m.bits <= want.bits;
      default: return true;
    }
  });
  if (!formatOk) return false;

  // Preference positions searched: the 32-bit formats for a 32-bit request,
  // else the 16-bit ones; all six under format rule 3.
  const u32 from = rules.format == 3 ? 0 : (want.bits == 32 ? 0 : 3);
  const u32 to = rules.format == 3 ? 6 : from + 3;
  const DXLDISPLAYMODE* best = modes.front();
  for (size_t i = 1; i < modes.size(); ++i) {
    const DXLDISPLAYMODE* c = modes[i];
    if (c->width > best->width || c->height > best->height) {
      best = c;
      continue;
    }
    if (c->width < best->width || c->height < best->height) continue;
    if (rules.format != 0) {
      const u32 rc = FormatRank(c->format, from, to), rb = FormatRank(best->format, from, to);
      if (rc < rb) {
        best = c;
        continue;
      }
      if (rc > rb) continue;
    }
    if (rules.refresh == 0 || c->refreshRate >= best->refreshRate) best = c;
  }
  *out = *best;
  if (rules.refresh == 0) out->refreshRate = want.refreshRate;
  return true;
}
