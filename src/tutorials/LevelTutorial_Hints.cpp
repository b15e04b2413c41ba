#include "tutorials/LevelTutorial_Hints.h"

#include "content/ProductList.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/WarehouseStock.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/WindowManager.h"
#include "windows/MessageNotice.h"
#include "windows/WarehouseWindow.h"

namespace {

constexpr u32 kHintPanel = kTutorialWindowLevelPanel;
constexpr u32 kHintWarehouse = kTutorialWindowWarehouse;
constexpr i32 kHintPoint = 7;
constexpr float kMessageArrowAngle = 330.0f;
constexpr float kMessageArrowGap = 8.0f;
constexpr i32 kMessageArrowDrop = 16;

TutorialId HintStep(TutorialId tutorial, u32 n) { return kTutorialLevelBit | tutorial | n; }

// The newest live notice of the message id (the level's message queue).
MessageWindow* FindMessage(u32 id) {
  WindowManager* windows = GetWindowManager();
  auto* queue = windows ? dynamic_cast<MessageNoticeQueue*>(windows->GetMessageQueue()) : nullptr;
  return queue ? queue->Find(id) : nullptr;
}

// The point on the message notice's right edge, 16 pixels below its top;
// invalid while the notice is gone.
bool MessagePoint(kis::FloatPoint* out, float, float, u32 id, u32) {
  MessageWindow* w = FindMessage(id);
  if (!w) return false;
  const DXLRECT& r = w->GetRect();
  out->x = static_cast<float>(r.right);
  out->y = static_cast<float>(r.top + kMessageArrowDrop);
  return true;
}

bool WarehouseReady() {
  WarehouseWindow* w = FindOpenWarehouse();
  return w && !w->IsBusy();  // FindOpenWarehouse finds no closing one
}

// End of the one-step hints: every level action allowed, the tutorial stops.
void EndHint(ScriptStep& st) {
  st.SetFlags(kLevelHintFlags);
  if (GameTutorial* t = st.GetTutorial()) t->Stop();
}

}  // namespace

// --- Level 15 -------------------------------------------------------------------------------------------

LevelTutorial_15::LevelTutorial_15(GameLevel* level) : LevelTutorial(kLevelTutorial15, level) {
  SetDefaultFlags(kLevelHintFlags);
  auto* s = new ScriptStep(HintStep(kLevelTutorial15, 1), kHintPanel, kLevelHintFlags, kLevelHintFlags, 0);
  auto timer = std::make_shared<TutorialTimer>();
  s->build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetLevelPoint(st.Level(), kHintPoint, kPointAngle, kPointDistance), 0, true);
  };
  s->onBegin = [timer](ScriptStep&) { timer->Start(kLevelHintTime); };
  s->frame = [timer](ScriptStep& st, u32 elapsed) {
    if (timer->Tick(elapsed)) st.Finish();
  };
  s->allow = [](ScriptStep&, u32, uintptr_t, const void*) { return true; };
  s->onEnd = EndHint;
  SetFirstStep(s->GetId());
}

// --- The warehouse button ---------------------------------------------------------------------------------

LevelTutorial_Warehouse::LevelTutorial_Warehouse(GameLevel* level) : LevelTutorial(kLevelTutorialWarehouse, level) {
  auto* s = new ScriptStep(HintStep(kLevelTutorialWarehouse, 1), kHintPanel, 0x1001000, kLevelHintFlags, 0);
  s->key = u"level_warehouse_1";
  s->build = [](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetButton(kHintPanel, kTutorialPanelWarehouse, 0, kAngleUp, kArrowGap));
  };
  ScriptWaitForButton(*s, kHintPanel, kTutorialPanelWarehouse);
  s->frame = [](ScriptStep& st, u32) {
    if (FindOpenWarehouse()) st.Finish();
  };
  s->onEnd = EndHint;
  SetFirstStep(s->GetId());
}

// --- The full warehouse -----------------------------------------------------------------------------------

LevelTutorial_FullWarehouse::LevelTutorial_FullWarehouse(GameLevel* level, const PRODUCT* product)
    : LevelTutorial(kLevelTutorialFullWarehouse, level), product_(product) {
  SetSaved(false);
  const u32 message = GetMessageId();
  // The message: its click (code 4, the left button) is all that passes.
  auto* s = new ScriptStep(HintStep(kLevelTutorialFullWarehouse, 1), kHintPanel, 0x2003000, 0x1000,
                           HintStep(kLevelTutorialFullWarehouse, 2));
  s->key = u"level_fullwarehouse_1";
  s->build = [message](ScriptStep& st) {
    ScriptArrowAndText(st, new TutTargetCustom(MessagePoint, message, kMessageArrowAngle, kMessageArrowGap, 0));
  };
  s->allow = [message](ScriptStep&, u32 code, uintptr_t param, const void* object) {
    const auto* w = static_cast<const MessageWindow*>(object);
    return code == kTutorialActionMessage && param == 1 && w && w->GetMessageId() == message;
  };
  s->frame = [](ScriptStep& st, u32) {
    if (FindOpenWarehouse()) st.Finish();
  };

  // The product's button in the warehouse window, until a click (while
  // some of it is in stock: the first flour into a warehouse full of wheat
  // has none). With nothing to show it ends at once: a click on a layer
  // that shows nothing would be taken unseen, and without one the level
  // would stay held.
  s = new ScriptStep(HintStep(kLevelTutorialFullWarehouse, 2), kHintWarehouse, 0x1003000, 0x3000, 0);
  s->key = u"level_fullwarehouse_2";
  s->canStart = [](ScriptStep&) { return WarehouseReady(); };
  s->build = [product](ScriptStep& st) {
    if (ScriptStock(st, product) > 0)
      ScriptArrowAndText(st,
                         new TutTargetButton(kHintWarehouse, kWarehouseProduct, reinterpret_cast<uintptr_t>(product),
                                             kAngleDown, kArrowGap),
                         0, true);
  };
  s->frame = [](ScriptStep& st, u32) {
    if (TutorialLayer* layer = st.GetLayer(); layer && layer->Texts().GetCount() == 0) st.Finish();
  };
  SetFirstStep(HintStep(kLevelTutorialFullWarehouse, 1));
  StartStep(GetFirstStep());
  Start();
}

u32 LevelTutorial_FullWarehouse::GetMessageId() const {
  return kMessageWarehouseFull + (product_ ? product_->number : 0);
}
