#include "engine/DXLErrors.h"

#include <cstdio>

#include "base/Strings.h"

namespace {

struct ErrorText {
  u32 code;
  const char* name;
  const char* description;
};

constexpr ErrorText kErrors[] = {
    {0x00000000u, "S_OK", "The call succeeded."},
    {0x00000001u, "S_FALSE", "The call succeeded with a partial result; for input, events were lost because the buffer was full."},
    {0x80004001u, "E_NOTIMPL", "The operation is not implemented."},
    {0x80004002u, "E_NOINTERFACE", "The requested interface is not supported."},
    {0x80004003u, "E_POINTER", "A required pointer was null."},
    {0x80004005u, "E_FAIL", "The operation failed for an unspecified reason."},
    {0x80040154u, "DIERR_DEVICENOTREG", "The input device is not registered with the system."},
    {0x80070005u, "E_ACCESSDENIED", "Access was denied; for input, another application has priority use of the device."},
    {0x80070006u, "E_HANDLE", "A handle passed to the call is not valid."},
    {0x8007000Cu, "DIERR_NOTACQUIRED", "The input device has not been acquired."},
    {0x8007000Eu, "E_OUTOFMEMORY", "There was not enough memory to complete the call."},
    {0x8007001Eu, "DIERR_INPUTLOST", "Access to the input device was lost and it must be acquired again."},
    {0x80070057u, "E_INVALIDARG", "An argument passed to the call is not valid."},
    {0x800700AAu, "DIERR_ACQUIRED", "The input device is acquired, so the change cannot be made now."},
    {0x8876017Cu, "D3DERR_OUTOFVIDEOMEMORY", "There is not enough display memory for the request."},
    {0x88760818u, "D3DERR_WRONGTEXTUREFORMAT", "The pixel format of the texture cannot be used for this operation."},
    {0x88760827u, "D3DERR_DRIVERINTERNALERROR", "The display driver reported an internal error; the device must be reset."},
    {0x88760866u, "D3DERR_NOTFOUND", "The requested item was not found."},
    {0x88760868u, "D3DERR_DEVICELOST", "The rendering device is lost and cannot be reset yet."},
    {0x88760869u, "D3DERR_DEVICENOTRESET", "The rendering device was lost and can now be reset."},
    {0x8876086Au, "D3DERR_NOTAVAILABLE", "The requested format or feature is not available."},
    {0x8876086Bu, "D3DERR_INVALIDDEVICE", "The requested device type is not valid."},
    {0x8876086Cu, "D3DERR_INVALIDCALL", "The call is not valid, for example a parameter is out of range."},
    {0x88760B59u, "D3DXERR_INVALIDDATA", "The data is not in a format that can be read."},
};

const ErrorText* Find(i32 result) {
  const u32 code = static_cast<u32>(result);
  for (const ErrorText& e : kErrors)
    if (e.code == code) return &e;
  return nullptr;
}

}  // namespace

char* DXLGetErrorName(i32 result, char* buffer, u32 capacity) {
  if (!buffer || capacity == 0) return buffer;
  if (const ErrorText* e = Find(result)) return kis::StrCopyA(buffer, capacity, e->name);
  char hex[16];
  std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<u32>(result));
  return kis::StrCopyA(buffer, capacity, hex);
}

char* DXLGetErrorDescription(i32 result, char* buffer, u32 capacity) {
  if (!buffer || capacity == 0) return buffer;
  const ErrorText* e = Find(result);
  return kis::StrCopyA(buffer, capacity, e ? e->description : "Unknown result code.");
}
