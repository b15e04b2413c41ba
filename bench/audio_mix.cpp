// Mixing one second of 44.1 kHz stereo: 16 sample channels playing (four
// sounds, four copies each, looping) and one looping music stream decoded
// from Ogg Vorbis as it plays, in the 1024-frame periods a device asks for.
// Goal: under 1% of one core, i.e. at most 10 ms of work per second of audio.
// The music alone shows what the Vorbis decoding costs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/audio/AudioSoftBackend.h"
#include "platform/encoding/Utf.h"

namespace {

namespace fs = std::filesystem;
using namespace plat::audio;

struct Scene {
  fs::path folder;
  std::unique_ptr<SoftBackend> audio;
  OfflineOutput* out = nullptr;

  Scene() {
    folder = fs::temp_directory_path() / ("tm_bench_audio_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    auto output = std::make_unique<OfflineOutput>(false);
    out = output.get();
    audio = std::make_unique<SoftBackend>(std::move(output));
    audio->Init();
  }
  ~Scene() {
    audio.reset();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  std::u16string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return plat::Utf8ToUtf16((folder / name).string());
  }

  void PlayMusic() {
    const std::vector<float> music = tools::MusicLoop(44100, 4);  // 8 s
    const ChannelHandle stream =
        audio->CreateStream(Write("music.ogg", tools::EncodeOggVorbis(music, 2, 44100)), 0, 0, true);
    audio->Play(stream, true);
  }

  void PlaySamples() {
    const double tones[4] = {220, 330, 440, 660};
    for (int s = 0; s < 4; ++s) {
      const std::vector<float> tone = tools::SineTone(tones[s], 0.5 + 0.25 * s, 44100, 1, 0.2f);
      const SampleHandle sample =
          audio->LoadSample(Write("tone" + std::to_string(s) + ".ogg", tools::EncodeOggVorbis(tone, 1, 44100)), 0,
                            0, 16, true);
      for (int copy = 0; copy < 4; ++copy) {
        const ChannelHandle ch = audio->SampleGetChannel(sample);
        audio->Play(ch, false);
        audio->SetVolume(ch, 0.5f);
        out->AdvanceFrames(1000 + 313 * copy);  // copies start apart
      }
    }
  }
};

// One iteration is one second of audio, so its time is the work per second.
void MixOneSecond(benchmark::State& state, Scene& scene) {
  for (auto _ : state) scene.out->AdvanceFrames(44100);
}

void BM_Mix16SamplesAndMusic(benchmark::State& state) {
  Scene scene;
  scene.PlayMusic();
  scene.PlaySamples();
  MixOneSecond(state, scene);
}
BENCHMARK(BM_Mix16SamplesAndMusic)->Unit(benchmark::kMillisecond);

void BM_MusicOnly(benchmark::State& state) {
  Scene scene;
  scene.PlayMusic();
  MixOneSecond(state, scene);
}
BENCHMARK(BM_MusicOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
