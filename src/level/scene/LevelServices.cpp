#include "level/scene/LevelServices.h"

#include "level/scene/DeveloperOverlay.h"

namespace {

LevelServices& Services() {
  static LevelServices services;
  return services;
}

}  // namespace

LevelServices& GetLevelServices() { return Services(); }

void ResetLevelServices() { Services() = LevelServices{}; }
