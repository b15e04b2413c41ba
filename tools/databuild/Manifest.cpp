#include "Manifest.h"

#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include "platform/encoding/Ascii.h"
#include "resources/SpriteSet.h"

namespace {

struct KindInfo {
  const char* word;
  NameKind kind;
  bool hasSet;
  bool hasSection;
  bool hasName;
  bool hasSize;
};
constexpr KindInfo kKinds[] = {
    {"spriteset", NameKind::kSpriteSet, true, false, false, false},
    {"image", NameKind::kImage, true, false, true, true},
    {"sprite", NameKind::kSprite, true, false, true, true},
    {"mapsprite", NameKind::kMapSprite, true, false, true, true},
    {"sound", NameKind::kSound, false, false, true, false},
    {"music", NameKind::kMusic, false, false, true, false},
    {"building", NameKind::kBuilding, false, false, true, false},
    {"text", NameKind::kText, false, true, true, false},
    {"animation", NameKind::kAnimation, false, false, true, false},
    {"particles", NameKind::kParticles, false, false, true, false},
    {"character", NameKind::kCharacter, false, false, true, false},
    {"file", NameKind::kFile, false, false, true, false},
};

constexpr u32 kMaxPictureSide = 4096;

bool ParseNumber(const std::string& text, u32 max, u32* out) {
  if (text.empty() || text.size() > 9) return false;
  u32 v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<u32>(c - '0');
  }
  *out = v;
  return v <= max;
}

// Letters, digits and "_", at most 31; folded.
bool ParseName(const std::string& text, std::string* out) {
  if (text.empty() || text.size() > 31) return false;
  for (const char c : text)
    if (!plat::IsAsciiLetter(c) && !plat::IsAsciiDigit(c) && c != '_') return false;
  *out = FoldName(text);
  return true;
}

// A relative path of names as above with "." and "-", parts split by "/",
// none empty, "." or ".."; kept as given (the file system tells case).
bool ParsePath(const std::string& text, std::string* out) {
  if (text.empty() || text.size() > 200 || text.front() == '/' || text.back() == '/') return false;
  std::string part;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : '/';
    if (c == '/') {
      if (part.empty() || part == "." || part == "..") return false;
      part.clear();
    } else if (plat::IsAsciiLetter(c) || plat::IsAsciiDigit(c) || c == '_' || c == '.' || c == '-') {
      part += c;
    } else {
      return false;
    }
  }
  *out = text;
  return true;
}

bool ParseSize(const std::string& text, u32* w, u32* h) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseNumber(text.substr(0, x), kMaxPictureSide, w) &&
         ParseNumber(text.substr(x + 1), kMaxPictureSide, h) && *w > 0 && *h > 0;
}

}  // namespace

std::string FoldName(std::string name) {
  for (char& c : name) c = plat::AsciiToLower(c);
  return name;
}

const char* Manifest::KindName(NameKind kind) {
  for (const KindInfo& k : kKinds)
    if (k.kind == kind) return k.word;
  return "?";
}

bool Manifest::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), path, error);
}

bool Manifest::Parse(const std::string& text, const std::string& where, std::string* error) {
  entries_.clear();
  std::set<std::tuple<u32, u32, std::string, std::string>> seen;
  std::istringstream lines(text);
  std::string line;
  for (u32 number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    auto fail = [&](const std::string& what) {
      *error = where + ":" + std::to_string(number) + ": " + what;
      return false;
    };
    const KindInfo* info = nullptr;
    for (const KindInfo& k : kKinds)
      if (w[0] == k.word) info = &k;
    if (!info) return fail("unknown kind \"" + w[0] + "\"");
    const size_t fields = 1 + info->hasSet + info->hasSection + info->hasName + info->hasSize;
    if (w.size() != fields) return fail(std::string("a ") + info->word + " entry takes " + std::to_string(fields - 1) + " fields");
    ManifestEntry e;
    e.kind = info->kind;
    e.line = number;
    size_t at = 1;
    if (info->hasSet && !ParseNumber(w[at++], kSpriteSetCount - 1, &e.set))
      return fail("the sprite set must be 0 to " + std::to_string(kSpriteSetCount - 1));
    if (info->hasSection && !ParseName(w[at++], &e.section)) return fail("a section is 1 to 31 letters, digits and \"_\"");
    if (info->kind == NameKind::kFile) {
      if (!ParsePath(w[at++], &e.name)) return fail("a file is a relative path of letters, digits, \"_\", \".\" and \"-\"");
    } else if (info->hasName && !ParseName(w[at++], &e.name)) {
      return fail("a name is 1 to 31 letters, digits and \"_\"");
    }
    if (info->hasSize && !ParseSize(w[at++], &e.width, &e.height))
      return fail("a picture's size is WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxPictureSide));
    if (!seen.insert({static_cast<u32>(e.kind), e.set, e.section, e.name}).second) return fail("given twice");
    entries_.push_back(std::move(e));
  }
  return true;
}
