#include "engine/DXLViewerStandIns.h"

#include "base/SystemInfo.h"
#include "engine/DXLImageDecoder.h"
#include "engine/DXLLog.h"

i32 DXLLogSystemInfo() {
  wchar os[128];
  kis::GetOSNameW(os, 128, true);
  DXLLogValueW(-1, u"System:", os);
  if (DXLLogIsOpen()) DXLLogValueA(-1, "DirectX version:", "9.0c");
  DXLInstallImageDecoder();
  return 0;
}

void DXLFreeD3DX() { DXLRemoveImageDecoder(); }
