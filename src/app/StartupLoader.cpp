#include "app/StartupLoader.h"

#include <cstdio>

#include "app/DataSet.h"
#include "app/ProfileStore.h"
#include "base/datafile/DataFileReader.h"
#include "content/CharacterSection.h"
#include "content/GameCharacter.h"
#include "content/ContentArchive.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/text/DigitalFont.h"
#include "gametext/KGEFont.h"
#include "platform/os/Clock.h"
#include "resources/AnimationSection.h"
#include "resources/GEffects.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSections.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/DigitFontSection.h"
#include "ui/GameFontSection.h"
#include "ui/UiServices.h"
#include "ui/WindowManager.h"

namespace {

constexpr const char* kDataError = "Data error!";
constexpr const char* kSpritesError = "Sprites error!";
constexpr u32 kAwardsSectionId = 0xA3A4D500u;
constexpr u32 kMainScreenRegime = 6;
// Ms of work a call does before it gives the frame back (the tracker's
// slice for the start-up): a call then stays well inside a frame, the
// loading bar's drawing beside it.
constexpr u32 kStartupWorkSlice = 7;
// The sets whose textures the start-up loads for good, in this order
// (steps 21 to 26).
constexpr u32 kTextureSets[] = {2, 1, 12, 13, 8, 14};

using Loader = StartupLoader;
using Cursor = SectionCursor;
using Archive = kis::DataFileReaderW;

// One of the three sprite-set readers over the 17 sets: set i reports
// inside the step as i/17 plus its own fraction / 17; a yield keeps the set
// in the loader's index, so the next frame goes on with the same set.
using SetRead = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);
Loader::Reader ReadSets(SetRead read) {
  return [read](Loader& loader, Archive* archive, Cursor* cursor) -> i32 {
    std::vector<std::unique_ptr<SpriteSet>>& sets = *loader.Targets().sets;
    u32& index = loader.Index();
    const float span = 1.0f / static_cast<float>(kSpriteSetCount);
    while (index < sets.size()) {
      if ((sets[index].get()->*read)(archive, cursor, static_cast<float>(index) * span, span) == 0) return 0;
      if (cursor->error) return 1;
      ++index;
      *cursor = SectionCursor{};
    }
    return 1;
  };
}

}  // namespace

bool GameArchives::Open(const std::string& folder, std::string* error, bool* missing) {
  const struct {
    kis::DataFileReaderW** slot;
    const char* file;
    u32 signature1, signature2, version;
  } files[] = {
      {&data, "Data.dat", kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion},
      {&sprites, "Sprites.dat", kSpriteArchiveSignature1, kSpriteArchiveSignature2, kSpriteArchiveVersion},
      {&sound, "Sounds.dat", kSoundArchiveSignature1, kSoundArchiveSignature2, kSoundArchiveVersion},
  };
  for (const auto& f : files) {
    *f.slot = OpenDataSetFile(folder, f.file, f.signature1, f.signature2, f.version);
    if (!*f.slot) {
      if (error) *error = DataSetFileFault(folder, f.file, missing);
      return false;
    }
  }
  return true;
}

void GameArchives::Close(bool withSprites) {
  kis::CloseDataFile(data);
  kis::CloseDataFile(sound);
  data = sound = nullptr;
  if (!withSprites) return;
  kis::CloseDataFile(sprites);
  sprites = nullptr;
}

void StartupData::Install() {
  tables.Install();
  windows = new WindowManager;
  GetUiServices().windowManager = windows;
}

StartupData::StartupData() = default;
StartupData::~StartupData() { Free(); }

StartupTargets StartupData::Targets() {
  StartupTargets t;
  t.archives = &archives;
  t.sets = &sets;
  t.tables = &tables;
  t.windows = windows;
  return t;
}

