#include "resources/SoundArchiveWriter.h"

#include "base/LittleEndian.h"
#include "base/datafile/DataFileWriter.h"

namespace {

void AppendU32(std::vector<u8>* out, u32 value) {
  const size_t at = out->size();
  out->resize(at + 4);
  kis::PutU32LE(out->data() + at, value);
}

void AppendUnits(std::vector<u8>* out, const wchar* units, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    u8 raw[2];
    kis::PutU16LE(raw, units[i]);
    out->insert(out->end(), raw, raw + 2);
  }
}

void AppendName(std::vector<u8>* out, const std::u16string& name) {
  wchar field[kSoundNameBytes / 2] = {};
  name.copy(field, kSoundNameBytes / 2);
  AppendUnits(out, field, kSoundNameBytes / 2);
}

void AppendBytes(std::vector<u8>* out, const std::vector<u8>& bytes) {
  out->insert(out->end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<wchar> StandardNameBlock(const std::vector<std::u16string>& names) {
  std::vector<wchar> block;
  for (const std::u16string& name : names) {
    block.insert(block.end(), name.begin(), name.end());
    block.push_back(0);
    block.push_back(0);
  }
  return block;
}

std::vector<std::u16string> StandardSoundNameList() {
  return std::vector<std::u16string>(std::begin(kStandardSoundNames), std::end(kStandardSoundNames));
}

std::vector<u8> SampleSectionBody(const std::vector<SoundSampleEntry>& entries,
                                  const std::vector<std::u16string>& standardNames) {
  std::vector<u8> out;
  AppendU32(&out, static_cast<u32>(entries.size()));
  for (const SoundSampleEntry& e : entries) {
    AppendU32(&out, static_cast<u32>(e.data.size()));
    AppendName(&out, e.name);
    AppendU32(&out, e.loop);
    AppendBytes(&out, e.data);
  }
  AppendU32(&out, 0);
  const std::vector<wchar> block = StandardNameBlock(standardNames);
  AppendU32(&out, static_cast<u32>(block.size()));
  AppendUnits(&out, block.data(), block.size());
  return out;
}

std::vector<u8> MusicSectionBody(const std::vector<SoundMusicEntry>& entries) {
  std::vector<u8> out;
  AppendU32(&out, static_cast<u32>(entries.size()));
  for (const SoundMusicEntry& e : entries) {
    AppendU32(&out, static_cast<u32>(e.data.size()));
    AppendName(&out, e.name);
    AppendBytes(&out, e.data);
  }
  return out;
}

void SoundArchiveWriter::SetRawSection(u32 id, std::vector<u8> body) {
  if (id == kMusicSectionId) rawMusic_ = std::move(body);
  if (id == kSampleSectionId) rawSamples_ = std::move(body);
}

bool SoundArchiveWriter::WriteTo(kis::BaseDataFileWriter* writer) const {
  if (!writer) return false;
  const std::vector<u8> musicBody = rawMusic_ ? *rawMusic_ : MusicSectionBody(music);
  const std::vector<u8> sampleBody = rawSamples_ ? *rawSamples_ : SampleSectionBody(samples, standardNames);
  writer->BeginSection(kMusicSectionId, kMusicSectionSubId);
  writer->Write(musicBody.data(), static_cast<u32>(musicBody.size()));
  writer->EndSection();
  writer->BeginSection(kSampleSectionId, kSampleSectionSubId);
  writer->Write(sampleBody.data(), static_cast<u32>(sampleBody.size()));
  writer->EndSection();
  return writer->IsOk();
}

bool SoundArchiveWriter::Write(const wchar* path) const {
  kis::DataFileWriterW* writer =
      kis::CreateDataFileWriterW(path, kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion, true);
  if (!writer) return false;
  const bool written = WriteTo(writer);
  return kis::CloseDataFile(writer) && written;
}
