#include "DataSetBuild.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "DataArchiveModule.h"
#include "LanguageModule.h"
#include "PictureCanvas.h"
#include "SoundArchiveModule.h"
#include "SpriteArchiveModule.h"
#include "StartScreenModules.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontResolver.h"
#include "resources/SpriteSet.h"

DataSetBuild::DataSetBuild(BuildOptions options) : options_(std::move(options)) {
  if (!options_.contactSheet.empty()) sheet_ = std::make_unique<ContactSheet>(kAnimationSpriteSet);
}

std::vector<std::unique_ptr<ArchiveModule>> MakeArchiveModules() {
  std::vector<std::unique_ptr<ArchiveModule>> modules;
  modules.push_back(std::make_unique<DataArchiveModule>());    // names the pictures its records use
  modules.push_back(std::make_unique<SpriteArchiveModule>());  // so it comes after it
  modules.push_back(std::make_unique<SoundArchiveModule>());
  modules.push_back(std::make_unique<LanguageModule>());
  modules.push_back(std::make_unique<LogosModule>());
  modules.push_back(std::make_unique<LoadingModule>());
  modules.push_back(std::make_unique<CursorsModule>());
  modules.push_back(std::make_unique<WindowIconModule>());
  return modules;
}

int BuildDataSet(const BuildOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  std::error_code ec;
  std::filesystem::create_directories(options.dataDir, ec);
  if (ec) {
    std::fprintf(stderr, "databuild: cannot make %s: %s\n", options.dataDir.c_str(), ec.message().c_str());
    return 1;
  }
  // Every face (labels, the language's fonts) comes from the one resolver.
  plat::FontResolver& resolver = plat::DefaultFontResolver();
  if (!options.fontFolder.empty()) resolver.SetFolder(plat::Utf8ToUtf16(options.fontFolder));
  resolver.SetUseSystemFonts(options.systemFonts);

  DataSetBuild build(options);
  std::string error;
  if (!build.GetManifest().Load(build.SourcePath("names.txt"), &error)) {
    std::fprintf(stderr, "databuild: %s\n", error.c_str());
    return 1;
  }
  for (const std::unique_ptr<ArchiveModule>& module : MakeArchiveModules()) {
    if (!module->Build(build)) {
      std::fprintf(stderr, "databuild: %s failed\n", module->FileName());
      return 1;
    }
  }
  if (ContactSheet* sheet = build.Sheet()) {
    const LabelFont font;
    if (!sheet->Write(options.contactSheet, font, &error)) {
      std::fprintf(stderr, "databuild: cannot write the contact sheet: %s\n", error.c_str());
      return 1;
    }
    std::printf("contact sheet written to %s\n", options.contactSheet.c_str());
  }
  std::map<std::string, u32> left;
  for (const char* kind : build.Placeholders()) ++left[kind];
  std::string counts;
  for (const auto& [kind, n] : left) counts += (counts.empty() ? "" : ", ") + std::to_string(n) + " " + kind + (n == 1 ? "" : "s");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("placeholders left: %zu%s%s%s\n", build.Placeholders().size(), counts.empty() ? "" : " (",
              counts.c_str(), counts.empty() ? "" : ")");
  std::printf("data set written to %s in %.2f s\n", options.dataDir.c_str(), seconds);
  return 0;
}
