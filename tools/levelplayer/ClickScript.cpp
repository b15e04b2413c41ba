#include "ClickScript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "platform/os/File.h"

namespace player {

bool ClickScript::Load(const std::string& path, std::string* error) {
  bool notRegular = false;
  const int fd = plat::OpenRegularFile(path, O_RDONLY, &notRegular);
  if (fd < 0) {
    *error = notRegular ? "not a regular file (a script is a text file under 1 MB)"
                        : std::string("cannot read: ") + std::strerror(errno);
    return false;
  }
  struct stat st;
  std::string text;
  bool ok = ::fstat(fd, &st) == 0;
  bool tooLarge = ok && static_cast<u64>(st.st_size) >= kMaxBytes;
  // Read to the end, yet never past the limit: the file may grow meanwhile.
  while (ok && !tooLarge) {
    char chunk[4096];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    text.append(chunk, static_cast<size_t>(n));
    tooLarge = text.size() >= kMaxBytes;
  }
  ::close(fd);
  if (tooLarge || !ok) {
    *error = tooLarge ? "too large for a script (a script is a text file under 1 MB)" : "cannot read it";
    return false;
  }
  return Parse(text, error);
}

bool ClickScript::Parse(const std::string& text, std::string* error) {
  steps_.clear();
  next_ = 0;
  waited_ = 0;
  expectWon_ = false;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string verb;
    if (!(words >> verb)) continue;
    ScriptStep step{ScriptStep::kWait};
    std::string extra;
    bool ok = true;
    if (verb == "wait") {
      ok = static_cast<bool>(words >> step.a) && step.a >= 0 && static_cast<u32>(step.a) <= kMaxWaitMs;
    } else if (verb == "click" || verb == "rclick") {
      step.kind = verb == "click" ? ScriptStep::kClick : ScriptStep::kRightClick;
      ok = static_cast<bool>(words >> step.a >> step.b) && step.a >= 0 && step.b >= 0 && step.a < 8192 && step.b < 8192;
    } else if (verb == "key") {
      step.kind = ScriptStep::kKey;
      std::string name;
      ok = static_cast<bool>(words >> name);
      step.a = name == "enter" ? 13 : name == "escape" ? 27 : 0;
      ok = ok && step.a != 0;
    } else if (verb == "expect") {
      step.kind = ScriptStep::kExpectWon;
      std::string what;
      ok = static_cast<bool>(words >> what) && what == "won";
    } else {
      ok = false;
    }
    if (!ok || (words >> extra)) {
      *error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    steps_.push_back(step);
  }
  return true;
}

ScriptRecorder::~ScriptRecorder() {
  if (file_) std::fclose(file_);
}

bool ScriptRecorder::Open(const std::string& path, u32 replayStepMs) {
  if (file_) std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  lastFrame_ = 0;
  played_ = 0;
  replayed_ = 0;
  failed_ = false;
  step_ = replayStepMs < 1 ? 1 : replayStepMs > ClickScript::kMaxWaitMs ? ClickScript::kMaxWaitMs : replayStepMs;
  if (file_) std::fprintf(file_, "# recorded by levelplayer: a wait before each click, and to the end\n");
  return file_ != nullptr;
}

void ScriptRecorder::Frame(u32 ms) {
  played_ += ms;
  lastFrame_ = ms;
}

// A wait of w ms lets ceil(w / step) frames pass in a replay: the wait
// written brings the replay to the whole frame nearest to `ms`.
void ScriptRecorder::WaitUntil(u64 ms) {
  if (ms <= replayed_) return;
  const u64 frames = (ms - replayed_ + step_ / 2) / step_;
  if (frames == 0) return;
  // A long pause is written as several waits, each within what a script reads.
  const u64 longest = ClickScript::kMaxWaitMs / step_ * step_;
  for (u64 left = frames * step_; left > 0;) {
    const u64 wait = left < longest ? left : longest;
    if (std::fprintf(file_, "wait %llu\n", static_cast<unsigned long long>(wait)) < 0) failed_ = true;
    replayed_ += wait;
    left -= wait;
  }
}

void ScriptRecorder::Click(i32 x, i32 y, bool right) {
  if (!file_) return;
  WaitUntil(played_);
  if (std::fprintf(file_, "%s %d %d\n", right ? "rclick" : "click", x, y) < 0 || std::fflush(file_) != 0)
    failed_ = true;
}

void ScriptRecorder::Key(const char* name) {
  if (!file_) return;
  WaitUntil(played_);
  if (std::fprintf(file_, "key %s\n", name) < 0 || std::fflush(file_) != 0) failed_ = true;
}

bool ScriptRecorder::Finish(bool won) {
  if (!file_) return false;
  WaitUntil(played_ - lastFrame_);
  if (won && std::fprintf(file_, "expect won\n") < 0) failed_ = true;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failed_;
}

}  // namespace player
