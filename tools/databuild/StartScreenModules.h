// The loose files of the game's start, one module per file or folder of the
// data set: "Logos/Logos.txt" with its two pictures, the loading screen's
// pictures in "Loading/", the seven cursor files in "Cursors/" and the
// window icon "icon.bmp" beside them (StartScreenArt draws them all).
#pragma once

#include <string>
#include <vector>

#include "DataSetBuild.h"

class LogosModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Logos/Logos.txt"; }
  bool Build(DataSetBuild& build) override;
};

class LoadingModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Loading/"; }
  bool Build(DataSetBuild& build) override;
};

class CursorsModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Cursors/"; }
  bool Build(DataSetBuild& build) override;
};

class WindowIconModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "icon.bmp"; }
  bool Build(DataSetBuild& build) override;
};

// Writes the bytes to the data folder's relative path (making its folder);
// false with a message.
bool WriteDataFile(DataSetBuild& build, const std::string& relative, const std::vector<u8>& bytes);
// The language's pictures, drawn: "loading_logo" (320 x 160), the main
// screen's title "logo" (512 x 256) and the credits' "credits_farm" (256 x
// 128), Targa files in "language/images"; false with a message.
bool WriteLanguagePictures(DataSetBuild& build);
// A 32-bit bitmap file (BI_BITFIELDS-free, bottom-up, alpha kept) of the pixels.
std::vector<u8> BitmapFile32(u32 width, u32 height, const std::vector<u32>& argb);
