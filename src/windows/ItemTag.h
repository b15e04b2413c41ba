// ItemTag - the item-description mark-up of the game's texts: a bracketed
// tag such as "[product N]" or "[plant P U]" in a language text is expanded
// for the object the text describes (ItemTagKind, ui/ItemTagKinds.h) into
// plain text, numbers and the text layer's mark-up (coloured runs, inline
// images). ExpandItemTag is the game's ResourceServices::itemDescription.
//
// A tag is a tag word (letters, digits and "_", any case), then for most
// words one upper-case command letter, then its arguments, all separated by
// blanks. Each word accepts one object kind; "icon", "money" and "color"
// accept any. A tag that is not its own (unknown word, wrong kind, unknown
// letter, a null object, a value only a running level has) is declined and
// stays in the text as written.
//
// The objects by kind: a building point (PointBuilding), a PLANT, a
// PRODUCT (also as a recipe), a profile (MapProfile; null the current one),
// a small award (TIEREDAWARD of the award table), a big award (RECORDAWARD
// of the award table; its index is its record kind), none (the final
// award), a level task (LEVELTASK of the running level's), a plant point
// (BasePointPlant). The running level is the resource services' (LevelScreen).
//
// Stateless but for the text layer's argument cursor (TextArgs).
#pragma once

#include <cstdint>
#include <string>

#include "base/Types.h"

// Writes the expansion of the tag text (the inside of one bracket pair) into
// out: at most room - 1 characters and always a terminating zero (nothing at
// all for room 0), *written (may be null) the characters before the zero.
// True when the tag was expanded (possibly to nothing), false when it is
// declined.
bool ExpandItemTag(const wchar* text, u32 length, wchar* out, u32 room, u32* written, uintptr_t kind,
                   uintptr_t object);

// How a quotient value / divisor is written (the award records): the whole
// part, then up to three decimals by its size (3 below 10, 2 below 100, 1
// below 500, none from 500), a fraction above .950 rounding the whole part
// up. The decimals are the thousandths rounded up (0.1 shows 0.100), cut to
// the decimals shown and left out when they are 0.
std::u16string FormatItemQuotient(double value, double divisor);
