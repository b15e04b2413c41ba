// DataSetBuild - one run of the data builder: the options, the name
// manifest, what the modules hand on to each other, and the modules
// themselves, one per file of the data set, run in order:
//
//   "Data.dat"      the game's tables (DataArchiveModule); its records name
//                   pictures, which it adds to the picture catalogue
//   "Sprites.dat"   the 17 sprite sets (SpriteArchiveModule): every picture
//                   of the catalogue, drawn or a labelled placeholder
//   "Sounds.dat"    samples and music (SoundArchiveModule), synthesised
//   "language.dat"  the language, always from its text source (LanguageBuild)
//
// A new archive is a new ArchiveModule added to MakeArchiveModules.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "Manifest.h"
#include "PictureCatalog.h"

struct BuildOptions {
  std::string sourceDir;   // tools/data
  std::string levelsDir;   // the level sources (empty: "levels" in sourceDir)
  std::string dataDir;     // the data folder written (made when missing)
  std::string fontFolder;  // faces looked up here first (empty: none)
  bool systemFonts = true;
  std::string contactSheet;  // a PNG of every picture written here (empty: none)
};

class DataSetBuild {
 public:
  explicit DataSetBuild(BuildOptions options);

  const BuildOptions& Options() const { return options_; }
  std::string SourcePath(const std::string& relative) const { return options_.sourceDir + "/" + relative; }
  std::string DataPath(const std::string& relative) const { return options_.dataDir + "/" + relative; }
  // The level sources' folder: --levels DIR, or "levels" in the sources.
  std::string LevelsDir() const { return options_.levelsDir.empty() ? SourcePath("levels") : options_.levelsDir; }

  Manifest& GetManifest() { return manifest_; }
  PictureCatalog& Pictures() { return pictures_; }
  // The contact sheet being gathered, when one is asked for.
  ContactSheet* Sheet() { return sheet_.get(); }

  // Sounds the data names (an animation's), made beside the manifest's.
  void RequireSound(const std::string& name) { dataSounds_.insert(FoldName(name)); }
  const std::set<std::string>& DataSounds() const { return dataSounds_; }
  // Music the data names (a level's own), made beside the manifest's.
  void RequireMusic(const std::string& name) { dataMusic_.insert(FoldName(name)); }
  const std::set<std::string>& DataMusic() const { return dataMusic_; }

  // Things made as placeholders because no source makes them yet.
  void CountPlaceholder(const char* kind) { placeholders_.push_back(kind); }
  const std::vector<const char*>& Placeholders() const { return placeholders_; }

 private:
  BuildOptions options_;
  Manifest manifest_;
  PictureCatalog pictures_;
  std::unique_ptr<ContactSheet> sheet_;
  std::set<std::string> dataSounds_;
  std::set<std::string> dataMusic_;
  std::vector<const char*> placeholders_;
};

class ArchiveModule {
 public:
  virtual ~ArchiveModule() = default;
  virtual const char* FileName() const = 0;
  // Writes the file; false when it failed (a message has been printed).
  virtual bool Build(DataSetBuild& build) = 0;
};

std::vector<std::unique_ptr<ArchiveModule>> MakeArchiveModules();

// Reads the manifest and runs every module (then writes the contact sheet
// when asked); 0 on success, otherwise a message has been printed. Says
// what it wrote, the placeholders left and the time it took.
int BuildDataSet(const BuildOptions& options);
