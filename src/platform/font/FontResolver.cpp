#include "platform/font/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontFreeType.h"
#include "platform/os/FileSystem.h"

namespace plat {

namespace {

// Bounds on what a folder scan opens.
constexpr int kMaxFolderFiles = 256;
constexpr long kMaxFacesPerFile = 32;

bool SameName(std::string_view a, std::string_view b) { return AsciiEqualNoCase(a, b); }

bool IsFontFile(const std::filesystem::path& path) {
  const std::string ext = path.extension().string();
  return SameName(ext, ".ttf") || SameName(ext, ".otf") || SameName(ext, ".ttc") || SameName(ext, ".otc");
}

bool IsBold(int weight) { return weight >= 600; }

// How far a face is from the asked style; 0 to 900 means the style matches.
int StyleDistance(const FontFileChoice& face, int weight, bool italic) {
  int d = std::abs(face.weight - weight);
  if (IsBold(face.weight) != IsBold(weight)) d += 1000;
  if (face.italic != italic) d += 2000;
  return d;
}

bool Exact(const FontFileChoice& face, int weight, bool italic) {
  return IsBold(face.weight) == IsBold(weight) && face.italic == italic;
}

// fontconfig's best match for a family (any family when `family` is empty);
// when `family` is given the match must be of that family.
bool FromFontconfig(const std::string& family, int weight, bool italic, FontFileChoice& out) {
  // fontconfig keeps its configuration until FcFini; freeing it at exit keeps
  // leak checkers quiet.
  static const bool ready = [] {
    if (FcInit() != FcTrue) {
      return false;
    }
    std::atexit(FcFini);
    return true;
  }();
  if (!ready) {
    return false;
  }
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) {
    return false;
  }
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(family.empty() ? "sans-serif" : family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) {
    return false;
  }
  bool ok = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
    FcChar8* name = nullptr;
    std::string found;
    bool familyMatches = family.empty();
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      const std::string n(reinterpret_cast<const char*>(name));
      if (i == 0) found = n;
      if (SameName(n, family)) {
        familyMatches = true;
        found = n;
      }
    }
    if (familyMatches) {
      int index = 0;
      int fcWeight = FC_WEIGHT_REGULAR;
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &fcWeight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      out.path = reinterpret_cast<const char*>(file);
      out.faceIndex = index;
      out.family = found;
      out.weight = FcWeightToOpenType(fcWeight);
      out.italic = slant != FC_SLANT_ROMAN;
      ok = true;
    }
  }
  FcPatternDestroy(match);
  return ok;
}

}  // namespace

std::string_view FontResolver::Alias(std::string_view face) {
  static constexpr std::string_view kAliases[][2] = {
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
  };
  for (const auto& a : kAliases) {
    if (SameName(face, a[0])) {
      return a[1];
    }
  }
  return {};
}

void FontResolver::SetFolder(std::u16string_view folder) {
  folder_ = folder.empty() ? std::string() : NativePath(folder);
  scanned_ = false;
  folderFaces_.clear();
}

void FontResolver::ScanFolder() const {
  if (scanned_) {
    return;
  }
  scanned_ = true;
  folderFaces_.clear();
  if (folder_.empty()) {
    return;
  }
  std::error_code ec;
  std::filesystem::directory_iterator it(folder_, ec);
  FontFreeType ft;
  int files = 0;
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec) || !IsFontFile(it->path())) {
      continue;
    }
    if (++files > kMaxFolderFiles) {
      break;
    }
    const std::string path = it->path().string();
    for (long index = 0; index < kMaxFacesPerFile; ++index) {
      if (!ft.OpenFile(path, index)) {
        break;
      }
      folderFaces_.push_back({path, index, ft.Family(), ft.Weight(), ft.Italic()});
      if (index + 1 >= ft.FaceCount()) {
        break;
      }
    }
  }
}

bool FontResolver::FromFolder(const std::string& family, int weight, bool italic, bool exact,
                              FontFileChoice& out) const {
  ScanFolder();
  const FontFileChoice* best = nullptr;
  for (const FontFileChoice& face : folderFaces_) {
    if (!SameName(face.family, family) || (exact && !Exact(face, weight, italic))) {
      continue;
    }
    if (best == nullptr || StyleDistance(face, weight, italic) < StyleDistance(*best, weight, italic)) {
      best = &face;
    }
  }
  if (best == nullptr) {
    return false;
  }
  out = *best;
  return true;
}

bool FontResolver::Resolve(std::u16string_view face, int weight, bool italic, FontFileChoice& out) const {
  if (weight <= 0) {
    weight = 400;
  }
  const std::string name = Utf16ToUtf8(face);
  std::vector<std::string> families;
  if (!name.empty()) {
    families.push_back(name);
    const std::string_view alias = Alias(name);
    if (!alias.empty()) {
      families.emplace_back(alias);
    }
  }
  if (families.empty() || !SameName(families.back(), kFallbackFamily)) {
    families.emplace_back(kFallbackFamily);
  }

  for (const std::string& family : families) {
    if (FromFolder(family, weight, italic, true, out)) {
      return true;
    }
    FontFileChoice system;
    const bool haveSystem = useSystem_ && FromFontconfig(family, weight, italic, system);
    if (haveSystem && Exact(system, weight, italic)) {
      out = system;
      return true;
    }
    if (FromFolder(family, weight, italic, false, out)) {
      return true;
    }
    if (haveSystem) {
      out = system;
      return true;
    }
  }
  return useSystem_ && FromFontconfig(std::string(), weight, italic, out);
}

FontResolver& DefaultFontResolver() {
  static FontResolver resolver;
  return resolver;
}

}  // namespace plat
