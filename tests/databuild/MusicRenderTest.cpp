// The sample data set's music as `databuild --music-wav` renders it (the
// game's sound code on the offline output, each loop twice): every track of
// "Sounds.dat" stays below full scale, and where the loop runs into its start
// the sound goes on without a jump larger than the music makes around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MusicRender.h"
#include "StoredSounds.h"
#include "base/datafile/DataFileReader.h"
#include "platform/audio/AudioByteSource.h"
#include "platform/audio/AudioMixer.h"
#include "platform/audio/AudioOggSource.h"
#include "platform/encoding/Utf.h"
#include "resources/SoundSections.h"
#include "testsupport/TempFolder.h"

namespace {

// The 16-bit stereo samples of a WAV the offline output wrote (44-byte header).
std::vector<int> ReadRenderedWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int> samples;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2)
    samples.push_back(static_cast<int16_t>(static_cast<u8>(bytes[i]) | (static_cast<u8>(bytes[i + 1]) << 8)));
  return samples;
}

// The largest step between two neighbouring frames of either channel in [from, to).
int LargestStep(const std::vector<int>& s, size_t from, size_t to) {
  int step = 0;
  for (size_t f = from; f + 1 < to; ++f)
    for (size_t c = 0; c < 2; ++c) step = std::max(step, std::abs(s[2 * (f + 1) + c] - s[2 * f + c]));
  return step;
}

TEST(MusicRender, EveryTrackStaysBelowFullScaleAndLoopsWithoutAJump) {
  const std::string data = TM_SAMPLE_DATA_DIR;
  const std::u16string path = plat::Utf8ToUtf16(data + "/Sounds.dat");
  kis::DataFileReaderW* file =
      kis::OpenDataFileReaderW(path.c_str(), kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion);
  ASSERT_NE(file, nullptr);
  std::vector<StoredSound> tracks;
  ASSERT_TRUE(ReadStoredSounds(file, false, &tracks));
  kis::CloseDataFile(file);
  ASSERT_GE(tracks.size(), 4u);

  TempFolder folder;
  ASSERT_EQ(RenderMusic(data, folder.Path()), 0);
  for (const StoredSound& track : tracks) {
    plat::audio::DecodedSound pcm;
    ASSERT_TRUE(plat::audio::DecodeOgg(std::make_unique<plat::audio::MemorySource>(track.ogg.data(), track.ogg.size()),
                                       plat::audio::kMixRate, u64{1} << 26, &pcm))
        << track.name;
    const size_t loop = pcm.Frames();
    const std::vector<int> wav = ReadRenderedWav(folder.File(track.name + ".wav"));
    const size_t frames = wav.size() / 2;
    ASSERT_GT(frames, loop + loop / 2) << track.name;
    int peak = 0;
    for (int s : wav) peak = std::max(peak, std::abs(s));
    EXPECT_LT(peak, 32767 * 95 / 100) << track.name << " clips";
    EXPECT_GT(peak, 32767 / 8) << track.name << " is nearly silent";

    // Where the music starts in the capture: past the fade-in both rounds
    // of the loop are the same samples.
    size_t start = 0;
    bool found = false;
    const size_t probe = loop / 2, probeLength = 2000;
    for (; start < 8192 && !found; ++start) {
      if (start + loop + probe + probeLength > frames) break;
      found = std::equal(wav.begin() + 2 * (start + probe), wav.begin() + 2 * (start + probe + probeLength),
                         wav.begin() + 2 * (start + loop + probe));
    }
    ASSERT_TRUE(found) << track.name << ": the second round is not the first";
    const size_t seam = start - 1 + loop;
    // The step across the seam against the music's own steps around it.
    const int across = LargestStep(wav, seam - 2, seam + 2);
    const int around = std::max(LargestStep(wav, seam - 400, seam - 2), LargestStep(wav, seam + 2, seam + 400));
    EXPECT_LE(across, std::max(2 * around, 64)) << track.name << ": a jump where the loop starts again";
  }
}

}  // namespace
