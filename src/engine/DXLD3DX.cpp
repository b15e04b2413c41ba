#include "engine/DXLD3DX.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/DXLLog.h"

namespace {

constexpr i32 kFail = static_cast<i32>(0x80004005u);

const char* const kFunctionNames[kD3DXFunctionCount] = {
    "D3DXMatrixOrthoOffCenterLH",       "D3DXMatrixAffineTransformation2D", "D3DXCreateTexture",
    "D3DXCreateTextureFromFileExW",     "D3DXCreateTextureFromFileExA",     "D3DXCreateFontIndirectW",
    "D3DXCreateFontIndirectA",          "D3DXGetImageInfoFromFileInMemory", "D3DXCreateTextureFromFileInMemoryEx",
};

struct D3DXState {
  plat::ModuleHandle module = 0;
  std::string fileName;
  DXLD3DXFUNCTIONS functions{};
};

D3DXState& State() {
  static D3DXState state;  // the module the process loaded: one per process by nature
  return state;
}

// Fetches one function into its typed slot; false when it is missing.
template <class F>
bool Fetch(plat::ModuleProvider& provider, plat::ModuleHandle module, const char* name, F* slot) {
  *slot = reinterpret_cast<F>(provider.GetProcAddress(module, name));
  if (*slot) return true;
  DXLReportErrorA(-1, "Proc not found: %s", name);
  return false;
}

}  // namespace

i32 DXLLoadD3DX() {
  DXLUnloadD3DX();
  D3DXState& s = State();
  plat::ModuleProvider& provider = plat::GetModuleProvider();

  // The versions 27 to 24 come first, then 38 down to 28.
  std::vector<int> order = {27, 26, 25, 24};
  for (int v = 38; v >= 28; --v) order.push_back(v);
  for (int v : order) {
    char name[32];
    std::snprintf(name, sizeof(name), "d3dx9_%d.dll", v);
    s.module = provider.LoadLibrary(name);
    if (s.module) {
      s.fileName = name;
      DXLLogValueA(-1, "D3DX9:", name);
      break;
    }
  }
  if (!s.module) {
    DXLReportErrorA(-1, "DirectX library d3dx9_xx.dll not found.");
    return kFail;
  }

  // Every function is fetched even after one is missing.
  DXLD3DXFUNCTIONS& f = s.functions;
  const char* const* n = kFunctionNames;
  bool all = Fetch(provider, s.module, n[0], &f.MatrixOrthoOffCenterLH);
  all &= Fetch(provider, s.module, n[1], &f.MatrixAffineTransformation2D);
  all &= Fetch(provider, s.module, n[2], &f.CreateTexture);
  all &= Fetch(provider, s.module, n[3], &f.CreateTextureFromFileExW);
  all &= Fetch(provider, s.module, n[4], &f.CreateTextureFromFileExA);
  all &= Fetch(provider, s.module, n[5], &f.CreateFontIndirectW);
  all &= Fetch(provider, s.module, n[6], &f.CreateFontIndirectA);
  all &= Fetch(provider, s.module, n[7], &f.GetImageInfoFromFileInMemory);
  all &= Fetch(provider, s.module, n[8], &f.CreateTextureFromFileInMemoryEx);
  return all ? 0 : kFail;
}

void DXLUnloadD3DX() {
  D3DXState& s = State();
  if (s.module) plat::GetModuleProvider().FreeLibrary(s.module);
  s = D3DXState{};
}

bool DXLIsD3DXLoaded() { return State().module != 0; }
const DXLD3DXFUNCTIONS& DXLGetD3DX() { return State().functions; }
const char* DXLGetD3DXFileName() { return State().fileName.c_str(); }
