// Writers of the sound archive ("Sounds.dat"), beside its readers
// (SoundSections.h): the data builder, the tests and the fuzz seeds make
// their archives here. Every section written reads back whole; damaged ones
// are made by changing the bytes or by writing a raw section body.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Types.h"
#include "resources/SoundSections.h"

namespace kis {
class BaseDataFileWriter;
}

struct SoundSampleEntry {
  std::u16string name;  // at most 32 units are written
  u32 loop = 0;
  std::vector<u8> data;  // an Ogg Vorbis file; must not be empty (size 0 ends the list)
};

struct SoundMusicEntry {
  std::u16string name;
  std::vector<u8> data;
};

// The standard-name block: each name, a zero and the unit the reader skips.
std::vector<wchar> StandardNameBlock(const std::vector<std::u16string>& names);
// The names of the standard sound table, in its order.
std::vector<std::u16string> StandardSoundNameList();

// Section bodies: the count, the entries, and for "SAMP" the trailer with the
// standard-name block.
std::vector<u8> SampleSectionBody(const std::vector<SoundSampleEntry>& entries,
                                  const std::vector<std::u16string>& standardNames);
std::vector<u8> MusicSectionBody(const std::vector<SoundMusicEntry>& entries);

class SoundArchiveWriter {
 public:
  std::vector<SoundSampleEntry> samples;
  std::vector<SoundMusicEntry> music;
  std::vector<std::u16string> standardNames = StandardSoundNameList();

  // Writes these bytes as the section of that id instead of the entries.
  void SetRawSection(u32 id, std::vector<u8> body);

  // "MUSC", then "SAMP", at the root of an open writer or of a new file.
  bool WriteTo(kis::BaseDataFileWriter* writer) const;
  bool Write(const wchar* path) const;

 private:
  std::optional<std::vector<u8>> rawMusic_;
  std::optional<std::vector<u8>> rawSamples_;
};