// The screen effect goes first: one still running reaches into the rest.
void StartupData::Free() {
  ClearGameEffects();
  if (windows) windows->Fonts().DeleteAll();
  FreeGameFonts();
  if (GetUiServices().windowManager == windows) GetUiServices().windowManager = nullptr;
  delete windows;
  windows = nullptr;
  FreeContentData(&tables);
  tables.Uninstall();
  UnbindDrawTexture();
  sets.clear();
  archives.Close(true);
}

const char* LoaderArchiveName(LoaderArchive archive) {
  switch (archive) {
    case LoaderArchive::kData:
      return "Data.dat";
    case LoaderArchive::kSprites:
      return "Sprites.dat";
    case LoaderArchive::kSound:
      return "Sounds.dat";
    case LoaderArchive::kNone:
      break;
  }
  return "";
}

StartupLoader::StartupLoader(StartupTargets targets, ProgressTracker::Callback report)
    : targets_(std::move(targets)), tracker_(kStartupReportInterval, std::move(report)) {
  if (targets_.sets && targets_.sets->empty())
    for (u32 i = 0; i < kSpriteSetCount; ++i) targets_.sets->push_back(std::make_unique<SpriteSet>(i));
  InitStartupProgress(&tracker_);
  BuildTable();
}

StartupLoader::~StartupLoader() { Unpublish(); }

void StartupLoader::Unpublish() {
  if (GetResourceServices().progress == &tracker_) GetResourceServices().progress = nullptr;
}

