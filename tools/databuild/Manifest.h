// Manifest - the name manifest (tools/data/names.txt): every name the game's
// code looks up in the data, with its kind and, for a picture, its size. The
// builder puts each one in the data (a labelled placeholder where no source
// makes it yet); the data set's test checks that every one resolves through
// the game's own readers.
//
// One entry a line, fields separated by blanks, "#" starts a comment; the
// kinds and their fields are listed in the file's header. Names are letters,
// digits and "_", at most 31 of them, and compare without regard to case
// (they are kept lower-cased); an entry given twice is an error.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

enum class NameKind : u32 {
  kSpriteSet,  // spriteset SET: the set's three sections
  kImage,      // image SET NAME WxH: a texture of the set
  kSprite,     // sprite SET NAME WxH: a sprite (and its texture)
  kMapSprite,  // mapsprite SET NAME WxH: a map sprite (and its sprite and texture)
  kSound,      // sound NAME: a sample of "SAMP"
  kMusic,      // music NAME: a track of "MUSC"
  kBuilding,   // building NAME: a building kind of "BLDN"
  kText,       // text SECTION KEY: a text of the language
  kAnimation,  // animation NAME: an animation of "ANIM"
  kParticles,  // particles NAME: a particle system of "PART"
  kCharacter,  // character NAME: a character description of "CHQR"
  kFile,       // file PATH: a loose file of the data folder ("Cursors/arrow.cur")
};

struct ManifestEntry {
  NameKind kind;
  u32 set = 0;        // pictures and sprite sets
  std::string section;  // texts: the language section, lower-cased
  std::string name;   // lower-cased (a text's key); empty for a sprite set; a file's path as given
  u32 width = 0;      // pictures
  u32 height = 0;
  u32 line = 0;       // in the file, for messages
};

// A name as the builder keeps it: A-Z folded to a-z.
std::string FoldName(std::string name);

class Manifest {
 public:
  // Reads the file; false with a message naming the line on any fault.
  bool Load(const std::string& path, std::string* error);
  // The same from text (`where` names it in messages).
  bool Parse(const std::string& text, const std::string& where, std::string* error);

  const std::vector<ManifestEntry>& Entries() const { return entries_; }
  static const char* KindName(NameKind kind);
  static bool IsPicture(NameKind kind) {
    return kind == NameKind::kImage || kind == NameKind::kSprite || kind == NameKind::kMapSprite;
  }

 private:
  std::vector<ManifestEntry> entries_;
};
