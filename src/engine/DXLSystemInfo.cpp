#include "engine/DXLSystemInfo.h"

#include "base/SystemInfo.h"
#include "engine/DXLD3DX.h"
#include "engine/DXLDirectXVersion.h"
#include "engine/DXLLog.h"

i32 DXLLogSystemInfo() {
  wchar name[256];
  kis::GetOSNameW(name, 256, true);
  DXLLogValueW(-1, u"System:", name);
  if (DXLLogIsOpen()) {
    u32 version = 0;
    wchar text[32];
    if (DXLGetDirectXVersion(&version, text, 32) < 0)
      DXLLogValueA(-1, "DirectX version:", "Unknown");
    else if (version > 0)
      DXLLogValueW(-1, u"DirectX version:", text);
    else
      DXLLogValueA(-1, "DirectX version:", "Not installed");
  }
  return DXLLoadD3DX();
}
