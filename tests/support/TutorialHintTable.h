// TutorialHintTable - where a tutorial step's hint stands, as one line of
// text a test compares with its script's table: each arrow (not hiding)
// with what it points at, then each info text with its target, whether it
// is centred, its own distance, its click line and the side of its target
// it stands on, measured from where it was placed:
//
//   arrow Lvlp:C9000400/plant 270/4 | text Lvlp:C9000400/plant 270/4 +84 above
//   arrow2 point 0 70/48            | text fn:centre 90/0 centred +160 click
//
// Targets: a control ("Lvlp:4C500005/task0", its data named by the test,
// "?" for a data word it did not name), a computed point ("fn:centre",
// "fn:wrhs(240)"; "fn:?" for a function it did not name), a map node
// ("node 0"), a level point ("point 3"), a head-up sprite by its action
// code and its level point ("Harv@1"), then the target's angle/distance.
// A side says where the text's rectangle lies wholly: "above" or "below"
// the target's point, "left" or "right" of it, both ("above-left"), or
// "over" it (a text pushed back inside the screen, say).
//
// HintRecorder, called every frame, keeps the line of each step (its
// texts once faded in, every arrow it showed) and every shown note that
// stood wrongly (NoteMisplaced); ExpectHintTable compares the lines with a
// script's table and expects no note misplaced.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/scene/GameLevel.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ActiveScreenSprite.h"
#include "hud/ScreenSpriteHost.h"
#include "hud/ScreenSpriteList.h"
#include "resources/ResourceServices.h"
#include "ui/NarrowButton.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/MoneyWindow.h"

