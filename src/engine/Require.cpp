#include "engine/Require.h"

#include <cassert>
#include <cstdio>

#include "engine/DXLLog.h"

bool Require(const void* collaborator, const char* what) {
  if (collaborator) return true;
  DXLReportErrorA(-1, "missing %s", what ? what : "a required collaborator");
#ifndef NDEBUG
  std::fprintf(stderr, "missing %s\n", what ? what : "a required collaborator");
  assert(collaborator && "a required collaborator is missing");
#endif
  return false;
}

bool RequireThat(bool holds, const char* what) {
  if (holds) return true;
  DXLReportErrorA(-1, "broken %s", what ? what : "an invariant");
#ifndef NDEBUG
  std::fprintf(stderr, "broken %s\n", what ? what : "an invariant");
  assert(holds && "an invariant of the game's own state is broken");
#endif
  return false;
}
