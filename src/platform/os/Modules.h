// Run-time libraries and the graphics runtime's version, in the shape the
// engine asks for them: load a library by file name, fetch its functions by
// name, free it; ask the diagnostics component for the runtime's version and
// read the version resources of system files.
//
// Nothing is loaded from disk: the provider answers from libraries that the
// platform layer itself registers (the graphics utility stand-in registers
// its functions under its file name and declares the runtime version it
// stands for). Tests install a provider of their own to reach every path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

using ModuleHandle = uintptr_t;  // 0 = none

// What the diagnostics component reports: each property is present only when
// it was read with the expected type.
struct DiagnosticsVersion {
  bool hasMajor = false;
  uint32_t major = 0;
  bool hasMinor = false;
  uint32_t minor = 0;
  bool hasLetter = false;
  std::u16string letter;  // first character is the letter, a blank when none
};

class ModuleProvider {
 public:
  virtual ~ModuleProvider() = default;
  virtual ModuleHandle LoadLibrary(const char* fileName) = 0;              // 0 when not found
  virtual void* GetProcAddress(ModuleHandle module, const char* name) = 0;  // null when missing
  virtual void FreeLibrary(ModuleHandle module) = 0;
  // False when there is no diagnostics component.
  virtual bool QueryDiagnostics(DiagnosticsVersion* out) = 0;
  // The fixed file version (a.b.c.d packed as a << 48 | b << 32 | c << 16 | d)
  // of a file in the system folder; false when it has no version resource.
  virtual bool GetSystemFileVersion(const char16_t* fileName, uint64_t* version) = 0;
};

// A function a registered library exports.
struct ModuleExport {
  const char* name;
  void* address;
};

// Registers (or replaces) a library the default provider can load, with its
// exports and the runtime version (major, minor, letter or 0) it declares.
void RegisterModule(const char* fileName, const ModuleExport* exports, size_t count, uint32_t major,
                    uint32_t minor, char16_t letter);

// The graphics utility stand-in as the default provider knows it: its library
// file name and the runtime version it declares (9.0c).
extern const char* const kGfxUtilityModuleName;
// Registers the platform's own libraries (called once by the default provider).
void RegisterBuiltInModules();

// The installed provider (PlatformServices::moduleProvider); the default
// one, over the registered libraries, when none is.
ModuleProvider& GetModuleProvider();

}  // namespace plat
