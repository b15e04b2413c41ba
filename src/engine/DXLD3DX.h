// The graphics utility library, loaded at run time: the first of the known
// library file names that the module provider can load is kept, and its nine
// functions are fetched by name into a process-wide table. The library stays
// loaded until DXLUnloadD3DX, even when a function was missing.
#pragma once

#include "base/Types.h"
#include "platform/gfx/GfxD3dx.h"
#include "platform/os/Modules.h"

// The fetched functions, in the order they are fetched; null when missing.
struct DXLD3DXFUNCTIONS {
  decltype(&plat::gfx::D3DXMatrixOrthoOffCenterLH) MatrixOrthoOffCenterLH;
  decltype(&plat::gfx::D3DXMatrixAffineTransformation2D) MatrixAffineTransformation2D;
  decltype(&plat::gfx::D3DXCreateTexture) CreateTexture;
  decltype(&plat::gfx::D3DXCreateTextureFromFileExW) CreateTextureFromFileExW;
  decltype(&plat::gfx::D3DXCreateTextureFromFileExA) CreateTextureFromFileExA;
  decltype(&plat::gfx::D3DXCreateFontIndirectW) CreateFontIndirectW;
  decltype(&plat::gfx::D3DXCreateFontIndirectA) CreateFontIndirectA;
  decltype(&plat::gfx::D3DXGetImageInfoFromFileInMemory) GetImageInfoFromFileInMemory;
  decltype(&plat::gfx::D3DXCreateTextureFromFileInMemoryEx) CreateTextureFromFileInMemoryEx;
};

constexpr u32 kD3DXFunctionCount = 9;

// Searches "d3dx9_27.dll" down to "d3dx9_24.dll", then "d3dx9_38.dll" down to
// "d3dx9_28.dll", logging the one found as "D3DX9:"; then fetches the nine
// functions. 0, or 0x80004005 when no library loads or a function is missing
// (each missing one is logged). A library loaded before is freed first.
i32 DXLLoadD3DX();
void DXLUnloadD3DX();
inline void DXLFreeD3DX() { DXLUnloadD3DX(); }  // the viewer's name for the unload
bool DXLIsD3DXLoaded();
const DXLD3DXFUNCTIONS& DXLGetD3DX();
// The name of the loaded library; empty when none is loaded.
const char* DXLGetD3DXFileName();
