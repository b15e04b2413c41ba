// StartupLoader - the game's three archives read section by section into
// the game-wide tables behind the start-up progress bar, a little each
// frame. The order is one table of rows {step, archive, section id, sub-id,
// reader, resumable, failure text, next step}; the owner of a section plugs
// its reader into its row (Plug), and a row still without a reader is a
// logged skip. Each step begun is written to the engine log ("loader step
// N"), so the log shows the order the table gives.
//
// Load runs rows until a resumable reader wants the frame back: the
// published tracker (ResourceServices::progress) reported, or the work
// slice ran out. The reader is called again in the next Load with the same
// cursor and item index, so it goes on where it stopped. A section that
// does not read, a directory that cannot be entered or left, or a missing
// "CNST" stops the loader and hands the failure (step, archive, text) to the
// caller; only the program turns it into the fatal data error.
//
// At the finish (step 255) the data and sound archives are closed, the
// profiles are loaded and the fade to the main screen is run; the sprite
// archive stays open for the textures that load later. A caller that only
// wants the tables (the game's world) stops after step 95 instead
// (SetLastStep): nothing is closed and no state is asked for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DataSet.h"
#include "base/Types.h"
#include "resources/ProgressTracker.h"
#include "resources/ResourceServices.h"

class ProfileStore;
class SpriteSet;
class WindowManager;

namespace kis {
class DataFileReaderW;
}

// The game's three archives of a data folder: "Data.dat", "Sprites.dat",
// "Sounds.dat", each with its own signatures and version 1.
struct GameArchives {
  kis::DataFileReaderW* data = nullptr;
  kis::DataFileReaderW* sprites = nullptr;
  kis::DataFileReaderW* sound = nullptr;

  // All three opened from `folder` in that order; the first that does not
  // open stops it (false, its fault in `error`: DataSetFileFault's text, and
  // `missing` when the file is not there). What opened stays for Close.
  bool Open(const std::string& folder, std::string* error, bool* missing = nullptr);
  // The data and sound archives closed; with `sprites` the sprite archive too.
  void Close(bool sprites);
};

enum class LoaderArchive : u8 { kNone, kData, kSprites, kSound };
const char* LoaderArchiveName(LoaderArchive archive);  // "Data.dat", ... ("" for none)

// What a row does with its archive.
enum class LoaderRowKind : u8 {
  kSection,  // the reader reads the section (id, sub-id) it opens itself
  kCheck,    // the section is opened and closed again: it must be there
  kEnter,    // the directory (id, sub-id) entered, the one open left first when `leave`
  kWork,     // the loader's own work (textures, fonts, descriptions): the reader walks the items
};

struct StartupTargets {
  GameArchives* archives = nullptr;
  std::vector<std::unique_ptr<SpriteSet>>* sets = nullptr;  // the 17 sets made at step 1 when empty
  ContentTables* tables = nullptr;                           // installed in the services
  WindowManager* windows = nullptr;                          // the digit fonts go into it
  ProfileStore* profiles = nullptr;                          // null: no profile defaults, no profiles loaded
  std::u16string profileFolder;                              // where the finish loads the profiles from
};

// What the start-up loading fills besides the services' own values, made
// in one place: the archives, the sprite sets, the content tables and the
// window manager (both installed in the services by Install). Free takes
// it all down in the reverse order, the fonts read into it first; the
// destructor frees too.
struct StartupData {
  GameArchives archives;
  std::vector<std::unique_ptr<SpriteSet>> sets;
  ContentTables tables;
  WindowManager* windows = nullptr;

  StartupData();
  ~StartupData();
  StartupData(const StartupData&) = delete;
  StartupData& operator=(const StartupData&) = delete;

  void Install();
  StartupTargets Targets();  // these, for a loader (no profiles)
  void Free();
};

