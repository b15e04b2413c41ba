#include "tutorials/GameTutorial.h"

#include <algorithm>
#include <vector>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "engine/DXLLog.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/ResourceServices.h"
#include "tutorials/TutorialLayer.h"

GameTutorial* GetCurrentTutorial() { return dynamic_cast<GameTutorial*>(GetResourceServices().tutorial); }

// --- GameTutorial -------------------------------------------------------------------------------------

GameTutorial::GameTutorial(TutorialId id) : id_(id & 0xFFFF0000u) {
  if (GameTutorial* previous = GetCurrentTutorial()) previous->Finish();
  GetResourceServices().tutorial = this;
}

GameTutorial::~GameTutorial() {
  // The layers first: they point at the steps.
  while (layers_.GetCount() > 0) delete layers_.Last();
  current_ = pending_ = nullptr;
  while (steps_.GetCount() > 0) {
    TutorialStep* step = steps_.Last();
    steps_.Delete(steps_.GetCount() - 1);
    step->tutorial_ = nullptr;
    delete step;
  }
  ResourceServices& services = GetResourceServices();
  std::vector<TutorialHooks*>& finished = services.finishedTutorials;
  finished.erase(std::remove(finished.begin(), finished.end(), static_cast<TutorialHooks*>(this)), finished.end());
  if (services.tutorial == this) services.tutorial = nullptr;
}

void GameTutorial::Discard() {
  if (calls_ > 0)
    Finish();  // deleted at the end of the frame, out of its own call
  else
    delete this;
}

void GameTutorial::Retire() {
  if (state_ == kTutorialFinished) return;
  state_ = kTutorialFinished;
  ResourceServices& services = GetResourceServices();
  services.finishedTutorials.push_back(this);
  if (services.tutorial == this) services.tutorial = nullptr;
}

// --- The machine ----------------------------------------------------------------------------------------

void GameTutorial::Start() {
  if (state_ >= kTutorialRunning) return;
  Call call(*this);
  state_ = kTutorialRunning;
  SetFlags(defaultFlags_);
  OnStart();
  Advance();
}

void GameTutorial::StartStep(TutorialId id) {
  Call call(*this);
  if (current_) {
    if (current_->id_ == id) return;
    current_->Finish();  // may start its own next step first
  }
  pending_ = nullptr;
  showStage_ = 0;
  if (state_ < kTutorialEnding) {
    pending_ = FindStep(id);
    Advance();
  }
}

// A pending step is shown 100 ms after it can start and becomes active
// 200 ms after that; each stage waits for the delay to run out.
void GameTutorial::Advance() {
  if (state_ != kTutorialRunning || !pending_ || delay_ != 0) return;
  if (!pending_->CanStart()) return;  // asked again next frame
  switch (showStage_) {
    case 0:
      delay_ = kTutorialShowDelay;
      showStage_ = 1;
      return;
    case 1:
      delay_ = kTutorialActivateDelay;
      showStage_ = 2;
      BuildLayer(pending_);
      return;
    default:
      if (!firstShown_) {
        firstShown_ = 1;
        OnFirstStepShown();
      }
      if (pending_) Activate(pending_);
      return;
  }
}

void GameTutorial::BuildLayer(TutorialStep* step) {
  if (step->layer_ || step->layerCode_ == 0) return;
  TutorialLayer* layer = new TutorialLayer(step, step->layerCode_);
  step->Build();
  step->OnDraw();
  layer->SetState(kLayerShowing);
}

void GameTutorial::Activate(TutorialStep* step) {
  if (step->state_ != 0) return;
  if (current_) current_->Finish();
  current_ = step;
  pending_ = nullptr;
  // The log keeps each step as it becomes active (read by the replays' checks).
  DXLLogValueFormat(0, "Tutorial", "step 0x%08X", step->id_);
  step->Begin();
  step->state_ = 1;
}

void GameTutorial::Stop() {
  if (state_ >= kTutorialEnding) return;
  Call call(*this);
  state_ = kTutorialEnding;
  DXLLogValueFormat(0, "Tutorial", "0x%08X ends", id_);
  if (current_) current_->Finish();
  if (pending_) {
    pending_->CloseLayer();
    pending_ = nullptr;
  }
  SetFlags(0);
  OnStop();
  OnStopped();
}

void GameTutorial::Finish() {
  Stop();
  Retire();
}

void GameTutorial::SetFlags(u32 flags) {
  if (state_ == kTutorialFinished || flags == flags_) return;
  OnFlagsChanged(flags);
  flags_ = flags;
}

TutorialStep* GameTutorial::FindStep(TutorialId id) const {
  for (i32 i = steps_.GetCount() - 1; i >= 0; --i)
    if (steps_.Get(i)->id_ == id) return steps_.Get(i);
  return nullptr;
}

// --- The frame --------------------------------------------------------------------------------------------

void GameTutorial::Update(u32 elapsed) { UpdateBase(elapsed); }

void GameTutorial::UpdateBase(u32 elapsed) {
  if (state_ == kTutorialFinished) return;
  Call call(*this);
  delay_ = elapsed >= delay_ ? 0 : delay_ - elapsed;
  if (pending_) Advance();
  if (current_) current_->OnFrame(elapsed);
  const std::vector<TutorialLayer*> layers(layers_.Data(), layers_.Data() + layers_.GetCount());
  for (TutorialLayer* layer : layers) {
    if (layers_.IndexOf(layer) < 0) continue;
    if (layer->GetState() >= kLayerGone)
      delete layer;
    else if (layer->GetState() >= kLayerShowing)
      layer->MoveOn(elapsed);
  }
  if (state_ == kTutorialEnding && layers_.GetCount() == 0) Finish();
}