// The rows in the order they run. Rows of one step follow each other; the
// step's last row names the step after it.
void StartupLoader::BuildTable() {
  using K = LoaderRowKind;
  using A = LoaderArchive;
  ContentTables* t = targets_.tables;
  auto section = [](auto read) -> Reader {
    return [read](Loader&, Archive* archive, Cursor* cursor) { return read(archive, cursor); };
  };
  auto work = [](auto run) -> Reader { return [run](Loader& loader, Archive*, Cursor*) { return run(loader); }; };

  rows_ = {
      {1, A::kData, kConstantsSectionId, 1, nullptr, false, kDataError, 0, K::kCheck, "CNST"},
      {1, A::kSprites, kSpriteImagesId, kSpriteImagesSubId, nullptr, false, kSpritesError, 80, K::kEnter, "IMG"},
      {80, A::kSound, SectionTag('M', 'U', 'S', 'C'), 1, section([](Archive* a, Cursor* c) { return LoadMusic(a, c); }),
       true, kDataError, 81, K::kSection, "MUSC"},
      {81, A::kSound, SectionTag('S', 'A', 'M', 'P'), 282,
       section([](Archive* a, Cursor* c) { return LoadSounds(a, c); }), true, kDataError, 10, K::kSection, "SAMP"},
      {10, A::kSprites, kSpriteImagesId, kSpriteImagesSubId, ReadSets(&SpriteSet::ReadImages), true, kSpritesError, 0,
       K::kSection, "the sprite sets' images"},
      {10, A::kSprites, kSpritesId, kSpritesSubId, nullptr, false, kSpritesError, 11, K::kEnter, "SPR", true},
      {11, A::kNone, 0, 0, nullptr, false, nullptr, 12, K::kWork, "nothing"},
      {12, A::kSprites, kSpritesId, kSpritesSubId, ReadSets(&SpriteSet::ReadSprites), true, kSpritesError, 0,
       K::kSection, "the sprite sets' sprites"},
      {12, A::kSprites, kMapSpritesId, kMapSpritesSubId, nullptr, false, kSpritesError, 45, K::kEnter, "MSP", true},
      {45, A::kData, kDigitFontSectionId, 2,
       [](Loader& loader, Archive* a, Cursor* c) { return LoadDigitFonts(a, c, loader.Targets().windows); }, true,
       kDataError, 46, K::kSection, "FGID"},
      {46, A::kData, kGameFontSectionId, 1, section([](Archive* a, Cursor* c) { return LoadGameFonts(a, c); }), true,
       kDataError, 40, K::kSection, "FONT"},
      {40, A::kData, SectionTag('B', 'O', 'N', 'S'), 262,
       section([t](Archive* a, Cursor* c) { return t->bonuses.ReadSection(a, c); }), false, kDataError, 85,
       K::kSection, "BONS"},
      {85, A::kData, SectionTag('P', 'A', 'R', 'T'), 1,
       section([](Archive* a, Cursor* c) { return LoadParticleSystems(a, c); }), true, kDataError, 60, K::kSection,
       "PART"},
      {60, A::kData, SectionTag('G', 'R', 'N', 'D'), 1,
       section([t](Archive* a, Cursor* c) { return t->grounds.ReadSection(a, c); }), true, kDataError, 61,
       K::kSection, "GRND"},
      {61, A::kSprites, kMapSpritesId, kMapSpritesSubId, ReadSets(&SpriteSet::ReadMapSprites), true, kSpritesError,
       0, K::kSection, "the sprite sets' map sprites"},
      {61, A::kSprites, kSpriteImagesId, kSpriteImagesSubId, nullptr, false, kSpritesError, 70, K::kEnter, "IMG",
       true},
      {70, A::kData, SectionTag('L', 'P', 'N', 'T'), 256,
       section([t](Archive* a, Cursor* c) { return LoadGarbageDefinitions(&t->garbage, a, c); }), true, kDataError,
       62, K::kSection, "LPNT"},
      {62, A::kData, SectionTag('P', 'R', 'O', 'D'), 1,
       section([t](Archive* a, Cursor* c) {
         const i32 done = t->products.ReadSection(a, c);
         if (done && !c->error) t->products.ResolveIngredients();
         return done;
       }),
       true, kDataError, 63, K::kSection, "PROD"},
      {63, A::kData, SectionTag('P', 'L', 'N', 'T'), 1,
       section([t](Archive* a, Cursor* c) { return t->plants.ReadSection(a, c); }), true, kDataError, 65,
       K::kSection, "PLNT"},
      {65, A::kData, SectionTag('A', 'N', 'I', 'M'), 1,
       section([](Archive* a, Cursor* c) { return LoadAnimations(a, c, 0.0f, 0.5f); }), true, kDataError, 0,
       K::kSection, "ANIM"},
      {65, A::kData, SectionTag('C', 'H', 'Q', 'R'), 1,
       section([t](Archive* a, Cursor* c) { return LoadCharacters(&t->characters, a, c, 0.5f, 0.5f); }), true,
       kDataError, 66, K::kSection, "CHQR"},
      {66, A::kData, SectionTag('B', 'L', 'D', 'N'), 1,
       section([t](Archive* a, Cursor* c) { return t->buildings.ReadSection(a, c); }), true, kDataError, 71,
       K::kSection, "BLDN"},
      {71, A::kData, SectionTag('V', 'L', 'N', 'S'), 256,
       section([t](Archive* a, Cursor* c) { return t->villains.ReadSection(a, c); }), true, kDataError, 86,
       K::kSection, "VLNS"},
      {86, A::kData, SectionTag('C', 'O', 'M', 'X'), 256,
       section([t](Archive* a, Cursor* c) { return t->comics.ReadSection(a, c); }), false, kDataError, 20,
       K::kSection, "COMX"},
      // The interface image, then the textures of six sets (steps 21 to 26
      // report into step 20 of the tracker).
      {20, A::kNone, 0, 0, work([](Loader& l) {
         SpriteSet* set = GetSpriteSet(1);
         Sprite* sprite = set ? set->FindSprite(u"interface") : nullptr;
         GetResourceServices().interfaceImage = sprite ? sprite->GetTexture() : nullptr;
         l.total_ = l.processed_ = 0;
         for (u32 n : kTextureSets)
           if (SpriteSet* s = GetSpriteSet(n)) l.total_ += static_cast<u32>(s->GetSprites().GetCount());
         return 1;
       }),
       false, nullptr, 21, K::kWork, "the interface image"},
  };
  for (u32 k = 0; k < 6; ++k)
    rows_.push_back({21 + k, A::kNone, 0, 0, work([k](Loader& l) {
                       SpriteSet* set = GetSpriteSet(kTextureSets[k]);
                       const i32 count = set ? set->GetSprites().GetCount() : 0;
                       // The next element after a yield: each is loaded once.
                       while (l.index_ < static_cast<u32>(count)) {
                         set->GetSprites().Get(static_cast<i32>(l.index_++))->Init();
                         if (l.ItemDone(++l.processed_, l.total_) && l.index_ < static_cast<u32>(count)) return 0;
                       }
                       return 1;
                     }),
                     true, nullptr, k == 5 ? 50u : 22 + k, K::kWork, "a set's textures"});
  const std::vector<Row> rest = {
      // The game fonts 5 to 9 and the digit fonts (51 and 52 report into 50).
      {50, A::kNone, 0, 0, work([](Loader& l) {
         WindowManager* windows = l.Targets().windows;
         l.total_ = (windows ? static_cast<u32>(windows->Fonts().GetCount()) : 0) + kGameFontSlots;
         l.processed_ = 0;
         return 1;
       }),
       false, nullptr, 51, K::kWork, "the fonts"},
      {51, A::kNone, 0, 0, work([](Loader& l) {
         while (l.index_ < kGameFontSlots) {
           if (KGEFont* font = GetResourceServices().fonts[l.index_]) {
             DXLTexture* picture = font->GetTexture();
             if (font->GetSignature1() == kKGEBitmapFontSignature1 &&
                 font->GetSignature2() == kKGEBitmapFontSignature2 && picture && !picture->IsReady())
               picture->Load();
             font->Acquire();
           }
           ++l.index_;
           if (l.ItemDone(++l.processed_, l.total_) && l.index_ < kGameFontSlots) return 0;
         }
         return 1;
       }),
       true, nullptr, 52, K::kWork, "the game fonts"},
      {52, A::kNone, 0, 0, work([](Loader& l) {
         WindowManager* windows = l.Targets().windows;
         const u32 count = windows ? static_cast<u32>(windows->Fonts().GetCount()) : 0;
         while (l.index_ < count) {
           DigitalFont* font = windows->Fonts().Get(static_cast<i32>(l.index_++));
           if (font->GetTexture() && !font->GetTexture()->IsReady()) font->GetTexture()->Load();
           font->RebuildModes();
           if (l.ItemDone(++l.processed_, l.total_) && l.index_ < count) return 0;
         }
         return 1;
       }),
       true, nullptr, 75, K::kWork, "the digit fonts"},
      {75, A::kData, SectionTag('L', 'V', 'L', 'S'), 2,
       section([t](Archive* a, Cursor* c) { return t->levels.ReadChunk(a, c); }), true, kDataError, 90,
       K::kSection, "LVLS"},
      // One call in five parts, each reporting a fifth.
      {90, A::kNone, 0, 0, work([t](Loader&) {
         t->bonuses.LoadIcons();
         StepLoadingProgress(0.2f);
         return 1;
       }),
       false, nullptr, 0, K::kWork, "the bonus icons"},
      {90, A::kData, kAwardsSectionId, 649,
       section([t](Archive* a, Cursor* c) {
         const i32 done = t->awards.ReadSection(a, c);
         if (done && !c->error) {
           t->awards.LoadIcons();
           StepLoadingProgress(0.4f);
         }
         return done;
       }),
       false, kDataError, 0, K::kSection, "the awards"},
      {90, A::kData, kMainScreenSectionId, kMainScreenSectionSubId,
       section([t](Archive* a, Cursor* c) {
         const i32 done = t->mainScreen.ReadSection(a, c);
         if (done && !c->error) StepLoadingProgress(0.6f);
         return done;
       }),
       false, kDataError, 0,
       K::kSection, "MNSC"},
      {90, A::kData, SectionTag('M', 'A', 'P', 'M'), 1, nullptr, false, kDataError, 0, K::kSection, "MAPM"},
      {90, A::kData, SectionTag('P', 'R', 'O', 'F'), 0x80000003u,
       [](Loader& l, Archive* a, Cursor* c) -> i32 {
         if (!l.Targets().profiles) return 1;
         const i32 done = l.Targets().profiles->ReadDefaults(a, c);
         if (done && !c->error) StepLoadingProgress(1.0f);
         return done;
       },
       false, kDataError, 93, K::kSection, "PROF"},
      {93, A::kNone, 0, 0, nullptr, false, nullptr, 95, K::kWork, "nothing"},
      // Every character description prepared, an animation's sprite a call,
      // so no frame holds still for a whole description.
      {95, A::kNone, 0, 0, work([t](Loader& l) {
         const kis::list<GameCharacter*>& all = t->characters.Items();
         const u32 count = static_cast<u32>(all.GetCount());
         while (l.index_ < count) {
           GameCharacter* c = all.Get(static_cast<i32>(l.index_));
           const bool loaded = c->IsLoaded() || c->InitStep();
           if (loaded) ++l.index_;
           if (l.ItemDone(l.index_, count) && l.index_ < count) return 0;
         }
         return 1;
       }),
       true, nullptr, kFinishStep, K::kWork, "the character descriptions"},
      {kFinishStep, A::kNone, 0, 0, work([](Loader& l) {
         l.targets_.archives->Close(false);
         if (l.targets_.profiles) l.targets_.profiles->LoadProfiles(l.targets_.profileFolder);
         EndLoadStep();  // the last step: the bar at its end
         l.loadingTime_ = l.tracker_.GetReportedTime();
         RunGameEffect(new GEffect_Regime(kMainScreenRegime, 250, 250, 0, 1));
         return 1;
       }),
       false, nullptr, 0, K::kWork, "the finish"},
  };
  rows_.insert(rows_.end(), rest.begin(), rest.end());
}

