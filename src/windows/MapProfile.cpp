#include "windows/MapProfile.h"

#include "windows/WindowServices.h"

MapProfile* GetMapProfile() { return GetWindowServices().mapProfile; }
