// SpriteArchiveModule - writes "Sprites.dat": the 17 sprite sets, each with
// its image, sprite and map-sprite sections, holding every picture of the
// catalogue (the manifest's and those the data's records name). A picture
// is its image under its name; a sprite shows the whole image as one frame;
// a map sprite stands on that sprite with its hot spot in the middle. Until
// art is drawn for them, every picture is a labelled placeholder.
#pragma once

#include "DataSetBuild.h"

class SpriteArchiveModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Sprites.dat"; }
  bool Build(DataSetBuild& build) override;
};
