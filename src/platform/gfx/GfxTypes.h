// Numbers, records and result codes of the software graphics device. The
// values are the ones the game's data and code carry (render states, texture
// operations, formats, blend factors, result codes), so they flow through
// unchanged; only the subset the game uses is named here.
#pragma once

#include <cstdint>

namespace plat::gfx {

using HRESULT = int32_t;
using WindowHandle = uintptr_t;

constexpr HRESULT Code(uint32_t v) { return static_cast<HRESULT>(v); }

// Result codes.
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = Code(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = Code(0x80070057u);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = Code(0x88760818u);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = Code(0x88760827u);
constexpr HRESULT D3DERR_NOTFOUND = Code(0x88760866u);
constexpr HRESULT D3DERR_DEVICELOST = Code(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = Code(0x88760869u);
constexpr HRESULT D3DERR_NOTAVAILABLE = Code(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = Code(0x8876017Cu);
constexpr HRESULT D3DERR_INVALIDCALL = Code(0x8876086Cu);
constexpr HRESULT D3DXERR_INVALIDDATA = Code(0x88760B59u);

constexpr bool Failed(HRESULT hr) { return hr < 0; }
constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

// Formats.
constexpr uint32_t D3DFMT_UNKNOWN = 0;
constexpr uint32_t D3DFMT_R8G8B8 = 20;
constexpr uint32_t D3DFMT_A8R8G8B8 = 21;
constexpr uint32_t D3DFMT_X8R8G8B8 = 22;
constexpr uint32_t D3DFMT_R5G6B5 = 23;
constexpr uint32_t D3DFMT_X1R5G5B5 = 24;
constexpr uint32_t D3DFMT_A1R5G5B5 = 25;
constexpr uint32_t D3DFMT_A4R4G4B4 = 26;
constexpr uint32_t D3DFMT_R3G3B2 = 27;
constexpr uint32_t D3DFMT_A8 = 28;
constexpr uint32_t D3DFMT_A8R3G3B2 = 29;
constexpr uint32_t D3DFMT_X4R4G4B4 = 30;
constexpr uint32_t D3DFMT_A2R10G10B10 = 35;
constexpr uint32_t D3DFMT_L8 = 50;
constexpr uint32_t D3DFMT_A8L8 = 51;
constexpr uint32_t D3DFMT_A4L4 = 52;
constexpr uint32_t D3DFMT_D24S8 = 75;
constexpr uint32_t D3DFMT_D24X8 = 77;
constexpr uint32_t D3DFMT_D16 = 80;
constexpr uint32_t D3DFMT_DXT1 = 0x31545844u;
constexpr uint32_t D3DFMT_DXT2 = 0x32545844u;
constexpr uint32_t D3DFMT_DXT3 = 0x33545844u;
constexpr uint32_t D3DFMT_DXT4 = 0x34545844u;
constexpr uint32_t D3DFMT_DXT5 = 0x35545844u;
constexpr uint32_t D3DFMT_FROM_FILE = 0xFFFFFFFDu;

// Render states.
constexpr uint32_t D3DRS_ZENABLE = 7;
constexpr uint32_t D3DRS_ZWRITEENABLE = 14;
constexpr uint32_t D3DRS_ALPHATESTENABLE = 15;
constexpr uint32_t D3DRS_SRCBLEND = 19;
constexpr uint32_t D3DRS_DESTBLEND = 20;
constexpr uint32_t D3DRS_CULLMODE = 22;
constexpr uint32_t D3DRS_ZFUNC = 23;
constexpr uint32_t D3DRS_ALPHAREF = 24;
constexpr uint32_t D3DRS_ALPHAFUNC = 25;
constexpr uint32_t D3DRS_DITHERENABLE = 26;
constexpr uint32_t D3DRS_ALPHABLENDENABLE = 27;
constexpr uint32_t D3DRS_STENCILENABLE = 52;
constexpr uint32_t D3DRS_STENCILFAIL = 53;
constexpr uint32_t D3DRS_STENCILZFAIL = 54;
constexpr uint32_t D3DRS_STENCILPASS = 55;
constexpr uint32_t D3DRS_STENCILFUNC = 56;
constexpr uint32_t D3DRS_STENCILREF = 57;
constexpr uint32_t D3DRS_STENCILMASK = 58;
constexpr uint32_t D3DRS_STENCILWRITEMASK = 59;
constexpr uint32_t D3DRS_CLIPPING = 136;
constexpr uint32_t D3DRS_LIGHTING = 137;
constexpr uint32_t D3DRS_COLORWRITEENABLE = 168;
constexpr uint32_t D3DRS_SCISSORTESTENABLE = 174;
constexpr uint32_t kRenderStateCount = 256;  // every state number is below this

// Comparison functions (alpha test, stencil, z).
constexpr uint32_t D3DCMP_NEVER = 1;
constexpr uint32_t D3DCMP_LESS = 2;
constexpr uint32_t D3DCMP_EQUAL = 3;
constexpr uint32_t D3DCMP_LESSEQUAL = 4;
constexpr uint32_t D3DCMP_GREATER = 5;
constexpr uint32_t D3DCMP_NOTEQUAL = 6;
constexpr uint32_t D3DCMP_GREATEREQUAL = 7;
constexpr uint32_t D3DCMP_ALWAYS = 8;

// Stencil operations.
constexpr uint32_t D3DSTENCILOP_KEEP = 1;
constexpr uint32_t D3DSTENCILOP_ZERO = 2;
constexpr uint32_t D3DSTENCILOP_REPLACE = 3;
constexpr uint32_t D3DSTENCILOP_INCRSAT = 4;
constexpr uint32_t D3DSTENCILOP_DECRSAT = 5;
constexpr uint32_t D3DSTENCILOP_INVERT = 6;
constexpr uint32_t D3DSTENCILOP_INCR = 7;
constexpr uint32_t D3DSTENCILOP_DECR = 8;

// Blend factors.
constexpr uint32_t D3DBLEND_ZERO = 1;
constexpr uint32_t D3DBLEND_ONE = 2;
constexpr uint32_t D3DBLEND_SRCCOLOR = 3;
constexpr uint32_t D3DBLEND_INVSRCCOLOR = 4;
constexpr uint32_t D3DBLEND_SRCALPHA = 5;
constexpr uint32_t D3DBLEND_INVSRCALPHA = 6;
constexpr uint32_t D3DBLEND_DESTALPHA = 7;
constexpr uint32_t D3DBLEND_INVDESTALPHA = 8;
constexpr uint32_t D3DBLEND_DESTCOLOR = 9;
constexpr uint32_t D3DBLEND_INVDESTCOLOR = 10;
constexpr uint32_t D3DBLEND_SRCALPHASAT = 11;

// Cull modes.
constexpr uint32_t D3DCULL_NONE = 1;
constexpr uint32_t D3DCULL_CW = 2;
constexpr uint32_t D3DCULL_CCW = 3;

// Colour write mask bits.
constexpr uint32_t D3DCOLORWRITEENABLE_RED = 1;
constexpr uint32_t D3DCOLORWRITEENABLE_GREEN = 2;
constexpr uint32_t D3DCOLORWRITEENABLE_BLUE = 4;
constexpr uint32_t D3DCOLORWRITEENABLE_ALPHA = 8;

// Sampler states and their values.
constexpr uint32_t D3DSAMP_ADDRESSU = 1;
constexpr uint32_t D3DSAMP_ADDRESSV = 2;
constexpr uint32_t D3DSAMP_BORDERCOLOR = 4;
constexpr uint32_t D3DSAMP_MAGFILTER = 5;
constexpr uint32_t D3DSAMP_MINFILTER = 6;
constexpr uint32_t D3DSAMP_MIPFILTER = 7;
constexpr uint32_t kSamplerStateCount = 14;
constexpr uint32_t D3DTADDRESS_WRAP = 1;
constexpr uint32_t D3DTADDRESS_MIRROR = 2;
constexpr uint32_t D3DTADDRESS_CLAMP = 3;
constexpr uint32_t D3DTADDRESS_BORDER = 4;
constexpr uint32_t D3DTADDRESS_MIRRORONCE = 5;
constexpr uint32_t D3DTEXF_NONE = 0;
constexpr uint32_t D3DTEXF_POINT = 1;
constexpr uint32_t D3DTEXF_LINEAR = 2;

// Texture-stage states and operations. Stage 0 takes the texture as its
// first argument and the vertex colour as its second.
constexpr uint32_t D3DTSS_COLOROP = 1;
constexpr uint32_t D3DTSS_COLORARG1 = 2;
constexpr uint32_t D3DTSS_COLORARG2 = 3;
constexpr uint32_t D3DTSS_ALPHAOP = 4;
constexpr uint32_t D3DTSS_ALPHAARG1 = 5;
constexpr uint32_t D3DTSS_ALPHAARG2 = 6;
constexpr uint32_t kStageStateCount = 33;
constexpr uint32_t kStageCount = 8;
constexpr uint32_t D3DTOP_DISABLE = 1;
constexpr uint32_t D3DTOP_SELECTARG1 = 2;
constexpr uint32_t D3DTOP_SELECTARG2 = 3;
constexpr uint32_t D3DTOP_MODULATE = 4;
constexpr uint32_t D3DTOP_MODULATE2X = 5;
constexpr uint32_t D3DTOP_MODULATE4X = 6;
constexpr uint32_t D3DTOP_ADD = 7;
constexpr uint32_t D3DTOP_ADDSIGNED = 8;
constexpr uint32_t D3DTOP_ADDSIGNED2X = 9;
constexpr uint32_t D3DTOP_SUBTRACT = 10;
constexpr uint32_t D3DTOP_ADDSMOOTH = 11;
constexpr uint32_t D3DTOP_BLENDDIFFUSEALPHA = 12;
constexpr uint32_t D3DTOP_BLENDTEXTUREALPHA = 13;
constexpr uint32_t D3DTA_DIFFUSE = 0;
constexpr uint32_t D3DTA_CURRENT = 1;
constexpr uint32_t D3DTA_TEXTURE = 2;

// Transforms, vertex formats and primitives.
constexpr uint32_t D3DTS_VIEW = 2;
constexpr uint32_t D3DTS_PROJECTION = 3;
constexpr uint32_t D3DTS_WORLD = 256;
constexpr uint32_t D3DFVF_XYZ = 0x002;
constexpr uint32_t D3DFVF_NORMAL = 0x010;
constexpr uint32_t D3DFVF_PSIZE = 0x020;
constexpr uint32_t D3DFVF_DIFFUSE = 0x040;
constexpr uint32_t D3DFVF_SPECULAR = 0x080;
constexpr uint32_t D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr uint32_t D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr uint32_t D3DPT_LINESTRIP = 3;
constexpr uint32_t D3DPT_TRIANGLEFAN = 6;

// Clear flags.
constexpr uint32_t D3DCLEAR_TARGET = 1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 2;
constexpr uint32_t D3DCLEAR_STENCIL = 4;

// Adapter, device creation and presentation.
constexpr uint32_t D3D_SDK_VERSION = 32;
constexpr uint32_t D3DADAPTER_DEFAULT = 0;
constexpr uint32_t D3DDEVTYPE_HAL = 1;
constexpr uint32_t D3DDEVTYPE_REF = 2;
constexpr uint32_t D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1;
constexpr uint32_t D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL = 2;
constexpr uint32_t D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr uint32_t D3DPRESENT_INTERVAL_ONE = 1;
constexpr uint32_t D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr uint32_t D3DPOOL_DEFAULT = 0;
constexpr uint32_t D3DPOOL_MANAGED = 1;
constexpr uint32_t D3DUSAGE_DEPTHSTENCIL = 2;
constexpr uint32_t D3DRTYPE_SURFACE = 1;
constexpr uint32_t D3DRTYPE_TEXTURE = 3;
constexpr uint32_t D3DLOCK_READONLY = 0x10;
constexpr uint32_t D3DLOCK_NOSYSLOCK = 0x800;
constexpr uint32_t D3DMULTISAMPLE_NONE = 0;

// Capability bits the engine tests.
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr uint32_t D3DPMISCCAPS_COLORWRITEENABLE = 0x80;
constexpr uint32_t D3DPTEXTURECAPS_POW2 = 0x2;
constexpr uint32_t D3DPTEXTURECAPS_NONPOW2CONDITIONAL = 0x100;

// A row-vector 4 x 4 matrix: a point transforms as v' = v * M, so the
// translation sits in the last row (m[3][0], m[3][1], m[3][2]).
struct Matrix {
  float m[4][4];
};
Matrix IdentityMatrix();
Matrix Multiply(const Matrix& a, const Matrix& b);  // a then b

struct Rect {
  int32_t left, top, right, bottom;
};

struct DisplayMode {
  uint32_t width, height, refreshRate, format;
};

struct AdapterIdentifier {
  char driver[512];
  char description[512];
  char deviceName[32];
  uint64_t driverVersion;  // four 16-bit parts, most significant first
  uint32_t vendorId, deviceId, subSysId, revision;
};

// The capability record; fields the engine never reads are left out.
struct Caps {
  uint32_t deviceType;
  uint32_t adapterOrdinal;
  uint32_t caps, caps2, caps3;
  uint32_t presentationIntervals;
  uint32_t cursorCaps;
  uint32_t devCaps;
  uint32_t primitiveMiscCaps;
  uint32_t rasterCaps;
  uint32_t srcBlendCaps, destBlendCaps;
  uint32_t alphaCmpCaps;
  uint32_t textureCaps;
  uint32_t textureFilterCaps;
  uint32_t textureAddressCaps;
  uint32_t stencilCaps;
  uint32_t textureOpCaps;
  uint32_t maxTextureWidth, maxTextureHeight;
  uint32_t maxTextureBlendStages, maxSimultaneousTextures;
};

struct PresentParams {
  uint32_t backBufferWidth;
  uint32_t backBufferHeight;
  uint32_t backBufferFormat;
  uint32_t backBufferCount;
  uint32_t multiSampleType;
  uint32_t multiSampleQuality;
  uint32_t swapEffect;
  WindowHandle deviceWindow;
  uint32_t windowed;
  uint32_t enableAutoDepthStencil;
  uint32_t autoDepthStencilFormat;
  uint32_t flags;
  uint32_t fullScreenRefreshRate;
  uint32_t presentationInterval;
};

struct SurfaceDesc {
  uint32_t format;
  uint32_t type;
  uint32_t usage;
  uint32_t pool;
  uint32_t width, height;
};

struct LockedRect {
  int32_t pitch;
  void* bits;
};

struct ImageInfo {
  uint32_t width, height, depth, mipLevels, format;
};

}  // namespace plat::gfx
