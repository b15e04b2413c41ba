// databuild: writes the game's sample data set.
//
//   databuild [--font-folder DIR] [--no-system-fonts] SOURCE DATA
//     SOURCE  the data sources (tools/data)
//     DATA    the data folder to write (made when missing)
#include <cstdio>
#include <string>
#include <vector>

#include "LanguageBuild.h"

int main(int argc, char** argv) {
  LanguageBuildOptions options;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--font-folder" && i + 1 < argc) {
      options.fontFolder = argv[++i];
    } else if (a == "--no-system-fonts") {
      options.systemFonts = false;
    } else {
      args.push_back(a);
    }
  }
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: databuild [--font-folder DIR] [--no-system-fonts] SOURCE DATA\n");
    return 2;
  }
  options.sourceDir = args[0];
  options.dataDir = args[1];
  return BuildLanguage(options);
}
