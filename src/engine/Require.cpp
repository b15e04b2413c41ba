#include "engine/Require.h"

#include <cassert>
#include <cstdio>

#include "engine/DXLLog.h"

namespace {

// Says "<word> <what>" in the log (and, in the test build, on standard
// error before the assertion stops it).
void Fail(const char* word, const char* what) {
  DXLReportErrorA(-1, "%s %s", word, what);
#ifndef NDEBUG
  std::fprintf(stderr, "%s %s\n", word, what);
  assert(!"a required collaborator is missing, or an invariant of the game's own state is broken");
#endif
}

}  // namespace

bool Require(const void* collaborator, const char* what) {
  if (collaborator) return true;
  Fail("missing", what ? what : "a required collaborator");
  return false;
}

bool RequireThat(bool holds, const char* what) {
  if (holds) return true;
  Fail("broken", what ? what : "an invariant");
  return false;
}