// Items and calls are timed in the processor time they had, which the
// machine's other work does not stretch: an item is begun only where one
// taking as long as the last would still end inside the call's budget.
bool StartupLoader::ItemDone(u32 done, u32 total) {
  const bool report = StepLoadingProgress(total ? static_cast<float>(done) / static_cast<float>(total) : 1.0f);
  const u64 now = plat::GetWorkUs();
  const u64 took = now - itemStartUs_;
  itemStartUs_ = now;
  return report || now - callStartUs_ + took >= u64{kCallBudgetMs} * 1000;
}

bool StartupLoader::Plug(u32 step, u32 id, Reader reader) {
  for (Row& row : rows_)
    if (row.step == step && row.id == id) {
      row.reader = std::move(reader);
      return true;
    }
  return false;
}

std::vector<u32> StartupLoader::StepOrder() const {
  std::vector<u32> order;
  for (const Row& row : rows_)
    if (order.empty() || order.back() != row.step) order.push_back(row.step);
  return order;
}

kis::DataFileReaderW* StartupLoader::ArchiveOf(LoaderArchive archive) const {
  const GameArchives* a = targets_.archives;
  if (!a) return nullptr;
  switch (archive) {
    case LoaderArchive::kData:
      return a->data;
    case LoaderArchive::kSprites:
      return a->sprites;
    case LoaderArchive::kSound:
      return soundDropped_ ? nullptr : a->sound;
    case LoaderArchive::kNone:
      break;
  }
  return nullptr;
}

