// A module provider for tests: libraries that can be loaded by name, functions
// that are missing, what the diagnostics component reports and the versions
// of system files. It records the names it was asked to load. Its user
// installs it (PlatformServices::moduleProvider) for as long as it lives.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os/Modules.h"
#include "platform/os/PlatformServices.h"

class FakeModules : public plat::ModuleProvider {
 public:
  FakeModules() = default;
  FakeModules(const FakeModules&) = delete;
  FakeModules& operator=(const FakeModules&) = delete;

  plat::ModuleHandle LoadLibrary(const char* fileName) override {
    asked.push_back(fileName);
    for (size_t i = 0; i < libraries.size(); ++i)
      if (libraries[i] == fileName) return i + 1;
    return 0;
  }
  void* GetProcAddress(plat::ModuleHandle module, const char* name) override {
    if (module == 0 || missing.count(name)) return nullptr;
    return &token;
  }
  void FreeLibrary(plat::ModuleHandle module) override { freed.push_back(module); }
  bool QueryDiagnostics(plat::DiagnosticsVersion* out) override {
    if (!hasDiagnostics) return false;
    *out = diagnostics;
    return true;
  }
  bool GetSystemFileVersion(const char16_t* fileName, uint64_t* version) override {
    const auto it = files.find(fileName);
    if (it == files.end()) return false;
    *version = it->second;
    return true;
  }

  std::vector<std::string> libraries;
  std::set<std::string> missing;
  bool hasDiagnostics = false;
  plat::DiagnosticsVersion diagnostics;
  std::map<std::u16string, uint64_t> files;
  std::vector<std::string> asked;
  std::vector<plat::ModuleHandle> freed;
  int token = 0;
};
