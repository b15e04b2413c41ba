#include "engine/DXLViewer.h"

#include "engine/DXLD3DX.h"
#include "engine/DXLLog.h"

DXLViewer::DXLViewer() { InitDirect3D(); }

DXLViewer::~DXLViewer() {
  ReleaseAll(true);
  for (i32 i = adapters_.GetCount() - 1; i >= 0; --i) delete adapters_.Get(i);
  adapters_.Clear();
  d3d_.reset();
  DXLFreeD3DX();
}

plat::gfx::WindowHandle DXLViewer::GetWindow() { return settings_ ? settings_->present.deviceWindow : 0; }

i32 DXLViewer::InitDirect3D() {
  DXLLogBeginBlock("Initialize DirectX", "Initialize successful.", false);
  const i32 result = DXLLogSystemInfo();
  if (result < 0) {
    DXLLogEndBlock(false);
    lastResult_ = result;
    return result;
  }
  d3d_ = plat::gfx::Direct3DCreate9(plat::gfx::D3D_SDK_VERSION);
  if (!d3d_) {
    DXLReportErrorA(-1, "Direct3D create failed!");
    DXLLogEndBlock(false);
    lastResult_ = kViewerNoDirect3D;
    return lastResult_;
  }
  DXLLogEndBlock(true);
  lastResult_ = 0;
  return 0;
}

void DXLViewer::ReleaseAll(bool freeSettings) {
  adapter_ = nullptr;
  if (freeSettings) {
    settings_.reset();
    previousSettings_.reset();
  }
}
