// The graphics adapter's settings a test arranges: the default ones to start
// with, installed as PlatformServices::adapter while the object lives, so a
// system made meanwhile copies them (plat::gfx::Direct3DCreate9).
#pragma once

#include "platform/gfx/GfxSystem.h"
#include "platform/os/PlatformServices.h"

struct AdapterSettings {
  plat::gfx::SystemSettings settings = plat::gfx::DefaultSystemSettings();
  plat::PlatformServicesScope scope{{.adapter = &settings}};
};
