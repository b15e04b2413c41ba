#include "windows/MapProfile.h"

#include "windows/WindowServices.h"

MapProfile* GetMapProfile() { return GetWindowServices().mapProfile; }
void SetMapProfile(MapProfile* profile) { GetWindowServices().mapProfile = profile; }
