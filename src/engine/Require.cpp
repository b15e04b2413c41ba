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
