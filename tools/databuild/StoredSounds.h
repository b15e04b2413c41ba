// ReadStoredSounds - the entries of a sound section of "Sounds.dat" as they
// are stored (name, loop flag, Ogg Vorbis bytes), for what the builder does
// with a built data set besides playing it: the music render and the data
// set's tests decode them. The game itself reads the sections through its
// own readers (resources/SoundSections.h).
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

namespace kis {
class DataFileReaderW;
}

struct StoredSound {
  std::string name;
  bool loop = false;  // samples only
  std::vector<u8> ogg;
};

// "SAMP" (samples: true) or "MUSC"; false when the section is missing or an
// entry does not fit in it.
bool ReadStoredSounds(kis::DataFileReaderW* file, bool samples, std::vector<StoredSound>* out);