class StartupLoader {
 public:
  // A row's reader: 0 to be called again in a later frame, else finished
  // (the cursor's error flag tells a failure). `archive` is the row's (null
  // for rows of no archive); Index() walks the items of a work row.
  using Reader = std::function<i32(StartupLoader& loader, kis::DataFileReaderW* archive, SectionCursor* cursor)>;
  struct Row {
    u32 step;
    LoaderArchive archive;
    u32 id;
    u32 subId;
    Reader reader;
    bool resumable;
    const char* failure;  // "Data error!", "Sprites error!", or null when the row cannot fail
    u32 next;             // the step after this one (on the step's last row)
    LoaderRowKind kind = LoaderRowKind::kSection;
    const char* what = "";  // what the row reads, for the log and failures ("LVLS", "the sprite sets' images")
    bool leave = false;     // kEnter: leave the open directory first
  };
  struct Failure {
    u32 step = 0;
    LoaderArchive archive = LoaderArchive::kNone;
    std::string text;  // the row's failure text: "Data error!" or "Sprites error!"
    std::string what;  // "<archive>: step <n>, <what> does not read"
  };
  enum Result : i32 { kFailed = 0, kGoingOn = 1, kFinished = 2 };
  static constexpr u32 kFirstStep = 1;
  static constexpr u32 kFinishStep = 255;
  static constexpr u32 kDescriptionsStep = 95;

  // The table with every reader there is; the tracker made (the start-up
  // steps), reporting to `report` (null: nowhere).
  explicit StartupLoader(StartupTargets targets, ProgressTracker::Callback report = nullptr);
  ~StartupLoader();
  StartupLoader(const StartupLoader&) = delete;
  StartupLoader& operator=(const StartupLoader&) = delete;

  // The reader of the row (step, id); false when the table has no such row.
  bool Plug(u32 step, u32 id, Reader reader);
  // The loader stops after this step (rather than at the finish).
  void SetLastStep(u32 step) { lastStep_ = step; }
  // A sound section that does not read leaves the game silent (logged,
  // SoundFailure) instead of stopping the loader.
  void SetSoundOptional(bool optional) { soundOptional_ = optional; }

  Result Load();  // one frame's work; kFailed, kGoingOn, or kFinished (then again kFinished)
  bool IsFinished() const { return finished_; }
  const Failure& GetFailure() const { return failure_; }
  const std::string& SoundFailure() const { return soundFailure_; }
  u32 GetStep() const { return Current().step; }
  u32& Index() { return index_; }  // the item a work row or set loop is at
  // A work row's item done, done/total of the row reported to the tracker;
  // true when the frame goes back: the tracker says so, or another item
  // taking as long as this one would carry the call past kCallBudgetMs of
  // processor time.
  bool ItemDone(u32 done, u32 total);
  static constexpr u32 kCallBudgetMs = 9;  // ms a call of Load stays under where its items allow
  const std::vector<Row>& Table() const { return rows_; }
  // The steps in the order Load takes them (the table followed from step 1).
  std::vector<u32> StepOrder() const;
  const ProgressTracker& Tracker() const { return tracker_; }
  u32 LoadingTime() const { return loadingTime_; }  // ms the tracker measured, set at the finish
  const StartupTargets& Targets() const { return targets_; }

 private:
  const Row& Current() const { return rows_[row_]; }
  kis::DataFileReaderW* ArchiveOf(LoaderArchive archive) const;
  void BeginStep(u32 step);
  bool NextRow();  // false past the last step
  i32 RunRow(const Row& row);
  bool Fail(const Row& row);
  void Unpublish();
  void BuildTable();

  StartupTargets targets_;
  std::vector<Row> rows_;
  size_t row_ = 0;
  SectionCursor cursor_;
  u32 index_ = 0;
  u32 processed_ = 0;  // texture and font steps: items done of `total_`
  u32 total_ = 0;
  bool begun_ = false;  // the current row's step was begun
  bool finished_ = false;
  bool failed_ = false;
  bool soundOptional_ = false;
  bool soundDropped_ = false;
  u32 lastStep_ = kFinishStep;
  u32 loadingTime_ = 0;
  u32 callStart_ = 0;      // ms: this call of Load began
  u64 callStartUs_ = 0;    // processor time (us) when this call of Load began
  u64 itemStartUs_ = 0;    // processor time (us) when the item under way began
  Failure failure_;
  std::string soundFailure_;
  ProgressTracker tracker_;
};
