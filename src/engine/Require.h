// Require - the check for a collaborator that code cannot do its work
// without (one passed in at construction, or a game-wide value of a layer's
// services). A missing one is a fault of the set-up, never a quiet no-op:
// the test build stops at an assertion naming it; a release build writes
// "ERROR! missing <what>" to the engine log and the caller goes on without
// the work. A collaborator that may be missing says so where it is declared
// and is tested without this.
#pragma once

// True when the collaborator is there.
bool Require(const void* collaborator, const char* what);

// The same check for an invariant of the game's own state (an index its
// own code computed, a kind its own classes pass on), never for what a file
// or a player hands in, which is refused instead: false stops the test build
// with "broken <what>"; a release build logs it and the caller goes on
// without the work.
bool RequireThat(bool holds, const char* what);
