#include "platform/os/Modules.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/encoding/Ascii.h"
#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

struct Registered {
  std::string fileName;
  std::vector<ModuleExport> exports;
  uint32_t major, minor;
  char16_t letter;
};

// Libraries are found by name ignoring the case of A-Z, as file names are.
bool SameName(const std::string& a, const char* b) { return AsciiEqualNoCase(a, b); }

class DefaultProvider : public ModuleProvider {
 public:
  std::vector<Registered> modules;

  // A handle is the registered library's index + 1.
  ModuleHandle LoadLibrary(const char* fileName) override {
    if (!fileName) return 0;
    for (size_t i = 0; i < modules.size(); ++i)
      if (SameName(modules[i].fileName, fileName)) return i + 1;
    return 0;
  }
  void* GetProcAddress(ModuleHandle module, const char* name) override {
    if (module == 0 || module > modules.size() || !name) return nullptr;
    for (const ModuleExport& e : modules[module - 1].exports)
      if (std::strcmp(e.name, name) == 0) return e.address;
    return nullptr;
  }
  void FreeLibrary(ModuleHandle) override {}
  // The runtime version is the one the first registered library declares.
  bool QueryDiagnostics(DiagnosticsVersion* out) override {
    if (!out || modules.empty()) return false;
    const Registered& m = modules.front();
    *out = DiagnosticsVersion{true, m.major, true, m.minor, true, std::u16string(1, m.letter ? m.letter : u' ')};
    return true;
  }
  bool GetSystemFileVersion(const char16_t*, uint64_t*) override { return false; }
};

DefaultProvider& Default() {
  static DefaultProvider provider;
  return provider;
}

// The built-in libraries are registered on first use of the default provider.
DefaultProvider& Provider() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterBuiltInModules();
  }
  return Default();
}


}  // namespace

void RegisterModule(const char* fileName, const ModuleExport* exports, size_t count, uint32_t major,
                    uint32_t minor, char16_t letter) {
  if (!fileName) return;
  Registered entry{fileName, std::vector<ModuleExport>(exports, exports + (exports ? count : 0)), major, minor,
                   letter};
  for (Registered& m : Default().modules) {
    if (SameName(m.fileName, fileName)) {
      m = entry;
      return;
    }
  }
  Default().modules.push_back(entry);
}

ModuleProvider& GetModuleProvider() {
  ModuleProvider* installed = GetPlatformServices().moduleProvider;
  return installed != nullptr ? *installed : Provider();
}

}  // namespace plat
