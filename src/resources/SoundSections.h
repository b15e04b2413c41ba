// The sound archive ("Sounds.dat") and the resumable readers of its two
// sections. Neither copies sound data: each entry registers a sample or a
// music stream that the audio backend reads in place, from the archive file
// at the entry's offset and length.
//
// "SAMP" (sub-id 282): u32 count n; up to n entries {u32 size s (0 ends the
// list early); 64-byte name (32 UTF-16 units, zero-padded); u32 loop flag;
// s bytes of Ogg Vorbis}; u32 terminator 0; u32 m; m UTF-16 units holding
// the names of the 26 standard sounds in table order, each followed by a
// zero and one more unit that is skipped.
// "MUSC" (sub-id 1): u32 count n; up to n entries {u32 size s (0 ends the
// list early); 64-byte name; s bytes of Ogg Vorbis}.
//
// Both take the loader's cursor {done, total, error} (cleared before the
// first call), register one entry at a time, report done / total to the
// loading-progress hook after each and return 0 when it asks for the frame
// back; the next call goes on in the section still open. They return 1 when
// finished, with the error flag set after any failed open, read, position or
// seek, an entry larger than the bytes left, a non-zero terminator, or a name
// block longer than kMaxStandardNameUnits or than the bytes left. A sample
// the backend cannot decode is skipped without an error. The count only
// measures progress: each entry is checked against the section as it is read.
#pragma once

#include "base/Types.h"
#include "resources/ResourceServices.h"

namespace kis {
class DataFileReaderW;
}

constexpr u32 kSoundArchiveSignature1 = 0xDF17EFA2u;
constexpr u32 kSoundArchiveSignature2 = 0x6A3E5084u;
constexpr u32 kSoundArchiveVersion = 1;
constexpr u32 kSampleSectionId = 0x53414D50u;  // "SAMP"
constexpr u32 kSampleSectionSubId = 282;
constexpr u32 kMusicSectionId = 0x4D555343u;   // "MUSC"
constexpr u32 kMusicSectionSubId = 1;

constexpr u32 kSoundNameBytes = 64;  // 32 UTF-16 units
// The longest standard-name block: every name as long as a name field,
// with its zero and the skipped unit.
constexpr u32 kMaxStandardNameUnits = kStandardSoundCount * (kSoundNameBytes / 2 + 2);

// Registers the samples with SoundSettings::LoadSample and fills the
// standard sound table (0 for a name no sample has; names missing from a
// short block leave 0 too).
i32 LoadSounds(kis::DataFileReaderW* file, SectionCursor* cursor);
// Registers the music with SoundSettings::AddMusic.
i32 LoadMusic(kis::DataFileReaderW* file, SectionCursor* cursor);
