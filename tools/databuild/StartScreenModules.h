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
// The language's "loading_logo" picture (a Targa file).
std::vector<u8> LoadingLogoFile();
// The language's title picture "logo" of the main screen (a 512 x 256 Targa file).
std::vector<u8> TitleLogoFile();
// The credits' picture "credits_farm" of the language (a 256 x 128 Targa file).
std::vector<u8> CreditsFarmFile();
// A 32-bit bitmap file (BI_BITFIELDS-free, bottom-up, alpha kept) of the pixels.
std::vector<u8> BitmapFile32(u32 width, u32 height, const std::vector<u32>& argb);