void GameTutorial::Draw() {
  if (state_ == kTutorialFinished) return;
  Call call(*this);
  if (current_) current_->OnDraw();
  for (i32 i = 0; i < layers_.GetCount(); ++i)
    if (layers_.Get(i)->GetState() < kLayerGone) layers_.Get(i)->PlaceItems();
}

void GameTutorial::OnScreenResize() {
  if (state_ == kTutorialFinished) return;
  Call call(*this);
  for (i32 i = 0; i < layers_.GetCount(); ++i) {
    TutorialLayer* layer = layers_.Get(i);
    layer->FitToScreen();
    if (layer->GetState() < kLayerGone) layer->PlaceItems();
  }
}

// --- Actions and events -------------------------------------------------------------------------------------

bool GameTutorial::AllowAction(u32 code, uintptr_t param, const void* object) {
  if (state_ >= kTutorialEnding) return true;
  Call call(*this);
  return FilterAction(code, param, object);
}

// Codes 1 and 2 need flag bit 24, code 4 bit 25; a key is the key filter's
// alone. What passes is the current step's to decide (allowed without one).
bool GameTutorial::FilterAction(u32 code, uintptr_t param, const void* object) {
  switch (code) {
    case kTutorialActionTitle:
    case kTutorialActionButton:
      if (!(flags_ & kTutorialFlagWindows)) return false;
      break;
    case kTutorialActionKey:
      return AllowKey(static_cast<u16>(param), object);
    case kTutorialActionMessage:
      if (!(flags_ & kTutorialFlagMessages)) return false;
      break;
    default:
      break;
  }
  return !current_ || current_->AllowAction(code, param, object);
}

void GameTutorial::Notify(u32 event, uintptr_t param, const void* object) {
  Call call(*this);
  if (current_) current_->OnEvent(event, param, object);
}

// --- The saved level -------------------------------------------------------------------------------------------

bool GameTutorial::Save(kis::DataCursor* writer) {
  if (!writer) return false;
  u8 word[4];
  kis::PutU32LE(word, state_);
  if (!writer->Write(word, 4)) return false;
  if (state_ == kTutorialCreated || state_ >= kTutorialEnding) return true;
  const u32 size = std::max(RecordSize(), kTutorialRecordMin);
  u8* record = static_cast<u8*>(writer->Reserve(size, true));
  if (!record) return false;
  kis::PutU32LE(record + kRecordSize, size);
  kis::PutU32LE(record + kRecordFlags, defaultFlags_);
  kis::PutU32LE(record + kRecordResume, pending_ ? pending_->id_ : 0);
  kis::PutU32LE(record + kRecordMarker, 0);
  FillRecord(record);
  if (!current_) return true;
  saveRecord_ = record;
  const bool ok = current_->SaveData(writer, record);
  saveRecord_ = nullptr;
  return ok && !writer->HasError();
}

// A record shorter than its four words is refused (it would be read past
// its end); what a derived tutorial needs beyond them it checks itself.
bool GameTutorial::Load(kis::DataCursor* reader) {
  if (!reader) return false;
  u8 word[4];
  if (!reader->Read(word, 4)) return false;
  const u32 state = kis::GetU32LE(word);
  if (state == kTutorialCreated) return true;
  if (state >= kTutorialEnding) {
    Stop();
    return true;
  }
  const u8* record = static_cast<const u8*>(reader->ReadSized());
  if (!record) return false;
  const u32 size = kis::GetU32LE(record + kRecordSize);
  if (size < kTutorialRecordMin || !LoadRecord(record, size)) return false;
  firstStep_ = kis::GetU32LE(record + kRecordResume);
  delay_ = 0;
  const u32 marker = kis::GetU32LE(record + kRecordMarker);
  if (marker == 0) return true;
  const u8* block = static_cast<const u8*>(reader->ReadSized());
  TutorialStep* step = FindStep(marker);
  return block && step && step->LoadData(block);
}

bool GameTutorial::LoadRecord(const u8* record, u32 size) {
  if (size < kTutorialRecordMin) return false;
  defaultFlags_ = kis::GetU32LE(record + kRecordFlags);
  return true;
}

// --- TutorialStep ----------------------------------------------------------------------------------------------

TutorialStep::TutorialStep(TutorialId id, u32 layerCode)
    : tutorial_(GetCurrentTutorial()), id_(id), layerCode_(layerCode) {
  if (tutorial_) tutorial_->steps_.Add(this);
}

TutorialStep::~TutorialStep() {
  delete layer_;  // the layer lets go of the step as it goes
  layer_ = nullptr;
  if (tutorial_) {
    tutorial_->steps_.Remove(this);
    if (tutorial_->current_ == this) tutorial_->current_ = nullptr;
    if (tutorial_->pending_ == this) tutorial_->pending_ = nullptr;
  }
}

const wchar* TutorialStep::GetText(const wchar* key) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language && key ? language->GetTextByName(u"tutorial", key, false) : nullptr;
  return text ? text : u"";
}

bool TutorialStep::SaveData(kis::DataCursor*, u8* record) {
  if (!record) return false;
  kis::PutU32LE(record + kRecordResume, id_);
  return true;
}

void TutorialStep::CloseLayer() {
  if (layer_) layer_->SetState(kLayerHiding);
}

void TutorialStep::Finish() {
  if (state_ == 0) return;
  CloseLayer();
  GameTutorial* tutorial = tutorial_;
  if (tutorial) {
    if (tutorial->current_ == this) tutorial->current_ = nullptr;
    tutorial->delay_ = kTutorialStepGap;
  }
  state_ = 0;
  End();
  state_ = 0;
  if (!tutorial) return;
  if (next_ != 0)
    tutorial->StartStep(next_);
  else
    tutorial->Stop();
}
