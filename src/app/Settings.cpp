#include "app/Settings.h"

#include <cerrno>

#include "app/UserFiles.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLLog.h"
#include "platform/os/FileSystem.h"
#include "resources/ResourceServices.h"

namespace {

constexpr RecordField kScreenFields[] = {
    TM_FIELD(SCREENPARAMS, fullscreen, 0, kU32, 1),    TM_FIELD(SCREENPARAMS, windowWidth, 4, kU32, 1),
    TM_FIELD(SCREENPARAMS, windowHeight, 8, kU32, 1),  TM_FIELD(SCREENPARAMS, screenWidth, 12, kU32, 1),
    TM_FIELD(SCREENPARAMS, screenHeight, 16, kU32, 1), TM_FIELD(SCREENPARAMS, refresh, 20, kU32, 1),
    TM_FIELD(SCREENPARAMS, vsync, 24, kU32, 1),
};

constexpr RecordField kSoundFields[] = {
    TM_FIELD(SAVEDSOUND, musicOn, 0, kU32, 1),
    TM_FIELD(SAVEDSOUND, musicVolume, 4, kF32, 1),
    TM_FIELD(SAVEDSOUND, soundsOn, 8, kU32, 1),
    TM_FIELD(SAVEDSOUND, soundsVolume, 12, kF32, 1),
};

// Reads the first `size` bytes of a section into `out`: a longer section
// (a later version's) gives its head, a shorter one nothing. The section
// is closed either way, so the next one can be read.
bool ReadSectionHead(kis::DataFileReaderW* reader, u32 id, u8* out, u32 size) {
  if (!reader->HasSection(id, kSettingsSectionSubId) || !reader->OpenSection(id, kSettingsSectionSubId)) return false;
  const bool read = reader->GetSectionSize() >= size && reader->Read(out, size);
  return reader->CloseSection() && read;
}

void NotSaved(const std::u16string& path, int error) {
  DXLLogValueFormat(0, "Settings", "config.dat not saved: %s", SaveErrorText(error, path).c_str());
}

}  // namespace

constexpr RecordLayout kScreenParamsLayout = MakeLayout(kScreenRecordSize, kScreenFields);
constexpr RecordLayout kSavedSoundLayout = MakeLayout(kSoundRecordSize, kSoundFields);
static_assert(LayoutFits(kScreenParamsLayout) && LayoutFits(kSavedSoundLayout));

bool LoadSettings(const std::u16string& folder, SCREENPARAMS* params) {
  const std::u16string path = UserFilePath(folder, u"config.dat");
  if (path.empty()) return false;
  kis::DataFileReaderW* reader =
      kis::OpenDataFileReaderW(path.c_str(), kSettingsSignature1, kSettingsSignature2, kSettingsVersion);
  // A file that is there and does not read is said: its defaults replace
  // it. A link that leads nowhere is there too (the game's saves never
  // write through it).
  const std::string kind = plat::NonFileKind(path);
  const bool there = plat::GetFileAttributes(path) != plat::kInvalidAttributes || !kind.empty();
  if (!reader) {
    if (there)
      DXLLogValueA(0, "Settings",
                   ("config.dat does not read" + (kind.empty() ? "" : " (" + kind + ", not a file)") +
                    ": the defaults are used")
                       .c_str());
    return true;
  }
  u8 screen[kScreenRecordSize];
  bool whole = ReadSectionHead(reader, kScreenSectionId, screen, sizeof screen);
  if (whole) ReadRecord(kScreenParamsLayout, screen, params);
  u8 sound[kSoundRecordSize];
  if (reader->IsOk() && ReadSectionHead(reader, kSoundSectionId, sound, sizeof sound)) {
    SAVEDSOUND saved;
    ReadRecord(kSavedSoundLayout, sound, &saved);
    GetSoundSettings().ApplySaved(saved);
  } else {
    whole = false;
  }
  if (!whole) DXLLogValueA(0, "Settings", "config.dat does not read whole: the defaults stand in for what is missing");
  kis::CloseDataFile(reader);
  return true;
}

bool SaveSettings(const std::u16string& folder, const SCREENPARAMS& params, int* error) {
  if (error) *error = EINVAL;
  const std::u16string path = UserFilePath(folder, u"config.dat");
  if (path.empty()) return false;
  int opened = 0;
  kis::DataFileWriterW* writer = kis::CreateDataFileWriterW(path.c_str(), kSettingsSignature1, kSettingsSignature2,
                                                            kSettingsVersion, true, GetResourceServices().fileFaults, &opened);
  if (!writer) {
    if (error) *error = opened;
    NotSaved(path, opened);
    return false;
  }
  u8 screen[kScreenRecordSize];
  WriteRecord(kScreenParamsLayout, &params, screen);
  const SAVEDSOUND sound = GetSoundSettings().GetAll();
  u8 soundBytes[kSoundRecordSize];
  WriteRecord(kSavedSoundLayout, &sound, soundBytes);
  writer->BeginSection(kScreenSectionId, kSettingsSectionSubId);
  writer->Write(screen, sizeof screen);
  writer->EndSection();
  writer->BeginSection(kSoundSectionId, kSettingsSectionSubId);
  writer->Write(soundBytes, sizeof soundBytes);
  writer->EndSection();
  const bool ok = writer->Close();
  const int why = ok ? 0 : writer->GetError() ? writer->GetError() : EIO;
  kis::CloseDataFile(writer);
  if (error) *error = why;
  if (!ok) NotSaved(path, why);
  return ok;
}
