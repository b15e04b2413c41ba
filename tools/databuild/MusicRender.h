// RenderMusic - the music of a data set as a person hears it in the game:
// every track of "Sounds.dat" read by the game's own reader, played through
// the sound settings (fading in as the game plays it) on the audio stand-in's
// offline output, and written as "<name>.wav" into a folder: the loop twice
// over, so its seam can be heard.
#pragma once

#include <string>

// 0 on success; otherwise a message has been printed.
int RenderMusic(const std::string& dataDir, const std::string& outDir);
