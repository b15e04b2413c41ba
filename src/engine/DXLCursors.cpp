#include "engine/DXLCursors.h"

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "platform/os/WindowSystem.h"

namespace gfx = plat::gfx;

namespace {

std::unique_ptr<DXLCursors>& Instance() {
  static std::unique_ptr<DXLCursors> instance;  // the cursors of the process's one window
  return instance;
}

bool HasImageKind(const DXLCURSORDATA& r) { return r.kind == kCursorDevice || r.kind == kCursorTexture; }

DXLTexture* ImageOf(const DXLCURSORDATA& r) {
  return HasImageKind(r) ? reinterpret_cast<DXLTexture*>(r.handle) : nullptr;
}

bool UsesImage(const DXLCURSORDATA& r, const DXLNotifyObject* sender) {
  DXLTexture* image = ImageOf(r);
  return image && static_cast<const DXLNotifyObject*>(image) == sender;
}

}  // namespace

DXLCursors::DXLCursors() = default;

DXLCursors::~DXLCursors() {
  Deactivate();
  LeaveViewer();
  for (i32 i = records_.GetCount() - 1; i >= 0; --i) {
    DXLCURSORDATA* r = records_.Get(i);
    if (DXLTexture* image = ImageOf(*r)) image->RemoveListener(this);
    delete r;
  }
  records_.Clear();
}

// --- Records -----------------------------------------------------------------

void DXLCursors::Add(const DXLCURSORDATA& record) {
  if (record.kind == kCursorKindNone) return;
  records_.Add(new DXLCURSORDATA(record));
  if (DXLTexture* image = ImageOf(record)) image->AddListener(this);
}

void DXLCursors::Find(DXLCURSORDATA* out, u32 slot) const {
  for (i32 i = 0; i < records_.GetCount(); ++i) {
    if (records_.Get(i)->slot == slot) {
      *out = *records_.Get(i);
      return;
    }
  }
  DXLMakeEmptyCursor(out);
}

// An empty record is no slot's (its slot field reads 0): after a slot
// without a record, slot 0 is applied like any other.
void DXLCursors::Select(u32 slot) {
  if (current_.kind != kCursorKindNone && current_.slot == slot) return;
  DXLCURSORDATA record;
  Find(&record, slot);
  Apply(record);
}

void DXLCursors::SetDefault(const DXLCURSORDATA& record) {
  default_ = record;
  if (defaultApplied_) {
    Apply(default_);
    defaultApplied_ = 1;
  }
}

void DXLCursors::ApplyDefault() {
  if (defaultApplied_) return;
  Apply(default_);
  defaultApplied_ = 1;
}

// --- Window and activity -------------------------------------------------------------

void DXLCursors::SetWindow(plat::WindowHandle window) {
  if (window == window_) return;
  const bool wasActive = active_ != 0;
  if (wasActive) Deactivate();
  window_ = window;
  if (wasActive) Activate();
}

void DXLCursors::Activate() {
  if (window_ != 0 && window_ != plat::kInvalidWindow) active_ = 1;
}

void DXLCursors::Deactivate() {
  if (!active_) return;
  Hide();
  active_ = 0;
  inClient_ = 0;
}

// --- Applying, preparing, showing, hiding ------------------------------------------

void DXLCursors::LeaveViewer() {
  if (viewer_) viewer_->RemoveDeviceObject(this);
  viewer_ = nullptr;
}

void DXLCursors::JoinViewer() {
  DXLTexture* image = ImageOf(current_);
  if (!image || !image->GetViewer()) return;
  viewer_ = image->GetViewer();
  viewer_->AddDeviceObject(this);
}

bool DXLCursors::Apply(const DXLCURSORDATA& record) {
  defaultApplied_ = 0;
  Hide();
  LeaveViewer();
  current_ = record;
  JoinViewer();
  return Show();
}

void DXLCursors::GetHotspot(i32* x, i32* y) const {
  DXLTexture* image = ImageOf(current_);
  *x = current_.hotspotX;
  *y = current_.hotspotY;
  if (*x == kCursorHotspotCentre) *x = image ? image->GetImageWidth() / 2 : 0;
  if (*y == kCursorHotspotCentre) *y = image ? image->GetImageHeight() / 2 : 0;
}

bool DXLCursors::Prepare() {
  if (shown_) return true;
  if (!active_) return false;
  DXLTexture* image = ImageOf(current_);
  i32 hx = 0, hy = 0;
  switch (current_.kind) {
    case kCursorSystem:
      break;
    case kCursorDevice: {
      if (!image || !image->IsReady() || !image->GetD3DTexture()) return false;
      DXLViewer* viewer = image->GetViewer();
      if (!viewer || !viewer->HasDevice()) return false;
      gfx::Surface* surface = nullptr;
      if (gfx::Failed(image->GetD3DTexture()->GetSurfaceLevel(0, &surface))) return false;
      GetHotspot(&hx, &hy);
      if (gfx::Failed(viewer->GetDevice()->SetCursorProperties(static_cast<u32>(hx), static_cast<u32>(hy), surface)))
        return false;
      break;
    }
    case kCursorTexture: {
      if (!image || !image->IsReady()) return false;
      GetHotspot(&hx, &hy);
      image->MakeQuadAt(&quad_, -hx, -hy, 0);
      if (image->GetViewer()) image->GetViewer()->SetPrePresentHook(DXLDrawTextureCursor);
      break;
    }
    default:
      return false;
  }
  shown_ = 1;
  return true;
}

