// plat::FileFaults - what a test puts in the place of the disk's own
// failures: a replacement (FileReplacement.h) asks it before each step and
// fails that step with the error it answers, as the system would (no space
// left, not allowed). Whoever makes a replacement hands it in; the game's
// files take theirs from the resource services.
#pragma once

#include <string_view>

namespace plat {

enum class FileStep {
  Create,  // the temporary file made
  Sync,    // the new content pushed to the disk
  Rename   // the temporary file put in the file's place
};

class FileFaults {
 public:
  virtual ~FileFaults() = default;
  // The errno value the step fails with; 0 lets it run. `path` is the
  // native path of the file being replaced.
  virtual int Fault(FileStep step, std::string_view path) = 0;
};

}  // namespace plat