// A step begins: logged, and begun on the tracker when it has the step
// (21 to 26 and 51, 52 report into the step before them).
void StartupLoader::BeginStep(u32 step) {
  char line[48];
  std::snprintf(line, sizeof line, "loader step %u", step);
  DXLLogLine(1, line);
  index_ = 0;
  cursor_ = SectionCursor{};
  if (tracker_.HasStep(step)) BeginLoadStep(step);
}

bool StartupLoader::NextRow() {
  const Row& row = Current();
  index_ = 0;
  cursor_ = SectionCursor{};
  if (row_ + 1 < rows_.size() && rows_[row_ + 1].step == row.step) {
    ++row_;
    return true;
  }
  if (row.step == lastStep_ || row.next == 0) return false;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].step == row.next) {
      row_ = i;
      begun_ = false;
      return true;
    }
  return false;
}

bool StartupLoader::Fail(const Row& row) {
  if (row.archive == LoaderArchive::kSound && soundOptional_) {
    soundFailure_ = std::string(LoaderArchiveName(row.archive)) + " does not read whole";
    soundDropped_ = true;
    DXLReportErrorA(0, "%s (%s); the game goes on without sound", soundFailure_.c_str(), row.what);
    return false;
  }
  failed_ = true;
  failure_.step = row.step;
  failure_.archive = row.archive;
  failure_.text = row.failure ? row.failure : kDataError;
  failure_.what = std::string(LoaderArchiveName(row.archive)) + ": step " + std::to_string(row.step) + ", " +
                  row.what + " does not read";
  Unpublish();
  return true;
}

