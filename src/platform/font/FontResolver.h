// Finds the font file for a face name, weight and slant, the way the Windows
// font mapper finds a face for a logical font.
//
// Order of search, for the face as named, then its metric-compatible stand-in
// ("Arial" -> "Liberation Sans", "Times New Roman" -> "Liberation Serif",
// "Courier New" -> "Liberation Mono"), then "DejaVu Sans" as the fallback:
//   1. a face of that family with the asked style in the game's font folder
//      (the data folder's "Fonts/"), then one through fontconfig;
//   2. a face of that family in another style (the font then synthesises the
//      missing bold or italic), first in the folder, then through fontconfig.
// When no family is found, fontconfig's own best match is taken. Families are
// compared ignoring the case of A-Z. Bold means a weight of 600 or more.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct FontFileChoice {
  std::string path;  // UTF-8 file name
  long faceIndex = 0;
  std::string family;
  int weight = 400;  // of the face found, 100 to 900
  bool italic = false;
};

class FontResolver {
 public:
  static constexpr const char* kFallbackFamily = "DejaVu Sans";

  // The game's own font folder, searched first; empty for none.
  void SetFolder(std::u16string_view folder);
  // Tests switch fontconfig off so that the machine's fonts and settings
  // cannot change their results.
  void SetUseSystemFonts(bool use) { useSystem_ = use; }

  // `weight` 0 stands for 400. False when nothing was found.
  bool Resolve(std::u16string_view face, int weight, bool italic, FontFileChoice& out) const;

  // The metric-compatible stand-in of a Windows face name, or empty.
  static std::string_view Alias(std::string_view face);

 private:
  bool FromFolder(const std::string& family, int weight, bool italic, bool exact, FontFileChoice& out) const;
  void ScanFolder() const;

  std::string folder_;
  bool useSystem_ = true;
  mutable bool scanned_ = false;
  mutable std::vector<FontFileChoice> folderFaces_;
};

// The resolver the game configures once (its font folder) and every font
// created without an explicit resolver uses.
FontResolver& DefaultFontResolver();

}  // namespace plat
