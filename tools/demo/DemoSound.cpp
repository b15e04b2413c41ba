#include "DemoSound.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/OggEncoder.h"
#include "common/SynthSound.h"
#include "platform/encoding/Utf.h"

namespace demo {

namespace {
constexpr uint32_t kRate = 44100;
}

Sound::~Sound() { Stop(); }

bool Sound::Start(std::unique_ptr<plat::audio::Output> output) {
  audio_ = std::make_unique<plat::audio::SoftBackend>(std::move(output));
  if (!audio_->Init()) return false;

  const std::vector<uint8_t> click = tools::EncodeOggVorbis(tools::Click(kRate), 1, kRate);
  const std::vector<uint8_t> music = tools::EncodeOggVorbis(tools::MusicLoop(kRate, 4), 2, kRate);
  archive_ = (std::filesystem::temp_directory_path() / ("tm_demo_sounds_" + std::to_string(::getpid()) + ".dat"))
                 .string();
  FILE* f = std::fopen(archive_.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(click.data(), 1, click.size(), f) == click.size() &&
                       std::fwrite(music.data(), 1, music.size(), f) == music.size();
  if (std::fclose(f) != 0 || !written) return false;

  const std::u16string path = plat::Utf8ToUtf16(archive_);
  click_ = audio_->LoadSample(path, 0, click.size(), 16, false);
  const plat::audio::ChannelHandle musicStream = audio_->CreateStream(path, click.size(), music.size(), true);
  return click_ != 0 && musicStream != 0 && audio_->SlideVolume(musicStream, 0.0f, 0) &&
         audio_->Play(musicStream, true) && audio_->SlideVolume(musicStream, 1.0f, 500);
}

void Sound::Update() {
  if (audio_) audio_->Update();
}

void Sound::Click() {
  if (audio_ && click_ != 0) audio_->Play(audio_->SampleGetChannel(click_), false);
}

void Sound::Stop() {
  if (audio_) audio_->Free();
  audio_.reset();
  if (!archive_.empty()) std::remove(archive_.c_str());
  archive_.clear();
}

}  // namespace demo