bool DXLCursors::Show() {
  if (!Prepare()) return false;
  plat::WindowSystem& ws = plat::GetWindowSystem();
  switch (current_.kind) {
    case kCursorSystem:
      if (inClient_) ws.SetCursor(current_.handle);
      return inClient_ != 0;
    case kCursorDevice: {
      if (!inClient_) return false;
      DXLViewer* viewer = ImageOf(current_)->GetViewer();
      if (viewer && viewer->HasDevice()) viewer->GetDevice()->ShowCursor(true);
      return true;
    }
    case kCursorTexture:
      ws.SetCursor(0);
      return inClient_ != 0;
    default:
      return false;
  }
}

void DXLCursors::Hide() {
  if (!shown_) return;
  shown_ = 0;
  DXLTexture* image = ImageOf(current_);
  if (!image) return;
  DXLViewer* viewer = image->GetViewer();
  if (!viewer) return;
  if (current_.kind == kCursorDevice && viewer->HasDevice()) {
    viewer->GetDevice()->SetCursorProperties(0, 0, nullptr);
  } else if (current_.kind == kCursorTexture) {
    viewer->SetPrePresentHook(nullptr);
  }
}

// --- Messages and notifications -------------------------------------------------

// Over our window's client area (or anywhere on it, without client-area-only)
// the current record is shown; a non-zero answer tells the window procedure
// that the cursor is set.
intptr_t DXLCursors::WindowHook(plat::WindowHandle /*window*/, u32 message, uintptr_t wParam, intptr_t lParam) {
  if (message != plat::WM_SETCURSOR || !active_) return 0;
  const bool ours = static_cast<plat::WindowHandle>(wParam) == window_;
  const u32 hit = plat::LoWord(static_cast<uintptr_t>(lParam));
  inClient_ = (ours && (hit == plat::HTCLIENT || !clientOnly_)) ? 1 : 0;
  return Show() ? 1 : 0;
}

void DXLCursors::Notify(DXLNotifyObject* sender, u32 code) {
  if (!sender) return;
  if (code == kNotifyDestroyed) {
    // A default that used the image would leave the freed image behind.
    if (UsesImage(default_, sender)) {
      DXLMakeEmptyCursor(&default_);
      if (UsesImage(current_, sender)) defaultApplied_ = 0;
    }
    if (UsesImage(current_, sender)) {
      Hide();
      LeaveViewer();
      DXLMakeEmptyCursor(&current_);
      current_.slot = 0xFFFFFFFFu;  // no slot is current any more
      defaultApplied_ = 0;
      ApplyDefault();
    }
    for (i32 i = records_.GetCount() - 1; i >= 0; --i) {
      if (UsesImage(*records_.Get(i), sender)) {
        delete records_.Get(i);
        records_.Delete(i);
      }
    }
    return;
  }
  if (code == kNotifyReleased && UsesImage(current_, sender)) Hide();
}

void DXLCursors::OnDeviceEvent(DXLViewer* viewer, u32 code) {
  switch (code) {
    case kDeviceDetached:
      if (viewer == viewer_) viewer_ = nullptr;  // the viewer is going away
      ApplyDefault();
      break;
    case kDeviceCreated:
    case kDeviceReleasing:
    case kDeviceResetting:
      Hide();
      break;
    default:
      break;
  }
}

void DXLCursors::DrawTextureCursor(DXLViewer* viewer) {
  DXLTexture* image = ImageOf(current_);
  if (!inClient_ || !image || !viewer || !image->Select(true)) return;
  plat::WindowSystem& ws = plat::GetWindowSystem();
  plat::Point p{0, 0};
  ws.GetCursorPos(&p);
  ws.ScreenToClient(viewer->GetWindow(), &p);
  viewer->SetWorldOffset(static_cast<float>(p.x), static_cast<float>(p.y));
  viewer->DrawQuad(&quad_);
  image->Deselect(true);
}

// --- Free functions ----------------------------------------------------------------

DXLCursors& DXLGetCursors() {
  std::unique_ptr<DXLCursors>& instance = Instance();
  if (!instance) instance = std::make_unique<DXLCursors>();
  return *instance;
}

void DXLResetCursors() { Instance().reset(); }

void DXLMakeEmptyCursor(DXLCURSORDATA* out) { *out = DXLCURSORDATA{kCursorKindNone, 0, 0, 0, 0}; }

void DXLMakeSystemCursor(DXLCURSORDATA* out, u32 slot, plat::CursorHandle cursor) {
  *out = DXLCURSORDATA{kCursorSystem, slot, 0, 0, cursor};
}

void DXLFindCursor(DXLCURSORDATA* out, u32 slot) { DXLGetCursors().Find(out, slot); }

void DXLAddCursor(const DXLCURSORDATA* record) {
  if (record) DXLGetCursors().Add(*record);
}

void DXLSelectCursor(u32 slot) { DXLGetCursors().Select(slot); }

void DXLSetDefaultCursor(const DXLCURSORDATA* record) {
  if (record) DXLGetCursors().SetDefault(*record);
}

void DXLApplyDefaultCursor() { DXLGetCursors().ApplyDefault(); }

void DXLSetCursorWindow(plat::WindowHandle window) { DXLGetCursors().SetWindow(window); }

void DXLActivateCursors() { DXLGetCursors().Activate(); }

void DXLDeactivateCursors() { DXLGetCursors().Deactivate(); }

intptr_t DXLCursorWindowHook(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam) {
  return DXLGetCursors().WindowHook(window, message, wParam, lParam);
}

void DXLDrawTextureCursor(DXLViewer* viewer) { DXLGetCursors().DrawTextureCursor(viewer); }
