// databuild: writes the game's sample data set ("Data.dat", "Sprites.dat",
// "Sounds.dat" and "language.dat") from the sources the project owns.
//
//   databuild [--font-folder DIR] [--no-system-fonts] [--contact-sheet FILE.png] [--levels DIR] SOURCE DATA
//     SOURCE  the data sources (tools/data)
//     DATA    the data folder to write (made when missing)
//     --levels         the level files (level_01.txt ...) come from DIR
//                      instead of SOURCE/levels (the scenario levels:
//                      tools/data/scenarios)
//     --contact-sheet  also writes one PNG of every picture and animation
//                      frame, at its real size, under its name
//   databuild --music-wav DATA OUT
//     plays every music track of DATA/Sounds.dat through the game's sound
//     code on the offline output and writes OUT/<name>.wav
#include <cstdio>
#include <string>
#include <vector>

#include "DataSetBuild.h"
#include "MusicRender.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: databuild [--font-folder DIR] [--no-system-fonts] [--contact-sheet FILE.png] [--levels DIR]\n"
               "                 SOURCE DATA\n"
               "       databuild --music-wav DATA OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  BuildOptions options;
  bool musicWav = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--font-folder" && i + 1 < argc) {
      options.fontFolder = argv[++i];
    } else if (a == "--contact-sheet" && i + 1 < argc) {
      options.contactSheet = argv[++i];
    } else if (a == "--levels" && i + 1 < argc) {
      options.levelsDir = argv[++i];
    } else if (a == "--no-system-fonts") {
      options.systemFonts = false;
    } else if (a == "--music-wav") {
      musicWav = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage();
    } else {
      args.push_back(a);
    }
  }
  if (args.size() != 2) return Usage();
  if (musicWav) return RenderMusic(args[0], args[1]);
  options.sourceDir = args[0];
  options.dataDir = args[1];
  return BuildDataSet(options);
}
