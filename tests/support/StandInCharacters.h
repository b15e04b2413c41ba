// A stand-in for the level's characters until the characters, jobs and the
// walking job come (issue 34, L4): walkers that go straight to their target
// at a fixed speed, drawn with the data set's "girl_walk" animation turned
// to the way they go. The first one made is the player; a left click's walk
// replaces the player's target; a right click stops the walk when its
// target lies within 80 pixels of the click.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "engine/DXLViewer.h"
#include "level/DynObject.h"
#include "level/LevelCast.h"
#include "resources/CurrentLevel.h"
#include "resources/GameAnimation.h"
#include "resources/GameServices.h"

namespace leveltest {

class StandInWalker : public DynObject {
 public:
  static constexpr float kSpeed = 0.12f;  // level pixels a millisecond

  StandInWalker(float x, float y) {
    walk_ = FindAnimation(GetAnimations(), u"girl_walk");
    if (walk_) {
      walk_->Init();
      walk_->Start(&state_, walk_->FindDirection(90.0f), false);
    }
    AttachToLevel(0);
    MoveTo(x, y);
    targetX_ = x;
    targetY_ = y;
  }
  ~StandInWalker() override {
    GameAnimation::StopSound(&state_);
    state_.animation = nullptr;
    if (walk_) walk_->Release(false);
  }

  void SetTarget(float x, float y) {
    targetX_ = x;
    targetY_ = y;
    const float heading = std::atan2(y - y_, x - x_) * 180.0f / 3.14159265f;
    if (walk_) {
      const i32 direction = walk_->FindDirection(heading);
      if (direction != state_.direction) walk_->Start(&state_, direction, true);
    }
  }
  bool IsWalking() const { return x_ != targetX_ || y_ != targetY_; }
  float GetTargetX() const { return targetX_; }
  float GetTargetY() const { return targetY_; }

  void Step(u32 ms) {
    if (!IsWalking()) return;
    const float dx = targetX_ - x_, dy = targetY_ - y_, d = std::hypot(dx, dy), step = kSpeed * static_cast<float>(ms);
    if (d <= step)
      MoveTo(targetX_, targetY_);
    else
      MoveTo(x_ + dx * step / d, y_ + dy * step / d);
    if (walk_) walk_->Update(&state_, static_cast<float>(ms));
  }

  void Draw() override {
    DXLViewer* viewer = GetGameViewer();
    if (!walk_ || !viewer) return;
    if (const CurrentLevel* level = GetGameServices().level) viewer->SetTransform(&level->GetLevelTransform());
    viewer->Translate(x_, y_);
    walk_->Draw(&state_, true, false);
  }

 private:
  GameAnimation* walk_ = nullptr;
  AnimationState state_;
  float targetX_;
  float targetY_;
};

class StandInCharacters : public LevelCast {
 public:
  void LoadDescriptions() override { ++descriptionLoads; }
  DynObject* CreatePlayer(i32 x, i32 y) override { return Add(static_cast<float>(x), static_cast<float>(y)); }
  DynObject* GetPlayer() const override { return walkers.empty() ? nullptr : walkers.front().get(); }
  StandInWalker* Player() const { return walkers.empty() ? nullptr : walkers.front().get(); }
  StandInWalker* Add(float x, float y) {
    walkers.push_back(std::make_unique<StandInWalker>(x, y));
    return walkers.back().get();
  }
  void DeleteAll() override { walkers.clear(); }
  void UpdatePaths() override {}
  void UpdateCharacters(u32 ms) override {
    for (auto& w : walkers) w->Step(ms);
  }
  bool WalkPlayerTo(i32 x, i32 y) override {
    ++walks;
    if (!Player()) return false;
    Player()->SetTarget(static_cast<float>(x), static_cast<float>(y));
    return true;
  }
  bool CancelJobNear(i32 x, i32 y) override {
    StandInWalker* p = Player();
    if (!p || !p->IsWalking() || std::fabs(p->GetTargetX() - x) > 80 || std::fabs(p->GetTargetY() - y) > 80) return false;
    p->SetTarget(p->GetX(), p->GetY());
    return true;
  }
  void NotifyLevelEnd() override {}
  void SetPlayerWalkModifier(u32, float) override {}
  void SetPlayerSpeedModifier(u32, float) override {}
  void SetPlayerRunning(bool) override {}

  std::vector<std::unique_ptr<StandInWalker>> walkers;
  i32 descriptionLoads = 0;
  i32 walks = 0;
};

}  // namespace leveltest
