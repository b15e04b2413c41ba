// SoundArchiveModule - writes "Sounds.dat": a sample for every sound of the
// manifest ("SAMP", in the manifest's order, with the standard-name block
// of the standard sound table), then the sounds only the data names, and a
// track for every music of it and every level's own ("MUSC"), synthesised
// (SoundRecipes.h, MusicComposer.h) and encoded as Ogg Vorbis with the
// encoder's fixed stream serial, so the bytes are the same on every run. A
// name with no recipe gets a placeholder, counted.
#pragma once

#include "DataSetBuild.h"

class SoundArchiveModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Sounds.dat"; }
  bool Build(DataSetBuild& build) override;
};
