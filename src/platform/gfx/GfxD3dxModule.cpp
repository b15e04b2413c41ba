// The graphics utility stand-in as a run-time library: its nine functions
// under their names, found by the engine's library search.
#include "platform/gfx/GfxD3dx.h"
#include "platform/os/Modules.h"

namespace plat {

const char* const kGfxUtilityModuleName = "d3dx9_27.dll";

void RegisterBuiltInModules() {
  using namespace plat::gfx;
  static const ModuleExport exports[] = {
      {"D3DXMatrixOrthoOffCenterLH", reinterpret_cast<void*>(&D3DXMatrixOrthoOffCenterLH)},
      {"D3DXMatrixAffineTransformation2D", reinterpret_cast<void*>(&D3DXMatrixAffineTransformation2D)},
      {"D3DXCreateTexture", reinterpret_cast<void*>(&D3DXCreateTexture)},
      {"D3DXCreateTextureFromFileExW", reinterpret_cast<void*>(&D3DXCreateTextureFromFileExW)},
      {"D3DXCreateTextureFromFileExA", reinterpret_cast<void*>(&D3DXCreateTextureFromFileExA)},
      {"D3DXCreateFontIndirectW", reinterpret_cast<void*>(&D3DXCreateFontIndirectW)},
      {"D3DXCreateFontIndirectA", reinterpret_cast<void*>(&D3DXCreateFontIndirectA)},
      {"D3DXGetImageInfoFromFileInMemory", reinterpret_cast<void*>(&D3DXGetImageInfoFromFileInMemory)},
      {"D3DXCreateTextureFromFileInMemoryEx", reinterpret_cast<void*>(&D3DXCreateTextureFromFileInMemoryEx)},
  };
  RegisterModule(kGfxUtilityModuleName, exports, sizeof(exports) / sizeof(exports[0]), 9, 0, u'c');
}

}  // namespace plat
