// What the resumable archive-section readers share: the bytes left in the
// open section, and the end of a read that closes the section and reports
// through the loader's cursor.
#pragma once

#include "base/Types.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

// Bytes between the read position and the end of the open section.
u64 SectionBytesLeft(const kis::BaseDataFileReader* reader);

// Ends a section read; always 1 (finished). A failure sets the error flag and
// closes the section when the reader is still in order, so the rest of the
// archive stays readable; a failed close after a good read sets it too.
i32 FinishSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, bool failed);
