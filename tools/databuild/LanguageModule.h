// The language part of the data set: the sample language's text tree, its
// pictures and its four bitmap fonts (baked from system faces) are staged in
// "<data>/language/", and the language is written from there as the cache
// "<data>/language.dat", then read back to check that it is whole.
#pragma once

#include <string>

struct LanguageBuildOptions {
  std::string sourceDir;   // tools/data
  std::string dataDir;     // the data folder written
  std::string fontFolder;  // faces looked up here first (empty: none)
  bool systemFonts = true;
};

// 0 on success; otherwise a message has been printed.
int BuildLanguage(const LanguageBuildOptions& options);