namespace testsupport {

struct HintNames {
  std::map<uintptr_t, std::string> data;                 // control data words
  std::map<TutorialPointFunction, std::string> functions;  // computed points
  GameLevel* level = nullptr;                               // names sprites by their point
};

// An ASCII name of the data, for the tables.
inline std::string NarrowName(const wchar* name) {
  std::string s;
  for (const wchar* c = name; c && *c; ++c) s += static_cast<char>(*c);
  return s;
}

inline std::string HintCode(u32 code) {
  std::string s;
  for (i32 shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((code >> shift) & 0xFF);
  return s;
}

inline std::string HintNumber(float v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", static_cast<double>(v));
  return b;
}

inline std::string DescribeHintTarget(const TutorialTarget* target, const HintNames& names) {
  if (!target) return "none";
  std::string s;
  char b[64];
  if (const auto* t = dynamic_cast<const TutTargetButton*>(target)) {
    std::snprintf(b, sizeof b, "%s:%X", HintCode(t->GetWindowCode()).c_str(), t->GetControlId());
    s = b;
    if (t->GetControlData()) {
      auto n = names.data.find(t->GetControlData());
      s += "/" + (n != names.data.end() ? n->second : std::string("?"));
    }
  } else if (const auto* c = dynamic_cast<const TutTargetCustom*>(target)) {
    auto n = names.functions.find(c->GetFunction());
    s = "fn:" + (n != names.functions.end() ? n->second : std::string("?"));
    if (c->GetArgument()) s += "(" + std::to_string(c->GetArgument()) + ")";
  } else if (const auto* m = dynamic_cast<const TutTargetMapLevel*>(target)) {
    s = "node " + std::to_string(m->GetLevelIndex());
  } else if (const auto* p = dynamic_cast<const TutTargetLevelPoint*>(target)) {
    s = "point " + std::to_string(p->GetPointIndex());
  } else if (const auto* sp = dynamic_cast<const TutTargetScreenSprite*>(target)) {
    const auto* a = dynamic_cast<const ActiveScreenSprite*>(sp->GetSprite());
    i32 owner = -1;
    for (i32 i = 0; a && names.level && i < names.level->Map().GetPointCount(); ++i)
      if (BaseLevelPoint* point = names.level->Map().GetPoint(i);
          point && a->GetHandlerOwner() == static_cast<ScreenSpriteOwner*>(point))
        owner = i;
    s = a ? HintCode(a->GetActionCode()) + "@" + std::to_string(owner) : "sprite";
  } else {
    s = "custom";  // a computed point of a script's own kind
  }
  return s + " " + HintNumber(target->GetAngle()) + "/" + HintNumber(target->GetDistance());
}

// The side of the target's point the text's rectangle lies wholly on:
// "above" or "below", "left" or "right", both ("above-left") when it lies
// wholly on both, "over" on neither (a text pushed back inside the screen).
inline std::string HintSide(const TutorialInfo* info) {
  const TutorialTarget* t = info->GetTarget();
  // Placed by its middle, half its size in whole pixels from its corner.
  const float w = static_cast<float>(info->GetWidth()), h = static_cast<float>(info->GetHeight());
  const float left = info->GetPosX() - static_cast<float>(info->GetWidth() / 2);
  const float top = info->GetPosY() - static_cast<float>(info->GetHeight() / 2);
  const float x = t->GetFloatX(), y = t->GetFloatY();
  const std::string vertical = top + h <= y ? "above" : top >= y ? "below" : "";
  const std::string horizontal = left + w <= x ? "left" : left >= x ? "right" : "";
  if (vertical.empty() && horizontal.empty()) return "over";
  return vertical.empty() ? horizontal : horizontal.empty() ? vertical : vertical + "-" + horizontal;
}

// What is wrong with where a shown note stands, "" when nothing: its frame
// as drawn (3 pixels past its rectangle left and right, 1 above, 6 below)
// off the game area or over one of the level's bars (the panel's strip, the
// menu's plate, the boards along the top, the close-tutorial button), or,
// placed beside its target, its frame over a head-up button the level
// shows or over what the target stands for (TutorialTarget::GetArea: the
// building or bed with its buttons, the control), its rectangle over a
// bare target point.
inline std::string NoteMisplaced(const TutorialInfo* info) {
  const TutorialTarget* t = info->GetTarget();
  if (info->GetState() != kLayerShown || !t || !t->IsValid()) return {};
  const i32 left = static_cast<i32>(info->GetPosX()) - info->GetWidth() / 2;
  const i32 top = static_cast<i32>(info->GetPosY()) - info->GetHeight() / 2;
  const DXLRECT note{left, top, left + info->GetWidth(), top + info->GetHeight()};
  const DXLRECT frame{note.left - 3, note.top - 1, note.right + 3, note.bottom + 6};
  const auto text = [](const DXLRECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
  };
  const auto meets = [&](const DXLRECT& r) {
    return frame.left < r.right && r.left < frame.right && frame.top < r.bottom && r.top < frame.bottom;
  };
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  if (frame.left < 0 || frame.top < 0 || frame.right > screen.width || frame.bottom > screen.height)
    return "frame " + text(frame) + " off the game area";
  std::vector<std::pair<const char*, DXLRECT>> bars;
  WindowManager* windows = GetWindowManager();
  if (auto* panel = windows ? dynamic_cast<LevelPanel*>(windows->FindWindow(kLevelPanelId)) : nullptr) {
    bars.emplace_back("the panel's strip", panel->GetRect());
    bars.emplace_back("the menu's plate", panel->GetMenuPlate());
    if (const GameButton* close = panel->GetTutorialButton()) {
      kis::IntPoint a{}, b{};
      panel->ClientToScreen(&a, close->GetRect().left, close->GetRect().top);
      panel->ClientToScreen(&b, close->GetRect().right, close->GetRect().bottom);
      bars.emplace_back("the close-tutorial button", DXLRECT{a.x, a.y, b.x, b.y});
    }
  }
  if (const GameWindow* money = windows ? windows->FindWindow(kMoneyWindowId) : nullptr)
    bars.emplace_back("the boards along the top", money->GetRect());
  for (const auto& [name, r] : bars)
    if (meets(r)) return "frame " + text(frame) + " over " + name + " " + text(r);
  if (info->IsCentred()) return {};
  if (const ScreenSpriteList* list = GetLevelScreenSprites())
    for (i32 i = 0; i < list->Active().GetCount(); ++i)
      if (DXLRECT r{}; list->Active().Get(i)->IsVisible()) {
        list->Active().Get(i)->GetScreenRect(&r);
        if (meets(r)) return "frame " + text(frame) + " over the head-up button " + text(r);
      }
  if (DXLRECT area{}; t->GetArea(&area, false))
    return meets(area) ? "frame " + text(frame) + " over its target " + text(area) : std::string();
  const float x = t->GetFloatX(), y = t->GetFloatY();
  if (x > static_cast<float>(note.left) && x < static_cast<float>(note.right) && y > static_cast<float>(note.top) &&
      y < static_cast<float>(note.bottom))
    return "note " + text(note) + " over its target's point (" + HintNumber(x) + ", " + HintNumber(y) + ")";
  return {};
}

// The hint's arrows (not hiding; sorted) and texts, as parts of its line.
inline std::vector<std::string> DescribeHintParts(TutorialLayer* layer, const HintNames& names, bool* textsShown) {
  std::vector<std::string> arrows, texts;
  *textsShown = layer->Texts().GetCount() > 0;
  for (i32 i = 0; i < layer->Arrows().GetCount(); ++i) {
    TutorialArrow* a = layer->Arrows().Get(i);
    if (a->GetState() < kLayerHiding)
      arrows.push_back("arrow" + (a->GetTag() ? std::to_string(a->GetTag()) : std::string()) + " " +
                       DescribeHintTarget(a->GetTarget(), names));
  }
  for (i32 i = 0; i < layer->Texts().GetCount(); ++i) {
    TutorialInfo* t = layer->Texts().Get(i);
    if (t->GetState() != kLayerShown) *textsShown = false;
    std::string part = "text " + DescribeHintTarget(t->GetTarget(), names);
    if (t->IsCentred()) part += " centred";
    part += " +" + HintNumber(t->GetDistance());
    if (auto* text = dynamic_cast<TutorialInfoText*>(t); text && text->GetClickText()) part += " click";
    if (!t->IsCentred() && t->GetTarget() && t->GetTarget()->IsValid()) part += " " + HintSide(t);
    texts.push_back(part);
  }
  std::sort(arrows.begin(), arrows.end());
  arrows.insert(arrows.end(), texts.begin(), texts.end());
  return arrows;
}

inline std::string JoinHintParts(const std::vector<std::string>& parts) {
  std::string s;
  for (const std::string& p : parts) s += (s.empty() ? "" : " | ") + p;
  return s;
}

// The line of each step of the current tutorial: its texts as they stood
// the first frame they had all faded in, with every arrow seen while the
// step was current (arrows a step adds later, a ripe crop's say).
class HintRecorder {
 public:
  explicit HintRecorder(HintNames names) : names_(std::move(names)) {}
  HintNames& Names() { return names_; }

  void Frame() {
    GameTutorial* t = GetCurrentTutorial();
    TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
    TutorialLayer* layer = step ? step->GetLayer() : nullptr;
    if (!layer || layer->GetState() >= kLayerHiding) return;
    for (i32 i = 0; i < layer->Texts().GetCount(); ++i)
      if (std::string wrong = NoteMisplaced(layer->Texts().Get(i)); !wrong.empty()) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", step->GetId());
        misplaced_.insert(std::string(id) + ": " + wrong);
      }
    bool shown = false;
    std::vector<std::string> now = DescribeHintParts(layer, names_, &shown);
    std::vector<std::string>& kept = parts_[step->GetId()];
    if (kept.empty()) {
      if (shown) kept = now;
      return;
    }
    for (const std::string& p : now)
      if (p.rfind("arrow", 0) == 0 && std::find(kept.begin(), kept.end(), p) == kept.end()) {
        kept.push_back(p);
        std::stable_sort(kept.begin(), kept.end(), [](const std::string& a, const std::string& b) {
          const bool arrowA = a.rfind("arrow", 0) == 0, arrowB = b.rfind("arrow", 0) == 0;
          return arrowA != arrowB ? arrowA : arrowA && a < b;
        });
      }
  }
  // The step's line; empty when it showed nothing.
  std::string Line(TutorialId step) const {
    auto p = parts_.find(step);
    return p != parts_.end() ? JoinHintParts(p->second) : std::string();
  }
  // Each step's misplaced notes, once per place (see NoteMisplaced).
  const std::set<std::string>& Misplaced() const { return misplaced_; }

 private:
  HintNames names_;
  std::map<TutorialId, std::vector<std::string>> parts_;
  std::set<std::string> misplaced_;
};

// Each step of the trace showed the line its table gives (step n at
// table[n - 1] of the script's first step `first`; an empty line: the step
// shows nothing on the road played).
inline void ExpectHintTable(const HintRecorder& hints, TutorialId first, const std::vector<const char*>& table,
                            const std::vector<TutorialId>& trace) {
  for (TutorialId id : trace) {
    const u32 n = id - first + 1;
    if (n < 1 || n > table.size()) continue;  // not a step of this table
    EXPECT_EQ(hints.Line(id), table[n - 1]) << std::hex << "step " << id;
  }
  EXPECT_EQ(hints.Misplaced(), std::set<std::string>{});
}

}  // namespace testsupport
