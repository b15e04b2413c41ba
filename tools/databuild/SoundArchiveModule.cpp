#include "SoundArchiveModule.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "MusicComposer.h"
#include "SoundRecipes.h"
#include "common/OggEncoder.h"
#include "platform/encoding/Utf.h"
#include "resources/SoundArchiveWriter.h"

namespace {

constexpr float kSampleQuality = 0.3f;
constexpr float kMusicQuality = 0.4f;

// The manifest's names of the kind in its order, then those only the data
// names (an animation's sound, a level's music), each once.
std::vector<std::string> NamesToMake(DataSetBuild& build, NameKind kind, const std::set<std::string>& fromData) {
  std::vector<std::string> names;
  for (const ManifestEntry& e : build.GetManifest().Entries())
    if (e.kind == kind) names.push_back(e.name);
  for (const std::string& name : fromData)
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  return names;
}

}  // namespace

bool SoundArchiveModule::Build(DataSetBuild& build) {
  SoundArchiveWriter writer;
  double sampleSeconds = 0, musicSeconds = 0;
  for (const std::string& name : NamesToMake(build, NameKind::kSound, build.DataSounds())) {
    SynthSample sound;
    if (!MakeSound(name, &sound)) {
      sound = PlaceholderSound(name);
      build.CountPlaceholder("sound");
    }
    sampleSeconds += static_cast<double>(sound.samples.size()) / synth::kRate;
    SoundSampleEntry entry{plat::Utf8ToUtf16(name), sound.loop ? 1u : 0u,
                           tools::EncodeOggVorbis(sound.samples, 1, synth::kRate, kSampleQuality)};
    if (entry.data.empty()) {
      std::fprintf(stderr, "databuild: sound %s does not encode\n", name.c_str());
      return false;
    }
    writer.samples.push_back(std::move(entry));
  }
  for (const std::string& name : NamesToMake(build, NameKind::kMusic, build.DataMusic())) {
    std::vector<float> stereo;
    if (!ComposeMusic(name, &stereo)) {
      stereo = PlaceholderMusic();
      build.CountPlaceholder("music");
    }
    musicSeconds += static_cast<double>(stereo.size()) / 2 / synth::kRate;
    SoundMusicEntry entry{plat::Utf8ToUtf16(name), tools::EncodeOggVorbis(stereo, 2, synth::kRate, kMusicQuality)};
    if (entry.data.empty()) {
      std::fprintf(stderr, "databuild: music %s does not encode\n", name.c_str());
      return false;
    }
    writer.music.push_back(std::move(entry));
  }
  const std::u16string path = plat::Utf8ToUtf16(build.DataPath(FileName()));
  if (!writer.Write(path.c_str())) {
    std::fprintf(stderr, "databuild: cannot write %s\n", build.DataPath(FileName()).c_str());
    return false;
  }
  std::printf("Sounds.dat: %zu samples (%.1f s), %zu music tracks (%.1f s)\n", writer.samples.size(), sampleSeconds,
              writer.music.size(), musicSeconds);
  return true;
}
