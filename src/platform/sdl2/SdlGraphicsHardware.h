// Whether the machine may have graphics hardware, told without loading a
// graphics driver: OpenGL on Linux reaches hardware only through a device
// node of the kernel's rendering manager ("dri/card0", "dri/renderD128") or
// of NVIDIA's driver ("nvidia0", "nvidiactl") that this user may open. With
// none of them every OpenGL there is runs on the processor, and asking for
// it would only load a large rasteriser (and its compiler) for nothing.
#pragma once

#include <string>

namespace plat::sdl2 {

// True when `devices` (the system's "/dev") holds such a node, open for
// reading and writing to this user, and Mesa is not told to rasterise in
// software anyway (`alwaysSoftware`: the value of LIBGL_ALWAYS_SOFTWARE,
// null when unset; set to anything but "", "0" or "false" it forces
// software).
bool GraphicsHardwareSeen(const std::string& devices, const char* alwaysSoftware);

}  // namespace plat::sdl2