// 0 when the frame goes back, 1 when the row is done, -1 when it failed.
i32 StartupLoader::RunRow(const Row& row) {
  kis::DataFileReaderW* archive = ArchiveOf(row.archive);
  if (row.archive != LoaderArchive::kNone && !archive) {
    if (row.archive == LoaderArchive::kSound) return 1;  // no sound archive: a silent game
    return Fail(row) ? -1 : 1;
  }
  switch (row.kind) {
    case LoaderRowKind::kCheck:
      if (!archive->OpenSection(row.id, row.subId) || !archive->CloseSection()) return Fail(row) ? -1 : 1;
      return 1;
    case LoaderRowKind::kEnter:
      if ((row.leave && !archive->LeaveDirectory()) || !archive->EnterDirectory(row.id, row.subId))
        return Fail(row) ? -1 : 1;
      return 1;
    case LoaderRowKind::kSection:
    case LoaderRowKind::kWork:
      break;
  }
  if (!row.reader) {
    if (row.kind == LoaderRowKind::kSection) {
      char line[96];
      std::snprintf(line, sizeof line, "loader step %u: %s has no reader yet, skipped", row.step, row.what);
      DXLLogLine(1, line);
    }
    return 1;
  }
  i32 done = row.reader(*this, archive, &cursor_);
  // A reader that is not resumable is done in one call, whatever it reports.
  for (u32 calls = 0; done == 0 && !row.resumable && calls < 1000000; ++calls) done = row.reader(*this, archive, &cursor_);
  if (done == 0) return 0;
  if (cursor_.error) return Fail(row) ? -1 : 1;
  return 1;
}

StartupLoader::Result StartupLoader::Load() {
  if (failed_) return kFailed;
  if (finished_) return kFinished;
  ResourceServices& s = GetResourceServices();
  if (s.progress != &tracker_ && Current().step != kFirstStep) s.progress = &tracker_;
  tracker_.BeginSlice(kStartupWorkSlice);
  callStart_ = plat::GetTimeMs();
  callStartUs_ = plat::GetWorkUs();
  for (;;) {
    const Row& row = Current();
    if (!begun_) {
      begun_ = true;
      BeginStep(row.step);
    }
    itemStartUs_ = plat::GetWorkUs();
    const i32 result = RunRow(row);
    if (result < 0) return kFailed;
    if (result == 0) return kGoingOn;
    if (row.step == kFirstStep && row.next != 0) {
      // The archives are there: the bar starts.
      s.progress = &tracker_;
      tracker_.Start();
    }
    const u32 step = row.step;
    if (!NextRow()) {
      if (step != kFinishStep) EndLoadStep();
      finished_ = true;
      Unpublish();
      return kFinished;
    }
    // The slice holds between rows too: rows that cannot yield themselves
    // follow each other only while it lasts.
    if (plat::GetTimeMs() - callStart_ >= kStartupWorkSlice) return kGoingOn;
  }
}
