// DXLD3DXFontW / DXLD3DXFontA - a font held as a font object of the graphics
// utility library on the viewer's device, made from a DXLFontProps
// description. It is a device object: it joins its viewer's list, makes the
// font anew when the device is created or reset and releases it before the
// device is released or reset. Creation failures are logged
// ("D3DXCreateFontIndirect: " with the result) and leave it without a font
// object; the platform's utility library answers "not available" to every
// font request, so there the font follows the device without ever holding one.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDeviceObject.h"
#include "engine/text/DXLFontProps.h"

// The description handed to the utility library's font creation.
template <class Ch>
struct DXLD3DXFONTDESC {
  i32 height;  // negative: the em height in pixels
  u32 width;
  u32 weight;
  u32 mipLevels;
  u32 italic;
  u8 charSet;
  u8 outputPrecision;
  u8 quality;
  u8 pitchAndFamily;
  Ch faceName[32];
};

template <class Ch>
class DXLD3DXFontT : public DXLDeviceObject {
 public:
  static constexpr i32 kScreenDpi = 96;  // the screen's pixels per logical inch

  // Takes ownership of the description (null: none).
  explicit DXLD3DXFontT(DXLFontPropsT<Ch>* props = nullptr);
  ~DXLD3DXFontT() override;

  void OnDeviceEvent(DXLViewer* viewer, u32 code) override;

  // Leaves the old viewer's list, joins the new one's and makes the font anew.
  void SetViewer(DXLViewer* viewer);
  DXLFontPropsT<Ch>* GetProps() const { return props_.get(); }
  void* GetFontObject() const { return font_; }
  i32 GetLastResult() const { return lastResult_; }
  // The description as it is handed to the library (valid after a creation attempt).
  const DXLD3DXFONTDESC<Ch>& GetDescription() const { return desc_; }

  void Create();   // releases the font object, then makes it anew when viewer and description are there
  void Release();  // drops the font object

 private:
  std::unique_ptr<DXLFontPropsT<Ch>> props_;
  void* font_ = nullptr;
  i32 lastResult_ = 0;
  DXLD3DXFONTDESC<Ch> desc_{};
};

using DXLD3DXFontW = DXLD3DXFontT<wchar>;
using DXLD3DXFontA = DXLD3DXFontT<char>;

extern template class DXLD3DXFontT<wchar>;
extern template class DXLD3DXFontT<char>;
