// The text parameters of hint texts: the defaults of a body text (wrapped,
// marked up, dark blue, a pixel between lines) and of a caption (centred,
// wrapped, orange), filled into a text-parameter block with a box width and
// the two context words that the item-description mark-up receives (the
// callers' two colour words).
#pragma once

#include <cstdint>

#include "base/Types.h"
#include "gametext/KGETextParams.h"

// Copies the defaults into `params` (null: nothing, null returned), ORs in
// `extraFlags`, sets the box width (the wrap
// width) when `boxWidth` is above 0 and keeps the layout rectangle's right
// edge within it, and sets the context words. Returns the block filled.
KGETEXTPARAMS* InitBodyTextParams(KGETEXTPARAMS* params, u32 extraFlags, i32 boxWidth, uintptr_t context1,
                                  uintptr_t context2);
KGETEXTPARAMS* InitCaptionTextParams(KGETEXTPARAMS* params, u32 extraFlags, i32 boxWidth, uintptr_t context1,
                                     uintptr_t context2);

// The defaults themselves.
KGETEXTPARAMS DefaultBodyTextParams();
KGETEXTPARAMS DefaultCaptionTextParams();
