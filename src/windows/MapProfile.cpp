#include "windows/MapProfile.h"

namespace {
MapProfile* gProfile = nullptr;
}

MapProfile* GetMapProfile() { return gProfile; }
void SetMapProfile(MapProfile* profile) { gProfile = profile; }
