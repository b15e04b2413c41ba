#include "engine/text/DXLD3DXFont.h"

#include "engine/DXLD3DX.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "platform/gfx/GfxTypes.h"

namespace {

// MulDiv's rounding: the 64-bit product divided with halves away from zero.
i32 MulDiv(i32 a, i32 b, i32 c) {
  const i64 p = static_cast<i64>(a) * b;
  const i64 q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
  return static_cast<i32>(q);
}

template <class Ch>
struct FontCall;
template <>
struct FontCall<wchar> {
  static decltype(DXLD3DXFUNCTIONS::CreateFontIndirectW) Get() { return DXLGetD3DX().CreateFontIndirectW; }
};
template <>
struct FontCall<char> {
  static decltype(DXLD3DXFUNCTIONS::CreateFontIndirectA) Get() { return DXLGetD3DX().CreateFontIndirectA; }
};

}  // namespace

template <class Ch>
DXLD3DXFontT<Ch>::DXLD3DXFontT(DXLFontPropsT<Ch>* props) : props_(props) {}

template <class Ch>
DXLD3DXFontT<Ch>::~DXLD3DXFontT() {
  if (viewer_) OnDeviceEvent(viewer_, kDeviceDetached);
  Release();
}

template <class Ch>
void DXLD3DXFontT<Ch>::SetViewer(DXLViewer* viewer) {
  if (viewer == viewer_) return;
  if (viewer_) viewer_->RemoveDeviceObject(this);
  viewer_ = viewer;
  if (viewer_) viewer_->AddDeviceObject(this);
  Create();
}

template <class Ch>
void DXLD3DXFontT<Ch>::OnDeviceEvent(DXLViewer* viewer, u32 code) {
  switch (code) {
    case kDeviceAttached:
      SetViewer(viewer);
      break;
    case kDeviceDetached:
      SetViewer(nullptr);
      break;
    case kDeviceCreated:
    case kDeviceResetDone:
      Create();
      break;
    case kDeviceReleasing:
    case kDeviceResetting:
      Release();
      break;
    default:
      break;
  }
}

template <class Ch>
void DXLD3DXFontT<Ch>::Release() {
  // The platform's library hands out no font objects, so there is nothing
  // to give back beyond forgetting the handle.
  font_ = nullptr;
}

template <class Ch>
void DXLD3DXFontT<Ch>::Create() {
  Release();
  if (!viewer_ || !props_ || !viewer_->GetDevice()) return;
  desc_ = DXLD3DXFONTDESC<Ch>{};
  desc_.height = -MulDiv(props_->GetSize(), kScreenDpi, 72);
  desc_.width = 0;
  desc_.weight = (props_->GetStyle() & kFontBold) ? 700 : 400;
  desc_.mipLevels = 1;
  desc_.italic = (props_->GetStyle() & kFontItalic) ? 1 : 0;
  desc_.charSet = static_cast<u8>(props_->GetCharSet());
  desc_.outputPrecision = 0;
  desc_.quality = props_->GetQuality();
  desc_.pitchAndFamily = props_->GetPitchAndFamily();
  const Ch* face = props_->GetFaceName();
  u32 i = 0;
  for (; face[i] != 0 && i < 31; ++i) desc_.faceName[i] = face[i];
  desc_.faceName[i] = 0;

  const auto create = FontCall<Ch>::Get();
  if (!create) {
    lastResult_ = static_cast<i32>(plat::gfx::D3DERR_NOTAVAILABLE);
  } else {
    // The library takes the description through its own opaque type.
    lastResult_ = static_cast<i32>(
        create(viewer_->GetDevice(), reinterpret_cast<const plat::gfx::FontDescription*>(&desc_), &font_));
  }
  if (lastResult_ < 0) {
    font_ = nullptr;
    DXLLogDXError(-1, "D3DXCreateFontIndirect: ", lastResult_);
  }
}

template class DXLD3DXFontT<wchar>;
template class DXLD3DXFontT<char>;
